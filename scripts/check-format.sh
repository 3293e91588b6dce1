#!/usr/bin/env bash
# Fails when a tracked C++ file is not formatted as .clang-format says, and
# names the files. Usage: scripts/check-format.sh [files...]
set -euo pipefail
cd "$(dirname "$0")/.."
clang_format=$(command -v clang-format || true)
if [ -z "$clang_format" ]; then
    echo "check-format: clang-format is not installed" >&2
    exit 1
fi
if [ $# -gt 0 ]; then
    files=("$@")
else
    mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c')
fi
bad=()
for f in "${files[@]}"; do
    if ! "$clang_format" --dry-run --Werror "$f" >/dev/null 2>&1; then
        bad+=("$f")
    fi
done
if [ ${#bad[@]} -gt 0 ]; then
    echo "check-format: not formatted (run clang-format -i on them):" >&2
    printf '  %s\n' "${bad[@]}" >&2
    exit 1
fi
echo "check-format: ${#files[@]} files formatted"
