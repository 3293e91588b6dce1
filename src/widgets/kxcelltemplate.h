#pragma once

#include "widgets/kxcellstyle.h"

#include <QMap>
#include <QString>
#include <QVariant>

// Everything one cell holds, as a plain value: the pattern that
// KxTableWidget::setSize() copies into every new cell.
struct KxCellTemplate
{
    KxCellStyle style;
    QString text;
    int groupMode = 0;
    QMap<int, QVariant> data;
};
