#include "widgets/kxtablecell.h"

#include "widgets/kxtablewidget.h"

// A handle outlives a resize of its table; every access checks that the cell
// is still there.
bool KxTableCell::isValid() const
{
    return m_table && m_index >= 0 && m_index < m_table->m_store.cellCount();
}

QString KxTableCell::text() const
{
    if (!isValid())
        return QString();
    const auto &record = m_table->m_store.record(m_index);
    return record.text;
}

void KxTableCell::setText(const QString &text)
{
    if (!isValid())
        return;
    auto &record = m_table->m_store.mutableRecord(m_index);
    record.text = text;
    m_table->m_store.markTextChanged(m_row, m_column);
}

int KxTableCell::groupMode() const
{
    if (!isValid())
        return Ordinary;
    const auto &record = m_table->m_store.record(m_index);
    return record.groupMode;
}

void KxTableCell::setGroupMode(int mode)
{
    if (!isValid())
        return;
    auto &record = m_table->m_store.mutableRecord(m_index);
    const auto newMode = quint8((mode == CollapsedHead || mode == ExpandedHead) ? mode : Ordinary);
    if (record.groupMode == newMode)
        return;
    record.groupMode = newMode;
    if (m_row == 0 || m_column == 0) {
        m_table->m_geometry.markGroupsDirty();
        // A head's marker takes room beside its text.
        m_table->m_store.markTextChanged(m_row, m_column);
    }
}

QVariant KxTableCell::data(int role) const
{
    if (!isValid())
        return QVariant();
    return m_table->m_store.data(m_index, role);
}

void KxTableCell::setData(int role, const QVariant &value)
{
    if (!isValid())
        return;
    m_table->m_store.setData(m_index, role, value);
}

KxCellStyle KxTableCell::style() const
{
    if (!isValid())
        return KxCellStyle();
    const auto &record = m_table->m_store.record(m_index);
    return m_table->m_store.style(int(record.style));
}

void KxTableCell::setStyle(const KxCellStyle &style)
{
    if (!isValid())
        return;
    auto &record = m_table->m_store.mutableRecord(m_index);
    record.style = quint32(m_table->m_store.addStyle(style));
    m_table->m_store.markTextChanged(m_row, m_column);
}

int KxTableCell::styleIndex() const
{
    if (!isValid())
        return -1;
    const auto &record = m_table->m_store.record(m_index);
    return int(record.style);
}

void KxTableCell::setStyleIndex(int index)
{
    if (!isValid())
        return;
    auto &record = m_table->m_store.mutableRecord(m_index);
    if (index < 0 || index >= m_table->m_store.styleCount() || record.style == quint32(index))
        return;
    record.style = quint32(index);
    m_table->m_store.markTextChanged(m_row, m_column);
}

QBrush KxTableCell::background() const
{
    return style().background;
}

void KxTableCell::setBackground(const QBrush &brush)
{
    KxCellStyle changed = style();
    changed.background = brush;
    setStyle(changed);
}

QFont KxTableCell::font() const
{
    return style().font;
}

void KxTableCell::setFont(const QFont &font)
{
    KxCellStyle changed = style();
    changed.font = font;
    setStyle(changed);
}

QPen KxTableCell::textPen() const
{
    return style().textPen;
}

void KxTableCell::setTextPen(const QPen &pen)
{
    KxCellStyle changed = style();
    changed.textPen = pen;
    setStyle(changed);
}

Qt::Alignment KxTableCell::alignment() const
{
    return style().alignment;
}

void KxTableCell::setAlignment(Qt::Alignment alignment)
{
    KxCellStyle changed = style();
    changed.alignment = alignment;
    setStyle(changed);
}

QPen KxTableCell::bottomLine() const
{
    return style().bottomLine;
}

void KxTableCell::setBottomLine(const QPen &pen)
{
    KxCellStyle changed = style();
    changed.bottomLine = pen;
    setStyle(changed);
}

QPen KxTableCell::rightLine() const
{
    return style().rightLine;
}

void KxTableCell::setRightLine(const QPen &pen)
{
    KxCellStyle changed = style();
    changed.rightLine = pen;
    setStyle(changed);
}
