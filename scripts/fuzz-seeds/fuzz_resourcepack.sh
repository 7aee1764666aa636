#!/bin/bash
# fuzz_resourcepack.sh CORPUS_DIR: seeds for the asset readers: every built-in
# asset as made by assetgen (compressed), the meshes also stored and as bare
# records, and a few cut-off containers.
set -euo pipefail
CORPUS=${1:?usage: fuzz_resourcepack.sh CORPUS_DIR}
ROOT=${CUBESAVER_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
ASSETGEN=""
for candidate in "$ROOT/build/fuzz/assetgen" "$ROOT/build/host/assetgen"; do
    if [ -x "$candidate" ]; then ASSETGEN=$candidate; break; fi
done
if [ -z "$ASSETGEN" ]; then
    echo "fuzz_resourcepack.sh: no assetgen built (build the fuzz or host tree first)" >&2
    exit 1
fi
FONTS=/usr/share/fonts/truetype/dejavu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/packed" "$work/stored" "$CORPUS"
fonts=(--mono "$FONTS/DejaVuSansMono-Bold.ttf" --sans "$FONTS/DejaVuSans.ttf" --sans-bold "$FONTS/DejaVuSans-Bold.ttf")
"$ASSETGEN" generate "$work/packed" "${fonts[@]}"
"$ASSETGEN" generate "$work/stored" "${fonts[@]}" --stored

for f in "$work"/packed/*.TEX "$work"/packed/*.MSH; do
    cp "$f" "$CORPUS/packed-$(basename "$f")"
    head -c 40 "$f" >"$CORPUS/cut-$(basename "$f")"
done
for f in "$work"/stored/*.MSH; do
    name=$(basename "$f")
    cp "$f" "$CORPUS/stored-$name"
    tail -c +9 "$f" >"$CORPUS/record-$name"
done
# A small stored texture record: the stored built-ins are too large to be
# good seeds.
printf '\x08\x01\x00\xcc\x00\x00\x00\x00G\x01\x02\x00\x00\x00\x01\x00\x00\x00\x03\x00\x00\x00\x02\x00\x00\x00\x01\x00\x00\x00\x02\x00\x00\x00a\x00\x01\x02\x03\x04\x05\x06' \
    >"$CORPUS/stored-small.TEX"
echo "fuzz_resourcepack: $(ls "$CORPUS" | wc -l) seeds in $CORPUS"
