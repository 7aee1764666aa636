#!/bin/bash
# Screenshots for the documentation, from the real program under Wine and
# Xvfb with the demonstration pictures: the eight cube styles, the three
# backgrounds, the three glass styles, the overlays and the five pages of the
# settings dialog, into docs/screens/. DIALOG_ONLY=1 makes only the pages.
set -u
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/saver-prefix.sh"
OUT="$ROOT/docs/screens"
PREFIX="$ROOT/build/windows/docs-prefix"
mkdir -p "$OUT"
"$ROOT/scripts/demo-pictures.sh" "$PREFIX"
export WINEPREFIX=$PREFIX

# shot NAME SECONDS VALUE=DATA...: stores the settings, then captures.
shot() {
    local name=$1 wait=$2 pair
    shift 2
    # A calm baseline: large cube, sky glass, star field, no overlays.
    for pair in 000_100=2 000_101=1 000_102=0 000_103=0 000_104=2 000_105=0 000_106=0 000_107=30 \
                000_108=0 000_001=0 000_013=0 000_014=0 "$@"; do
        saver_reg_dword "${pair%%=*}" "${pair#*=}"
    done
    # One retry: the first start of a fresh prefix can be slow.
    for _ in 1 2; do
        if SCREENSHOT_PREFIX=$PREFIX "$ROOT/scripts/screenshot.sh" "$OUT/$name.png" "$wait" /w 640x480 >/dev/null; then
            echo "docs/screens/$name.png"
            return 0
        fi
    done
    echo "no screenshot for $name"
    return 1
}

# The settings dialog (/c) with each of its five pages in front.
dialog_shots() {
    local pages=(pictures cube-appearance music options about) window i
    xvfb_start
    saver_prefix_init "$PREFIX"
    # A calm record to show: the demonstration look, blue swatch.
    for pair in 000_101=1 000_104=0 000_105=$((0x602010)) 000_106=0 000_107=4 000_100=2; do
        saver_reg_dword "${pair%%=*}" "${pair#*=}"
    done
    wine "$SCR" /c >/dev/null 2>&1 &
    local pid=$! _
    window=$(wait_window "$SETTINGS_TITLE")
    if [ -z "$window" ]; then
        echo "no settings dialog for the screenshots"
    else
        sleep 1
        # A click on the first tab gives the strip the focus; the arrow
        # keys then step through the pages.
        xdotool mousemove --window "$window" 30 16 click 1
        for i in "${!pages[@]}"; do
            [ "$i" -gt 0 ] && xdotool key Right
            xdotool mousemove --window "$window" 5 200
            sleep 1
            import -window "$window" "$OUT/settings-$((i + 1))-${pages[$i]}.png" 2>/dev/null &&
                echo "docs/screens/settings-$((i + 1))-${pages[$i]}.png"
        done
        xdotool key Escape
    fi
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    wineserver -k >/dev/null 2>&1
    xvfb_stop
}
dialog_shots
[ -n "${DIALOG_ONLY:-}" ] && exit 0

styles=(huge large medium small tiny zooming bouncing bouncing-big)
for i in ${STYLES:-0 1 2 3 4 5 6 7}; do
    shot "style-$i-${styles[$i]}" 4 000_101=$i
done
[ -n "${STYLES:-}" ] && exit 0
shot background-solid-blue 3 000_104=0 000_105=$((0x602010))
shot background-first-picture 3 000_104=1 000_101=3
shot background-star-field 3 000_104=2 000_101=3
shot glass-sky 3 000_106=0 000_101=2
shot glass-chrome 3 000_106=1 000_101=2
shot glass-disabled 3 000_106=2 000_101=2
shot overlays 3 000_108=1 000_013=1 000_001=1
# The README's picture: the cube in the middle of a turn.
shot turning 2.6 000_107=1 000_100=4 000_101=1 000_103=1 000_108=1 && cp "$OUT/turning.png" "$ROOT/docs/screenshot.png"
