#!/bin/bash
# Two monitors (a Xephyr with Xinerama, 1024x768 and 800x600, inside a
# private Xvfb): the full-screen saver for MONITORS_SECONDS (40) with the
# cube bench's 24-megapixel photos, "Use maximum texture size" (cap 1024),
# 1 s showing and 1 s turning at 60 fps, once with a cube on each monitor and
# once with the second monitor black. From the frame log: the intervals of
# the main loop's drawn frames (each draws every cube), the face switches of
# each monitor's cube and how many came within one frame of the showing
# period's end; from /proc, the process's processor time in % of one core.
set -u
ROOT=${CUBESAVER_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
. "$ROOT/scripts/saver-prefix.sh"
. "$ROOT/scripts/bench-photos.sh"
"$ROOT/scripts/ensure-packages.sh" mate-backgrounds imagemagick xserver-xephyr
DATA="$ROOT/build/bench-data/monitors"
PHOTOS="$ROOT/build/bench-data/cube/photos"
RUN_SECONDS=${MONITORS_SECONDS:-40}
TICKS=$(getconf CLK_TCK)
bench_photos "$PHOTOS" 6000x4000 || { echo "monitors: the photos could not be made" >&2; exit 1; }
mkdir -p "$DATA"

xvfb_start
saver_prefix_init "$DATA/wineprefix"
saver_reg_list Pictures "$(win_path "$PHOTOS")\\"
saver_reg_dwords 000_110 1 000_111 1024 000_107 1 000_100 1 000_101 1 000_103 0 000_018 3 000_014 0 000_002 0
wine_stop_server
xephyr_two_monitors_start || { echo "monitors: Xephyr did not start" >&2; xvfb_stop; exit 1; }
finish() {
    wine_stop_server
    xephyr_stop
    xvfb_stop
}
trap finish EXIT
wine_start_services

# Processor ticks (user + system) of a process.
process_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }

for other in 1 0; do
    saver_reg_dword OtherMonitors $other
    log="$DATA/frames-$other.txt"
    rm -f "$log"
    SAVER_ENV="CUBESAVER_FRAME_LOG=$(win_path "$log")" saver_start /s
    pid=$(pgrep -n -f -- "$SCR") || pid=$SAVER_PID
    sleep 3  # the first pictures up
    ticks0=$(process_ticks "$pid"); t0=$(date +%s.%N)
    sleep "$RUN_SECONDS"
    ticks1=$(process_ticks "$pid"); t1=$(date +%s.%N)
    saver_stop
    cpu=$(awk -v a="$ticks0" -v b="$ticks1" -v s="$t0" -v e="$t1" -v hz="$TICKS" \
        'BEGIN { printf "%.1f", 100 * (b - a) / hz / (e - s) }')
    label="one cube, second monitor black"
    [ $other = 1 ] && label="a cube on each monitor"
    echo "-- $label: process CPU $cpu % of one core"
    python3 - "$log" <<'PY'
import sys
frames, kinds, switches = [], [], {"S": [], "s": []}
for line in open(sys.argv[1]):
    p = line.split()
    if p[0] in ("F", "R"):
        frames.append(float(p[1]))
        kinds.append(p[0])
    elif p[0] == "E" and p[1] in switches:
        switches[p[1]].append(float(p[3]) * 1000)
iv = sorted((b - a) * 1000 for a, b, ka, kb in zip(frames, frames[1:], kinds, kinds[1:]) if ka == kb == "F")
pct = lambda p: iv[min(len(iv) - 1, int(p / 100 * len(iv)))] if iv else 0.0
print(f"   drawn frame interval: median {pct(50):.3f} ms, p99 {pct(99):.2f} ms ({len(iv)} intervals)")
for kind, name in (("S", "first monitor"), ("s", "second monitor")):
    lates = switches[kind]
    if lates:
        print(f"   {name}: {len(lates)} switches, on time for {sum(1 for l in lates if l <= 20)}/{len(lates)}, "
              f"latest {max(lates):.1f} ms past the showing period")
PY
done
