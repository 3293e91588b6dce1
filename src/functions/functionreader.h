#pragma once

#include "access/accesscsvfiles.h"
#include "access/timeperiod.h"
#include "core/errorinfo.h"
#include "core/filewriter.h"
#include "reader/readerconnection.h"
#include "reader/readersettings.h"

#include <QDate>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class AccessDataSet;
class FlashDrive;

// The outcome of one reader command: its error record and whether the
// connection could not be made at all.
struct ReaderOutcome
{
    ErrorInfo error;
    bool connectFailed = false;

    bool ok() const { return error.code == 0; }
    static ReaderOutcome failure(qint32 code, const QString &text, bool connectFailed = false)
    {
        ReaderOutcome outcome;
        outcome.error = ErrorInfo(code, text);
        outcome.connectFailed = connectFailed;
        return outcome;
    }
};

// What a reader gave back: the tables of a read access command, the events
// of an event read.
struct ReaderReadBack
{
    QList<TimePeriod> periodsByIndex;
    // The timezone records as the reader holds them, and its identifier length.
    QList<TimezoneRecord> timezones;
    int iddLength = 0;
    QList<QDate> holidays;
    QList<ReadAccessRecord> access;
    QList<ReaderEvent> events;
};

// The reader work a function thread needs for one entry. Each call runs one
// command to its end on the caller's thread and leaves nothing open behind.
class FunctionReader
{
public:
    virtual ~FunctionReader() = default;

    virtual ReaderOutcome updateAccess(const ReaderConnection &connection, int readerType,
                                       const AccessDataSet &dataSet) = 0;
    // The flash-drive form of the update: the table file at `path` below the
    // drive's anchor, no reader contact.
    virtual ReaderOutcome saveAccessConfiguration(const QString &path,
                                                  const FileWriter::Anchor &anchor,
                                                  const QString &logKey, int readerType,
                                                  const AccessDataSet &dataSet) = 0;
    virtual ReaderOutcome readAccess(const ReaderConnection &connection, int readerType,
                                     ReaderReadBack &readBack) = 0;
    virtual ReaderOutcome readEvents(const ReaderConnection &connection, int readerType,
                                     ReaderReadBack &readBack) = 0;
    virtual ReaderOutcome setDateTime(const ReaderConnection &connection) = 0;
    // Uses the flash drive itself for an entry without a direct link.
    virtual ReaderOutcome writeConfiguration(const ReaderConnection &connection, int readerType,
                                             const QString &readerConfig,
                                             const FlashDrive &drive) = 0;
};

// Builds the reader for one entry of a run; the run destroys it after the entry.
using FunctionReaderFactory =
    std::function<std::unique_ptr<FunctionReader>(const ReaderSettings &settings)>;
