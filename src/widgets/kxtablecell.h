#pragma once

#include "widgets/kxcellstyle.h"

#include <QString>
#include <QVariant>

class KxTableWidget;

// A handle on one cell of a KxTableWidget. It is cheap to copy and stays
// valid until the table is resized; a null handle stands for "no such cell".
class KxTableCell
{
public:
    enum GroupMode { Ordinary = 0, CollapsedHead = 1, ExpandedHead = 2 };

    KxTableCell() = default;

    bool isNull() const { return m_table == nullptr; }
    explicit operator bool() const { return m_table != nullptr; }
    int row() const { return m_row; }
    int column() const { return m_column; }

    QString text() const;
    void setText(const QString &text);

    int groupMode() const;
    void setGroupMode(int mode);

    QVariant data(int role) const;
    // An invalid value removes the role.
    void setData(int role, const QVariant &value);

    KxCellStyle style() const;
    void setStyle(const KxCellStyle &style);
    // Index of a style registered with KxTableWidget::addStyle(): the fast
    // way to give many cells the same look.
    int styleIndex() const;
    void setStyleIndex(int index);

    QBrush background() const;
    void setBackground(const QBrush &brush);
    QFont font() const;
    void setFont(const QFont &font);
    QPen textPen() const;
    void setTextPen(const QPen &pen);
    Qt::Alignment alignment() const;
    void setAlignment(Qt::Alignment alignment);
    QPen bottomLine() const;
    void setBottomLine(const QPen &pen);
    QPen rightLine() const;
    void setRightLine(const QPen &pen);

private:
    friend class KxTableWidget;
    bool isValid() const;
    KxTableCell(KxTableWidget *table, int row, int column, int index)
        : m_table(table), m_row(row), m_column(column), m_index(index)
    {
    }

    KxTableWidget *m_table = nullptr;
    int m_row = -1;
    int m_column = -1;
    int m_index = -1;
};
