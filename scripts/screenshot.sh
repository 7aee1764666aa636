#!/bin/bash
# screenshot.sh OUT.png [SECONDS] [SWITCH...]: runs the real saver under Wine
# on a private Xvfb (800x600 window by default), waits SECONDS (6) after its
# window appears, and saves the window as OUT.png. Used for the README's pictures.
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/saver-prefix.sh"
OUT=${1:?usage: screenshot.sh OUT.png [SECONDS] [SWITCH...]}
WAIT=${2:-6}
shift 2 2>/dev/null || shift $#
[ $# -gt 0 ] || set -- /w 800x600

xvfb_start
saver_prefix_init "${SCREENSHOT_PREFIX:-$ROOT/build/windows/run-prefix}"
[ -x "$ROOT/scripts/demo-pictures.sh" ] && "$ROOT/scripts/demo-pictures.sh" "$WINEPREFIX"
saver_start "$@"
sleep "$WAIT"
status=1
if [ -n "$SAVER_WINDOW" ]; then
    import -window "$SAVER_WINDOW" "$OUT" 2>/dev/null && status=0
fi
saver_stop
wineserver -k >/dev/null 2>&1
xvfb_stop
[ $status = 0 ] && echo "saved $OUT" || echo "no saver window to capture"
exit $status
