#!/bin/bash
# Formats beyond the six through the system's gdk-pixbuf loaders: a GIF and
# a TIFF are listed and shown; a cut GIF and a .heic of random bytes (no
# loader here) are passed over without holding up the cube. A TIFF stored
# on its side (blue left, green right, to be turned a quarter clockwise)
# shows upright: blue above green.
. "$(dirname "$0")/lib.sh"
PICTURES="$TEST_HOME/pictures"
mkdir -p "$PICTURES"
convert -size 64x48 xc:'#ff0000' "$PICTURES/1-red.gif"
convert -size 64x48 xc:'#00ff00' "$PICTURES/3-green.tiff"
convert -size 64x48 xc:'#0000ff' "$TEST_HOME/blue.gif"
head -c 30 "$TEST_HOME/blue.gif" >"$PICTURES/2-cut.gif"
head -c 4096 /dev/urandom >"$PICTURES/2-random.heic"

hack_start -window -pictures "$PICTURES" -no-shuffle "${PLAIN[@]}" -show 1 -turn 1
window=$(wait_window "Cube Saver") || fail "no window appeared"
wait_colour "$window" red 20 || fail "the GIF never showed"
wait_colour "$window" green 20 || fail "the TIFF never showed"
wait_colour "$window" red 20 || fail "the GIF did not come round again"
kill -TERM "$HACK_PID"
wait_exit "$HACK_PID" 5 || fail "SIGTERM did not end the program cleanly"

SIDEWAYS="$TEST_HOME/sideways"
mkdir -p "$SIDEWAYS"
convert -size 32x48 xc:'#0000ff' -size 32x48 xc:'#00ff00' +append -orient RightTop "$SIDEWAYS/side.tiff"
hack_start -window -pictures "$SIDEWAYS" "${PLAIN[@]}" -show 60
window=$(wait_window "Cube Saver") || fail "no window appeared for the sideways TIFF"
wait_drawn "$window" 2 20 || fail "the sideways TIFF was not drawn"
eval "$(xdotool getwindowgeometry --shell "$window")"
above=$(colour_name "$(pixel_at "$window" $((WIDTH / 2)) $((HEIGHT / 2 - HEIGHT / 8)))")
below=$(colour_name "$(pixel_at "$window" $((WIDTH / 2)) $((HEIGHT / 2 + HEIGHT / 8)))")
[ "$above $below" = "blue green" ] || fail "the sideways TIFF shows $above above $below, not blue above green"
echo "PASS"
