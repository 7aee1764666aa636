#!/bin/bash
# Three pictures of pure red, green and blue, in order, stretched on a huge
# cube without glass, 2 s showing and 1 s turning: the window centre shows
# red, green, blue and red again about 3 s apart; 'A' moves on and 'Z' back.
. "$(dirname "$0")/lib.sh"
. "$ROOT/scripts/saver-prefix.sh"
PICTURES="$BUILD_DIR/e2e-pictures"
mkdir -p "$PICTURES"
convert -size 64x48 xc:'#ff0000' BMP3:"$PICTURES/red.bmp"
convert -size 48x64 xc:'#00ff00' "$PICTURES/green.png"
convert -size 64x64 xc:'#0000ff' "$PICTURES/blue.tga"

saver_prefix_init "$WINEPREFIX"
saver_reg_list Pictures "$(winepath -w "$PICTURES/red.bmp")" "$(winepath -w "$PICTURES/green.png")" \
    "$(winepath -w "$PICTURES/blue.tga")"
for setting in "000_100 1" "000_101 0" "000_102 1" "000_103 0" "000_104 0" "000_105 0" "000_106 2" "000_107 2"; do
    saver_reg_dword $setting
done
restore() {
    wine reg delete "$SAVER_KEY" /f >/dev/null 2>&1
    e2e_cleanup
}
trap restore EXIT

# The name of the colour at the window's centre, or "other".
centre_colour() {
    local rgb
    rgb=$(pixel_at "$1" "$2" "$3") || { echo other; return; }
    IFS=, read -r r g b <<<"$rgb"
    if [ "$r" -gt 200 ] && [ "$g" -lt 60 ] && [ "$b" -lt 60 ]; then echo red
    elif [ "$g" -gt 200 ] && [ "$r" -lt 60 ] && [ "$b" -lt 60 ]; then echo green
    elif [ "$b" -gt 200 ] && [ "$r" -lt 60 ] && [ "$g" -lt 60 ]; then echo blue
    else echo other; fi
}

e2e_start /w 640x480
window=$(wait_window "Cube Saver") || fail "no saver window appeared"
eval "$(xdotool getwindowgeometry --shell "$window")"
cx=$((WIDTH / 2)); cy=$((HEIGHT / 2))

# Watch the centre for 12 s; note each colour once it holds for two samples.
sequence=(); times=(); last=""; candidate=""; start=$SECONDS
t0=$(date +%s.%N)
while [ $((SECONDS - start)) -lt 12 ]; do
    colour=$(centre_colour "$window" $cx $cy)
    now=$(date +%s.%N)
    if [ "$colour" != other ] && [ "$colour" = "$candidate" ] && [ "$colour" != "$last" ]; then
        sequence+=("$colour"); times+=("$(awk -v a="$now" -v b="$t0" 'BEGIN { printf "%.2f", a - b }')"); last=$colour
    fi
    candidate=$colour
done
echo "seen: ${sequence[*]}"
echo "at:   ${times[*]}"
[ "${sequence[*]:0:4}" = "red green blue red" ] || fail "expected red green blue red, saw ${sequence[*]}"
for i in 1 2 3; do
    gap=$(awk -v a="${times[$i]}" -v b="${times[$((i - 1))]}" 'BEGIN { printf "%.2f", a - b }')
    awk -v g="$gap" 'BEGIN { exit !(g > 2.0 && g < 4.5) }' || fail "switch $i came after ${gap}s, not about 3s"
done

# Wait for a quiet moment in the showing period, then step with the keys.
before=$(centre_colour "$window" $cx $cy)
while [ "$before" = other ]; do sleep 0.2; before=$(centre_colour "$window" $cx $cy); done
press_key "$window" a
sleep 1.6
after_a=$(centre_colour "$window" $cx $cy)
[ "$after_a" != other ] && [ "$after_a" != "$before" ] || fail "'A' did not move on from $before (now $after_a)"
press_key "$window" z
sleep 0.5
after_z=$(centre_colour "$window" $cx $cy)
[ "$after_z" = "$before" ] || fail "'Z' did not go back to $before (now $after_z)"
kill -0 "$SAVER_PID" 2>/dev/null || fail "the command keys ended the saver"
press_key "$window" Escape
wait_exit "$SAVER_PID" 15 || fail "the saver did not end on Escape"
echo "PASS"
