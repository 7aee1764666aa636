#!/bin/bash
# A resting cube is not drawn again and again (its frames are let go by),
# yet the window keeps its picture: covered by another window and uncovered,
# it shows it again; and the pictures still change on time while the frames
# in between draw nothing.
# One red and one green picture on a huge cube without glass, 6 s showing and
# 1 s turning; the program's frame log tells drawn frames from undrawn ones.
. "$(dirname "$0")/lib.sh"
. "$ROOT/scripts/saver-prefix.sh"
PICTURES="$BUILD_DIR/e2e-resting"
mkdir -p "$PICTURES"
convert -size 64x64 xc:'#ff0000' BMP3:"$PICTURES/red.bmp"
convert -size 64x64 xc:'#00ff00' BMP3:"$PICTURES/green.bmp"

saver_prefix_init "$WINEPREFIX"
forget_settings_on_exit
saver_reg_list Pictures "$(win_path "$PICTURES/red.bmp")" "$(win_path "$PICTURES/green.bmp")"
saver_reg_dwords 000_100 1 000_101 0 000_102 1 000_103 0 000_104 0 000_105 0 000_106 2 000_107 6 \
    000_001 0 000_013 0 000_014 0 000_018 3

log="$BUILD_DIR/e2e-resting/frames.txt"
rm -f "$log"
WINEDEBUG=-all CUBESAVER_FRAME_LOG="$(win_path "$log")" wine "$SCR" /w 320x240 >>"$E2E_LOG" 2>&1 &
SAVER_PID=$!
E2E_PIDS+=("$SAVER_PID")
window=$(wait_window "Cube Saver") || fail "no saver window appeared"
started=$SECONDS
eval "$(xdotool getwindowgeometry --shell "$window")"
cx=$((WIDTH / 2)); cy=$((HEIGHT / 2))

centre_is_red() {
    local rgb r g b
    rgb=$(pixel_at "$window" $cx $cy) || return 1
    IFS=, read -r r g b <<<"$rgb"
    [ "$r" -gt 200 ] && [ "$g" -lt 60 ] && [ "$b" -lt 60 ]
}

sleep 1.5
centre_is_red || fail "the first picture is not in view ($(pixel_at "$window" $cx $cy))"

# Another window over the resting cube, then gone again.
xmessage -geometry "${WIDTH}x${HEIGHT}+${X}+${Y}" -bg white "covering the saver" &
cover=$!
E2E_PIDS+=("$cover")
sleep 1
kill "$cover"
wait "$cover" 2>/dev/null
sleep 0.5
[ $((SECONDS - started)) -lt 5 ] || fail "too slow: the cube may have turned meanwhile, which would draw anyway"
centre_is_red || fail "uncovered, the window lost its picture ($(pixel_at "$window" $cx $cy))"

# Two switches: at 6 s and at 13 s.
sleep $((15 - (SECONDS - started)))
press_key "$window" Escape
wait_exit "$SAVER_PID" 15 || fail "the saver did not end on Escape"

python3 - "$log" <<'PY' || fail "frame log: see above"
import sys
drawn = undrawn = 0
starts = []
switches = []
for line in open(sys.argv[1]):
    kind, *rest = line.split()
    if kind in "FR": starts.append(float(rest[0]))
    if kind == "F": drawn += 1
    elif kind == "R": undrawn += 1
    elif kind == "E" and rest[0] == "S": switches.append((float(rest[1]), float(rest[2])))
span = starts[-1] - starts[0] if starts else 0
print(f"drawn {drawn}, undrawn {undrawn} in {span:.1f} s, switches at {[round(t, 2) for t, _ in switches]}, "
      f"late by {[round(late, 3) for _, late in switches]} s")
# The pictures change on time: no later than a frame or two past the showing period.
ok = len(switches) >= 2 and all(late <= 0.05 for _, late in switches)
# 6 s of every 7 rest: the frames of a rest are let go by, drawn or not, so
# far fewer frames start than 60 a second.
ok = ok and span > 12 and drawn + undrawn < 0.35 * 60 * span
sys.exit(0 if ok else 1)
PY
echo "PASS"
