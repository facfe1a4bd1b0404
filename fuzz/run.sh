#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time:
#   fuzz/run.sh <build folder> [seconds per target] [targets...]
# Each target starts from the seed corpus in the repository (regression cases
# included) and grows a working corpus in the build folder, which later runs
# start from too. A crash, a leak, a sanitizer report, a broken round trip or
# an input slower than the timeout fails the run; the input that did it is in
# <build>/fuzz-artifacts/ and belongs in the seed corpus once fixed.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?usage: fuzz/run.sh <build folder> [seconds] [targets...]}" && pwd)"
seconds="${2:-60}"
shift $(( $# > 1 ? 2 : 1 ))

declare -A corpus=(
    [scene_load]=scene [scene_properties]=scene [scene_roundtrip]=scene [scene_differential]=scene
    [definitions_load]=definitions [definitions_roundtrip]=definitions [definitions_differential]=definitions [definitions_table_writer]=tables
    [tags_csv]=csv [library_file]=library [library_differential]=library
    [prolog_nesting]=prolog
    [definitions_table]=definitions
)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(scene_load scene_properties scene_roundtrip scene_differential
                                     definitions_load definitions_roundtrip definitions_differential
                                     definitions_table_writer tags_csv library_file library_differential
                                     prolog_nesting definitions_table)

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$here/../tests/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen

artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
jobs="${FUZZ_JOBS:-$(nproc)}"

# One target: its result ("ok" or "FAILED") and the number of inputs it ran
# go to <build>/fuzz-<target>.result.
run_target() {
    local target="$1" kind="${corpus[$1]}"
    local work="$build/fuzz-corpus/$target" log="$build/fuzz-$target.log"
    mkdir -p "$work"
    local result=ok
    "$build/bin/fuzz_$target" "$work" "$here/corpus/$kind" \
        -dict="$here/dict/$kind.dict" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=4096 -malloc_limit_mb=2048 -max_len=65536 \
        -artifact_prefix="$artifacts/$target-" -print_final_stats=1 > "$log" 2>&1 || result=FAILED
    local runs
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
    echo "$result ${runs:-?}" > "$build/fuzz-$target.result"
}

for target in "${targets[@]}"; do
    [ -n "${corpus[$target]:-}" ] || { echo "unknown fuzz target: $target" >&2; exit 2; }
done
echo "Fuzzing ${#targets[@]} targets for $seconds s each, $jobs at a time; logs in $build/fuzz-<target>.log"
running=0
for target in "${targets[@]}"; do
    if [ "$running" -ge "$jobs" ]; then
        wait -n
        running=$((running - 1))
    fi
    run_target "$target" &
    running=$((running + 1))
done
wait

status=0
echo
for target in "${targets[@]}"; do
    read -r result runs < "$build/fuzz-$target.result"
    printf '%-28s %-7s %10s inputs\n' "fuzz_$target" "$result" "$runs"
    if [ "$result" != ok ]; then
        status=1
        echo "---- last lines of $build/fuzz-$target.log"
        tail -n 30 "$build/fuzz-$target.log"
        echo "----"
    fi
done
exit $status
