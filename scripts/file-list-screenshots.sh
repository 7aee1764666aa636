#!/bin/bash
# Screenshots of the list dialog under Wine and Xvfb, into docs/screens/:
# the picture list with the first picture in the preview, and the music
# list. The dialog is opened by the small program that opens it as the
# settings dialog's two buttons do.
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/saver-prefix.sh"
OUT="$ROOT/docs/screens"
PREFIX="$ROOT/build/windows/docs-prefix"
DIALOG="$ROOT/build/windows/tests/win/config/file_list_dialog_demo.exe"
mkdir -p "$OUT"
xvfb_start
"$ROOT/scripts/demo-pictures.sh" "$PREFIX"
export WINEPREFIX=$PREFIX
# The pictures are copied into the prefix so that the shots show the kind of
# folder a user has, not where this checkout happens to be.
mkdir -p "$PREFIX/drive_c/users/Public/Pictures/Holiday"
cp "$ROOT"/build/demo-pictures/* "$PREFIX/drive_c/users/Public/Pictures/Holiday/"
pictures="C:\\users\\Public\\Pictures\\Holiday"
saver_reg_list Pictures "$pictures\\LadyBird.jpg" "$pictures\\" "$pictures\\Dune.bmp" "$pictures\\FreshFlower.png" \
    "C:\\users\\Public\\Pictures\\*" "$pictures\\TwoWings.psd"
saver_reg_list Music "C:\\users\\Public\\Music\\" "C:\\users\\Public\\Music\\Night Drive.mp3" \
    "C:\\users\\Public\\Music\\Morning Rain.wav" "C:\\users\\Public\\Music\\Albums\\*"

# shot NAME LIST TITLE: opens the dialog, waits for the preview, captures it.
shot() {
    local name=$1 list=$2 title=$3 pid window
    wine "$DIALOG" "$list" >/dev/null 2>&1 &
    pid=$!
    if ! window=$(wait_window "$title"); then
        echo "no $title dialog to capture"
        kill "$pid" 2>/dev/null
        return 1
    fi
    sleep 3
    import -window "$window" "$OUT/$name.png" 2>/dev/null && echo "docs/screens/$name.png"
    xdotool windowactivate --sync "$window" >/dev/null 2>&1
    xdotool key Escape
    wait "$pid" 2>/dev/null
}

shot file-list-pictures pictures "Customize Picture List"
shot file-list-music music "Customize Music List"
wineserver -k >/dev/null 2>&1
xvfb_stop
