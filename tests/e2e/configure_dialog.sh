#!/bin/bash
# /c shows the settings dialog and no saver window. Escape ends it without
# saving; OK saves (with "Use a different resolution" off, OK stores the
# current display mode, so the stored width tells the two apart).
. "$(dirname "$0")/lib.sh"
KEY='HKCU\Software\Quillmark Graphics\Cube Saver'
TITLE=$SETTINGS_TITLE

stored() {
    local value
    value=$(wine reg query "$KEY" /v "$1" 2>/dev/null | tr -d '\r' | awk -v name="$1" '$1 == name { print $3 }')
    echo $((${value:-0}))
}
store() { wine reg add "$KEY" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1; }

# Let a first run seed the key, so the values below stay as stored.
wine "$SCR" /p 0 >/dev/null 2>&1
store 000_007 0
store 000_008 0
count=$(stored 000_077)

e2e_start /c
window=$(wait_window "$TITLE") || fail "no settings dialog appeared"
sleep 1
window_exists "Cube Saver" && fail "a saver window appeared in configure mode"
press_key "$window" Escape
wait_exit "$SAVER_PID" 15 || fail "the dialog did not end on Escape"
[ "$(stored 000_077)" -eq $((count + 1)) ] || fail "the opening was not counted"
[ "$(stored 000_008)" -eq 0 ] || fail "Escape saved the settings"

e2e_start /c
window=$(wait_window "$TITLE") || fail "no settings dialog appeared the second time"
sleep 1
# OK sits left of Cancel at the dialog's bottom right.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --window "$window" $((WIDTH - 149)) $((HEIGHT - 23)) click 1
wait_exit "$SAVER_PID" 15 || fail "the dialog did not end on OK"
[ "$(stored 000_077)" -eq $((count + 2)) ] || fail "the second opening was not counted"
width=$(stored 000_008)
[ "$width" -gt 0 ] || fail "OK did not save the settings (stored width $width)"
echo "PASS (stored width $width)"
