#!/bin/bash
# In a window of its own, without shuffling: red, green, blue and red
# again, about 3 s apart (2 s shown, 1 s turning). 'a' moves on long before
# the showing period is up; Escape and q end the program with status 0.
. "$(dirname "$0")/lib.sh"
PICTURES="$TEST_HOME/pictures"
make_pictures "$PICTURES"

hack_start -window -pictures "$PICTURES" -no-shuffle "${PLAIN[@]}" -show 2 -turn 1
window=$(wait_window "Cube Saver") || fail "no window appeared"

colour_sequence 12 4 centre_colour "$window"
sequence=("${SEQUENCE[@]}"); times=("${TIMES[@]}")
echo "seen: ${sequence[*]} at ${times[*]}"
[ "${sequence[*]:0:4}" = "red green blue red" ] || fail "expected red green blue red, saw ${sequence[*]}"
gaps=$(switch_gaps_between 2.0 4.5) || fail "$gaps, not about 3s"

kill -0 "$HACK_PID" 2>/dev/null || fail "the program ended by itself"
press_key "$window" Escape
wait_exit "$HACK_PID" 10
status=$?
[ $status -eq 0 ] || fail "Escape ended the program with status $status"

# With 8 s showing periods: 'a' brings green within 3 s of the press.
hack_start -window -pictures "$PICTURES" -no-shuffle "${PLAIN[@]}" -show 8 -turn 1
window=$(wait_window "Cube Saver") || fail "no window appeared the second time"
wait_colour "$window" red 10 || fail "the first picture is not red"
press_key "$window" a
wait_colour "$window" green 3 || fail "'a' did not bring the next picture"
kill -0 "$HACK_PID" 2>/dev/null || fail "a command key ended the program"
press_key "$window" q
wait_exit "$HACK_PID" 10
status=$?
[ $status -eq 0 ] || fail "q ended the program with status $status"
echo "PASS"
