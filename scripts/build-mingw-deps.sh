#!/bin/bash
# Builds static libpng and libjpeg-turbo for mingw-w64 from Debian's own source
# packages and installs them into a prefix outside the checkout. A finished
# prefix is reused; delete it (or bump DEPS_VERSION) to rebuild.
#
# Usage: build-mingw-deps.sh PREFIX
set -euo pipefail
PREFIX=${1:?usage: build-mingw-deps.sh PREFIX}
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$HERE")
DEPS_VERSION=1
STAMP="$PREFIX/.complete-v$DEPS_VERSION"
[ -f "$STAMP" ] && exit 0

. "$HERE/packages.sh"
"$HERE/ensure-packages.sh" $WINDOWS_PACKAGES cmake ninja-build

# Source entries: the machine's own Debian entries, with Types: deb-src.
SRC_LIST=/etc/apt/sources.list.d/cubesaver-deb-src.sources
if ! apt-cache showsrc libpng1.6 >/dev/null 2>&1 || [ -z "$(apt-cache showsrc libpng1.6 2>/dev/null)" ]; then
    if [ ! -f "$SRC_LIST" ]; then
        src=""
        for f in /etc/apt/sources.list.d/debian.sources; do [ -f "$f" ] && src=$f; done
        if [ -n "$src" ]; then
            sed -e 's/^Types:.*/Types: deb-src/' "$src" > "$SRC_LIST"
        elif [ -f /etc/apt/sources.list ]; then
            grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/cubesaver-deb-src.list
        fi
    fi
    apt-get update -qq
fi

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
chmod 755 "$WORK"
cd "$WORK"
# Fetch a source package, trying every version apt knows of: a mirror may
# already have dropped the newest one's files.
fetch_source() {
    local pkg=$1 v
    for v in $(apt-cache showsrc "$pkg" | sed -n 's/^Version: //p' | sort -rV | uniq); do
        if apt-get source --download-only -qq "$pkg=$v" >/dev/null 2>&1; then
            return 0
        fi
        rm -f "${pkg}_"*
    done
    echo "could not fetch the source package $pkg" >&2
    return 1
}
fetch_source libpng1.6
fetch_source libjpeg-turbo
for dsc in *.dsc; do dpkg-source --no-check -x "$dsc" >/dev/null; done
PNG_SRC=$(ls -d libpng1.6-*/ | head -1)
JPEG_SRC=$(ls -d libjpeg-turbo-*/ | head -1)

TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"
mkdir -p "$PREFIX"

cmake -S "$JPEG_SRC" -B build-jpeg -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_SIMD=ON -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF >/dev/null
cmake --build build-jpeg -j2 >/dev/null
cmake --install build-jpeg >/dev/null

cmake -S "$PNG_SRC" -B build-png -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
    -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
    -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include >/dev/null
cmake --build build-png -j2 >/dev/null
cmake --install build-png >/dev/null

touch "$STAMP"
echo "mingw dependencies installed in $PREFIX"
