#!/bin/bash
# Formats beyond the six through the system's gdk-pixbuf loaders: a GIF and
# a TIFF are listed and shown; a cut GIF and a .heic of random bytes (no
# loader here) are passed over without holding up the cube.
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
echo "PASS"
