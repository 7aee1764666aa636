#!/bin/bash
# At 144 DPI (150 %) the full-screen saver's client area is the screen's
# full pixel size (nothing scaled down for a program that knows no DPI), and
# the settings dialog is larger than at 96 DPI.
. "$(dirname "$0")/lib.sh"
. "$ROOT/scripts/saver-prefix.sh"
DPI_KEY='HKEY_CURRENT_USER\Control Panel\Desktop'
# The next test starts at the usual 96 DPI, in a fresh desktop.
restore_dpi() {
    local attempt
    for attempt in 1 2 3; do
        wine reg delete "$DPI_KEY" /v LogPixels /f >/dev/null 2>&1 </dev/null
        reg_values_of "$DPI_KEY" | grep -q '^"LogPixels"=' || { wine_stop_server; return 0; }
    done
    echo "LogPixels stays in $DPI_KEY" >&2
    return 1
}
E2E_AT_EXIT+=(restore_dpi)

# The settings dialog's size as "WIDTHxHEIGHT"; it is closed again.
dialog_size() {
    # Openings 2 and 3 are not among those that check the renderer (and may
    # show a warning over the dialog).
    saver_reg_dword 000_077 1
    e2e_start /c
    local window
    window=$(wait_window "Cube Saver .* Settings") || fail "no settings dialog appeared"
    wait_drawn "$window" || fail "the settings dialog was never drawn"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    press_key "$window" Escape
    wait_exit "$SAVER_PID" 15 || fail "the settings dialog did not end on Escape"
    echo "${WIDTH}x${HEIGHT}"
}
saver_prefix_init "$WINEPREFIX"
forget_settings_on_exit
normal=$(dialog_size) || exit 1

reg_import_checked "[$DPI_KEY]"$'\n'"$(reg_dword_line LogPixels 144)" "$DPI_KEY" "$(reg_dword_line LogPixels 144)"
# The DPI is read when Wine's desktop starts.
wine_stop_server
wine_start_services

screen=$(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*x[0-9]*\) pixels.*/\1/p')
e2e_start /s
window=$(wait_window "Cube Saver") || fail "no saver window appeared"
# The window may be placed and sized after it is first mapped.
deadline=$((SECONDS + 10))
while eval "$(xdotool getwindowgeometry --shell "$window")"; [ "${WIDTH}x${HEIGHT}" != "$screen" ] || [ "$X,$Y" != "0,0" ]; do
    [ $SECONDS -lt $deadline ] || fail "the saver window (${WIDTH}x${HEIGHT} at $X,$Y) does not fill the ${screen} screen"
    sleep 0.2
done
echo "screen $screen, saver window ${WIDTH}x${HEIGHT} at $X,$Y"
press_key "$window" q
wait_exit "$SAVER_PID" 15 || fail "the saver did not end on a key"

large=$(dialog_size) || exit 1
echo "settings dialog: $normal at 96 DPI, $large at 144 DPI"
[ "${large%x*}" -gt $((${normal%x*} * 5 / 4)) ] && [ "${large#*x}" -gt $((${normal#*x} * 5 / 4)) ] ||
    fail "the settings dialog did not grow with the DPI ($normal, then $large)"
echo "PASS"
