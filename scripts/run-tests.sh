#!/bin/bash
# Every test tier: unit tests natively, the Linux program on Xvfb, then the
# Windows tree's tests (Win32 code and the real program) under Wine on a
# private X display.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/wine-env.sh"
export WINEPREFIX="$ROOT/build/windows/wineprefix"

cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    xvfb_stop
}
trap cleanup EXIT

status=0
echo "== unit tests (native, sanitized)"
ctest --test-dir "$ROOT/build/host" --output-on-failure -j2 || status=1

echo "== threaded tests (native, ThreadSanitizer)"
if [ -d "$ROOT/build/tsan" ]; then
    ctest --test-dir "$ROOT/build/tsan" --output-on-failure -R scene_animation_tests || status=1
fi

echo "== Linux program (native, each test on an Xvfb of its own)"
ctest --test-dir "$ROOT/build/linux" --output-on-failure || status=1

echo "== Windows tests (Wine)"
xvfb_start
wine_prepare_prefix
wine_start_services   # one server and one set of services for all tests
wine_warm_up "$ROOT/build/windows/tests/e2e/wine_warmup.exe"
ctest --test-dir "$ROOT/build/windows" --output-on-failure || status=1

exit $status
