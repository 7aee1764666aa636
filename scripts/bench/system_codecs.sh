#!/bin/bash
# Pictures through the system's codecs under Wine, from the Windows tree
# (build/windows, built by `make build`): a 24-megapixel TIFF (LZW) and GIF
# made from a real photograph, each decoded as the texture loader does it
# (fitted into 1024x1024, reduced by the codec or the system's scaler first)
# and whole at 32 bits, with the same photograph as a JPEG through the own
# decoder's texture path beside them. Each line runs in a process of its
# own: the median time of REPEATS (3) decodes and the process's peak memory
# above its peak before the first decode (the mapped file included).
set -euo pipefail
export LC_ALL=C
ROOT=${CUBESAVER_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
. "$ROOT/scripts/wine-env.sh"
BENCH=$ROOT/build/windows/tests/win/imaging/system_codec_bench.exe
DATA=$ROOT/build/bench-data/system-codecs
REPEATS=${REPEATS:-3}
PHOTO=/usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg
export WINEPREFIX=$DATA/wineprefix WINEDEBUG=-all

[ -f "$BENCH" ] || { echo "system_codecs: $BENCH not built (run make build)" >&2; exit 1; }
[ -f "$PHOTO" ] || { echo "system_codecs: $PHOTO missing (package mate-backgrounds)" >&2; exit 1; }
mkdir -p "$DATA"
for ext in tif gif jpg; do
    file=$DATA/photo-6000x4000.$ext
    [ -f "$file" ] && continue
    options=(); [ $ext = tif ] && options=(-compress LZW); [ $ext = jpg ] && options=(-quality 92)
    convert "$PHOTO" -resize '6000x4000!' "${options[@]}" "$DATA/tmp-photo.$ext"
    mv -f "$DATA/tmp-photo.$ext" "$file"
done

wine_prepare_prefix
# One server for every run, its services' output going nowhere, so that the
# runs' output can be read to its end.
wine_start_services
trap wine_stop_server EXIT
printf '%-22s %-8s %-10s %10s %14s\n' picture path result "median ms" "peak MB above"
for ext in tif gif jpg; do
    for mode in texture whole; do
        [ $ext = jpg ] && [ $mode = whole ] && continue
        line=$(wine "$BENCH" $mode "$(win_path "$DATA/photo-6000x4000.$ext")" 1024 "$REPEATS")
        read -r _ size _ ms _ peak _ before <<<"$line"
        printf '%-22s %-8s %-10s %10s %14.1f\n' "photo-6000x4000.$ext" $mode "$size" "$ms" \
            "$(awk -v p="$peak" -v b="$before" 'BEGIN { print p - b }')"
    done
done
