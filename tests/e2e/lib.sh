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

wait_exit() {
    local pid=$1 seconds=${2:-20}
    local deadline=$((SECONDS + seconds))
    while kill -0 "$pid" 2>/dev/null; do
        [ $SECONDS -ge $deadline ] && return 124
        sleep 0.1
    done
    wait "$pid"
}

# Sends a key to a window through the X test extension (Wine ignores
# synthetic events).
press_key() {
    local window=$1 key=$2
    xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowfocus --sync "$window" >/dev/null 2>&1
    xdotool key "$key"
}

# Waits until WINDOW shows at least MIN_COLOURS colours (2 unless given):
# drawn, rather than only mapped.
wait_drawn() {
    local window=$1 min=${2:-2} seconds=${3:-30} file colours
    local deadline=$((SECONDS + seconds))
    file=$(mktemp --suffix=.png)
    while [ $SECONDS -lt $deadline ]; do
        if import -window "$window" "$file" 2>/dev/null; then
            colours=$(convert "$file" -format %k info: 2>/dev/null)
            [ "${colours:-0}" -ge "$min" ] && { rm -f "$file"; return 0; }
        fi
        sleep 0.2
    done
    rm -f "$file"
    return 1
}

# The colour of one pixel of a window as "r,g,b".
pixel_at() {
    local window=$1 x=$2 y=$3 file
    file=$(mktemp --suffix=.png)
    import -window "$window" "$file" 2>/dev/null || { rm -f "$file"; return 1; }
    convert "$file" -format "%[fx:int(255*p{$x,$y}.r)],%[fx:int(255*p{$x,$y}.g)],%[fx:int(255*p{$x,$y}.b)]" info:
    rm -f "$file"
}

# The name of the pure colour at a window's pixel (red, green, blue or
# yellow), or "other".
pure_colour_at() {
    local rgb r g b
    rgb=$(pixel_at "$1" "$2" "$3") || { echo other; return; }
    IFS=, read -r r g b <<<"$rgb"
    if [ "$r" -gt 200 ] && [ "$g" -gt 200 ] && [ "$b" -lt 60 ]; then echo yellow
    elif [ "$r" -gt 200 ] && [ "$g" -lt 60 ] && [ "$b" -lt 60 ]; then echo red
    elif [ "$g" -gt 200 ] && [ "$r" -lt 60 ] && [ "$b" -lt 60 ]; then echo green
    elif [ "$b" -gt 200 ] && [ "$r" -lt 60 ] && [ "$g" -lt 60 ]; then echo blue
    else echo other; fi
}

# Watches a window's centre for up to SECONDS, or until COUNT pictures were
# seen, and fills SEEN (colours in order) and SEEN_AT (seconds from the
# start at which each first showed). A colour counts once it has held for
# 0.7 s: a turn can sweep another face across the centre for a moment, but a
# picture stays in view for its whole showing period.
watch_centre() {
    local window=$1 seconds=$2 count=${3:-1000} x y colour now candidate="" since=0 last="" start=$SECONDS t0
    eval "$(xdotool getwindowgeometry --shell "$window")"
    x=$((WIDTH / 2)); y=$((HEIGHT / 2))
    SEEN=(); SEEN_AT=()
    t0=$(date +%s.%N)
    while [ $((SECONDS - start)) -lt "$seconds" ] && [ ${#SEEN[@]} -lt "$count" ]; do
        colour=$(pure_colour_at "$window" $x $y)
        now=$(awk -v a="$(date +%s.%N)" -v b="$t0" 'BEGIN { printf "%.2f", a - b }')
        if [ "$colour" != "$candidate" ]; then
            candidate=$colour
            since=$now
        elif [ "$colour" != other ] && [ "$colour" != "$last" ] &&
             awk -v n="$now" -v s="$since" 'BEGIN { exit !(n - s >= 0.7) }'; then
            SEEN+=("$colour"); SEEN_AT+=("$since"); last=$colour
        fi
    done
    echo "seen: ${SEEN[*]}"
    echo "at:   ${SEEN_AT[*]}"
}

# Seconds between the I-th and the one before in SEEN_AT.
seen_gap() {
    awk -v a="${SEEN_AT[$1]}" -v b="${SEEN_AT[$(($1 - 1))]}" 'BEGIN { printf "%.2f", a - b }'
}
