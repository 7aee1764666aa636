#!/bin/bash
# /c, "Customize Picture List...": the list dialog shows the stored list
# with the first picture in its preview, and OK keeps the list exactly as
# stored.
. "$(dirname "$0")/lib.sh"
. "$ROOT/scripts/saver-prefix.sh"
PICTURES=$(mktemp -d)
E2E_AT_EXIT+=("rm -rf '$PICTURES'")
convert -size 320x200 plasma:fractal "$PICTURES/first.png"
convert -size 200x300 gradient:red-blue "$PICTURES/second.bmp"
entries=("$(win_path "$PICTURES/first.png")" "$(win_path "$PICTURES")\\" "$(win_path "$PICTURES/second.bmp")")

saver_prefix_init "$WINEPREFIX"
forget_settings_on_exit
saver_reg_list Pictures "${entries[@]}"

e2e_start /c
settings=$(wait_window "$SETTINGS_TITLE") || fail "no settings dialog appeared"
wait_drawn "$settings" || fail "the settings dialog was never drawn"
# The button sits at (16, 20) dialog units on the Pictures page, 110 x 14,
# and the page at (10, 30) pixels in the dialog of 322 x 255 units.
eval "$(xdotool getwindowgeometry --shell "$settings")"
xdotool mousemove --window "$settings" $((10 + 71 * WIDTH / 322)) $((30 + 27 * HEIGHT / 255)) click 1
window=$(wait_window "Customize Picture List") || fail "no list dialog appeared"
# The preview frame takes the right third of the dialog: a picture there has
# far more colours than the plain dialog face.
shot=$(mktemp --suffix=.png)
deadline=$((SECONDS + 30))
while :; do
    colours=0
    import -window "$window" "$shot" 2>/dev/null &&
        colours=$(convert "$shot" -gravity East -crop 30%x50%+0+0 -format %k info:)
    [ "$colours" -gt 500 ] && break
    [ $SECONDS -lt $deadline ] || fail "the preview shows no picture ($colours colours)"
    sleep 0.3
done
rm -f "$shot"
echo "colours in the preview: $colours"

press_key "$window" Return
for _ in $(seq 50); do window_exists "Customize Picture List" || break; sleep 0.2; done
window_exists "Customize Picture List" && fail "the list dialog did not end with OK"
press_key "$settings" Escape
wait_exit "$SAVER_PID" 15 || fail "the settings dialog did not end on Escape"
stored=$(reg_values_of "$SAVER_KEY_FULL\\Pictures") || fail "the list could not be read back"
expected=$(for i in "${!entries[@]}"; do reg_string_line "$(printf '%05d' "$i")" "${entries[$i]}"; done)
[ "$stored" = "$expected" ] || fail "OK left the list as"$'\n'"$stored"$'\n'"not"$'\n'"$expected"
echo "PASS"
