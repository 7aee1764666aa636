#!/bin/bash
# A folder of GIF, TIFF, icon and JPEG pictures, with a broken GIF and a
# .heic of random bytes among them: the saver lists the folder's pictures in
# the system's formats and shows red, green, blue and yellow in name order on
# the cube. The broken GIF is listed and, like any unreadable picture, gives
# its turn to the built-in picture; the .heic, for which this computer has no
# codec, is not listed at all. Every switch keeps the rhythm.
. "$(dirname "$0")/lib.sh"
. "$ROOT/scripts/saver-prefix.sh"
PICTURES="$BUILD_DIR/e2e-system-formats"
rm -rf "$PICTURES"
mkdir -p "$PICTURES"
convert -size 64x48 xc:'#ff0000' "$PICTURES/a-red.gif"
# Its header is sound; what follows it is not.
{ head -c 40 "$PICTURES/a-red.gif"; head -c 600 /dev/zero | tr '\0' '\377'; } >"$PICTURES/b-broken.gif"
convert -size 48x64 xc:'#00ff00' "$PICTURES/c-green.tif"
{ printf '\x17'; head -c 4000 /dev/urandom; } >"$PICTURES/d-phone.heic"
convert -size 32x32 xc:'#0000ff' "$PICTURES/e-blue.ico"
convert -size 64x64 xc:'#ffff00' "$PICTURES/f-yellow.jpg"

saver_prefix_init "$WINEPREFIX"
forget_settings_on_exit
saver_reg_list Pictures "$(win_path "$PICTURES")\\"
saver_reg_dwords 000_100 1 000_101 0 000_102 1 000_103 0 000_104 0 000_105 0 000_106 2 000_107 2

e2e_start /w 640x480
window=$(wait_window "Cube Saver") || fail "no saver window appeared"
eval "$(xdotool getwindowgeometry --shell "$window")"
centre_colour() { colour_name "$(pixel_at "$window" $((WIDTH / 2)) $((HEIGHT / 2)))"; }

# Five switches (the first picture again at the end), one showing period of
# 3 s apart; red to green takes two, the built-in picture's between them
# (red was up a moment before it was first seen).
colour_sequence 40 5 centre_colour
echo "seen: ${SEQUENCE[*]}"
echo "at:   ${TIMES[*]}"
[ "${SEQUENCE[*]}" = "red green blue yellow red" ] || fail "expected red green blue yellow red, saw ${SEQUENCE[*]}"
for i in 1 2 3 4; do
    gap=$(awk -v a="${TIMES[$i]}" -v b="${TIMES[$((i - 1))]}" 'BEGIN { printf "%.2f", a - b }')
    periods=1; [ "$i" = 1 ] && periods=2
    awk -v g="$gap" -v n=$periods 'BEGIN { exit !(g > 2 * n && g < 3 * n + 1.5) }' ||
        fail "switch $i came after ${gap}s, not after $periods showing period(s) of about 3s"
done
press_key "$window" Escape
wait_exit "$SAVER_PID" 15 || fail "the saver did not end on Escape"
echo "PASS"
