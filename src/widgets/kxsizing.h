#pragma once

class QTableWidget;

// The width a table column opens with: the stored one (the fallback when none
// is stored), but never narrower than its head text in the language now in
// use, so widths kept from a run in another language do not cut the heads.
int kxColumnWidth(const QTableWidget *table, int column, int stored, int fallback);

