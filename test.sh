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

# Server projects are tested against a throw-away PostgreSQL server of this
# run, on a Unix socket only; without PostgreSQL those cases skip (CI sets
# KX_TEST_PG_REQUIRED=1, which makes them fail instead).
if pgroot=$(mktemp -d "${TMPDIR:-/tmp}/kx-pg.XXXXXX"); then
    chmod 711 "$pgroot"
    if pgenv=$(scripts/pg-test-server.sh start "$pgroot/s"); then
        eval "$pgenv"
    elif [ -n "${KX_TEST_PG_REQUIRED:-}" ]; then
        echo "test.sh: the PostgreSQL test server did not start" >&2
        exit 1
    fi
    trap "'$PWD/scripts/pg-test-server.sh' stop '$pgroot/s' >/dev/null 2>&1; rm -rf '$pgroot'" EXIT
fi

cd "$dir"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
