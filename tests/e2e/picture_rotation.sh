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
forget_settings_on_exit
saver_reg_list Pictures "$(win_path "$PICTURES/red.bmp")" "$(win_path "$PICTURES/green.png")" \
    "$(win_path "$PICTURES/blue.tga")"
saver_reg_dwords 000_100 1 000_101 0 000_102 1 000_103 0 000_104 0 000_105 0 000_106 2 000_107 2

# The name of the picture colour at the window's centre, or "other".
centre_colour() {
    local rgb name
    rgb=$(pixel_at "$1" "$2" "$3") || { echo other; return; }
    name=$(colour_name "$rgb")
    [ "$name" = black ] && name=other
    echo "$name"
}

e2e_start /w 640x480
window=$(wait_window "Cube Saver") || fail "no saver window appeared"
eval "$(xdotool getwindowgeometry --shell "$window")"
cx=$((WIDTH / 2)); cy=$((HEIGHT / 2))

# Watch the centre for 12 s.
colour_sequence 12 99 centre_colour "$window" $cx $cy
sequence=("${SEQUENCE[@]}"); times=("${TIMES[@]}")
echo "seen: ${sequence[*]}"
echo "at:   ${times[*]}"
[ "${sequence[*]:0:4}" = "red green blue red" ] || fail "expected red green blue red, saw ${sequence[*]}"
gaps=$(switch_gaps_between 2.0 4.5) || fail "$gaps, not about 3s"

press_key "$window" Escape
wait_exit "$SAVER_PID" 15 || fail "the saver did not end on Escape"

# Polls the centre until a pure colour other than $1 has held for 0.7 s (or,
# with "same", until $1 shows); echoes it. Fails after $3 seconds.
await_colour() {
    local want=$1 mode=$2 deadline=$((SECONDS + $3)) colour seen="" since=0 now
    while [ $SECONDS -lt $deadline ]; do
        colour=$(centre_colour "$window" $cx $cy)
        now=$(date +%s.%N)
        if [ "$mode" = same ]; then
            [ "$colour" = "$want" ] && { echo "$colour"; return 0; }
            continue
        fi
        if [ "$colour" != "$seen" ]; then
            seen=$colour
            since=$now
        elif [ "$colour" != other ] && [ "$colour" != "$want" ] &&
             awk -v n="$now" -v s="$since" 'BEGIN { exit !(n - s >= 0.7) }'; then
            echo "$colour"
            return 0
        fi
    done
    return 1
}

# The keys, with 4 s showing periods to act in: 'A' while a picture is shown
# brings the next one as soon as it is ready; 'Z' goes straight back.
saver_reg_dword 000_107 4
e2e_start /w 640x480
window=$(wait_window "Cube Saver") || fail "no saver window appeared the second time"
current=$(centre_colour "$window" $cx $cy)
current=$(await_colour "$current" other 10) || fail "no switch to wait for"
sleep 0.5
press_key "$window" a
after_a=$(await_colour "$current" other 3) || fail "'A' did not move on from $current"
echo "'A': $current -> $after_a"
sleep 0.5
press_key "$window" z
await_colour "$current" same 2 >/dev/null ||
    fail "'Z' did not go back to $current from $after_a (now $(centre_colour "$window" $cx $cy))"
kill -0 "$SAVER_PID" 2>/dev/null || fail "the command keys ended the saver"
press_key "$window" Escape
wait_exit "$SAVER_PID" 15 || fail "the saver did not end on Escape"
echo "PASS"
