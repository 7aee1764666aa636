#!/bin/bash
# /c, "Customize Picture List...": the list dialog shows the stored list
# with the first picture in its preview, and OK keeps the list exactly as
# stored.
. "$(dirname "$0")/lib.sh"
KEY='HKCU\Software\Quillmark Graphics\Cube Saver\Pictures'
PICTURES=$(mktemp -d)
convert -size 320x200 plasma:fractal "$PICTURES/first.png"
convert -size 200x300 gradient:red-blue "$PICTURES/second.bmp"
entries=("$(winepath -w "$PICTURES/first.png")" "$(winepath -w "$PICTURES")\\" "$(winepath -w "$PICTURES/second.bmp")")

wine reg delete "$KEY" /f >/dev/null 2>&1
for i in "${!entries[@]}"; do
    wine reg add "$KEY" /v "$(printf '%05d' "$i")" /t REG_SZ /d "${entries[$i]}" /f >/dev/null 2>&1
done

e2e_start /c
settings=$(wait_window "$SETTINGS_TITLE") || fail "no settings dialog appeared"
sleep 1
# The button sits at (16, 20) dialog units on the Pictures page, 110 x 14,
# and the page at (10, 30) pixels in the dialog of 322 x 255 units.
eval "$(xdotool getwindowgeometry --shell "$settings")"
xdotool mousemove --window "$settings" $((10 + 71 * WIDTH / 322)) $((30 + 27 * HEIGHT / 255)) click 1
window=$(wait_window "Customize Picture List") || fail "no list dialog appeared"
sleep 3
shot=$(mktemp --suffix=.png)
import -window "$window" "$shot" 2>/dev/null || fail "no screenshot of the dialog"
# The preview frame takes the right third of the dialog: a picture there has
# far more colours than the plain dialog face.
colours=$(convert "$shot" -gravity East -crop 30%x50%+0+0 -format %k info:)
rm -f "$shot"
echo "colours in the preview: $colours"
[ "$colours" -gt 500 ] || fail "the preview shows no picture"

press_key "$window" Return
for _ in $(seq 50); do window_exists "Customize Picture List" || break; sleep 0.2; done
window_exists "Customize Picture List" && fail "the list dialog did not end with OK"
press_key "$settings" Escape
wait_exit "$SAVER_PID" 15 || fail "the settings dialog did not end on Escape"
stored=$(wine reg query "$KEY" 2>/dev/null | tr -d '\r' | grep -c REG_SZ)
[ "$stored" -eq 3 ] || fail "OK left $stored entries, not 3"
for i in "${!entries[@]}"; do
    value=$(wine reg query "$KEY" /v "$(printf '%05d' "$i")" 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
    [ "$value" = "${entries[$i]}" ] || fail "entry $i is '$value', not '${entries[$i]}'"
done
rm -rf "$PICTURES"
wine reg delete "$KEY" /f >/dev/null 2>&1
echo "PASS"
