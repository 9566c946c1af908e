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
cross=(g++-mingw-w64-i686-posix wine wine32:i386 fonts-wine xvfb xauth dpkg-dev xz-utils ca-certificates)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_root
  dpkg --add-architecture i386
  apt_updated=
fi

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

todo=$(missing_packages "${native[@]}" "${fuzz[@]}" "${cross[@]}")
if [ -n "$todo" ] || [ "${apt_updated-x}" = "" ]; then
  need_root
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  if [ -n "$todo" ]; then
    # shellcheck disable=SC2086
    apt-get install -y -q --no-install-recommends $todo
  fi
fi

"$here/scripts/build-libjpeg-mingw.sh"
