#!/usr/bin/env bash
# Builds the libFuzzer targets of the parsers with clang (in build-fuzz/) and
# runs each for a few seconds on its seed corpus; fails on the first finding.
# Usage: scripts/fuzz-smoke.sh [seconds per target, default 10]
# Needs clang and its libFuzzer runtime (Debian: clang, libclang-rt-dev).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
dir=build-fuzz

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz-smoke: clang++ not found; install clang and libclang-rt-dev" >&2
    exit 1
fi
if [ ! -f "$dir/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKX_FUZZ=ON -DKX_BUILD_TESTS=OFF -DKX_BUILD_BENCH=OFF
fi
targets=(definition identifier frames settings jobfile userlist)
cmake --build "$dir" --parallel "$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for t in "${targets[@]}"; do
    # New inputs go to a scratch folder; the seeds in the tree stay as they are.
    mkdir -p "$work/$t"
    echo "fuzz-smoke: fuzz_$t for ${seconds}s"
    if ! (cd "$work" && "$OLDPWD/$dir/bin/fuzz_$t" -max_total_time="$seconds" -timeout=10 \
            -rss_limit_mb=2048 -print_final_stats=1 "$work/$t" "$OLDPWD/fuzz/corpus/$t" \
            >"$work/$t.log" 2>&1); then
        tail -n 40 "$work/$t.log" >&2
        crash=$(ls "$work"/crash-* "$work"/timeout-* "$work"/oom-* 2>/dev/null | head -n 1 || true)
        [ -n "$crash" ] && cp "$crash" . && echo "fuzz-smoke: input kept as ./$(basename "$crash")" >&2
        echo "fuzz-smoke: fuzz_$t FAILED" >&2
        exit 1
    fi
    grep -E "stat::number_of_executed_units|cov:" "$work/$t.log" | tail -n 2 || true
done
echo "fuzz-smoke: all ${#targets[@]} targets ran ${seconds}s each without a finding"
