#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program's main job headless:
# a small simulated site on loopback (see scripts/demo-site.sh).
# With a display, the manager then opens on that site (--no-gui skips it).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh build
echo
scripts/demo-site.sh "$@"
