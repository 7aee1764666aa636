#!/bin/bash
# Two monitors, given to Wine by a Xephyr with Xinerama inside the test's own
# X display: the full-screen saver draws its red picture on the first monitor
# and covers the second one (1024,0 800x600, grey desktop before) with black;
# a key on either monitor ends it.
. "$(dirname "$0")/lib.sh"
. "$ROOT/scripts/saver-prefix.sh"
command -v Xephyr >/dev/null || fail "Xephyr is missing (package xserver-xephyr)"

PICTURES="$BUILD_DIR/e2e-monitor-pictures"
mkdir -p "$PICTURES"
convert -size 64x64 xc:'#ff0000' BMP3:"$PICTURES/red.bmp"

fifo=$(mktemp -u)
mkfifo "$fifo"
Xephyr -displayfd 3 -screen 1024x768 -origin 1024,0 -screen 800x600 +xinerama -extension RANDR -nolisten tcp \
    3>"$fifo" >/dev/null 2>&1 &
XEPHYR_PID=$!
read -r number <"$fifo"
rm -f "$fifo"
[ -n "$number" ] || fail "Xephyr did not start"
export DISPLAY=":$number"
stop_xephyr() {
    kill "$XEPHYR_PID" 2>/dev/null
    wait "$XEPHYR_PID" 2>/dev/null
}
# Wine's desktop process keeps the monitors it found: the next test starts a
# fresh one on its own display.
E2E_AT_EXIT+=(saver_forget_settings wine_stop_server stop_xephyr)
# Wine takes the monitor layout from the display its desktop process starts on.
wine_stop_server
wine_start_services

saver_prefix_init "$WINEPREFIX"
saver_reg_list Pictures "$(win_path "$PICTURES/red.bmp")"
saver_reg_dwords 000_100 1 000_101 0 000_102 1 000_103 0 000_104 0 000_105 0 000_106 2 000_107 2
convert -size 1824x768 xc:'#808080' "$PICTURES/desktop.png"
display -window root "$PICTURES/desktop.png"

# The mean brightness (0..1) and the colour of the centre of a region of the screen.
region() {
    local geometry=$1 shot
    shot=$(mktemp --suffix=.png)
    import -window root "$shot" 2>/dev/null
    convert "$shot" -crop "$geometry" +repage \
        -format "%[fx:mean] %[fx:int(255*p{w/2,h/2}.r)],%[fx:int(255*p{w/2,h/2}.g)],%[fx:int(255*p{w/2,h/2}.b)]" info:
    rm -f "$shot"
}
read -r before _ <<<"$(region 800x600+1024+0)"
awk -v m="$before" 'BEGIN { exit !(m > 0.4) }' || fail "the second monitor did not show the grey desktop ($before)"

# Starts the saver and waits for its two windows; sets MAIN and COVER.
start_covered() {
    e2e_start /s
    local deadline=$((SECONDS + 60)) id
    MAIN=""; COVER=""
    while [ $SECONDS -lt $deadline ] && { [ -z "$MAIN" ] || [ -z "$COVER" ]; }; do
        for id in $(xdotool search --onlyvisible --name '^Cube Saver$' 2>/dev/null); do
            eval "$(xdotool getwindowgeometry --shell "$id")"
            [ "$X,$Y,$WIDTH,$HEIGHT" = "0,0,1024,768" ] && MAIN=$id
            [ "$X,$Y,$WIDTH,$HEIGHT" = "1024,0,800,600" ] && COVER=$id
        done
        sleep 0.2
    done
    [ -n "$MAIN" ] || fail "no saver window over the first monitor"
    [ -n "$COVER" ] || fail "no black window over the second monitor"
}

# Polls until the primary monitor's centre is red; echoes the second monitor's brightness.
await_picture() {
    local deadline=$((SECONDS + 30)) primary colour mean
    while [ $SECONDS -lt $deadline ]; do
        read -r _ colour <<<"$(region 1024x768+0+0)"
        IFS=, read -r r g b <<<"$colour"
        if [ "$r" -gt 200 ] && [ "$g" -lt 60 ] && [ "$b" -lt 60 ]; then
            read -r mean _ <<<"$(region 800x600+1024+0)"
            echo "$mean"
            return 0
        fi
        sleep 0.3
    done
    return 1
}

for target in cover main; do
    start_covered
    mean=$(await_picture) || fail "the picture did not show on the first monitor"
    awk -v m="$mean" 'BEGIN { exit !(m < 0.01) }' || fail "the second monitor is not black (mean $mean)"
    echo "$target run: second monitor mean $mean"
    if [ "$target" = cover ]; then window=$COVER; else window=$MAIN; fi
    press_key "$window" q
    wait_exit "$SAVER_PID" 15 || fail "a key on the $target window did not end the saver"
    window_exists "Cube Saver" && fail "a saver window was left behind after a key on the $target window"
done
echo "PASS"
