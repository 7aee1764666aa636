#!/bin/bash
# wine-exec.sh PROGRAM [ARGS...]: runs PROGRAM under Wine with $WINEPREFIX,
# preparing the prefix on first use and starting a private X display when
# DISPLAY is not set. The program's exit status is returned.
set -u
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/wine-env.sh"
: "${WINEPREFIX:?WINEPREFIX must be set}"
wine_prepare_prefix
own_display=0
if [ -z "${DISPLAY:-}" ]; then
    xvfb_start
    own_display=1
fi
wine_start_services
wine "$@"
status=$?
if [ $own_display -eq 1 ]; then
    wineserver -k >/dev/null 2>&1 || true
    xvfb_stop
fi
exit $status
