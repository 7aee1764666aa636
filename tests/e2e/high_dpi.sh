#!/bin/bash
# At 144 DPI (150 %) the full-screen saver's client area is the screen's
# full pixel size (nothing scaled down for a program that knows no DPI), and
# the settings dialog is larger than at 96 DPI.
. "$(dirname "$0")/lib.sh"
DPI_KEY='HKCU\Control Panel\Desktop'
SETTINGS_KEY='HKCU\Software\Quillmark Graphics\Cube Saver'
restore() {
    wine reg delete "$DPI_KEY" /v LogPixels /f >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1  # the next test starts at the usual 96 DPI
    e2e_cleanup
}
trap restore EXIT

# The settings dialog's size as "WIDTHxHEIGHT"; it is closed again.
dialog_size() {
    # Openings 2 and 3 are not among those that check the renderer (and may
    # show a warning over the dialog).
    wine reg add "$SETTINGS_KEY" /v 000_077 /t REG_DWORD /d 1 /f >/dev/null 2>&1
    e2e_start /c
    local window
    window=$(wait_window "Cube Saver .* Settings") || fail "no settings dialog appeared"
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$window")"
    press_key "$window" Escape
    wait_exit "$SAVER_PID" 15 || fail "the settings dialog did not end on Escape"
    echo "${WIDTH}x${HEIGHT}"
}
wine "$SCR" /p 0 >/dev/null 2>&1  # a first run seeds the settings key
normal=$(dialog_size) || exit 1

wine reg add "$DPI_KEY" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 || fail "could not set 144 DPI"
# The DPI is read when Wine's desktop starts.
wineserver -k >/dev/null 2>&1
wine_start_services

screen=$(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*x[0-9]*\) pixels.*/\1/p')
e2e_start /s
window=$(wait_window "Cube Saver") || fail "no saver window appeared"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "screen $screen, saver window ${WIDTH}x${HEIGHT} at $X,$Y"
[ "${WIDTH}x${HEIGHT}" = "$screen" ] && [ "$X,$Y" = "0,0" ] || fail "the saver window does not fill the ${screen} screen"
press_key "$window" q
wait_exit "$SAVER_PID" 15 || fail "the saver did not end on a key"

large=$(dialog_size) || exit 1
echo "settings dialog: $normal at 96 DPI, $large at 144 DPI"
[ "${large%x*}" -gt $((${normal%x*} * 5 / 4)) ] && [ "${large#*x}" -gt $((${normal#*x} * 5 / 4)) ] ||
    fail "the settings dialog did not grow with the DPI ($normal, then $large)"
echo "PASS"
