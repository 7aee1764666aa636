# Sourced: a private X display, for the Wine tests and the Linux program's.
#   xvfb_start / xvfb_stop  a private X display on a free number
#   wait_window TITLE [SECONDS]  echo the X window id once it is mapped
XVFB_PID=${XVFB_PID:-}  # kept when this file is sourced again
xvfb_start() {
    local fifo number
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    # Without -noreset the server starts over whenever its last client
    # leaves, and a program that connects in that moment finds no display:
    # a test that runs one program after another would fail now and then.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    read -r number <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$number"
}

xvfb_stop() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=""
    fi
}

# TITLE is matched whole, as a regular expression; 30 seconds unless given.
wait_window() {
    local title=$1 seconds=${2:-30} id
    local deadline=$((SECONDS + seconds))
    while [ $SECONDS -lt $deadline ]; do
        id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

