# Sourced by the tests that drive a program on an X display from outside:
# keys with xdotool, pictures of windows with ImageMagick.
#   wait_exit PID [SECONDS]       wait for a process; returns its status (124 on timeout)
#   press_key WINDOW KEY          a key through the X test extension
#   wait_drawn WINDOW [MIN_COLOURS] [SECONDS]
#   pixel_at WINDOW X Y           "r,g,b"
#   colour_sequence SECONDS COUNT COMMAND...   the pure colours COMMAND names, in turn
#   switch_gaps_between LOW HIGH   every gap between the first four of TIMES, or a message
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

# The name of a pure colour ("red", "green", "blue", "yellow", "black") from
# "r,g,b", or "other".
colour_name() {
    local r g b
    IFS=, read -r r g b <<<"$1"
    [ -n "$b" ] || { echo other; return; }
    if [ "$r" -gt 200 ] && [ "$g" -gt 200 ] && [ "$b" -lt 60 ]; then echo yellow
    elif [ "$r" -gt 200 ] && [ "$g" -lt 60 ] && [ "$b" -lt 60 ]; then echo red
    elif [ "$g" -gt 200 ] && [ "$r" -lt 60 ] && [ "$b" -lt 60 ]; then echo green
    elif [ "$b" -gt 200 ] && [ "$r" -lt 60 ] && [ "$g" -lt 60 ]; then echo blue
    elif [ "$r" -lt 8 ] && [ "$g" -lt 8 ] && [ "$b" -lt 8 ]; then echo black
    else echo other; fi
}

# Runs COMMAND (which echoes a colour name) again and again for up to
# SECONDS or until COUNT colours are seen, and leaves the pure colours
# (black, the background, aside) that held
# for 0.7 s in SEQUENCE and the seconds they came at in TIMES. A turn sweeps
# other faces across a point only for a moment; a picture stays in view
# for its whole showing period.
colour_sequence() {
    local seconds=$1 count=$2 last="" candidate="" since=0 start=$SECONDS colour now t0
    shift 2
    SEQUENCE=(); TIMES=()
    t0=$(date +%s.%N)
    while [ $((SECONDS - start)) -lt "$seconds" ] && [ ${#SEQUENCE[@]} -lt "$count" ]; do
        colour=$("$@")
        now=$(awk -v a="$(date +%s.%N)" -v b="$t0" 'BEGIN { printf "%.2f", a - b }')
        if [ "$colour" != "$candidate" ]; then
            candidate=$colour
            since=$now
        elif [ "$colour" != other ] && [ "$colour" != black ] && [ "$colour" != "$last" ] &&
             awk -v n="$now" -v s="$since" 'BEGIN { exit !(n - s >= 0.7) }'; then
            SEQUENCE+=("$colour"); TIMES+=("$since"); last=$colour
        fi
    done
}

# Echoes what is wrong when a gap between the first four colours that
# colour_sequence saw is not within LOW and HIGH seconds.
switch_gaps_between() {
    local low=$1 high=$2 i gap
    for i in 1 2 3; do
        gap=$(awk -v a="${TIMES[$i]}" -v b="${TIMES[$((i - 1))]}" 'BEGIN { printf "%.2f", a - b }')
        awk -v g="$gap" -v l="$low" -v h="$high" 'BEGIN { exit !(g > l && g < h) }' ||
            { echo "switch $i came after ${gap}s"; return 1; }
    done
}
