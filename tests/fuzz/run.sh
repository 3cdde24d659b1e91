#!/bin/sh
# Runs each fuzz harness for a bounded time on its corpus (seeded from
# tests/fuzz/corpus) and says how many inputs it ran and whether it found a
# fault. Usage: tests/fuzz/run.sh BUILD_FOLDER [SECONDS_EACH]
set -u
build=${1:-build-fuzz}
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen

status=0
for name in dates amounts filter; do
    corpus="$build/fuzz-corpus/$name"
    mkdir -p "$corpus"
    cp "$here/corpus/$name/"* "$corpus/" 2>/dev/null
    log="$build/fuzz-$name.log"
    if "$build/fuzz_$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/fuzz-$name-" "$corpus" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz_$name: ${runs:-?} inputs in ${seconds}s, no fault"
    else
        echo "fuzz_$name: FAULT (the input is saved as $build/fuzz-$name-*); the end of $log:"
        tail -n 40 "$log"
        status=1
    fi
done
exit $status
