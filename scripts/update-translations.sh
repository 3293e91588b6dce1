#!/usr/bin/env bash
# Collects the translatable texts of the sources into the German catalogue
# and the counted ones into the English plural catalogue.
# The .qm files are built into the build folder, never into the sources.
set -euo pipefail
cd "$(dirname "$0")/.."
lupdate=$(command -v lupdate || echo /usr/lib/qt5/bin/lupdate)
"$lupdate" -no-obsolete -locations none -recursive src -ts resources/translations/kelvara_de.ts
# English needs only the plural forms of the texts counted with %n.
"$lupdate" -no-obsolete -locations none -pluralonly -recursive src -ts resources/translations/kelvara_en.ts
