#!/bin/bash
# Runs every benchmark script in scripts/bench/ in name order. Each prints
# its own table; the figures are for comparing side by side within one run.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export CUBESAVER_ROOT="$ROOT"
mkdir -p "$ROOT/build/bench-data"
status=0
for script in "$ROOT"/scripts/bench/*.sh; do
    [ -e "$script" ] || continue
    echo "== $(basename "$script" .sh)"
    bash "$script" || { echo "benchmark $(basename "$script") failed"; status=1; }
done
exit $status
