#!/bin/bash
# Two monitors, given to Wine by a Xephyr with Xinerama inside the test's own
# X display. With "Other monitors: Black" the full-screen saver draws its red
# picture on the first monitor and covers the second one (1024,0 800x600,
# grey desktop before) with black; with a cube of their own both monitors
# show pictures, each the next of the list, so never the same one at once.
# A key on either monitor ends it and leaves no window.
. "$(dirname "$0")/lib.sh"
. "$ROOT/scripts/saver-prefix.sh"
command -v Xephyr >/dev/null || fail "Xephyr is missing (package xserver-xephyr)"

PICTURES="$BUILD_DIR/e2e-monitor-pictures"
mkdir -p "$PICTURES"
convert -size 64x64 xc:'#ff0000' BMP3:"$PICTURES/red.bmp"

xephyr_two_monitors_start || fail "Xephyr did not start"
# Wine's desktop process keeps the monitors it found: the next test starts a
# fresh one on its own display.
E2E_AT_EXIT+=(saver_forget_settings wine_stop_server xephyr_stop)
# Wine takes the monitor layout from the display its desktop process starts on.
wine_stop_server
wine_start_services

saver_prefix_init "$WINEPREFIX"
saver_reg_list Pictures "$(win_path "$PICTURES/red.bmp")"
saver_reg_dwords 000_100 1 000_101 0 000_102 1 000_103 0 000_104 0 000_105 0 000_106 2 000_107 2 \
    OtherMonitors 0
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
    [ -n "$COVER" ] || fail "no window over the second monitor"
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

# A cube on each monitor: four pictures in order, the monitors a picture
# apart. The centre of each monitor is sampled from one screenshot at a
# time, so the two colours are seen at the same moment.
for colour in green:'#00ff00' blue:'#0000ff' yellow:'#ffff00'; do
    convert -size 64x64 xc:"${colour#*:}" BMP3:"$PICTURES/${colour%%:*}.bmp"
done
saver_reg_list Pictures "$(win_path "$PICTURES/red.bmp")" "$(win_path "$PICTURES/green.bmp")" \
    "$(win_path "$PICTURES/blue.bmp")" "$(win_path "$PICTURES/yellow.bmp")"
saver_reg_dword OtherMonitors 1
start_covered
first_seen=(); second_seen=(); same=0; deadline=$((SECONDS + 20))
while [ $SECONDS -lt $deadline ]; do
    shot=$(mktemp --suffix=.png)
    import -window root "$shot" 2>/dev/null
    read -r a b <<<"$(convert "$shot" -format '%[fx:int(255*p{512,384}.r)],%[fx:int(255*p{512,384}.g)],%[fx:int(255*p{512,384}.b)] %[fx:int(255*p{1424,300}.r)],%[fx:int(255*p{1424,300}.g)],%[fx:int(255*p{1424,300}.b)]' info:)"
    rm -f "$shot"
    a=$(colour_name "$a"); b=$(colour_name "$b")
    [ "$a" != other ] && [[ " ${first_seen[*]} " != *" $a "* ]] && first_seen+=("$a")
    [ "$b" != other ] && [[ " ${second_seen[*]} " != *" $b "* ]] && second_seen+=("$b")
    [ "$a" != other ] && [ "$a" = "$b" ] && same=$((same + 1))
    [ ${#first_seen[@]} -ge 2 ] && [ ${#second_seen[@]} -ge 2 ] && [ $SECONDS -gt $((deadline - 8)) ] && break
done
echo "first monitor showed: ${first_seen[*]}; second: ${second_seen[*]}; same colour at once: $same times"
[ ${#first_seen[@]} -ge 2 ] || fail "the first monitor showed fewer than two pictures: ${first_seen[*]}"
[ ${#second_seen[@]} -ge 2 ] || fail "the second monitor showed fewer than two pictures: ${second_seen[*]}"
[ "$same" -le 1 ] || fail "both monitors showed the same picture at once ($same samples)"
press_key "$COVER" q
wait_exit "$SAVER_PID" 15 || fail "a key on the second monitor did not end the saver with two cubes"
window_exists "Cube Saver" && fail "a saver window was left behind after a key on the second monitor"
echo "PASS"
