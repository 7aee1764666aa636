#!/bin/bash
# fuzz_psd.sh CORPUS_DIR: small run-length PSD files (RGB, RGB with alpha,
# greyscale) from ImageMagick, and a hand-made indexed file with a
# resolution block.
set -euo pipefail
out=${1:?usage: fuzz_psd.sh CORPUS_DIR}
mkdir -p "$out"
if command -v convert >/dev/null && convert -version 2>/dev/null | grep -q ImageMagick; then
    convert -size 13x7 gradient:red-blue -depth 8 -compress RLE "$out/rgb.psd"
    convert -size 13x7 gradient:red-blue -alpha set -channel A -evaluate set 40% +channel -depth 8 -compress RLE "$out/rgba.psd"
    convert -size 9x3 gradient: -colorspace Gray -depth 8 -compress RLE "$out/grey.psd"
    convert -size 5x4 gradient:red-blue -depth 8 -compress RLE "$out/narrow.psd"
fi
# 8 x 1 indexed: header, 768-byte palette, a resolution block (72 dpi), no
# layers, one PackBits row.
{
    printf '8BPS\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x01\x00\x00\x00\x08\x00\x08\x00\x02'
    printf '\x00\x00\x03\x00'
    head -c 768 /dev/zero | tr '\0' '\177'
    printf '\x00\x00\x00\x1c8BIM\x03\xed\x00\x00\x00\x00\x00\x10'
    printf '\x00\x48\x00\x00\x00\x01\x00\x02\x00\x48\x00\x00\x00\x01\x00\x02'
    printf '\x00\x00\x00\x00'
    printf '\x00\x01\x00\x04\xfb\x05\x00\x07'
} > "$out/indexed.psd"
