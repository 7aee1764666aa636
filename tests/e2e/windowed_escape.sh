#!/bin/bash
# The windowed saver at 640x480 ends when Escape is released.
. "$(dirname "$0")/lib.sh"
e2e_start /w 640x480
window=$(wait_window "Cube Saver") || fail "no saver window appeared"
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
echo "window $window geometry $geometry"
wait_drawn "$window" || fail "the saver window was never drawn"
press_key "$window" Escape
wait_exit "$SAVER_PID" 15
status=$?
[ $status -eq 0 ] || fail "the saver did not end on Escape (status $status)"
echo "PASS"
