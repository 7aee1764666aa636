#!/bin/bash
# A preview switch without a usable window number creates no window and exits.
. "$(dirname "$0")/lib.sh"
for args in "/p" "/p 987654" "-P:abc"; do
    e2e_start $args
    pid=$SAVER_PID
    appeared=0
    deadline=$((SECONDS + 20))
    while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
        window_exists "Cube Saver Preview" && appeared=1
        sleep 0.1
    done
    wait_exit "$pid" 1
    status=$?
    [ $status -eq 0 ] || fail "'$args' did not exit quietly (status $status)"
    [ $appeared -eq 0 ] || fail "'$args' created a window"
done
echo "PASS"
