#!/usr/bin/env bash
# Makes the release into dist/: the setup program, a portable archive of the same files, and
# SHA256SUMS of both.
#
#   scripts/package.sh          the product, the i686 build: dist/Clutterix-<version>-setup.exe,
#                               dist/Clutterix-<version>.msi,
#                               dist/Clutterix-<version>-portable.zip, dist/SHA256SUMS and the winget
#                               manifests in dist/winget/ (CX_RELEASE_URL: where the files are published)
#   scripts/package.sh win64    the x86_64 build (the test bench of machines whose kernel runs
#                               no 32-bit program), into dist/x64/ with "-x64" in the names
#
# It installs what is missing and builds what it needs first. Two runs on the same commit give the
# same bytes: the executable has no link time or build folder in it (cmake/win32.cmake), every
# file is dated by the last commit (SOURCE_DATE_EPOCH), and the archive holds no owners, extra
# time stamps or folder entries, in a fixed order.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:-win32}
case "$target" in
  win32) arch=x86 suffix= dist=dist ;;
  win64) arch=x64 suffix=-x64 dist=dist/x64 ;;
  *)
    echo "usage: scripts/package.sh [win32|win64]" >&2
    exit 64
    ;;
esac

scripts/setup.sh
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target "$target"

SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export SOURCE_DATE_EPOCH
version=$(scripts/version.sh)
name=Clutterix-$version$suffix
work=build/release-$target
rm -rf "$work"
scripts/make-setup.sh --arch "$arch" --exe "build/$target/clutterix.exe" --data "build/$target" \
  --out "$work/$name-setup.exe"
scripts/make-msi.sh --arch "$arch" --stage "$work/Clutterix" --out "$work/$name.msi" >/dev/null
# The archive unpacks to one folder, Clutterix\, that runs where it lies.
(cd "$work" && find Clutterix | LC_ALL=C sort | TZ=UTC zip -q -X -D "$name-portable.zip" -@)
touch -d "@$SOURCE_DATE_EPOCH" "$work/$name-portable.zip"

mkdir -p "$dist"
rm -f "$dist"/Clutterix-*"$suffix"-setup.exe "$dist"/Clutterix-*"$suffix".msi "$dist"/Clutterix-*"$suffix"-portable.zip \
  "$dist/SHA256SUMS"
cp -p "$work/$name-setup.exe" "$work/$name.msi" "$work/$name-portable.zip" "$dist/"
(cd "$dist" && sha256sum "$name-setup.exe" "$name.msi" "$name-portable.zip" >SHA256SUMS)
# The winget manifests, for the address the release's files are published at.
rm -rf "$dist/winget"
scripts/make-winget.sh --version "$version" --arch "$arch" --out "$dist/winget" \
  --url "${CX_RELEASE_URL:-https://www.torvex.com/files/clutterix/$version}" \
  --setup "$dist/$name-setup.exe" --zip "$dist/$name-portable.zip" >/dev/null
echo "package: $(cd "$dist" && pwd)"
cat "$dist/SHA256SUMS"
