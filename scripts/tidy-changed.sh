#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy at the root) on the C++ sources changed since a
# base commit and fails on any finding. Needs a configured build folder for its
# compile_commands.json. Skipped, not failed, when clang-tidy is missing.
# Usage: scripts/tidy-changed.sh [base, default HEAD~1] [build dir, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
base=${1:-HEAD~1}
dir=${2:-build}
tidy=$(command -v clang-tidy || true)
if [ -z "$tidy" ]; then
    echo "tidy-changed: clang-tidy is not installed; skipped" >&2
    exit 0
fi
if [ ! -f "$dir/compile_commands.json" ]; then
    echo "tidy-changed: $dir/compile_commands.json missing; build first" >&2
    exit 1
fi
if ! git rev-parse --verify -q "$base^{commit}" >/dev/null; then
    echo "tidy-changed: no commit $base (shallow clone?); skipped" >&2
    exit 0
fi
# Headers are checked through the sources that include them.
mapfile -t files < <(git diff --name-only --diff-filter=d "$base" -- \
    'src/*.cpp' 'platform/*.cpp' 'sim/*.cpp')
if [ ${#files[@]} -eq 0 ]; then
    echo "tidy-changed: no C++ sources changed since $base"
    exit 0
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
for f in "${files[@]}"; do
    if ! "$tidy" -p "$dir" --quiet "$f" >"$log" 2>/dev/null; then
        status=1
    fi
    if grep -qE '(warning|error):' "$log"; then
        cat "$log" >&2
        status=1
    fi
done
if [ $status -ne 0 ]; then
    echo "tidy-changed: findings in the files above" >&2
    exit 1
fi
echo "tidy-changed: ${#files[@]} files clean"
