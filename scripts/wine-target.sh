#!/usr/bin/env bash
# Prints which Windows build this machine's Wine can run: "win32", the product's own (i686), where
# the kernel runs 32-bit programs, else "win64", the same code built for x86_64 and run by 64-bit
# Wine. Some virtual machines' kernels refuse every 32-bit program ("Exec format error"); there the
# set-up installs no 32-bit packages, and the tests and ./run use the 64-bit build. The same
# holds where the kernel could run them but the set-up found 32-bit Wine impossible to install (a
# package mirror whose i386 index does not match its signed release file, so that wine32:i386 and
# its libraries cannot match the installed 64-bit ones) and installed the 64-bit set instead.
# The probe is a 93-byte 32-bit Linux program that only exits: it needs nothing installed.
set -euo pipefail
probe=$(mktemp "${TMPDIR:-/tmp}/cx-i386.XXXXXX")
trap 'rm -f "$probe"' EXIT
base64 -d >"$probe" <<'ELF'
f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhdAAAAXQAAAAUAAAAAEAAAMdu4AQAAAM2A
ELF
chmod +x "$probe"
installed() { dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q '^install ok installed$'; }
if ! "$probe" 2>/dev/null; then
  echo win64
elif ! installed wine32:i386 && installed wine64 && installed g++-mingw-w64-x86-64-posix; then
  echo win64 # the set-up's fallback (above)
else
  echo win32
fi
