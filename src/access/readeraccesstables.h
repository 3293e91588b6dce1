#pragma once

#include "access/accessrecords.h"
#include "core/errorinfo.h"
#include "core/filewriter.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QMap>
#include <QString>
#include <QtGlobal>

class AccessDataSet;

// The four tables an access reader holds: metadata, up to 15 timezones, the
// holidays and the access records keyed by identifier. Every operation
// returns 0 or an error code, which the object also keeps as its last code.
class ReaderAccessTables
{
public:
    enum Code : qint32 {
        Ok = 0,
        RecordLengthError = -1000, // a record read back has an unexpected length or count
        MetadataError = -1001,     // counts, identifier length or format not writable
        TableFull = -1003,
        IddLengthError = -1004,
        IddFormatError = -1005,
        FileError = -1006,
        HolidayYearError = -1007, // a holiday a reader's two-digit year cannot hold
    };
    static constexpr int MaxTimezones = 15;
    // The metadata carries the holiday count in one byte.
    static constexpr int MaxHolidays = 255;
    static constexpr int MaxAccessRecords = 65535;
    static constexpr int MinIddLength = 1;
    static constexpr int MaxIddLength = 64;
    // Identifiers are copied into a buffer of this size before they are cut.
    static constexpr int IddBufferSize = 132;
    static constexpr int IddCopyLimit = 128;

    ReaderAccessTables();

    // No records, IDD-Format 3, identifier length 0, last code 0.
    void reset();

    qint32 setIddLength(int length);
    int iddLength() const { return m_iddLength; }
    void setIddFormat(int format) { m_iddFormat = format; }
    int iddFormat() const { return m_iddFormat; }

    qint32 addTimezone(const TimezoneRecord &record);
    qint32 addHoliday(const HolidayRecord &record);
    // Adds idd at IDD-Length bytes, as readerIdd() makes them: a shorter one
    // extended with zero bytes in front, a longer one cut. A record whose key
    // exists already is dropped and the first one kept.
    qint32 addAccess(const QByteArray &idd, quint16 flags);

    // Fill the tables from a compiled data set. Each step stops at its first
    // failing record; failedItem() then names it for the log.
    qint32 fillTimezones(const AccessDataSet &dataSet);
    qint32 fillHolidays(const AccessDataSet &dataSet);
    // Identifiers without a readerIdd() are left out (counted in leftOut()).
    qint32 fillAccess(const AccessDataSet &dataSet, int iddLength);
    int leftOut() const { return m_leftOut; }
    // Starts from a reset table, then timezones, holidays and access records
    // in that order; stops at the first failure.
    qint32 fill(const AccessDataSet &dataSet, int iddLength);

    // The identifier bytes a stored identifier text gives: all bytes for the
    // short-range types, the EPC for long-range, none for anything else or
    // for a text that does not parse.
    static QByteArray iddBytesOfStored(const QByteArray &stored);
    // The record key a stored identifier gets at the given identifier length:
    // shorter identifiers extended with zero bytes in front (for long-range
    // ones: in front of the EPC), as a tag read at that length is stored;
    // longer ones cut to their first bytes. Empty when the text does not
    // parse or the key would be all zero bytes: such an identifier is never
    // sent, or a blank tag would open the door.
    static QByteArray readerIdd(const QByteArray &stored, int iddLength);

    // Records read back from a reader, one frame at a time, appended to the
    // tables. A frame whose head, length or record size does not fit, or
    // that would overfill a table, fails with -1000.
    qint32 readMetadataFrame(const QByteArray &frame);
    qint32 readTimezoneFrame(const QByteArray &frame);
    qint32 readHolidayFrame(const QByteArray &frame);
    qint32 readAccessFrame(const QByteArray &frame);
    // The metadata as the reader reported it.
    TableMetadata readMetadata() const { return m_readMetadata; }

    TableMetadata metadata() const;
    // Same checks as before a transfer: at most 15 timezones, identifier
    // length 1..64, format 1..3.
    bool metadataWritable() const;

    const QList<TimezoneRecord> &timezones() const { return m_timezones; }
    const QList<HolidayRecord> &holidays() const { return m_holidays; }
    const QMap<QString, AccessRecord> &accessRecords() const { return m_access; }

    qint32 lastCode() const { return m_lastCode; }
    // The last code with its text, as reader objects take it over.
    ErrorInfo lastError() const { return ErrorInfo(m_lastCode, codeText(m_lastCode)); }
    // The text of a table code (empty for 0 and codes of others).
    static QString codeText(qint32 code);
    // "Set period %1", "Set holiday %1" or "Set IDD(%1,%2)" for the record a fill stopped at.
    QString failedItem() const { return m_failedItem; }

    // Text dumps for the reader log.
    QString timezoneDump() const;
    QString holidayDump() const;
    QString accessDump() const;

    // Writes the table file ("," and "\n", four sections). The file is
    // replaced only when everything was written; an existing file stays as it
    // was on any failure.
    qint32 writeFile(const QString &path, const FileWriter::Anchor &anchor = FileWriter::Anchor());
    // The file's content, as writeFile writes it.
    QByteArray fileContent() const;

private:
    qint32 fail(qint32 code);

    QList<TimezoneRecord> m_timezones;
    QList<HolidayRecord> m_holidays;
    QMap<QString, AccessRecord> m_access;
    int m_iddLength = 0;
    int m_iddFormat = TableMetadata::IddFormatBytes;
    qint32 m_lastCode = 0;
    QString m_failedItem;
    TableMetadata m_readMetadata;
    int m_leftOut = 0;
};
