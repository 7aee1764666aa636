#!/bin/bash
# At 144 DPI (150 %) the full-screen saver's client area is the screen's
# full pixel size: nothing is scaled down for a program that knows no DPI.
. "$(dirname "$0")/lib.sh"
DPI_KEY='HKCU\Control Panel\Desktop'
restore() {
    wine reg delete "$DPI_KEY" /v LogPixels /f >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1  # the next test starts at the usual 96 DPI
    e2e_cleanup
}
trap restore EXIT
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
echo "PASS"
