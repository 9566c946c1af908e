#!/usr/bin/env bash
# Prints which Windows build this machine's Wine can run: "win32", the product's own (i686), where
# the kernel runs 32-bit programs, else "win64", the same code built for x86_64 and run by 64-bit
# Wine. Some virtual machines' kernels refuse every 32-bit program ("Exec format error"); there the
# tests and ./run use the 64-bit build. Asks the 32-bit Wine loader, so run it after scripts/setup.sh.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo win32; else echo win64; fi
