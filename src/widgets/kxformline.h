#pragma once

#include <QString>

class QHBoxLayout;
class QLineEdit;
class QVBoxLayout;
class QWidget;

// A line edit under its label, from the left edge across the whole width (or
// first in `row`, whose other widgets follow it), as the edit dialogs lay out
// their fields. The edit takes `name` as its object name.
QLineEdit *addLabelledLine(QWidget *parent, QVBoxLayout *layout, const QString &label,
                           const char *name, QHBoxLayout *row = nullptr);
