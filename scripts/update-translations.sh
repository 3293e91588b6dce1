#!/usr/bin/env bash
# Collects the translatable texts of the sources into the German catalogue.
# The .qm files are built into the build folder, never into the sources.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=$(command -v lupdate || echo /usr/lib/qt5/bin/lupdate)
"$lupdate" -no-obsolete -locations none -recursive src -ts resources/translations/kelvara_de.ts
