#!/bin/bash
# A second full-screen saver ends at once; the first keeps running.
. "$(dirname "$0")/lib.sh"
e2e_start /s
first=$SAVER_PID
window=$(wait_window "Cube Saver") || fail "the first saver showed no window"
e2e_start -S
second=$SAVER_PID
wait_exit "$second" 20
status=$?
[ $status -eq 0 ] || fail "the second saver did not end by itself (status $status)"
sleep 1
kill -0 "$first" 2>/dev/null || fail "the first saver ended too"
window_exists "Cube Saver" || fail "the first saver's window is gone"
[ "$(xdotool search --onlyvisible --name '^Cube Saver$' | wc -l)" -eq 1 ] || fail "more than one saver window"
# Any key ends the full-screen saver (within the grace period, no password).
press_key "$window" q
wait_exit "$first" 15 || fail "the first saver did not end on a key"
echo "PASS"
