#pragma once

class QSize;
class QTableWidget;
class QWidget;

// The width a table column opens with: the stored one (the fallback when none
// is stored), but never narrower than its head text in the language now in
// use, so widths kept from a run in another language do not cut the heads.
int kxColumnWidth(const QTableWidget *table, int column, int stored, int fallback);

// Gives a dialog the stored size (at least its minimum and, unless
// `keepStoredSize`, the size its content asks for) and centres it on the
// window it belongs to, or on the screen when it has none, inside the screen.
void kxPlaceDialog(QWidget *dialog, const QSize &stored, bool keepStoredSize = false);
