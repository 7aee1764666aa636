#!/bin/bash
# picture-seeds.sh FORMAT CORPUS_DIR: small seed pictures for the imaging
# fuzz targets (FORMAT: bmp, tga, png, jpeg). Uses ImageMagick where it is
# installed; a few hand-made files are always written.
set -euo pipefail
format=${1:?usage: picture-seeds.sh FORMAT CORPUS_DIR}
out=${2:?usage: picture-seeds.sh FORMAT CORPUS_DIR}
mkdir -p "$out"
have_magick() { command -v convert >/dev/null && convert -version 2>/dev/null | grep -q ImageMagick; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
if have_magick; then
    convert -size 13x7 gradient:red-blue "$tmp/rgb.png"
    convert -size 13x7 gradient:red-blue -alpha set -channel A -fx 'i/w' +channel "$tmp/rgba.png"
    convert -size 11x9 plasma:fractal -seed 3 -colors 20 "$tmp/palette.png"
fi

case $format in
bmp)
    if have_magick; then
        convert "$tmp/rgb.png" BMP3:"$out/rgb24.bmp"
        convert "$tmp/rgba.png" "$out/rgba32-v5.bmp"
        convert "$tmp/palette.png" -type Palette BMP3:"$out/palette8.bmp"
        convert "$tmp/palette.png" -colors 16 -type Palette BMP3:"$out/palette4.bmp"
        convert "$tmp/palette.png" -type Palette -compress RLE BMP3:"$out/rle8.bmp"
        convert "$tmp/palette.png" -colors 12 -type Palette -compress RLE BMP3:"$out/rle4.bmp"
        convert "$tmp/rgb.png" -monochrome BMP3:"$out/mono.bmp"
        convert "$tmp/palette.png" -type Palette BMP2:"$out/os2.bmp"
        convert "$tmp/rgb.png" -define bmp:subtype=RGB565 "$out/rgb565.bmp"
        convert "$tmp/rgb.png" -define bmp:subtype=RGB555 "$out/rgb555.bmp"
    fi
    # 2 x 2 at 24 bits, 3780 pixels per metre.
    {
        printf 'BM\x46\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00'
        printf '\x28\x00\x00\x00\x02\x00\x00\x00\x02\x00\x00\x00\x01\x00\x18\x00'
        printf '\x00\x00\x00\x00\x10\x00\x00\x00\xc4\x0e\x00\x00\xc4\x0e\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
        printf '\x00\x00\xff\xff\xff\xff\x00\x00\xff\x00\xff\x00\x00\x00\x00\x00'
    } > "$out/hand24.bmp"
    # 4 x 2 RLE8 with a run, a literal and both end escapes.
    {
        printf 'BM\x00\x00\x00\x00\x00\x00\x00\x00\x3e\x00\x00\x00'
        printf '\x28\x00\x00\x00\x04\x00\x00\x00\x02\x00\x00\x00\x01\x00\x08\x00'
        printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x00\x00\x00\x00\x00\x00'
        printf '\x00\x00\xff\x00\xff\x00\x00\x00'
        printf '\x04\x01\x00\x00\x00\x03\x00\x01\x00\x00\x00\x01'
    } > "$out/hand-rle8.bmp"
    ;;
tga)
    if have_magick; then
        convert "$tmp/rgb.png" "$out/rgb24.tga"
        convert "$tmp/rgba.png" "$out/rgba32.tga"
        convert "$tmp/palette.png" -type Palette "$out/mapped.tga"
        convert "$tmp/rgb.png" -colorspace Gray "$out/grey.tga"
        convert "$tmp/rgb.png" -compress RLE "$out/rgb24-rle.tga"
        convert "$tmp/rgba.png" -compress RLE "$out/rgba32-rle.tga"
        convert "$tmp/palette.png" -type Palette -compress RLE "$out/mapped-rle.tga"
        convert "$tmp/rgb.png" -colorspace Gray -compress RLE "$out/grey-rle.tga"
    fi
    # 3 x 2 top-down, 16 bits with an attribute bit, one run and one raw packet per row.
    {
        printf '\x00\x00\x0a\x00\x00\x00\x00\x00\x00\x00\x00\x00\x03\x00\x02\x00\x10\x21'
        printf '\x81\x1f\x80\x00\xe0\x83'
        printf '\x02\x00\x7c\xff\xff\x00\x00'
    } > "$out/hand16-rle.tga"
    # 2 x 1 colour-mapped with a 24-bit map of two entries.
    printf '\x00\x01\x01\x00\x00\x02\x00\x18\x00\x00\x00\x00\x02\x00\x01\x00\x08\x00\xff\x00\x00\x00\xff\x00\x01\x00' \
        > "$out/hand-mapped.tga"
    ;;
png)
    if have_magick; then
        cp "$tmp/rgb.png" "$out/rgb.png"
        cp "$tmp/rgba.png" "$out/rgba.png"
        cp "$tmp/palette.png" "$out/palette.png"
        convert "$tmp/rgb.png" -depth 16 PNG48:"$out/rgb16.png"
        convert "$tmp/rgba.png" -depth 16 PNG64:"$out/rgba16.png"
        convert "$tmp/rgb.png" -colorspace Gray "$out/grey.png"
        convert "$tmp/rgb.png" -colorspace Gray -depth 2 "$out/grey2.png"
        convert "$tmp/rgba.png" -colorspace Gray PNG32:"$out/grey-alpha.png"
        convert "$tmp/rgb.png" -interlace PNG "$out/interlaced.png"
        convert "$tmp/rgb.png" -density 72 -units PixelsPerInch "$out/phys.png"
    fi
    # 1 x 1 RGB.
    printf '\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR\x00\x00\x00\x01\x00\x00\x00\x01\x08\x02\x00\x00\x00\x90wS\xde\x00\x00\x00\x0cIDATx\x9cc\xf8\xcf\xc0\x00\x00\x03\x01\x01\x00\xc9\xfe\x92\xef\x00\x00\x00\x00IEND\xaeB`\x82' \
        > "$out/hand1x1.png"
    ;;
jpeg)
    if have_magick; then
        convert "$tmp/rgb.png" -quality 90 "$out/rgb.jpg"
        convert "$tmp/rgb.png" -interlace JPEG "$out/progressive.jpg"
        convert "$tmp/rgb.png" -colorspace Gray "$out/grey.jpg"
        convert "$tmp/rgb.png" -colorspace CMYK "$out/cmyk.jpg"
        convert "$tmp/rgb.png" -sampling-factor 2x2 -density 300 "$out/subsampled.jpg"
        convert "$tmp/rgb.png" -define jpeg:restart-interval=1 "$out/restart.jpg"
    elif command -v cjpeg >/dev/null; then
        { printf 'P6\n4 4\n255\n'; head -c 48 /dev/urandom; } > "$tmp/noise.ppm"
        cjpeg -quality 90 "$tmp/noise.ppm" > "$out/noise.jpg"
        cjpeg -progressive "$tmp/noise.ppm" > "$out/progressive.jpg"
        cjpeg -grayscale "$tmp/noise.ppm" > "$out/grey.jpg"
    fi
    ;;
*)
    echo "unknown format $format" >&2
    exit 64
    ;;
esac
