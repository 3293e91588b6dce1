#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
# Usage: ./test.sh            normal build in build/
#        ./test.sh --sanitize AddressSanitizer + UndefinedBehaviorSanitizer build in build-asan/
set -euo pipefail
cd "$(dirname "$0")"

dir=build
opts=()
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-asan
    opts=(-DKX_SANITIZE=ON -DKX_BUILD_BENCH=OFF)
    export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

scripts/install-deps.sh
scripts/build.sh "$dir" "${opts[@]}"

export KX_LOOPBACK_ONLY=1
export QT_QPA_PLATFORM=offscreen
cd "$dir"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
