#pragma once

#include "db/audithistory.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSqlError>
#include <QString>

// The audit trail as a table, newest record first, read a page at a time as
// a view scrolls down (fetch on demand), so a trail of a million records
// opens as fast as one of ten. Values are cut for the table; record() and
// AuditHistory::readRecord() give them whole.
class AuditTrailModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        TimeColumn = 0,
        OperatorColumn,
        ProgramColumn,
        ActionColumn,
        KindColumn,
        ObjectColumn,
        BeforeColumn,
        AfterColumn,
        ColumnCount
    };
    // The record's sequence number, on every cell.
    static constexpr int SequenceRole = Qt::UserRole;
    static constexpr int PageSize = 200;
    static constexpr int ValueLength = 300;

    explicit AuditTrailModel(QObject *parent = nullptr);

    // Each reads the first page again.
    void open(const QString &databasePath, const AuditHistory::Filter &filter);
    void setDatabasePath(const QString &databasePath);
    void setFilter(const AuditHistory::Filter &filter);
    void reload();

    QString databasePath() const { return m_databasePath; }
    const AuditHistory::Filter &filter() const { return m_filter; }
    // The error of the last read; none after a good one.
    QSqlError lastError() const { return m_error; }
    // The row's record with its values cut.
    AuditRecord record(int row) const { return m_records.value(row); }

    // The local time as the table shows it, and the texts of a record's
    // cells, for the table and the exports alike.
    static QString timeText(const QDateTime &utc);
    // The local time with its offset from UTC, for files and scripts.
    static QString isoText(const QDateTime &utc);
    static QString cellText(const AuditRecord &record, int column);
    static QString headerText(int column);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    QString m_databasePath;
    AuditHistory::Filter m_filter;
    QList<AuditRecord> m_records;
    bool m_more = false;
    QSqlError m_error;
};
