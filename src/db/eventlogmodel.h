#pragma once

#include "db/eventrecords.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QList>
#include <QSet>
#include <QSqlError>
#include <QString>

// The stored events under a filter, newest first, for a table view. Rows are
// read a page at a time as the view scrolls (canFetchMore / fetchMore), each
// page continuing after the last row read, so a long result never sits in
// memory or in widgets whole.
class EventLogModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Time, Area, Entry, User, Group, Identifier, Result, Antenna, ColumnCount };
    static constexpr int PageSize = 200;

    explicit EventLogModel(QObject *parent = nullptr);

    void setDatabasePath(const QString &databasePath) { m_databasePath = databasePath; }
    // Reads the first page and the counts again; false (lastError) on a database error.
    bool setFilter(const EventFilter &filter);
    EventFilter filter() const { return m_filter; }
    const EventCounts &counts() const { return m_counts; }
    QSqlError lastError() const { return m_error; }

    const EventRow &event(int row) const { return m_rows.at(row); }
    // The rows read so far.
    const QList<EventRow> &rows() const { return m_rows; }
    // Reads every row the filter gives (exports, reports).
    bool fetchAll();

    QString resultText(const EventRow &row) const;
    QString cellText(const EventRow &row, int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent = QModelIndex()) const override;
    void fetchMore(const QModelIndex &parent = QModelIndex()) override;

private:
    bool readPage(QList<EventRow> &page);

    QString m_databasePath;
    EventFilter m_filter;
    EventCounts m_counts;
    QList<EventRow> m_rows;
    QSet<QDate> m_holidays;
    bool m_atEnd = true;
    QSqlError m_error;
};
