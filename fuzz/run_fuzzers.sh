#!/usr/bin/env bash
# Runs each libFuzzer program of a fuzzing build for a set time over a fresh
# copy of its generated seed corpus, and prints one line per target with the
# executions run and the crashes found. Exits 1 when any target crashed.
#
#   fuzz/run_fuzzers.sh BUILD_DIR SECONDS OUT_DIR TARGET...
#
# Crash inputs are kept in OUT_DIR/<target>/crashes; the run's logs in
# OUT_DIR/<target>/log.txt. With FUZZ_SEED set, every run starts from that
# seed, so the same machine repeats the same mutations (CI uses this).
set -uo pipefail

build=$1 seconds=$2 out=$3
shift 3
repo=$(cd "$(dirname "$0")/.." && pwd)

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export LSAN_OPTIONS=suppressions=$repo/tests/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Qt's image readers describe every broken file on stderr; the log stays readable without them.
export QT_LOGGING_RULES="qt.gui.imageio*=false"

failed=0
summary=()
for target in "$@"; do
    program=$build/fuzz/fuzz_$target
    dir=$out/$target
    rm -rf "$dir"
    mkdir -p "$dir/corpus" "$dir/crashes"
    cp "$build/fuzz/corpus/$target/"* "$dir/corpus/"
    echo "== fuzz_$target for ${seconds}s"
    # Malformed pictures may claim up to the engine's size limit, so the
    # memory limit leaves room for one such picture and its conversion.
    nice -n 19 "$program" "$dir/corpus" \
        -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 -max_len=65536 \
        -print_final_stats=1 -artifact_prefix="$dir/crashes/" ${FUZZ_SEED:+-seed="$FUZZ_SEED"} >"$dir/log.txt" 2>&1
    status=$?
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$dir/log.txt" | grep -o '[0-9]*$' | tail -1)
    # Slow units (slower than 10 s, usually pictures near the size limit) are
    # kept for a look but are no failure; crashes, leaks, time-outs and
    # running out of memory are.
    crashes=$(find "$dir/crashes" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
    slow=$(find "$dir/crashes" -type f -name 'slow-unit-*' | wc -l)
    summary+=("$(printf '%-16s %10s executions  %d crashes  %d slow units  (exit %d)' "$target" "${runs:-?}" "$crashes" "$slow" "$status")")
    if [ "$status" -ne 0 ] || [ "$crashes" -ne 0 ]; then
        failed=1
        tail -40 "$dir/log.txt"
    fi
done

echo "== fuzz summary"
printf '%s\n' "${summary[@]}"
exit $failed
