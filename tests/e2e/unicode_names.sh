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
folder="$(winepath -w "$PICTURES")\\"
saver_reg_list Pictures "$folder"
for setting in "000_100 1" "000_101 0" "000_102 1" "000_103 0" "000_104 0" "000_105 0" "000_106 2" "000_107 2"; do
    saver_reg_dword $setting
done
forget_settings_on_exit

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
export_file="$BUILD_DIR/e2e-unicode/list.reg"
wine reg export "$SAVER_KEY\\Pictures" "$(winepath -w "$export_file")" /y >/dev/null 2>&1
stored=$(iconv -f UTF-16 -t UTF-8 "$export_file" | tr -d '\r' | sed -n 's/^"00000"="\(.*\)"$/\1/p' | sed 's/\\\\/\\/g')
[ "$stored" = "$folder" ] || fail "the stored list now holds \"$stored\", not \"$folder\""
echo "PASS"
