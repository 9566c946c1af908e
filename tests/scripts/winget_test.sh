#!/usr/bin/env bash
# The winget manifests of a release: the three files of the schema, the hashes of the files given,
# both installers with what winget needs of them, the same bytes from a second run, and bad input
# refused.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "winget_test: $*" >&2
  exit 1
}
printf 'setup' >"$work/Clutterix-1.2-setup.exe"
printf 'zip' >"$work/Clutterix-1.2-portable.zip"
make() { "$here/scripts/make-winget.sh" --version 1.2 --url https://example.test/r/1.2/ \
  --setup "$work/Clutterix-1.2-setup.exe" --zip "$work/Clutterix-1.2-portable.zip" --out "$1" >/dev/null; }
make "$work/a"
dir=$work/a/Torvex.Clutterix/1.2
for f in Torvex.Clutterix.yaml Torvex.Clutterix.locale.en-US.yaml Torvex.Clutterix.installer.yaml; do
  [ -f "$dir/$f" ] || fail "no $f"
  grep -qx 'ManifestVersion: 1.12.0' "$dir/$f" || fail "$f: no ManifestVersion 1.12.0"
  grep -qx 'PackageIdentifier: Torvex.Clutterix' "$dir/$f" || fail "$f: no PackageIdentifier"
  grep -qx 'PackageVersion: 1.2' "$dir/$f" || fail "$f: no PackageVersion"
done
installer=$dir/Torvex.Clutterix.installer.yaml
setup_sha=$(sha256sum "$work/Clutterix-1.2-setup.exe" | cut -d' ' -f1 | tr 'a-f' 'A-F')
zip_sha=$(sha256sum "$work/Clutterix-1.2-portable.zip" | cut -d' ' -f1 | tr 'a-f' 'A-F')
for line in "  InstallerType: nullsoft" "  InstallerUrl: https://example.test/r/1.2/Clutterix-1.2-setup.exe" \
  "  InstallerSha256: $setup_sha" "    Silent: /S" "  - InstallerReturnCode: 2" "  InstallerType: zip" \
  "  NestedInstallerType: portable" "  - RelativeFilePath: Clutterix\\clutterix.exe" \
  "  InstallerSha256: $zip_sha"; do
  grep -qxF -- "$line" "$installer" || fail "installer manifest lacks '$line'"
done
for key in Publisher PackageName License ShortDescription; do
  grep -q "^$key: ." "$dir/Torvex.Clutterix.locale.en-US.yaml" || fail "locale manifest lacks $key"
done
make "$work/b"
diff -r "$work/a" "$work/b" >/dev/null || fail "a second run gives other bytes"
if "$here/scripts/make-winget.sh" --version 1.2 --url http://example.test --setup "$work/Clutterix-1.2-setup.exe" \
  --zip "$work/Clutterix-1.2-portable.zip" --out "$work/c" 2>/dev/null; then
  fail "an http address was taken"
fi
echo "winget_test: ok"
