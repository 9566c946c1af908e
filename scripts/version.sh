#!/usr/bin/env bash
# Prints the release's version, MAJOR.MINOR, as context/version.h defines it for the program.
set -euo pipefail
header="$(cd "$(dirname "$0")/.." && pwd)/context/version.h"
major=$(sed -n 's/^#define CX_VERSION_MAJOR \([0-9]*\)$/\1/p' "$header")
minor=$(sed -n 's/^#define CX_VERSION_MINOR \([0-9]*\)$/\1/p' "$header")
[ -n "$major" ] && [ -n "$minor" ] || { echo "version.sh: no version in context/version.h" >&2; exit 1; }
echo "$major.$minor"
