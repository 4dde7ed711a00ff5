#!/usr/bin/env bash
# Runs every benchmark and prints one table: figure, the peer measured in the same run, ratio,
# target and whether it was met.
set -uo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
for bench in build/bench/bench_*; do
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    echo "running $(basename "$bench") ..." >&2
    "$bench" | grep '^BENCH' | cut -f2- >>"$rows" || echo "$(basename "$bench") failed" >&2
done
{
    printf 'what\tfigure\tpeer\tpeer figure\tratio\ttarget\tresult\n'
    cat "$rows"
} | column -t -s $'\t'
! grep -q 'MISSED$' "$rows"
