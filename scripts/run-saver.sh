#!/bin/bash
# make run: the saver in a 800x600 window under Wine, in a prefix of its own
# (build/windows/run-prefix). With an X display it runs until closed (Escape
# or the window's close button); without one it runs on a private Xvfb for
# RUN_SECONDS (10 by default) and leaves a screenshot in build/run-screenshot.png.
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/saver-prefix.sh"
PREFIX="$ROOT/build/windows/run-prefix"

headless=0
if [ -z "${DISPLAY:-}" ]; then
    xvfb_start
    headless=1
fi
saver_prefix_init "$PREFIX"
if [ -x "$ROOT/scripts/demo-pictures.sh" ]; then
    "$ROOT/scripts/demo-pictures.sh" "$PREFIX"
fi

if [ $headless = 0 ]; then
    echo "Cube Saver is running in a window: press Escape or close it to end."
    exec wine "$SCR" /w 800x600
fi

saver_start /w 800x600
sleep "${RUN_SECONDS:-10}"
if [ -n "$SAVER_WINDOW" ]; then
    import -window "$SAVER_WINDOW" "$ROOT/build/run-screenshot.png" 2>/dev/null &&
        echo "No display: ran on a private one; screenshot in build/run-screenshot.png"
fi
saver_stop
wineserver -k >/dev/null 2>&1
xvfb_stop
