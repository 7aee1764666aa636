# Sourced by the Linux program's tests: build/linux/cubesaver on a private
# Xvfb with Mesa, with a home folder of its own, driven from outside.
#   hack_start ARGS...        start the program (pid in HACK_PID, output in HACK_LOG)
#   wait_colour WINDOW COLOUR [SECONDS]   until the window's centre shows COLOUR
#   make_pictures DIR         red, green and blue pictures named in that order
set -u
LINUX_TESTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$LINUX_TESTS/../.." && pwd)
. "$ROOT/scripts/xvfb.sh"
. "$ROOT/tests/support/x_helpers.sh"
: "${BUILD_DIR:=$ROOT/build/linux}"
PROGRAM="$BUILD_DIR/cubesaver"
[ -x "$PROGRAM" ] || { echo "FAIL: missing $PROGRAM"; exit 1; }

TEST_HOME=$(mktemp -d)
export HOME="$TEST_HOME"
unset XDG_STATE_HOME XDG_CONFIG_HOME XSCREENSAVER_WINDOW
HACK_LOG="$TEST_HOME/hack.log"
TEST_PIDS=()

test_cleanup() {
    local status=$? pid
    for pid in "${TEST_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${TEST_PIDS[@]}"; do
        wait_exit "$pid" 15 >/dev/null 2>&1
        [ $? -ne 124 ] || { echo "cleanup: process $pid did not end" >&2; status=1; }
    done
    xvfb_stop
    chmod -R u+rwx "$TEST_HOME" 2>/dev/null
    rm -rf "$TEST_HOME"
    exit $status
}
trap test_cleanup EXIT
xvfb_start

fail() {
    echo "FAIL: $*"
    if [ -s "$HACK_LOG" ]; then
        echo "--- the program's output (last 40 lines):"
        tail -n 40 "$HACK_LOG"
    fi
    exit 1
}

hack_start() {
    "$PROGRAM" "$@" >>"$HACK_LOG" 2>&1 &
    HACK_PID=$!
    TEST_PIDS+=("$HACK_PID")
}

# Starts another program of the test's (pid in OTHER_PID).
other_start() {
    "$@" >/dev/null 2>&1 &
    OTHER_PID=$!
    TEST_PIDS+=("$OTHER_PID")
}

centre_colour() {
    local window=$1 width height rgb
    eval "$(xdotool getwindowgeometry --shell "$window" 2>/dev/null)" || { echo other; return; }
    rgb=$(pixel_at "$window" $((WIDTH / 2)) $((HEIGHT / 2))) || { echo other; return; }
    colour_name "$rgb"
}

wait_colour() {
    local window=$1 want=$2 deadline=$((SECONDS + ${3:-20})) colour=""
    while [ $SECONDS -lt $deadline ]; do
        colour=$(centre_colour "$window")
        [ "$colour" = "$want" ] && return 0
        sleep 0.1
    done
    echo "the centre of $window showed $colour, not $want" >&2
    return 1
}

make_pictures() {
    mkdir -p "$1"
    convert -size 64x48 xc:'#ff0000' "$1/1-red.png"
    convert -size 48x64 xc:'#00ff00' "$1/2-green.jpg"
    convert -size 64x64 xc:'#0000ff' BMP3:"$1/3-blue.bmp"
}

# The flags that put a picture over the whole centre: a huge cube without
# glass on a plain background.
PLAIN=(-style huge -glass none -background solid)
