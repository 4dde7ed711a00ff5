#!/usr/bin/env bash
# Runs every fuzz target of build-fuzz/fuzz for FUZZ_SECONDS each (default 60) and prints one line
# per target: executions, corpus size and findings. The committed seeds (fuzz/corpus/TARGET)
# are only read; what the run learns goes to build-fuzz/corpus/TARGET and is kept between runs.
# A finding (crash, leak, timeout, out of memory) is saved under build-fuzz/findings/TARGET;
# reproduce it with `build-fuzz/fuzz/TARGET FILE`. Exit status 1 when any target found anything.
# FUZZ_TARGETS="a b" limits the run to those targets.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${KESTA_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
images=$root/../shared/corpus/images

# Targets that read pictures start from the third-party files as well, read where they lie.
extra_seeds() {
    case "$1" in
        fuzz_gif) [ -d "$images/gif" ] && echo "$images/gif" ;;
    esac
}

targets=${FUZZ_TARGETS:-$(find "$build/fuzz" -maxdepth 1 -type f -executable -name 'fuzz_*' \
    -printf '%f\n' 2>/dev/null | sort)}
[ -n "$targets" ] || { echo "no fuzz targets in $build/fuzz (make fuzz builds them)" >&2; exit 1; }

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/sanitize-leaks.supp:print_suppressions=0}
export QT_QPA_PLATFORM=offscreen

failed=0
printf '%-24s %12s %8s %8s  %s\n' target executions corpus findings "saved in"
for target in $targets; do
    binary=$build/fuzz/$target
    work=$build/corpus/$target
    findings=$build/findings/$target
    log=$build/logs/$target.log
    mkdir -p "$work" "$findings" "$(dirname "$log")"
    seeds=()
    [ -d "fuzz/corpus/$target" ] && seeds+=("fuzz/corpus/$target")
    extra=$(extra_seeds "$target")
    [ -n "$extra" ] && seeds+=("$extra")
    before=$(find "$findings" -type f | wc -l)
    "$binary" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
        -max_len=8192 -artifact_prefix="$findings/" "$work" "${seeds[@]}" >"$log" 2>&1
    status=$?
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
    [ -n "$runs" ] || runs=$(grep -o 'Done [0-9]* runs' "$log" | tail -1 | grep -o '[0-9]\+')
    found=$(( $(find "$findings" -type f | wc -l) - before ))
    if [ "$status" -ne 0 ] && [ "$found" -eq 0 ]; then
        found="error"
    fi
    printf '%-24s %12s %8s %8s  %s\n' "$target" "${runs:-?}" "$(ls "$work" | wc -l)" "$found" \
        "${findings#"$root"/}"
    if [ "$found" != 0 ]; then
        failed=1
        grep -m3 -E 'ERROR: |runtime error|property failed' "$log" | sed 's/^/    /'
        echo "    log: $log"
    fi
done
exit $failed
