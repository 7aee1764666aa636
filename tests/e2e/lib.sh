# Sourced by the end-to-end tests: the real CubeSaver.scr under Wine, driven
# from outside with xdotool and looked at with ImageMagick.
#   SCR        the program
#   e2e_start ARGS...   start it in the background (pid in SAVER_PID)
#   wait_window TITLE [SECONDS]   echo the X window id once it is mapped (wine-env.sh)
#   wait_exit PID [SECONDS]       wait for a process; returns its status (124 on timeout)
set -u
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$E2E_DIR/../.." && pwd)
. "$ROOT/scripts/wine-env.sh"
. "$ROOT/tests/support/x_helpers.sh"
: "${BUILD_DIR:=$ROOT/build/windows}"
: "${WINEPREFIX:=$BUILD_DIR/wineprefix}"
export WINEPREFIX
SCR="$BUILD_DIR/CubeSaver.scr"
[ -f "$SCR" ] || { echo "missing $SCR"; exit 1; }

E2E_OWN_DISPLAY=0
E2E_PIDS=()
# Commands for the end of the test, run once every program it started has
# ended (so that nothing still running can write after them).
E2E_AT_EXIT=()
# The saver's own output (its traces included) for a failing test to show.
E2E_LOG=$(mktemp --suffix=.log)
e2e_cleanup() {
    local status=$? pid action
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${E2E_PIDS[@]}"; do
        wait_exit "$pid" 15 >/dev/null 2>&1
        [ $? -ne 124 ] || { echo "cleanup: process $pid did not end" >&2; status=1; }
    done
    for action in "${E2E_AT_EXIT[@]}"; do
        eval "$action" || { echo "cleanup: '$action' failed" >&2; status=1; }
    done
    rm -f "$E2E_LOG"
    if [ "$E2E_OWN_DISPLAY" = 1 ]; then
        wine_stop_server
        xvfb_stop
    fi
    exit $status
}
trap e2e_cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
    xvfb_start
    E2E_OWN_DISPLAY=1
fi
wine_prepare_prefix
wine_start_services
wine_warm_up "$BUILD_DIR/tests/e2e/wine_warmup.exe"

# For tests that store settings (through scripts/saver-prefix.sh): the
# settings key goes when the test ends, so the next test starts clean.
forget_settings_on_exit() {
    E2E_AT_EXIT+=(saver_forget_settings)
}

fail() {
    echo "FAIL: $*"
    if [ -s "$E2E_LOG" ]; then
        echo "--- the saver's output (last 40 lines):"
        tail -n 40 "$E2E_LOG"
    fi
    exit 1
}

e2e_start() {
    WINEDEBUG=-all,err+all,+debugstr wine "$SCR" "$@" >>"$E2E_LOG" 2>&1 &
    SAVER_PID=$!
    E2E_PIDS+=("$SAVER_PID")
}

window_exists() {
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1
}

