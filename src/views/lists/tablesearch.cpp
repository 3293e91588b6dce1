#include "views/lists/tablesearch.h"

#include <QTableWidget>

TableSearch::TableSearch(QTableWidget *table) : m_table(table) {}

void TableSearch::reset()
{
    m_row = 0;
    m_column = 0;
}

bool TableSearch::matches(int row, int column) const
{
    const QTableWidgetItem *item = m_table->item(row, column);
    return item && item->text().contains(m_pattern, Qt::CaseSensitive);
}

void TableSearch::step(int &row, int &column, bool forward) const
{
    const int rows = m_table->rowCount();
    const int columns = m_table->columnCount();
    if (forward) {
        if (++column >= columns) {
            column = 0;
            if (++row >= rows)
                row = 0;
        }
    } else if (--column < 0) {
        column = columns - 1;
        if (--row < 0)
            row = rows - 1;
    }
}

bool TableSearch::search(bool forward, bool fromStart)
{
    const int rows = m_table->rowCount();
    const int columns = m_table->columnCount();
    if (m_pattern.isEmpty() || rows == 0 || columns == 0)
        return false;

    int row = m_row;
    int column = m_column;
    bool found = false;
    if (fromStart) {
        row = forward ? 0 : rows - 1;
        column = forward ? 0 : columns - 1;
        found = matches(row, column);
    } else {
        // The table may have shrunk since the last hit.
        row = qBound(0, row, rows - 1);
        column = qBound(0, column, columns - 1);
    }
    const int startRow = row;
    const int startColumn = column;
    while (!found) {
        step(row, column, forward);
        found = matches(row, column);
        if (row == startRow && column == startColumn)
            break;
    }

    if (!found) {
        m_table->clearSelection();
        m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
        m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
        return false;
    }
    m_row = row;
    m_column = column;
    m_table->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_table->setCurrentCell(row, column, QItemSelectionModel::ClearAndSelect);
    if (QTableWidgetItem *item = m_table->item(row, column))
        m_table->scrollToItem(item);
    return true;
}
