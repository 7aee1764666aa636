#!/bin/bash
# Frame pacing: the windowed saver for 10 s at "60 fps" and at "Infinite";
# median and 99th percentile of the intervals between the starts of drawn
# frames that follow each other (the cube moving), from the program's own
# frame log; and how many frames found nothing to draw (the cube resting).
set -u
ROOT=${CUBESAVER_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
. "$ROOT/scripts/saver-prefix.sh"
DATA="$ROOT/build/bench-data/pacing"
mkdir -p "$DATA"
SECONDS_EACH=${PACING_SECONDS:-10}

own_display=0
if [ -z "${DISPLAY:-}" ]; then xvfb_start; own_display=1; fi
saver_prefix_init "$DATA/wineprefix"

run_at() {
    local framerate=$1 log="$DATA/frames-$1.txt"
    rm -f "$log"
    saver_reg_dword 000_018 "$framerate"
    saver_reg_dword 000_014 0
    SAVER_ENV="CUBESAVER_FRAME_LOG=$(win_path "$log")" saver_start /w 640x480
    sleep "$SECONDS_EACH"
    saver_stop
    python3 - "$log" "$2" <<'PY'
import sys
path, label = sys.argv[1], sys.argv[2]
try:
    frames = [(l[0], float(l.split()[1])) for l in open(path) if l[0] in "FR"]
except OSError:
    print(f"{label:10s} no frame log written"); sys.exit(1)
iv = sorted((b[1] - a[1]) * 1000 for a, b in zip(frames, frames[1:]) if a[0] == b[0] == "F")
if not iv:
    print(f"{label:10s} no frames"); sys.exit(1)
def pct(p): return iv[min(len(iv) - 1, int(p / 100 * len(iv)))]
drawn = sum(1 for kind, _ in frames if kind == "F")
print(f"{label:10s} drawn {drawn:7d}  median {pct(50):8.3f} ms  p99 {pct(99):8.3f} ms  max {iv[-1]:8.3f} ms"
      f"  undrawn {len(frames) - drawn:6d}")
PY
}

echo "Frame intervals, windowed 640x480 under Wine, ${SECONDS_EACH}s each:"
run_at 3 "60 fps"
run_at 5 "Infinite"
wineserver -k >/dev/null 2>&1
[ $own_display = 1 ] && xvfb_stop
exit 0
