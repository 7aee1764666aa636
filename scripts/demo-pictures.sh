#!/bin/bash
# demo-pictures.sh PREFIX: makes the demonstration pictures (once) in
# build/demo-pictures, photos from Debian's mate-backgrounds in all six
# formats, and stores that folder as the picture list of the saver in the
# Wine prefix PREFIX.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/packages.sh"
"$ROOT/scripts/ensure-packages.sh" $DEMO_PACKAGES
OUT="$ROOT/build/demo-pictures"
PHOTOS=/usr/share/backgrounds/mate/nature

if [ ! -f "$OUT/.complete" ]; then
    mkdir -p "$OUT"
    cp "$PHOTOS/Aqua.jpg" "$PHOTOS/LadyBird.jpg" "$PHOTOS/YellowFlower.jpg" "$OUT/"
    convert "$PHOTOS/FreshFlower.jpg" -resize 1280x1280 "$OUT/FreshFlower.png"
    convert "$PHOTOS/Dune.jpg" -resize 1024x1024 BMP3:"$OUT/Dune.bmp"
    convert "$PHOTOS/Garden.jpg" -resize 1024x1024 "$OUT/Garden.tga"
    convert "$PHOTOS/RainDrops.jpg" -resize 800x800 "$OUT/RainDrops.pcx"
    convert "$PHOTOS/TwoWings.jpg" -resize 1024x1024 -compress RLE "$OUT/TwoWings.psd"
    touch "$OUT/.complete"
fi

. "$ROOT/scripts/saver-prefix.sh"
saver_prefix_init "$1"
saver_reg_list Pictures "$(win_path "$OUT")\\"
