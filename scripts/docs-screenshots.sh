#!/bin/bash
# Screenshots for the documentation, from the real program under Wine and
# Xvfb with the demonstration pictures: the eight cube styles, the three
# backgrounds, the three glass styles and the overlays, into docs/screens/.
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
