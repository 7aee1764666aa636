#!/bin/bash
# /c shows the settings dialog and no saver window. Escape ends it without
# saving; OK saves (with "Use a different resolution" off, OK stores the
# current display mode, so the stored width tells the two apart).
. "$(dirname "$0")/lib.sh"
. "$ROOT/scripts/saver-prefix.sh"
TITLE=$SETTINGS_TITLE

# A stored number (0 when missing); the test fails when the key cannot be read.
stored() {
    local values value
    values=$(reg_values_of "$SAVER_KEY_FULL") || { echo "the settings key could not be read" >&2; return 1; }
    value=$(sed -n "s/^\"$1\"=dword://p" <<<"$values")
    echo $((16#${value:-0}))
}

# Let a first run seed the key, so the values below stay as stored.
saver_prefix_init "$WINEPREFIX"
forget_settings_on_exit
saver_reg_dwords 000_007 0 000_008 0
count=$(stored 000_077) || exit 1

e2e_start /c
window=$(wait_window "$TITLE") || fail "no settings dialog appeared"
wait_drawn "$window" || fail "the settings dialog was never drawn"
window_exists "Cube Saver" && fail "a saver window appeared in configure mode"
press_key "$window" Escape
wait_exit "$SAVER_PID" 15 || fail "the dialog did not end on Escape"
[ "$(stored 000_077)" -eq $((count + 1)) ] || fail "the opening was not counted"
[ "$(stored 000_008)" -eq 0 ] || fail "Escape saved the settings"

e2e_start /c
window=$(wait_window "$TITLE") || fail "no settings dialog appeared the second time"
wait_drawn "$window" || fail "the settings dialog was never drawn"
# OK sits left of Cancel at the dialog's bottom right.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --window "$window" $((WIDTH - 149)) $((HEIGHT - 23)) click 1
wait_exit "$SAVER_PID" 15 || fail "the dialog did not end on OK"
[ "$(stored 000_077)" -eq $((count + 2)) ] || fail "the second opening was not counted"
width=$(stored 000_008)
[ "$width" -gt 0 ] || fail "OK did not save the settings (stored width $width)"
echo "PASS (stored width $width)"
