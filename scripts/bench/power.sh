#!/bin/bash
# What the saver costs the machine it runs on: the processor time of its
# process over POWER_SECONDS (20) in % of one core, by thread group (the main
# thread, Mesa's llvmpipe renderer threads, the picture loader, and the rest,
# which are Wine's own), for (a) a 64x64 window, (b) full screen at
# 1024x768 and (c) the same paused with P. The settings are the defaults:
# "Large cube", 4 s showing, 2 s turning, sky glass, star field, 60 fps.
# POWER_COMPARE_SCR may name another build of the program, which is then
# measured turn about with this one; POWER_CASES picks cases (default "abc").
set -u
ROOT=${CUBESAVER_ROOT:-$(cd "$(dirname "$0")/../.." && pwd)}
. "$ROOT/scripts/saver-prefix.sh"
DATA="$ROOT/build/bench-data/power"
mkdir -p "$DATA"
MEASURE_SECONDS=${POWER_SECONDS:-20}
SETTLE_SECONDS=3
TICKS=$(getconf CLK_TCK)

own_display=0
if [ -z "${DISPLAY:-}" ]; then xvfb_start; own_display=1; fi
saver_prefix_init "$DATA/wineprefix"
for pair in 000_100=2 000_101=1 000_104=2 000_106=0 000_107=4 000_108=0 000_001=0 000_013=0 000_014=0 \
    000_018=3 000_002=1; do
    saver_reg_dword "${pair%%=*}" "${pair#*=}"
done

# The Wine process that runs the program: the newest one whose command line
# names it by its full path (the launcher may have exec'd into it or started
# it; other copies of the program elsewhere on the machine are not ours).
program_pid() {
    pgrep -n -f -- "$1"
}

# Lines "tid name ticks" for every thread of the process.
thread_ticks() {
    local pid=$1 task stat
    for task in /proc/"$pid"/task/*; do
        stat=$(cat "$task/stat" 2>/dev/null) || continue
        # The name is in parentheses and may hold spaces; the fields after
        # it start with the state (field 3); utime and stime are 14 and 15.
        local rest=${stat##*) }
        read -r -a f <<<"$rest"
        echo "${task##*/} $(tr ' ' '_' <"$task/comm") $((f[11] + f[12]))"
    done
}

# Until no copy of the program is left: a full-screen saver that starts while
# another one's window still exists only brings that one forward and ends.
wait_gone() {
    local _
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    for _ in $(seq 100); do pgrep -f -- "$1" >/dev/null || return 0; sleep 0.1; done
}

# measure LABEL SCR ARGS...: one row of the table.
measure() {
    local label=$1 scr=$2 paused=$3
    shift 3
    wait_gone "$scr"
    SCR=$scr saver_start "$@"
    if [ -z "$SAVER_WINDOW" ]; then
        printf '%-40s no window\n' "$label"
        saver_stop
        return
    fi
    sleep "$SETTLE_SECONDS"
    if [ "$paused" = 1 ]; then
        xdotool windowactivate --sync "$SAVER_WINDOW" >/dev/null 2>&1 ||
            xdotool windowfocus "$SAVER_WINDOW" >/dev/null 2>&1
        xdotool key p
        sleep 1
    fi
    local pid
    pid=$(program_pid "$scr") || { printf '%-40s no process\n' "$label"; saver_stop; return; }
    thread_ticks "$pid" >"$DATA/before.txt"
    sleep "$MEASURE_SECONDS"
    thread_ticks "$pid" >"$DATA/after.txt"
    if ! kill -0 "$pid" 2>/dev/null; then
        printf '%-40s the program ended during the measurement\n' "$label"
        saver_stop
        wineserver -k >/dev/null 2>&1
        return
    fi
    saver_stop
    wineserver -k >/dev/null 2>&1
    python3 - "$DATA/before.txt" "$DATA/after.txt" "$pid" "$TICKS" "$MEASURE_SECONDS" "$label" <<'PY'
import sys
before_path, after_path, pid, ticks, seconds, label = sys.argv[1:]
def read(path):
    rows = {}
    for line in open(path):
        tid, name, used = line.split()
        rows[tid] = (name, int(used))
    return rows
before, after = read(before_path), read(after_path)
groups = {"main": 0, "renderer": 0, "loader": 0, "other": 0}
for tid, (name, used) in after.items():
    spent = used - before.get(tid, (name, 0))[1]
    if tid == pid: group = "main"
    elif name.startswith("llvmpipe"): group = "renderer"
    elif name == "picture_loader": group = "loader"
    else: group = "other"
    groups[group] += spent
scale = 100.0 / (int(ticks) * float(seconds))
total = sum(groups.values()) * scale
cells = "".join(f"{groups[g] * scale:9.1f}" for g in ("main", "renderer", "loader", "other"))
print(f"{label:40s}{cells}{total:9.1f}")
PY
}

echo "Processor time of the saver's process over ${MEASURE_SECONDS}s, % of one core (Wine, llvmpipe):"
printf '%-40s%9s%9s%9s%9s%9s\n' case main renderer loader other total
builds=("this build|$SCR")
[ -n "${POWER_COMPARE_SCR:-}" ] && builds=("compared|$POWER_COMPARE_SCR" "${builds[@]}")
for case in "a|64x64 window|0|/w 64x64" "b|1024x768 full screen|0|/s" "c|1024x768 paused|1|/s"; do
    IFS='|' read -r key title paused args <<<"$case"
    [[ "${POWER_CASES:-abc}" == *"$key"* ]] || continue
    for build in "${builds[@]}"; do
        name=${build%%|*}
        label="($key) $title"
        [ ${#builds[@]} -gt 1 ] && label="$label, $name"
        # shellcheck disable=SC2086
        measure "$label" "${build#*|}" "$paused" $args
    done
done
[ $own_display = 1 ] && xvfb_stop
exit 0
