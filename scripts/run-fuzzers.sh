#!/bin/bash
# run-fuzzers.sh [SECONDS]: runs every libFuzzer target of build/fuzz for
# SECONDS each (60 by default), over a corpus kept in build/fuzz/corpus/NAME
# and seeded from scripts/fuzz-seeds/NAME.sh when that script exists.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_EACH=${1:-60}
status=0
for target in $(find "$ROOT/build/fuzz/fuzz" -type f -name 'fuzz_*' -perm -u+x | sort); do
    name=$(basename "$target")
    corpus="$ROOT/build/fuzz/corpus/$name"
    mkdir -p "$corpus" "$ROOT/build/fuzz/crashes/$name"
    if [ -x "$ROOT/scripts/fuzz-seeds/$name.sh" ] && [ -z "$(ls -A "$corpus")" ]; then
        "$ROOT/scripts/fuzz-seeds/$name.sh" "$corpus"
    fi
    echo "== $name for ${SECONDS_EACH}s"
    "$target" -max_total_time="$SECONDS_EACH" -rss_limit_mb=2048 -timeout=10 \
        -artifact_prefix="$ROOT/build/fuzz/crashes/$name/" "$corpus" 2>&1 | tail -3 || status=1
done
exit $status
