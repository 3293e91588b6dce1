#!/usr/bin/env bash
# Builds the Debian package kelvara-manager_<version>_<arch>.deb into build/
# and, when lintian is installed, checks it.
# Usage: scripts/package.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
nice scripts/build.sh "$dir"
(cd "$dir" && cpack -G DEB)
deb=$(ls -t "$dir"/kelvara-manager_*.deb | head -n 1)
echo "package: $deb"
if command -v lintian >/dev/null 2>&1; then
    lintian --fail-on error "$deb"
else
    echo "lintian is not installed: the package was not checked"
fi
