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
    [scene_load]=scene [scene_properties]=scene [scene_roundtrip]=scene
    [definitions_load]=definitions [definitions_roundtrip]=definitions
    [tags_csv]=csv [library_file]=library
)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(scene_load scene_properties scene_roundtrip
                                     definitions_load definitions_roundtrip tags_csv library_file)

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen

artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
summary=()
status=0
for target in "${targets[@]}"; do
    kind="${corpus[$target]:?unknown fuzz target $target}"
    work="$build/fuzz-corpus/$target"
    mkdir -p "$work"
    log="$build/fuzz-$target.log"
    echo "== fuzz_$target: $seconds s (log: $log)"
    if "$build/bin/fuzz_$target" "$work" "$here/corpus/$kind" \
            -dict="$here/dict/$kind.dict" -max_total_time="$seconds" \
            -timeout=10 -rss_limit_mb=4096 -malloc_limit_mb=2048 -max_len=65536 \
            -artifact_prefix="$artifacts/$target-" -print_final_stats=1 > "$log" 2>&1; then
        result=ok
    else
        result=FAILED
        status=1
        tail -n 40 "$log"
    fi
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
    summary+=("$(printf '%-24s %-7s %10s inputs' "fuzz_$target" "$result" "${runs:-?}")")
done

echo
printf '%s\n' "${summary[@]}"
exit $status
