#!/usr/bin/env bash
# Renders resources/icons/*.svg to the PNGs the program embeds, each at the
# size its drawing declares, and the desktop icon resources/desktop/kelvara-manager.svg
# to its 48 and 256 pixel PNGs, and the reader pictures resources/pictures/*.svg
# at their own size.
# Usage: scripts/render-icons.sh [preview.png]
# Needs libqt5svg5-dev (installed by scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
g++ -std=c++17 -O1 -fPIC scripts/rendericons.cpp -o "$tmp/rendericons" \
    $(pkg-config --cflags --libs Qt5Svg Qt5Gui Qt5Core)
XDG_RUNTIME_DIR="$tmp" "$tmp/rendericons" resources/icons "$@"
XDG_RUNTIME_DIR="$tmp" "$tmp/rendericons" resources/pictures
XDG_RUNTIME_DIR="$tmp" "$tmp/rendericons" --app resources/desktop/kelvara-manager.svg resources/desktop
