#!/usr/bin/env bash
# Takes the screenshots of the user manuals from the real program, offscreen,
# on the simulated site of scripts/demo-site.sh (virtual readers on loopback,
# a private home folder), once in English and once in German, into
# doc/manual/images/<language>/. Commit the pictures; the build turns the
# manuals into PDF files with whatever pictures are there.
# Usage: scripts/manual-screenshots.sh [NAME...]   (build/tools/kelvara-screenshots --list)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ "${1:-}" != --on-site ]; then
    nice scripts/build.sh build >/dev/null
    KX_DEMO_SITE_HOOK="$root/scripts/manual-screenshots.sh --on-site $*" \
        scripts/demo-site.sh --no-gui
    exit
fi
shift

# Called by demo-site.sh while its readers run, with its environment
# (HOME, KX_LOOPBACK_ONLY, KXUSB_BUS_DIR, KXUDP_TARGET) and the project.
: "${KX_DEMO_SITE_PROJECT:?run scripts/manual-screenshots.sh without --on-site}"
mkdir -p "$HOME/Kelvara-Manager"
printf '[General]\nCurrentProjectPath=%s\nMainWindow.IsMaximized=false\n' "$KX_DEMO_SITE_PROJECT" \
    >"$HOME/Kelvara-Manager/Kelvara-Manager.ini"
for lang in en de; do
    QT_QPA_PLATFORM=offscreen "$root/build/tools/kelvara-screenshots" \
        --lang "$lang" --out "$root/doc/manual/images/$lang" "$@"
done
