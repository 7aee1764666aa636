# Sourced: Wine settings shared by the test and run scripts.
#   wine_prepare_prefix   create and initialise $WINEPREFIX once
#   wine_warm_up PROGRAM  run a first GUI program once per prefix
#   xvfb_start, xvfb_stop, wait_window   from xvfb.sh
#   SETTINGS_TITLE        the settings dialog's caption, with the version
. "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
export WINEARCH=win64

wine_prepare_prefix() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.cubesaver-ready" ]; then
            wineboot -i >/dev/null 2>&1 || true
            wineserver -w
            touch "$WINEPREFIX/.cubesaver-ready"
        fi
    ) 9>"$WINEPREFIX.lock"
}

# Starts a persistent server for $WINEPREFIX and Wine's own services with
# their output going nowhere. Otherwise the services would be started by the
# first program run and inherit its output pipe, and a test runner reading
# that pipe would wait for them forever.
wine_start_services() {
    wineserver -p >/dev/null 2>&1 </dev/null
    wine cmd /c exit 0 >/dev/null 2>&1 </dev/null
}

# Ends every program of $WINEPREFIX and its server, and waits until the
# server has saved the registry and gone, so that the next program starts a
# fresh one (a new desktop with new monitors or DPI) instead of meeting the
# old one on its way out.
wine_stop_server() {
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
}

# The first window and the first OpenGL pixel format of a new machine (fonts,
# Mesa's caches) can take longer than a test waits for a window; a tiny GUI
# program takes that wait once, before anything is timed.
wine_warm_up() {
    local program=$1
    [ -f "$WINEPREFIX/.cubesaver-warm" ] && return 0
    [ -f "$program" ] || return 0
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.cubesaver-warm" ]; then
            timeout 300 wine "$program" >/dev/null 2>&1 </dev/null
            touch "$WINEPREFIX/.cubesaver-warm"
        fi
    ) 9>"$WINEPREFIX.lock"
}

# Two monitors for Wine: a Xephyr with Xinerama inside the current display,
# 1024x768 at 0,0 and 800x600 at 1024,0; DISPLAY names it from then on.
# Wine takes the monitor layout from the display its desktop process starts
# on: stop the server before and after.
XEPHYR_PID=${XEPHYR_PID:-}
xephyr_two_monitors_start() {
    local fifo number
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xephyr -displayfd 3 -screen 1024x768 -origin 1024,0 -screen 800x600 +xinerama -extension RANDR -nolisten tcp \
        3>"$fifo" >/dev/null 2>&1 &
    XEPHYR_PID=$!
    read -r number <"$fifo"
    rm -f "$fifo"
    [ -n "$number" ] || return 1
    export DISPLAY=":$number"
}

xephyr_stop() {
    if [ -n "$XEPHYR_PID" ]; then
        kill "$XEPHYR_PID" 2>/dev/null || true
        wait "$XEPHYR_PID" 2>/dev/null || true
        XEPHYR_PID=""
    fi
}

# The Windows path of a file or folder on this machine, without starting a
# Wine program: the prefix's drive Z: is the root of the file system (checked).
win_path() {
    local path=$1
    [[ $path == /* ]] || { echo "win_path: '$path' is not an absolute path" >&2; return 1; }
    if [ "$(readlink "$WINEPREFIX/dosdevices/z:")" != / ]; then
        echo "win_path: drive Z: of $WINEPREFIX is not the root folder" >&2
        return 1
    fi
    printf 'Z:%s\n' "${path//\//\\}"
}

# The program's version (major.minor), which the settings dialog's caption
# and the first-run marker carry.
CUBESAVER_VERSION=$(sed -n 's/^project(CubeSaver VERSION \([0-9.]*\).*/\1/p' \
    "$(dirname "${BASH_SOURCE[0]}")/../CMakeLists.txt")
SETTINGS_TITLE="Cube Saver $CUBESAVER_VERSION Settings"
