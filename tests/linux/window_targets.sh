#!/bin/bash
# Where the program draws: into a given window (-window-id, in decimal and
# hexadecimal, and XSCREENSAVER_WINDOW), on the root window (-root); it
# follows the given window's size; SIGTERM ends it at once with status 0,
# and so does the end of the window it draws into, without a word. A
# window number that names nothing is an error with status 1.
. "$(dirname "$0")/lib.sh"
PICTURES="$TEST_HOME/pictures"
make_pictures "$PICTURES"
SHOW=(-pictures "$PICTURES" -no-shuffle "${PLAIN[@]}" -show 60)

# A window of another program to draw into (its one small child sits in a
# corner).
host_window() {
    other_start xev -name cubehost -geometry 400x300+10+10
    HOST_PID=$OTHER_PID
    HOST=$(wait_window "cubehost") || fail "the host window did not appear"
}

# Ends the program with SIGTERM and checks its quick, clean end.
terminate() {
    kill -TERM "$HACK_PID"
    wait_exit "$HACK_PID" 3
    local status=$?
    [ $status -eq 0 ] || fail "$1: SIGTERM ended the program with status $status"
}

host_window
hack_start -window-id "$HOST" "${SHOW[@]}"
wait_colour "$HOST" red 20 || fail "-window-id $HOST: the first picture did not show"
# The given window grows; the cube follows it.
xdotool windowsize "$HOST" 600 400
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$HOST")"
# The huge cube fills the window; the old 400x300 would leave this corner.
rgb=$(pixel_at "$HOST" $((WIDTH - 10)) $((HEIGHT - 10)))
[ "$(colour_name "$rgb")" = red ] || fail "after a resize to 600x400 the corner shows $rgb, not the cube"
terminate "-window-id"

hex=$(printf '0x%x' "$HOST")
XSCREENSAVER_WINDOW=$hex hack_start "${SHOW[@]}"
wait_colour "$HOST" red 20 || fail "XSCREENSAVER_WINDOW=$hex: the first picture did not show"
# The host goes away under the program: it ends quietly.
: >"$HACK_LOG"
kill "$HOST_PID"
wait_exit "$HACK_PID" 10
status=$?
[ $status -eq 0 ] || fail "the end of its window ended the program with status $status"
[ ! -s "$HACK_LOG" ] || fail "the end of its window was not quiet: $(cat "$HACK_LOG")"

hack_start -root "${SHOW[@]}"
root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
wait_colour "$root" red 20 || fail "-root: the first picture did not show on the root window"
terminate "-root"

: >"$HACK_LOG"
"$PROGRAM" -window-id 0x3fffff0 "${SHOW[@]}" >"$HACK_LOG" 2>&1
status=$?
[ $status -eq 1 ] || fail "a window that does not exist gave status $status"
grep -q "no window 0x3fffff0" "$HACK_LOG" || fail "no clear message for a missing window"
echo "PASS"
