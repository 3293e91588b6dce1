#pragma once

#include "access/accesscsvfiles.h"
#include "access/accessdataset.h"
#include "access/readeraccesstables.h"
#include "core/filewriter.h"
#include "reader/myrdr.h"
#include "reader/tableexchange.h"

#include <QDate>
#include <QList>
#include <QMap>

// Exchanges an entry's access data with any of the three access readers:
// sends the compiled tables, reads them and the event table back.
class MyRdrKelvara : public MyRdr
{
    Q_OBJECT
public:
    enum Command {
        UpdateAccessConfiguration = 1000,
        ReadAccessConfiguration = 1001,
        ReadEventTable = 1002,
    };

    // readerType: the entry's reader type; it chooses the identifier length.
    MyRdrKelvara(const ReaderSettings &settings, int readerType, QObject *parent = nullptr);

    void runUpdateAccessConfiguration(const ReaderConnection &connection,
                                      const AccessDataSet &accessData);
    void runReadAccessConfiguration(const ReaderConnection &connection)
    {
        run(ReadAccessConfiguration, connection);
    }
    void runReadEventTable(const ReaderConnection &connection) { run(ReadEventTable, connection); }

    // The flash-drive form of the update: writes the table file on the
    // caller's thread. False on any failure, with the error kept.
    // The table file at filePath, below the anchor when one is set.
    bool saveAccessConfiguration(const QString &filePath, const QString &logKey,
                                 const AccessDataSet &accessData,
                                 const FileWriter::Anchor &anchor = FileWriter::Anchor());

    int readerType() const { return m_readerType; }
    const ReaderAccessTables &tables() const { return m_tables; }
    const TableExchange &exchange() const { return m_exchange; }

    // Filled by reading: definition text to timezone index, holiday dates,
    // access records, events.
    const QMap<QString, int> &periodMap() const { return m_periodMap; }
    const QList<QDate> &holidays() const { return m_holidays; }
    const QList<ReadAccessRecord> &accessList() const { return m_accessList; }
    const QList<ReaderEvent> &events() const { return m_events; }

protected:
    bool runClassCommand(int command) override;

private:
    void updateAccessConfiguration();
    void readAccessConfiguration();
    void readEventTable();
    bool prepareTables();
    bool fillTables();
    void logDumps();
    void takeExchangeError(int rc);
    bool diagnostic();

    int m_readerType;
    ReaderAccessTables m_tables;
    TableExchange m_exchange;
    AccessDataSet m_accessData;
    QMap<QString, int> m_periodMap;
    QList<QDate> m_holidays;
    QList<ReadAccessRecord> m_accessList;
    QList<ReaderEvent> m_events;
};
