#!/bin/bash
# The Linux program natively, on Xvfb with Mesa's llvmpipe:
# (1) frame pacing and processor time on the 1024x768 root window for
#     LINUX_BENCH_SECONDS (20), beside XScreenSaver's own slideshow hack
#     (glslideshow) on the same photos at the same frame rate. Both are timed
#     the same way, by a preloaded library that notes every buffer swap:
#     drawn frames per second (the cube draws only while it moves, 2 s of
#     every 6), and the median, 99th percentile and longest of the
#     intervals between swaps that follow each other while the picture
#     moves (intervals under 250 ms: the cube draws nothing while it rests).
#     Processor time is the whole process's (its llvmpipe threads too), in %
#     of one core. The cube shows each photo 4 s and turns 2 s; the
#     slideshow shows each 6 s, panning all the while.
# (2) the first picture on a folder of 100,000 pictures (1,000 subfolders)
#     against one of 100: seconds from the start to the first picture on
#     the cube and to the whole folder listed, from the program's frame log;
#     medians of 3 runs.
set -u
ROOT=${CUBESAVER_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
. "$ROOT/scripts/xvfb.sh"
. "$ROOT/scripts/bench-photos.sh"
"$ROOT/scripts/ensure-packages.sh" mate-backgrounds imagemagick xscreensaver-gl xvfb
PROGRAM="$ROOT/build/linux/cubesaver"
SWAP_LIBRARY="$ROOT/build/bench/libswap_log.so"
SLIDESHOW=/usr/libexec/xscreensaver/glslideshow
DATA="$ROOT/build/bench-data/linux"
MEASURE_SECONDS=${LINUX_BENCH_SECONDS:-20}
SETTLE_SECONDS=3
TICKS=$(getconf CLK_TCK)
for needed in "$PROGRAM" "$SWAP_LIBRARY" "$SLIDESHOW"; do
    [ -e "$needed" ] || { echo "missing $needed"; exit 1; }
done
mkdir -p "$DATA"

PHOTOS="$DATA/photos"
bench_photos "$PHOTOS" 3000x2000 || { echo "no photos"; exit 1; }

xvfb_start
trap 'xvfb_stop' EXIT
HOME="$DATA/home"
mkdir -p "$HOME"
export HOME
# The slideshow takes its folder from XScreenSaver's settings.
printf 'imageDirectory:\t%s\ngrabDesktopImages:\tFalse\nchooseRandomImages:\tTrue\n' "$PHOTOS" >"$HOME/.xscreensaver"

process_ticks() {
    local stat rest f
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    rest=${stat##*) }
    read -r -a f <<<"$rest"
    echo $((f[11] + f[12]))
}

# measure LABEL COMMAND...: one row.
measure() {
    local label=$1 log="$DATA/swaps.txt" pid before after
    shift
    rm -f "$log"
    SWAP_LOG="$log" LD_PRELOAD="$SWAP_LIBRARY" "$@" >/dev/null 2>&1 &
    pid=$!
    sleep "$SETTLE_SECONDS"
    before=$(process_ticks "$pid") || { printf '%-34s ended early\n' "$label"; return; }
    local start end
    start=$(date +%s.%N)
    sleep "$MEASURE_SECONDS"
    after=$(process_ticks "$pid") || { printf '%-34s ended early\n' "$label"; return; }
    end=$(date +%s.%N)
    kill -TERM "$pid"
    wait "$pid" 2>/dev/null
    python3 - "$log" "$label" "$before" "$after" "$TICKS" "$start" "$end" <<'PY'
import sys
path, label, before, after, ticks, start, end = sys.argv[1:]
start, end = float(start), float(end)
try:
    swaps = [float(line) for line in open(path)]
except OSError:
    swaps = []
cpu = (int(after) - int(before)) * 100.0 / (int(ticks) * (end - start))
# The swap log is on the monotonic clock; the window is the last stretch of
# the run of the measurement's length.
if swaps:
    last = swaps[-1]
    swaps = [s for s in swaps if s >= last - (end - start)]
iv = sorted((b - a) * 1000 for a, b in zip(swaps, swaps[1:]) if b - a < 0.25)
if not iv:
    print(f"{label:34s} no frames  cpu {cpu:6.1f} %"); sys.exit(0)
def pct(p): return iv[min(len(iv) - 1, int(p / 100 * len(iv)))]
rate = len(swaps) / (end - start)
print(f"{label:34s} {rate:6.1f} drawn/s  median {pct(50):7.2f} ms  p99 {pct(99):7.2f} ms  "
      f"max {iv[-1]:7.2f} ms  cpu {cpu:6.1f} %")
PY
}

echo "(1) 1024x768 root window, ${MEASURE_SECONDS}s, Mesa llvmpipe; intervals between moving frames:"
measure "cubesaver (60 fps)" "$PROGRAM" -root -pictures "$PHOTOS"
measure "cubesaver, huge, no glass" "$PROGRAM" -root -pictures "$PHOTOS" -style huge -glass none
# glslideshow waits -delay microseconds after each frame; 60 fps is what
# it reaches with 1/60 s minus the frame's own time, so the delay is
# set for the 60 fps it is asked to hold (its frame-rate cap in the same
# units as XScreenSaver's settings dialog).
measure "glslideshow (-delay 16666)" "$SLIDESHOW" -root -duration 6 -delay 16666
measure "glslideshow (its default)" "$SLIDESHOW" -root -duration 6

echo
echo "(2) first picture and complete list, seconds from the start (median of 3):"
make_library() {
    local folders=$1 library="$DATA/lib$1" d i
    [ -f "$library/.complete" ] && return
    rm -rf "$library"
    # Hard links to a few real pictures: a file system allows some 65,000
    # links to one file.
    for i in 0 1; do convert -size 320x240 gradient:red-blue -quality 85 "$DATA/one$i.jpg"; done
    for d in $(seq -w 0 $((folders - 1))); do
        mkdir -p "$library/f$d"
        for i in $(seq -w 0 99); do ln -f "$DATA/one$((10#$d % 2)).jpg" "$library/f$d/img$i.jpg"; done
    done
    touch "$library/.complete"
}
first_picture() {
    local folders=$1 library="$DATA/lib$1" run log="$DATA/frames.txt" pid
    make_library "$folders"
    for run in $(seq 3); do
        rm -f "$log" "$HOME/.local/state/cubesaver/shuffle"
        CUBESAVER_FRAME_LOG="$log" "$PROGRAM" -window -pictures "$library" >/dev/null 2>&1 &
        pid=$!
        # The log is written at the end: give the listing time to finish.
        sleep 3
        kill -TERM "$pid"
        wait "$pid" 2>/dev/null
        awk '$1 == "E" && $2 == "P" { p = $3 } $1 == "E" && $2 == "C" { c = $3 }
             $1 == "F" && f == "" { f = $2 } END { print p, f, c }' "$log"
    done | python3 -c '
import sys, statistics
rows = [[float(x) for x in line.split()] for line in sys.stdin if len(line.split()) == 3]
if not rows:
    print("no frame log"); sys.exit(0)
med = [statistics.median(column) for column in zip(*rows)]
print(f"'"$((folders * 100))"' pictures: first picture {med[0]:.3f} s, first frame {med[1]:.3f} s, list complete {med[2]:.3f} s")'
}
first_picture 1
first_picture 1000
exit 0
