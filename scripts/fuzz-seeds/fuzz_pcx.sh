#!/bin/bash
# fuzz_pcx.sh CORPUS_DIR: small PCX files of every plane and depth layout
# that ImageMagick writes, and a hand-made 16-colour file.
set -euo pipefail
out=${1:?usage: fuzz_pcx.sh CORPUS_DIR}
mkdir -p "$out"
if command -v convert >/dev/null && convert -version 2>/dev/null | grep -q ImageMagick; then
    convert -size 13x7 gradient:red-blue "$out/truecolour.pcx"
    convert -size 13x7 plasma:fractal -seed 1 -colors 200 -type Palette "$out/palette256.pcx"
    convert -size 17x5 pattern:checkerboard -monochrome "$out/mono.pcx"
    convert -size 9x9 plasma:fractal -seed 2 -colors 16 "$out/colours16.pcx"
fi
# 8 x 2, 1 bit in 4 planes, one run per line and a colour map.
{
    printf '\x0a\x05\x01\x01\x00\x00\x00\x00\x07\x00\x01\x00\x48\x00\x48\x00'
    for i in $(seq 0 15); do printf "\\x$(printf %02x $((i * 16)))\\x$(printf %02x $i)\\x80"; done
    printf '\x00\x04\x01\x00'
    head -c 60 /dev/zero
    printf '\xc4\xaa\xc4\x55'
} > "$out/planes4.pcx"
