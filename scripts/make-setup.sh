#!/usr/bin/env bash
# Makes the setup program of one Windows build (installer/clutterix.nsi, with makensis):
#
#   make-setup.sh --arch x86|x64 --exe FILE --data DIR --out SETUP.exe [--version V]
#
# FILE is installed as clutterix.exe, with DIR's config\ and images\ beside it, and lang\ with DIR's
# catalogues (lang/*.po) compiled by msgfmt. The files are laid
# out first in the folder "Clutterix" beside SETUP.exe (scripts/package.sh zips that folder), each
# dated SOURCE_DATE_EPOCH, else the time of the last commit, so that the same files always give
# the same setup: makensis keeps each file's date, and nothing else that changes from run to run.
# The version is the release's (context/version.h) unless --version gives another (the tests make an
# "older release" that way).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

die() {
  echo "make-setup: $*" >&2
  exit 1
}

arch= exe= data= out= version=
while [ $# -gt 0 ]; do
  case "$1" in
    --arch) arch=$2 ;;
    --exe) exe=$2 ;;
    --data) data=$2 ;;
    --out) out=$2 ;;
    --version) version=$2 ;;
    *) die "unknown argument $1" ;;
  esac
  shift 2 || die "$1 needs a value"
done
case "$arch" in x86 | x64) ;; *) die "--arch must be x86 or x64" ;; esac
[ -f "$exe" ] || die "no program at '$exe'"
[ -d "$data/config" ] && [ -d "$data/images" ] || die "no config\\ and images\\ in '$data'"
[ -n "$out" ] || die "no --out"
command -v makensis >/dev/null || die "makensis is missing: run scripts/setup.sh"

[ -n "$version" ] || version=$("$here/scripts/version.sh")
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null || echo 946684800)}

out=$(realpath -m "$out")
mkdir -p "$(dirname "$out")"
stage=$(dirname "$out")/Clutterix
rm -rf "$stage"
mkdir -p "$stage"
cp "$exe" "$stage/clutterix.exe"
cp -r "$data/config" "$data/images" "$stage/"
mkdir -p "$stage/lang"
for po in "$data"/lang/*.po; do
  [ -e "$po" ] || continue
  msgfmt --check --output-file="$stage/lang/$(basename "$po" .po).mo" "$po" || die "$po does not compile"
done
# Modes as a checkout with any umask gives them, so that the archive of the same files is the same.
find "$stage" -type d -exec chmod 755 {} +
find "$stage" -type f -exec chmod 644 {} +
chmod 755 "$stage/clutterix.exe"
find "$stage" -exec touch -h -d "@$epoch" {} +

# The staged files as NSIS lines, in one fixed order: installed folder by folder, removed the
# same way, each folder removed when it is left empty.
files=$(dirname "$out")/files.nsh
{
  echo '!macro InstallFiles'
  echo '  SetOutPath "$INSTDIR"'
  echo "  File \"$stage/clutterix.exe\""
  for dir in config images lang; do
    echo "  SetOutPath \"\$INSTDIR\\$dir\""
    (cd "$stage/$dir" && find . -maxdepth 1 -type f -printf '%f\n' | LC_ALL=C sort) | while read -r f; do
      echo "  File \"$stage/$dir/$f\""
    done
  done
  echo '!macroend'
  echo '!macro RemoveFiles'
  echo '  Delete "$INSTDIR\clutterix.exe"'
  for dir in config images lang; do
    (cd "$stage/$dir" && find . -maxdepth 1 -type f -printf '%f\n' | LC_ALL=C sort) | while read -r f; do
      echo "  Delete \"\$INSTDIR\\$dir\\$f\""
    done
    echo "  RMDir \"\$INSTDIR\\$dir\""
  done
  echo '!macroend'
} >"$files"
[ -z "$(find "$stage" -mindepth 2 -type d)" ] || die "config\\, images\\ and lang\\ hold folders: the setup lays out files only"

# The setup's texts, one file per language (installer/lang): makensis -WX stops where a language
# lacks a text; here each text must keep the defines (${PRODUCT}, ${what}, ...) and the number of
# line breaks of its English one, which makensis would take a translation without.
text_shapes() {
  sed -n 's/^LangString \([A-Z0-9_]*\) [^ ]* "\(.*\)"$/\1 \2/p' "$1" | while read -r name text; do
    echo "$name" $(grep -o '\${[A-Za-z_]*}' <<<"$text" | LC_ALL=C sort -u) \
      "breaks: $(grep -o '\$\\r\$\\n' <<<"$text" | wc -l)"
  done | LC_ALL=C sort
}
english=$(text_shapes "$here/installer/lang/English.nsh")
for nsh in "$here"/installer/lang/*.nsh; do
  diff <(echo "$english") <(text_shapes "$nsh") >&2 || die "$nsh: its texts differ from English.nsh as shown"
done

size_kb=$(find "$stage" -type f -printf '%s\n' | awk '{ kb += int(($1 + 1023) / 1024) } END { print kb }')
rm -f "$out"
# Warnings are errors: a language that lacks a text would show nothing in its place.
makensis -V2 -WX -NOCD -DVERSION="$version" -DARCH="$arch" -DFILES="$files" -DSIZE_KB="$size_kb" \
  -DICON="$here/app/win32/clutterix.ico" -DOUTFILE="$out" "$here/installer/clutterix.nsi" >&2
touch -d "@$epoch" "$out"
