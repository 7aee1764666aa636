# Sourced: a Wine prefix with the saver's settings prepared from outside.
#   saver_prefix_init DIR   use (and create) the prefix DIR; the saver's first
#                           run has been done there, so stored values stick
#   saver_reg_dword NAME VALUE   store a setting as the settings dialog would
#   saver_reg_list Pictures|Music PATH...  store a list (Windows paths)
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
. "$ROOT/scripts/wine-env.sh"
SAVER_KEY='HKCU\Software\Quillmark Graphics\Cube Saver'
SCR=${SCR:-$ROOT/build/windows/CubeSaver.scr}

saver_prefix_init() {
    export WINEPREFIX=$1
    wine_prepare_prefix
    # The first run seeds and saves the settings; let it happen now so that
    # values stored afterwards are not overwritten.
    if ! wine reg query "$SAVER_KEY" /v 000_100 >/dev/null 2>&1; then
        wine "$SCR" /p 0 >/dev/null 2>&1
    fi
}

saver_reg_dword() {
    wine reg add "$SAVER_KEY" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1 || true
}

saver_reg_list() {
    local list=$1 i=0 path
    shift
    # Adding the first value creates the key; "reg add KEY" alone would also
    # give it an empty default value, which counts as a list entry.
    wine reg delete "$SAVER_KEY\\$list" /f >/dev/null 2>&1 || true
    for path in "$@"; do
        wine reg add "$SAVER_KEY\\$list" /v "$(printf '%05d' $i)" /t REG_SZ /d "$path" /f >/dev/null 2>&1 || true
        i=$((i + 1))
    done
}

# saver_start ARGS...: starts the saver (extra environment from SAVER_ENV,
# e.g. "CUBESAVER_FRAME_LOG=..."), waits up to a minute for its window;
# SAVER_PID and SAVER_WINDOW are set (the window empty when none showed).
saver_start() {
    env ${SAVER_ENV:-} wine "$SCR" "$@" >/dev/null 2>&1 &
    SAVER_PID=$!
    SAVER_WINDOW=$(wait_window "Cube Saver" 60)
}

# saver_stop: Escape (the saver writes its logs on the way out), then make sure.
saver_stop() {
    local _
    if [ -n "$SAVER_WINDOW" ]; then
        xdotool windowactivate --sync "$SAVER_WINDOW" >/dev/null 2>&1 ||
            xdotool windowfocus "$SAVER_WINDOW" >/dev/null 2>&1
        xdotool key Escape
    fi
    for _ in $(seq 100); do kill -0 "$SAVER_PID" 2>/dev/null || break; sleep 0.1; done
    kill "$SAVER_PID" 2>/dev/null
    wait "$SAVER_PID" 2>/dev/null
}
