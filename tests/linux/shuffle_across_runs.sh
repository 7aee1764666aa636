#!/bin/bash
# The shuffle remembers across runs: a run that showed two of three
# pictures is followed by one that opens with the third. The state lives in
# ~/.local/state/cubesaver/, or under $XDG_STATE_HOME when that is set.
. "$(dirname "$0")/lib.sh"
PICTURES="$TEST_HOME/pictures"
make_pictures "$PICTURES"

# The next pure colour other than $2 that holds for 0.7 s.
next_colour() {
    local window=$1 other=$2 deadline=$((SECONDS + 15)) colour seen="" since=0 now
    while [ $SECONDS -lt $deadline ]; do
        colour=$(centre_colour "$window")
        now=$(date +%s.%N)
        if [ "$colour" != "$seen" ]; then
            seen=$colour
            since=$now
        elif [ "$colour" != other ] && [ "$colour" != black ] && [ "$colour" != "$other" ] &&
             awk -v n="$now" -v s="$since" 'BEGIN { exit !(n - s >= 0.7) }'; then
            echo "$colour"
            return 0
        fi
    done
    return 1
}

hack_start -window -pictures "$PICTURES" -shuffle "${PLAIN[@]}" -show 2 -turn 1
window=$(wait_window "Cube Saver") || fail "no window appeared"
first=$(next_colour "$window" none) || fail "the first picture did not show"
second=$(next_colour "$window" "$first") || fail "the second picture did not show"
kill -TERM "$HACK_PID"
wait_exit "$HACK_PID" 5 || fail "SIGTERM did not end the first run cleanly"
state="$HOME/.local/state/cubesaver/shuffle"
[ -s "$state" ] || fail "no shuffle state in $state"

third=$(printf '%s\n' red green blue | grep -vx -e "$first" -e "$second")
hack_start -window -pictures "$PICTURES" -shuffle "${PLAIN[@]}" -show 2 -turn 1
window=$(wait_window "Cube Saver") || fail "no window appeared the second time"
opened=$(next_colour "$window" none) || fail "the second run showed no picture"
echo "first run: $first $second; second run opens with $opened"
[ "$opened" = "$third" ] || fail "the second run opened with $opened, not $third"
kill -TERM "$HACK_PID"
wait_exit "$HACK_PID" 5 || fail "SIGTERM did not end the second run cleanly"

export XDG_STATE_HOME="$TEST_HOME/state"
hack_start -window -pictures "$PICTURES" -shuffle "${PLAIN[@]}"
window=$(wait_window "Cube Saver") || fail "no window appeared the third time"
deadline=$((SECONDS + 10))
until [ -s "$XDG_STATE_HOME/cubesaver/shuffle" ]; do
    [ $SECONDS -lt $deadline ] || fail "no shuffle state under XDG_STATE_HOME"
    sleep 0.1
done
echo "PASS"
