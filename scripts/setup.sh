#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine, as root.
# Idempotent: each step checks first and returns at once when its work is done.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

need_root() {
  if [ "$(id -u)" != 0 ]; then
    echo "setup: installing packages needs root (run as root or through sudo)" >&2
    exit 1
  fi
}

missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

native=(cmake ninja-build g++ make pkg-config libgtest-dev libgmock-dev googletest libjpeg62-turbo-dev)
# clang with its libFuzzer runtime: the fuzz target of the INI document (tests/fuzz).
fuzz=(clang libclang-rt-14-dev)
# The file-table reader's test bench: mkntfs makes an NTFS image and wimapply writes a tree into it
# without mounting it (tests/platform/ntfs_image_test.cpp).
ntfs=(ntfs-3g wimtools)
cross=(g++-mingw-w64-i686-posix wine fonts-wine xvfb xauth dpkg-dev xz-utils ca-certificates)
# The release (scripts/package.sh): the setup program, the MSI package and the portable archive.
release=(nsis wixl zip python3)
# The translations: msgfmt compiles the catalogues, xgettext checks them against the sources; the
# C library's locales let Wine start a program in each language, and a font with the CJK glyphs
# shows Japanese, Chinese and Korean there.
languages=(gettext locales fonts-wqy-microhei)
# Wine runs the product's own 32-bit build where the kernel runs 32-bit programs; elsewhere the
# tests run an x86_64 build in 64-bit Wine, and nothing of i386 is installed (see wine-target.sh).
target=$("$here/scripts/wine-target.sh")
if [ "$target" = win32 ]; then
  cross+=(wine32:i386)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    need_root
    dpkg --add-architecture i386
    apt_updated=
  fi
fi
win64_set=(wine64 g++-mingw-w64-x86-64-posix)
[ "$target" = win32 ] || cross+=("${win64_set[@]}")

# Source packages are enabled for the one download of libjpeg-turbo's source.
src_list=/etc/apt/sources.list.d/clutterix-src.sources
if [ ! -f "$src_list" ]; then
  need_root
  cat >"$src_list" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  apt_updated=
fi

todo=$(missing_packages "${native[@]}" "${fuzz[@]}" "${ntfs[@]}" "${cross[@]}" "${release[@]}" "${languages[@]}")
if [ -n "$todo" ] || [ "${apt_updated-x}" = "" ]; then
  need_root
  export DEBIAN_FRONTEND=noninteractive
  # A mirror in the middle of a sync fails an index or two for a minute or so: try again, and in
  # the end go on with the indexes there are (the install below says if a package is still missing).
  for try in 1 2 3 4; do
    apt-get update -q && break
    [ "$try" = 4 ] && echo "setup: apt-get update failed; going on with the indexes there are" >&2
    [ "$try" = 4 ] || sleep $((try * 15))
  done
  # shellcheck disable=SC2086
  if [ -n "$todo" ] && ! apt-get install -y -q --no-install-recommends $todo; then
    [ "$target" = win32 ] || exit 1
    # 32-bit Wine could not be installed (most often because the mirror's i386 index failed to
    # update, so that the i386 libraries cannot match the 64-bit ones installed): install the
    # 64-bit set instead, which wine-target.sh then reports.
    echo "setup: 32-bit Wine cannot be installed here; the Wine tests use the x86_64 build" >&2
    target=win64
    cross=("${cross[@]/wine32:i386/}")
    todo=$(missing_packages "${native[@]}" "${fuzz[@]}" "${ntfs[@]}" "${cross[@]}" "${release[@]}" "${win64_set[@]}")
    # shellcheck disable=SC2086
    apt-get install -y -q --no-install-recommends $todo
  fi
fi

# The locales of the shipped languages (data/lang/*.po), for the Wine tests that start the program in
# each of them (Wine takes its language from LANG only where the C library has the locale).
locales=(de_DE fr_FR es_ES it_IT pt_BR pl_PL ru_RU tr_TR ja_JP zh_CN ko_KR nl_NL)
missing_locales=()
for l in "${locales[@]}"; do
  locale -a 2>/dev/null | grep -qix "$l.utf-\?8" || missing_locales+=("$l")
done
if [ ${#missing_locales[@]} -gt 0 ]; then
  need_root
  for l in "${missing_locales[@]}"; do
    grep -q "^$l.UTF-8 UTF-8" /etc/locale.gen || sed -i "s/^# *\($l.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$l.UTF-8 UTF-8" /etc/locale.gen || echo "$l.UTF-8 UTF-8" >>/etc/locale.gen
  done
  locale-gen >/dev/null
fi

"$here/scripts/build-libjpeg-mingw.sh"
[ "$target" = win32 ] || "$here/scripts/build-libjpeg-mingw.sh" x86_64
