#!/bin/bash
# contact-sheet.sh [OUT.png]: a contact sheet of the generated built-in
# assets (both reflection maps, the default picture, the font atlas over a
# dark ground, a shaded render of the glass shell and a close-up of one of
# its rounded corners), by default docs/assets.png. Uses the host tree's assetgen and ImageMagick.
set -euo pipefail
ROOT=${CUBESAVER_ROOT:-$(cd "$(dirname "$0")/.." && pwd)}
OUT=${1:-$ROOT/docs/assets.png}
BUILD=${CUBESAVER_HOST_BUILD:-$ROOT/build/host}
ASSETGEN=$BUILD/assetgen
ASSETS=$BUILD/assets
if [ ! -x "$ASSETGEN" ] || [ ! -f "$ASSETS/CUBE2.MSH" ]; then
    echo "contact-sheet.sh: build the host tree first (make host)" >&2
    exit 1
fi
command -v montage >/dev/null || { echo "contact-sheet.sh: ImageMagick's montage is needed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in CHROME SKY DEFAULT FONT1-A; do
    "$ASSETGEN" pam "$ASSETS/$name.TEX" "$work/$name.pam"
done
"$ASSETGEN" wireframe "$ASSETS/CUBE2.MSH" "$work/glass.pam" 256
"$ASSETGEN" wireframe "$ASSETS/CUBE2.MSH" "$work/glass-large.pam" 1024

# 128-texel maps shown at 256 so that every tile has the same size; the
# font's white glyphs live in its alpha, so it is laid over a dark ground.
convert "$work/CHROME.pam" -filter point -resize 256x256 "$work/chrome.png"
convert "$work/SKY.pam" -filter point -resize 256x256 "$work/sky.png"
convert "$work/DEFAULT.pam" "$work/default.png"
convert "$work/FONT1-A.pam" -background '#202838' -alpha remove -alpha off "$work/font.png"
convert "$work/glass.pam" "$work/glass.png"
# The corner nearest the viewer, where three edges meet.
convert "$work/glass-large.pam" -crop 256x256+420+330 +repage "$work/corner.png"

montage -font DejaVu-Sans -pointsize 13 -background '#f4f4f4' -geometry 256x256+8+8 -tile 3x2 \
    -label 'CHROME.TEX (128 x 128)' "$work/chrome.png" \
    -label 'SKY.TEX (128 x 128)' "$work/sky.png" \
    -label 'DEFAULT.TEX (256 x 256)' "$work/default.png" \
    -label 'FONT1-A.TEX (256 x 256, alpha)' "$work/font.png" \
    -label 'CUBE2.MSH (glass, 248 vertices)' "$work/glass.png" \
    -label 'CUBE2.MSH corner, close up' "$work/corner.png" \
    "$OUT"
echo "contact sheet: $OUT"
