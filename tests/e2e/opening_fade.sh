#!/bin/bash
# "Enable blending on open": the saver fades in, then goes on in a fresh,
# opaque window (a new window replaces the layered one after about 4.2 s).
. "$(dirname "$0")/lib.sh"
. "$ROOT/scripts/saver-prefix.sh"
saver_prefix_init "$WINEPREFIX"
saver_reg_dword 000_014 1
trap 'saver_reg_dword 000_014 0; e2e_cleanup' EXIT
e2e_start /w 320x240
first=$(wait_window "Cube Saver") || fail "no saver window appeared"
sleep 7
kill -0 "$SAVER_PID" 2>/dev/null || fail "the saver ended during the fade"
second=$(wait_window "Cube Saver" 5) || fail "no window after the fade"
[ "$(xdotool search --onlyvisible --name '^Cube Saver$' | wc -l)" -eq 1 ] || fail "the layered window is still shown"
[ "$first" != "$second" ] || fail "the layered window was not replaced"
press_key "$second" Escape
wait_exit "$SAVER_PID" 15 || fail "the replacement window does not end on Escape"
echo "PASS"
