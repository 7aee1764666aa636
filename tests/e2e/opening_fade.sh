#!/bin/bash
# "Enable blending on open": the saver fades in, then goes on in a fresh,
# opaque window (a new window replaces the layered one after about 4.2 s).
. "$(dirname "$0")/lib.sh"
. "$ROOT/scripts/saver-prefix.sh"
saver_prefix_init "$WINEPREFIX"
forget_settings_on_exit
saver_reg_dword 000_014 1
e2e_start /w 320x240
first=$(wait_window "Cube Saver") || fail "no saver window appeared"
shown=$SECONDS
# The replacement is the only saver window once the layered one is gone.
deadline=$((SECONDS + 30))
while :; do
    kill -0 "$SAVER_PID" 2>/dev/null || fail "the saver ended during the fade"
    windows=$(xdotool search --onlyvisible --name '^Cube Saver$' 2>/dev/null)
    [ "$(wc -l <<<"$windows")" -eq 1 ] && [ -n "$windows" ] && [ "$windows" != "$first" ] && break
    [ $SECONDS -lt $deadline ] || fail "the layered window was not replaced by a single new one: $(echo $windows)"
    sleep 0.2
done
second=$windows
[ $((SECONDS - shown)) -ge 3 ] || fail "the layered window was replaced after $((SECONDS - shown)) s, before its fade could end"
press_key "$second" Escape
wait_exit "$SAVER_PID" 15 || fail "the replacement window does not end on Escape"
echo "PASS"
