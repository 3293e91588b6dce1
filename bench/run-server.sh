#!/usr/bin/env bash
# Runs a benchmark against a throw-away PostgreSQL server (Unix socket only),
# e.g. bench/run-server.sh build/bin/bench_board --server
set -euo pipefail
root=$(mktemp -d "${TMPDIR:-/tmp}/kx-pgbench.XXXXXX")
chmod 711 "$root"
here=$(cd "$(dirname "$0")/.." && pwd)
trap '"$here/scripts/pg-test-server.sh" stop "$root/s" >/dev/null 2>&1; rm -rf "$root"' EXIT
eval "$("$here/scripts/pg-test-server.sh" start "$root/s")"
"$@"
