#!/bin/bash
# Saver start-up over large picture libraries, under Wine: a stored list of
# folder entries, 100 picture files each (plus a few other files), for
# libraries of 100, 10,000 and 100,000 pictures. From the program's frame
# log, per run: when the first picture was on the cube and when the whole
# list was known, in seconds since the program started; medians of 3 runs.
set -u
ROOT=${CUBESAVER_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
. "$ROOT/scripts/saver-prefix.sh"
DATA="$ROOT/build/bench-data/list-start"
RUNS=${LIST_START_RUNS:-3}
mkdir -p "$DATA"

# FOLDERS folders of 100 pictures below $DATA/lib$FOLDERS.
make_library() {
    local folders=$1 library="$DATA/lib$1" d
    [ -f "$library/.complete" ] && return
    rm -rf "$library"
    for d in $(seq -w 0 $((folders - 1))); do
        mkdir -p "$library/f$d"
        (cd "$library/f$d" && touch img{000..069}.jpg IMG{070..089}.JPG scan{090..099}.png notes{0..4}.txt)
    done
    touch "$library/.complete"
}

# A .reg file storing the library's folders as the picture list: one import
# instead of a thousand "reg add" calls.
store_list() {
    local library=$1 reg="$DATA/list.reg" i=0 folder
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[-HKEY_CURRENT_USER\\Software\\Quillmark Graphics\\Cube Saver\\Pictures]\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Quillmark Graphics\\Cube Saver\\Pictures]\r\n'
        for folder in "$library"/f*; do
            path=$(printf '%s' "Z:${folder//\//\\}\\" | sed 's/\\/\\\\/g')
            printf '"%05d"="%s"\r\n' $i "$path"
            i=$((i + 1))
        done
    } >"$reg"
    wine regedit /S "$(win_path "$reg")" >/dev/null 2>&1
}

own_display=0
if [ -z "${DISPLAY:-}" ]; then xvfb_start; own_display=1; fi
saver_prefix_init "$DATA/wineprefix"
saver_reg_dword 000_107 10   # the first picture stays; nothing else is timed

printf '%-10s %12s %22s %22s\n' library pictures "first picture (s)" "whole list (s)"
for folders in 1 100 1000; do
    make_library $folders
    store_list "$DATA/lib$folders"
    firsts=(); wholes=(); count=0
    for run in $(seq "$RUNS"); do
        log="$DATA/frames-$folders-$run.txt"
        rm -f "$log"
        SAVER_ENV="CUBESAVER_FRAME_LOG=$(win_path "$log")" saver_start /w 320x240
        sleep $((3 + folders / 200))
        saver_stop
        read -r first whole count < <(awk '$1 == "E" && $2 == "P" { p = $3 } $1 == "E" && $2 == "C" { c = $3; n = $4 }
                                          END { printf "%s %s %d\n", p, c, n }' "$log")
        firsts+=("$first"); wholes+=("$whole")
    done
    median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }
    printf '%-10s %12d %22.3f %22.3f\n' "$folders" "$count" "$(median "${firsts[@]}")" "$(median "${wholes[@]}")"
done
wineserver -k >/dev/null 2>&1
[ $own_display = 1 ] && xvfb_stop
exit 0
