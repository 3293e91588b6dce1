#pragma once

#include <QString>

class QTableWidget;

// Finds a text in the cells of a table, cell by cell in reading order, with
// wrap-around; hidden columns are searched as well. The position of the last
// hit is kept across rebuilds of the table.
class TableSearch
{
public:
    explicit TableSearch(QTableWidget *table);

    void setPattern(const QString &pattern) { m_pattern = pattern; }
    QString pattern() const { return m_pattern; }

    // Searches from the start (cell (0, 0) forward, the last cell backward)
    // or on from the last hit. A hit becomes the current, selected single
    // cell; nothing found clears the selection and returns the table to
    // whole-row selection. False when nothing was found.
    bool search(bool forward, bool fromStart);

    // Forgets the last hit.
    void reset();

    int row() const { return m_row; }
    int column() const { return m_column; }

private:
    bool matches(int row, int column) const;
    void step(int &row, int &column, bool forward) const;

    QTableWidget *m_table;
    QString m_pattern;
    int m_row = 0;
    int m_column = 0;
};
