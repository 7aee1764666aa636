#!/bin/bash
# A folder named in Greek and Japanese, stored in the picture list as a
# folder: the saver finds the picture in it (named in both scripts too),
# decodes it and shows it; the stored list is unchanged afterwards.
export LC_ALL=C.UTF-8  # Wine passes command-line texts on in the locale's encoding
. "$(dirname "$0")/lib.sh"
. "$ROOT/scripts/saver-prefix.sh"
PICTURES="$BUILD_DIR/e2e-unicode/Φωτογραφίες 写真"
rm -rf "$BUILD_DIR/e2e-unicode"
mkdir -p "$PICTURES"
convert -size 64x64 xc:'#ff0000' PNG24:"$PICTURES/κόκκινο 赤.png"

saver_prefix_init "$WINEPREFIX"
forget_settings_on_exit
folder="$(win_path "$PICTURES")\\"
saver_reg_list Pictures "$folder"
saver_reg_dwords 000_100 1 000_101 0 000_102 1 000_103 0 000_104 0 000_105 0 000_106 2 000_107 2

e2e_start /w 640x480
window=$(wait_window "Cube Saver") || fail "no saver window appeared"
eval "$(xdotool getwindowgeometry --shell "$window")"
deadline=$((SECONDS + 30))
while :; do
    IFS=, read -r r g b <<<"$(pixel_at "$window" $((WIDTH / 2)) $((HEIGHT / 2)))"
    [ "${r:-0}" -gt 200 ] && [ "${g:-255}" -lt 60 ] && [ "${b:-255}" -lt 60 ] && break
    [ $SECONDS -lt $deadline ] || fail "the picture in \"$folder\" was not shown (centre $r,$g,$b)"
    sleep 0.3
done
press_key "$window" Escape
wait_exit "$SAVER_PID" 15 || fail "the saver did not end on Escape"

# reg query prints in the console's code page; an export is UTF-16.
stored=$(reg_values_of "$SAVER_KEY_FULL\\Pictures") || fail "the picture list could not be read back"
[ "$stored" = "$(reg_string_line 00000 "$folder")" ] || fail "the stored list now holds $stored, not \"$folder\""
echo "PASS"
