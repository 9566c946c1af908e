#!/usr/bin/env bash
# Prints which Windows build this machine's Wine can run: "win32", the product's own (i686), where
# the kernel runs 32-bit programs, else "win64", the same code built for x86_64 and run by 64-bit
# Wine. Some virtual machines' kernels refuse every 32-bit program ("Exec format error"); there the
# set-up installs no 32-bit packages, and the tests and ./run use the 64-bit build.
# The probe is a 93-byte 32-bit Linux program that only exits: it needs nothing installed.
set -euo pipefail
probe=$(mktemp "${TMPDIR:-/tmp}/cx-i386.XXXXXX")
trap 'rm -f "$probe"' EXIT
base64 -d >"$probe" <<'ELF'
f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhdAAAAXQAAAAUAAAAAEAAAMdu4AQAAAM2A
ELF
chmod +x "$probe"
if "$probe" 2>/dev/null; then echo win32; else echo win64; fi
