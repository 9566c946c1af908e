#!/usr/bin/env bash
# Builds libjpeg-turbo statically for Windows from Debian's own source package:
#   build-libjpeg-mingw.sh [i686|x86_64]   (i686, the product's target, by default)
# The result lands in third_party/libjpeg-mingw (i686) or third_party/libjpeg-mingw-x86_64 (ignored
# by git); nothing is done when it is there.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
arch=${1:-i686}
case "$arch" in
  i686) out="$here/third_party/libjpeg-mingw" ;;
  x86_64) out="$here/third_party/libjpeg-mingw-x86_64" ;;
  *) echo "libjpeg: unknown target $arch" >&2; exit 1 ;;
esac
[ -f "$out/lib/libjpeg.a" ] && [ -f "$out/include/jpeglib.h" ] && exit 0

work="$here/third_party/libjpeg-src-$arch"
rm -rf "$work"
mkdir -p "$work"
cd "$work"
apt-get source -q libjpeg-turbo >/dev/null
src=$(find . -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
[ -n "$src" ] || { echo "libjpeg: source package did not unpack" >&2; exit 1; }
cmake -S "$src" -B build -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-$arch.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$out" \
  -DWITH_SIMD=OFF -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF >/dev/null
ninja -C build jpeg-static >/dev/null
mkdir -p "$out/lib" "$out/include"
cp build/libjpeg.a "$out/lib/"
cp "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" build/jconfig.h "$out/include/"
cd "$here"
rm -rf "$work"
echo "libjpeg: built $out/lib/libjpeg.a"
