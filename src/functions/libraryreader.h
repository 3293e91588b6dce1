#pragma once

#include "access/readeraccesstables.h"
#include "functions/functionreader.h"

#include <QByteArray>
#include <QString>

// The function threads' reader over the reader libraries: opens the
// connection of one entry, runs one command with the reader log written as
// the reader objects write it, and closes again.
class LibraryReader : public FunctionReader
{
public:
    explicit LibraryReader(const ProjectParameters &project);
    ~LibraryReader() override;
    LibraryReader(const LibraryReader &) = delete;
    LibraryReader &operator=(const LibraryReader &) = delete;

    ReaderOutcome updateAccess(const ReaderConnection &connection, int readerType,
                               const AccessDataSet &dataSet) override;
    ReaderOutcome saveAccessConfiguration(const QString &path, const QString &logKey,
                                          int readerType, const AccessDataSet &dataSet) override;
    ReaderOutcome readAccess(const ReaderConnection &connection, int readerType,
                             ReaderReadBack &readBack) override;
    ReaderOutcome readEvents(const ReaderConnection &connection, int readerType,
                             ReaderReadBack &readBack) override;
    ReaderOutcome setDateTime(const ReaderConnection &connection) override;
    ReaderOutcome writeConfiguration(const ReaderConnection &connection, int readerType,
                                     const QString &readerConfig, const FlashDrive &drive) override;

    // CRC-16 of the table exchange: feedback 0x1021 on a right-shifting
    // register, start 0xFFFF.
    static quint16 crc16(const QByteArray &bytes, quint16 start = 0xFFFF);
    // The events of one answer of the event read appended to events; false
    // when the answer does not hold together.
    static bool parseEvents(const QByteArray &answer, QList<ReaderEvent> &events);

private:
    void startLog(const QString &logKey);
    void logLine(const QString &line);
    bool open(const ReaderConnection &connection);
    void close();
    ReaderOutcome collectError();
    ReaderOutcome outcomeOf(int rc);
    int exchange(quint8 mode, quint8 flags, quint8 table, const QByteArray &request,
                 QByteArray &answer);
    int setClock();
    int sendTables(const ReaderAccessTables &tables);
    int readTable(quint8 table, ReaderAccessTables &tables);

    ProjectParameters m_project;
    QString m_logPath;
    int m_portHandle = -1;
    int m_readerHandle = -1;
    ReaderOutcome m_outcome;
};
