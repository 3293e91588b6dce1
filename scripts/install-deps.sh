#!/usr/bin/env bash
# Installs the Debian packages that building, testing and screenshots need.
# Safe to run again: packages already present are left alone.
# Usage: scripts/install-deps.sh [--ci]   (--ci adds clang, clang-tidy and the
# libFuzzer runtime for the lint and fuzz steps of .ci/run)
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qtbase5-dev libqt5sql5-sqlite libsqlite3-dev qttools5-dev qttools5-dev-tools
    sqlite3
    libqt5sql5-psql postgresql
    fonts-liberation zip unzip
    libqt5svg5-dev
    qttranslations5-l10n
    xvfb xauth
    clang-format
)
if [ "${1:-}" = "--ci" ]; then
    packages+=(clang clang-tidy libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all packages present"
    exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        sudo_cmd=(sudo)
    else
        echo "install-deps: not root and no sudo; please install: ${missing[*]}" >&2
        exit 1
    fi
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
