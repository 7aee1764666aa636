#!/bin/bash
# The picture list dialog shows the stored list with the first picture in
# its preview, and OK keeps the list exactly as stored. The dialog is opened
# by the small program that opens it as the settings dialog's "Customize
# Picture List..." button does.
. "$(dirname "$0")/lib.sh"
DIALOG="$BUILD_DIR/tests/win/config/file_list_dialog_demo.exe"
KEY='HKCU\Software\Quillmark Graphics\Cube Saver\Pictures'
PICTURES=$(mktemp -d)
convert -size 320x200 plasma:fractal "$PICTURES/first.png"
convert -size 200x300 gradient:red-blue "$PICTURES/second.bmp"
entries=("$(winepath -w "$PICTURES/first.png")" "$(winepath -w "$PICTURES")\\" "$(winepath -w "$PICTURES/second.bmp")")

wine reg delete "$KEY" /f >/dev/null 2>&1
for i in "${!entries[@]}"; do
    wine reg add "$KEY" /v "$(printf '%05d' "$i")" /t REG_SZ /d "${entries[$i]}" /f >/dev/null 2>&1
done

wine "$DIALOG" pictures >/dev/null 2>&1 &
pid=$!
E2E_PIDS+=("$pid")
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
wait_exit "$pid" 20
status=$?
[ $status -eq 0 ] || fail "the dialog did not end with OK (status $status)"
stored=$(wine reg query "$KEY" 2>/dev/null | tr -d '\r' | grep -c REG_SZ)
[ "$stored" -eq 3 ] || fail "OK left $stored entries, not 3"
for i in "${!entries[@]}"; do
    value=$(wine reg query "$KEY" /v "$(printf '%05d' "$i")" 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
    [ "$value" = "${entries[$i]}" ] || fail "entry $i is '$value', not '${entries[$i]}'"
done
rm -rf "$PICTURES"
wine reg delete "$KEY" /f >/dev/null 2>&1
echo "PASS"
