#!/bin/bash
# Picture list building over a large folder tree, under Wine: 100 folders of
# 100 pictures and 30 other files each (10,000 pictures), read once as stored
# folder entries and once through the recursive pictures-folder fallback.
set -euo pipefail
ROOT=${CUBESAVER_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
BUILD=${CUBESAVER_WINDOWS_BUILD:-$ROOT/build/windows}
PROGRAM=$BUILD/tests/win/library/library_lists_bench.exe
DATA=$ROOT/build/bench-data/lists

if [ ! -x "$BUILD/wine-run" ] || [ ! -f "$PROGRAM" ]; then
    echo "lists: $PROGRAM not built (run make build first)" >&2
    exit 1
fi

if [ ! -f "$DATA/.complete" ]; then
    rm -rf "$DATA"
    mkdir -p "$DATA"
    for d in $(seq -w 0 99); do
        folder="$DATA/folder$d"
        mkdir -p "$folder"
        (cd "$folder" &&
            touch img{000..049}.jpg IMG{050..074}.JPG pic{075..089}.png scan{090..099}.bmp \
                  notes{000..019}.txt thumbs{000..009}.db)
    done
    touch "$DATA/.complete"
fi

pictures=$(find "$DATA" -type f \( -iname '*.jpg' -o -iname '*.png' -o -iname '*.bmp' \) | wc -l)
others=$(find "$DATA" -type f ! -name .complete \( ! -iname '*.jpg' ! -iname '*.png' ! -iname '*.bmp' \) | wc -l)
echo "tree: $pictures picture files, $others other files in $(find "$DATA" -mindepth 1 -type d | wc -l) folders"

windows_path="Z:${DATA//\//\\}"
"$BUILD/wine-run" "$PROGRAM" "$windows_path" 5
