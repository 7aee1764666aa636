#!/bin/bash
# Crash reports of the real program, with faults made from outside: a crash
# of the windowed saver leaves the dump and the log beside the program and
# shows nothing; the next settings start shows the log once; a crash in the
# settings is shown at once and leaves no log; a crash of the full-screen
# saver takes back the system's screen-saver-running flag.
. "$(dirname "$0")/lib.sh"
HELPER="$BUILD_DIR/tests/e2e/crash_helper.exe"
[ -f "$HELPER" ] || fail "missing $HELPER"
dir=$(mktemp -d)
E2E_AT_EXIT+=("rm -rf '$dir'")
cp "$SCR" "$dir/CubeSaver.scr"
SCR="$dir/CubeSaver.scr"

e2e_start /w 320x240
wait_window "Cube Saver" >/dev/null || fail "no saver window"
wine "$HELPER" crash "Cube Saver" || fail "could not fault the saver"
wait_exit "$SAVER_PID" 30
[ $? -ne 124 ] || fail "the crashed saver did not end"
dump=$(ls "$dir"/Zeph*.dmp 2>/dev/null | head -1)
log=$(ls "$dir"/Zeph*.log 2>/dev/null | head -1)
[ -n "$dump" ] && [ -s "$dump" ] || fail "no dump beside the program: $(ls "$dir")"
[ "${dump%.dmp}.log" = "$log" ] || fail "no log beside the dump: $(ls "$dir")"
head -c 31 "$log" | grep -q "^A fatal program error occured, " || fail "log text: $(cat "$log")"
for title in "Fatal Program Error" "Fatal Program Warning" "Program Error"; do
    ! window_exists "$title" || fail "the windowed crash showed \"$title\""
done
echo "windowed crash: $(basename "$dump") and its log"

e2e_start /c
wait_window "Fatal Program Warning" >/dev/null || fail "the settings start showed no warning"
shown=$(wine "$HELPER" text "Fatal Program Warning" | tr -d '\r')
expected=$(tr -d '\r' <"$log")
grep -qF "A fatal program error occured the last time this program was run." <<<"$shown" || fail "warning text: $shown"
grep -qF "$(head -1 <<<"$expected")" <<<"$shown" || fail "the warning lacks the log's text: $shown"
press_key "$(wait_window "Fatal Program Warning")" Return
settings=$(wait_window "$SETTINGS_TITLE" 15) || fail "no settings after the warning"
[ ! -e "$log" ] || fail "the log was not deleted"
wine "$HELPER" crash "$SETTINGS_TITLE" || fail "could not fault the settings"
box=$(wait_window "Fatal Program Error" 20) || fail "the settings crash showed no error"
wine "$HELPER" text "Fatal Program Error" | grep -q "^A fatal program error occured, " || fail "error text"
[ -z "$(ls "$dir"/Zeph*.log 2>/dev/null)" ] || fail "the settings crash wrote a log"
press_key "$box" Return
wait_exit "$SAVER_PID" 30
[ $? -ne 124 ] || fail "the crashed settings did not end"

running_flag() { wine "$HELPER" running | tr -d '\r'; }
[ "$(running_flag)" = 0 ] || fail "the screen-saver-running flag is set before the full-screen saver starts"
e2e_start /s
wait_window "Cube Saver" >/dev/null || fail "no full-screen saver window"
[ "$(running_flag)" = 1 ] || fail "the full-screen saver did not set the screen-saver-running flag"
wine "$HELPER" crash "Cube Saver" || fail "could not fault the full-screen saver"
wait_exit "$SAVER_PID" 30
[ $? -ne 124 ] || fail "the crashed full-screen saver did not end"
[ "$(running_flag)" = 0 ] || fail "the screen-saver-running flag outlived the crashed saver"
echo "PASS"
