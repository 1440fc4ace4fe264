#!/bin/sh
# Builds the libFuzzer targets and runs each for a while.
# Usage: fuzz/run.sh [seconds-per-target]   (default 60)
# Fails if a target crashes, hangs, or a sanitizer reports anything.
set -eu

seconds="${1:-60}"
case "$seconds" in
    '' | *[!0-9]*) echo "usage: $0 [seconds-per-target]" >&2; exit 2 ;;
esac

root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh clang libclang-rt-14-dev

cmake --preset fuzz
cmake --build --preset fuzz

build="$root/build/fuzz"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
# The product saves its settings through fsync; on a disk that dominates
# every input, and the harness's scratch directory needs no durability.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi

failed=""
for target in settings lobbyfile metafile keyvalues; do
    # Found inputs pile up here rather than in the committed seeds.
    work="$build/corpus-work/$target"
    artifacts="$build/artifacts/$target"
    log="$build/fuzz-$target.log"
    mkdir -p "$work" "$artifacts"
    cp "$root/fuzz/corpus/$target/"* "$work/"

    echo "== $target: ${seconds}s"
    status=0
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$work" >"$log" 2>&1 || status=$?

    grep -E '^Done [0-9]+ runs in [0-9]+ second' "$log" || echo "no summary line"
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
    if [ "$status" -ne 0 ] || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|^SUMMARY: ' "$log"; then
        echo "!! $target failed (exit $status); see $log and $artifacts" >&2
        grep -E -A40 'ERROR: |runtime error:' "$log" | head -80 >&2 || true
        failed="$failed $target"
    fi
done

if [ -n "$failed" ]; then
    echo "failing targets:$failed" >&2
    exit 1
fi
echo "all targets clean"
