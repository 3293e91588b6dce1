#pragma once

#include <QBrush>
#include <QFont>
#include <QPen>

// The look of a table cell. A table keeps each distinct style once and its
// cells refer to it by index, so a large grid pays for a handful of fonts,
// brushes and pens instead of one set per cell.
struct KxCellStyle
{
    QBrush background = QBrush(Qt::white, Qt::SolidPattern);
    QFont font;
    QPen textPen = QPen(Qt::black);
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QPen bottomLine = QPen(Qt::lightGray);
    QPen rightLine = QPen(Qt::lightGray);

    bool operator==(const KxCellStyle &other) const;
    bool operator!=(const KxCellStyle &other) const { return !(*this == other); }
};

uint qHash(const KxCellStyle &style, uint seed = 0);
