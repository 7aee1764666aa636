# Sourced: a Wine prefix with the saver's settings prepared from outside.
# Every step that prepares state checks itself: each write is read back and
# a failure stops the caller with its cause (exit 1), so that no test runs
# on settings other than the ones it asked for.
#   saver_prefix_init DIR   use (and create) the prefix DIR; the saver's first
#                           run has been done there, so stored values stick
#   saver_reg_dword NAME VALUE   store a setting as the settings dialog would
#   saver_reg_dwords NAME VALUE [NAME VALUE ...]   several at once
#   saver_reg_list Pictures|Music PATH...  store a list (Windows paths)
#   saver_forget_settings   remove the settings key; fails (without stopping
#                           the caller, which may be cleaning up) when it stays
ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
. "$ROOT/scripts/wine-env.sh"
SAVER_KEY='HKCU\Software\Quillmark Graphics\Cube Saver'
SAVER_KEY_FULL='HKEY_CURRENT_USER\Software\Quillmark Graphics\Cube Saver'
SCR=${SCR:-$ROOT/build/windows/CubeSaver.scr}

saver_prefix_die() {
    echo "saver-prefix: $*" >&2
    exit 1
}

saver_prefix_init() {
    export WINEPREFIX=$1
    wine_prepare_prefix
    # The first run seeds and saves the settings and marks itself done; let
    # it happen now so that values stored afterwards are not overwritten.
    local attempt
    for attempt in 1 2 3; do
        reg_values_of "$SAVER_KEY_FULL\\Setup" 2>/dev/null | grep -qxF "\"First run\"=\"$CUBESAVER_VERSION\"" &&
            return 0
        wine "$SCR" /p 0 >/dev/null 2>&1 </dev/null
    done
    saver_prefix_die "the saver's first run left no marker under $SAVER_KEY\\Setup in $WINEPREFIX"
}

# The '"name"=...' lines of a registry file for a text and a number, as an
# export writes them.
reg_string_line() {
    local text=${2//\\/\\\\}
    printf '"%s"="%s"\n' "$1" "${text//\"/\\\"}"
}
reg_dword_line() { printf '"%s"=dword:%08x\n' "$1" "$2"; }

# The values of KEY (a full root name), one '"name"=data' line each, as an
# export writes them; fails when the key cannot be exported.
reg_values_of() {
    local key=$1 file status
    file=$(mktemp --suffix=.reg)
    wine reg export "$key" "$(win_path "$file")" /y >/dev/null 2>&1 </dev/null
    status=$?
    if [ $status -eq 0 ]; then
        iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r' |
            awk -v header="[$key]" '$0 == header { inside = 1; next } /^\[/ { inside = 0 } inside && /^"/'
    fi
    rm -f "$file"
    return $status
}

# Imports BODY (the sections of a registry file) with one program run, then
# reads KEY back: every line of EXPECTED must be there, and with EXACT=1
# nothing else. A Wine program now and then fails to start at all, so the
# whole step is tried three times before it stops the caller with the cause.
reg_import_checked() {
    local body=$1 key=$2 expected=$3 exact=${4:-0}
    local file attempt output have missing extra
    file=$(mktemp --suffix=.reg)
    { printf 'Windows Registry Editor Version 5.00\n\n%s\n' "$body"; } | sed 's/$/\r/' |
        iconv -f UTF-8 -t UTF-16 >"$file" || saver_prefix_die "could not write $file"
    for attempt in 1 2 3; do
        output=$(wine reg import "$(win_path "$file")" 2>&1 </dev/null) || output="reg import failed: $output"
        if have=$(reg_values_of "$key"); then
            missing=$(grep -vxF -f <(printf '%s\n' "$have") <<<"$expected")
            extra=""
            [ "$exact" = 1 ] && extra=$(grep -vxF -f <(printf '%s\n' "$expected") <<<"$have")
            if [ -z "$missing" ] && [ -z "$extra" ]; then
                rm -f "$file"
                return 0
            fi
        else
            missing="the whole key (it could not be read back)"
        fi
    done
    rm -f "$file"
    saver_prefix_die "$(printf '%s\n' "$key in $WINEPREFIX did not take the values written" \
        "missing: ${missing:-nothing}" "unexpected: ${extra:-nothing}" "last import said: ${output:-nothing}")"
}

saver_reg_dwords() {
    local body="[$SAVER_KEY_FULL]" expected=""
    while [ $# -ge 2 ]; do
        [[ $2 =~ ^[0-9]+$ ]] || saver_prefix_die "setting $1: '$2' is not a number"
        body+=$'\n'$(reg_dword_line "$1" "$2")
        expected+=$(reg_dword_line "$1" "$2")$'\n'
        shift 2
    done
    [ $# -eq 0 ] || saver_prefix_die "saver_reg_dwords: '$1' has no value"
    reg_import_checked "$body" "$SAVER_KEY_FULL" "${expected%$'\n'}"
}

saver_reg_dword() { saver_reg_dwords "$1" "$2"; }

saver_reg_list() {
    local list=$1 i=0 path key
    shift
    key="$SAVER_KEY_FULL\\$list"
    # The list's key is replaced whole: old values and subkeys go first.
    local body="[-$key]"$'\n\n'"[$key]" expected=""
    for path in "$@"; do
        [ -n "$path" ] || saver_prefix_die "entry $i of the $list list is empty"
        body+=$'\n'$(reg_string_line "$(printf '%05d' $i)" "$path")
        expected+=$(reg_string_line "$(printf '%05d' $i)" "$path")$'\n'
        i=$((i + 1))
    done
    reg_import_checked "$body" "$key" "${expected%$'\n'}" 1
}

saver_forget_settings() {
    local attempt
    for attempt in 1 2 3; do
        wine reg delete "$SAVER_KEY" /f >/dev/null 2>&1 </dev/null
        # Only reg's own answer counts, not a run that never started.
        wine reg query "$SAVER_KEY" 2>&1 </dev/null | grep -q 'Unable to find' && return 0
    done
    echo "saver-prefix: the settings key in $WINEPREFIX could not be removed" >&2
    return 1
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
