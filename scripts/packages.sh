# Package sets, sourced by the Makefile's helper scripts.
HOST_PACKAGES="build-essential cmake ninja-build pkg-config zlib1g-dev libpng-dev libjpeg62-turbo-dev libgtest-dev googletest libbenchmark-dev clang libclang-rt-14-dev llvm libfreetype-dev fonts-dejavu-core"
LINUX_PACKAGES="libx11-dev libgl-dev libglu1-mesa-dev libgdk-pixbuf-2.0-dev"
LINUX_TEST_PACKAGES="xvfb xdotool imagemagick x11-utils libgl1-mesa-dri xscreensaver xscreensaver-data"
WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix libz-mingw-w64-dev nasm dpkg-dev nsis"
WINE_PACKAGES="wine wine64 xvfb xserver-xephyr xauth xdotool imagemagick x11-utils"
BENCH_PACKAGES="mate-backgrounds libjpeg-turbo-progs imagemagick xscreensaver-gl"
DEMO_PACKAGES="mate-backgrounds imagemagick"
