#!/usr/bin/env bash
# Does the test suite catch the faults developers really make? Applies each fault of
# scripts/mutants.txt to the sources alone, builds, runs the whole suite until its first failing
# test, restores the file, and prints one line per fault: caught (and by which test), missed,
# stale (its text is no longer in the file) or does not build.
#
#   scripts/mutation-check.sh [PATTERN ...]   only the faults whose id matches a PATTERN (grep -E)
#   scripts/mutation-check.sh --check [PATTERN ...]   only tells which faults still apply
#
# MUTANTS=FILE reads another list; SKIP_CLEAN_RUN=1 skips the run of the unchanged suite, which
# otherwise comes first because a suite that fails already would "catch" every fault;
# CTEST_ARGS="-R tst_ini" runs only part of the suite, for a quick look while tests are changed.
# A file is always put back as it was, on Ctrl-C too; each build and test log stays in
# build/mutation/.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
list=${MUTANTS:-$root/scripts/mutants.txt}
logs=$root/build/mutation
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

work=$(mktemp -d)
current_file=""
restore() {
    # Written anew rather than copied with its old time, so that the next build compiles it.
    if [ -n "$current_file" ]; then
        cat "$work/original" >"$current_file"
        current_file=""
    fi
}
trap 'restore; rm -rf "$work"' EXIT
trap 'restore; echo "interrupted; sources restored" >&2; exit 130' INT TERM

build() { cmake --build --preset default >"$1" 2>&1; }
run_suite() {
    # shellcheck disable=SC2086 # CTEST_ARGS holds several words
    ctest --preset default --stop-on-failure ${CTEST_ARGS:-} >"$1" 2>&1
}

first_failure() {
    sed -n 's/^ *[0-9]*\/[0-9]* Test *#[0-9]*: \([^ ]*\) .*\*\*\*.*/\1/p' "$1" | head -n 1
}

# Replaces the one occurrence of the text in $work/find by that in $work/put. Returns 1 when the
# text is missing or not unique: the fault no longer fits the code.
apply() {
    local file=$1 content find put rest
    [ -f "$file" ] || return 1
    IFS= read -r -d '' content <"$file"
    IFS= read -r -d '' find <"$work/find"
    IFS= read -r -d '' put <"$work/put"
    [ -n "$find" ] && [[ $content == *"$find"* ]] || return 1
    rest=${content#*"$find"}
    [[ $rest == *"$find"* ]] && return 1
    cp "$file" "$work/original"
    current_file=$file
    printf '%s' "${content%%"$find"*}$put$rest" >"$file"
}

selected() {
    local pattern
    [ ${#patterns[@]} -eq 0 ] && return 0
    for pattern in "${patterns[@]}"; do
        grep -qE -- "$pattern" <<<"$1" && return 0
    done
    return 1
}

declare -a ids files results details
check_only=0
if [ "${1:-}" = --check ]; then
    check_only=1
    shift
fi
patterns=("$@")

run_mutant() {
    local id=$1 file=$2 result detail=""
    local log="$logs/$id"
    if ! apply "$file"; then
        result=stale
    elif [ $check_only = 1 ]; then
        result=applies
    elif ! build "$log.build.log"; then
        result="does not build"
    elif run_suite "$log.test.log"; then
        result=missed
    else
        result=caught
        detail=$(first_failure "$log.test.log")
    fi
    restore
    ids+=("$id")
    files+=("$file")
    results+=("$result")
    details+=("$detail")
    printf '%-32s %-15s %s\n' "$id" "$result" "$detail" >&2
}

mkdir -p "$logs"
[ $check_only = 1 ] && SKIP_CLEAN_RUN=1
[ $check_only = 1 ] || echo "building the unchanged sources ..." >&2
[ $check_only = 1 ] || build "$logs/clean.build.log" ||
    { echo "the unchanged sources do not build" >&2; exit 2; }
if [ "${SKIP_CLEAN_RUN:-0}" != 1 ]; then
    echo "running the unchanged suite ..." >&2
    run_suite "$logs/clean.test.log" ||
        { echo "the unchanged suite fails: $(first_failure "$logs/clean.test.log")" >&2; exit 2; }
fi

# Entries: "@ ID FILE" then "- " lines (the exact text) and "+ " lines (its replacement); other
# lines are comments.
id="" file=""
flush() {
    if [ -n "$id" ] && selected "$id"; then
        run_mutant "$id" "$file"
    fi
    id=""
    : >"$work/find"
    : >"$work/put"
}
: >"$work/find"
: >"$work/put"
while IFS= read -r line || [ -n "$line" ]; do
    case $line in
    "@ "*)
        flush
        read -r _ id file _ <<<"$line"
        ;;
    "- "* | "-") [ -s "$work/find" ] && printf '\n' >>"$work/find"
        printf '%s' "${line:2}" >>"$work/find" ;;
    "+ "* | "+") [ -s "$work/put" ] && printf '\n' >>"$work/put"
        printf '%s' "${line:2}" >>"$work/put" ;;
    esac
done <"$list"
flush

# The sources are whole again; so is the build.
[ $check_only = 1 ] || build "$logs/clean.build.log" || echo "warning: the restored sources do not build" >&2

caught=0 total=0
{
    printf '%-32s %-32s %-15s %s\n' fault file result "first failing test"
    for i in "${!ids[@]}"; do
        printf '%-32s %-32s %-15s %s\n' "${ids[i]}" "${files[i]#src/}" "${results[i]}" \
            "${details[i]}"
        case ${results[i]} in
        caught) caught=$((caught + 1)) total=$((total + 1)) ;;
        missed) total=$((total + 1)) ;;
        esac
    done
    stale=$(printf '%s\n' ${results[@]+"${results[@]}"} | grep -c '^stale$')
    broken=$(printf '%s\n' ${results[@]+"${results[@]}"} | grep -c '^does not build$')
    echo
    if [ $check_only = 1 ]; then
        echo "$(printf '%s\n' ${results[@]+"${results[@]}"} | grep -c '^applies$') apply, $stale stale"
        exit 0
    fi
    echo "caught $caught of $total faults that apply and build ($stale stale, $broken do not build)"
} | tee "$logs/report.txt"
