#!/bin/bash
# fuzz_autodecoder.sh CORPUS_DIR: seeds of every format the front end
# recognises, and bytes that only resemble one.
set -euo pipefail
out=${1:?usage: fuzz_autodecoder.sh CORPUS_DIR}
here=$(dirname "$0")
for format in bmp tga png jpeg; do "$here/picture-seeds.sh" "$format" "$out"; done
for other in fuzz_pcx fuzz_psd; do
    if [ -x "$here/$other.sh" ]; then "$here/$other.sh" "$out"; fi
done
printf 'GIF89a\x01\x00\x01\x00' > "$out/gif"
printf 'II*\x00\x08\x00\x00\x00' > "$out/tiff"
printf 'P6\n1 1\n255\n\x00\x00\x00' > "$out/ppm"
printf 'plain text, no picture\n' > "$out/text"
