#pragma once

#include <QFile>
#include <QSqlError>
#include <QString>
#include <QStringList>

#include <atomic>

// Reads a user list with one header line into a project. The columns of the
// file are assigned to the user fields by index; lines that do not fit are
// skipped and counted rather than ending the import.
class MyImportUsers : public QFile
{
    Q_OBJECT

public:
    // The user fields in the order of the standard header.
    enum Field {
        LastName = 0,
        FirstName,
        UserGroup,
        UserComment,
        ShortRangeIdd,
        ShortRangeComment,
        LongRangeIdd,
        LongRangeComment,
        FieldCount
    };

    explicit MyImportUsers(const QString &fileName, QObject *parent = nullptr);

    // -1: no column.
    void setColumn(Field field, int column);
    int column(Field field) const { return m_columns[field]; }
    // Assigns each field the header item equal to its standard name.
    void assignStandardColumns(const QStringList &header);

    // The separator of the last line split.
    QChar separator() const { return m_separator; }

    // The header's items; empty when the file cannot be read.
    QStringList readHeader();

    // Fields of one line: ";" when the line holds one, else ",", else no
    // fields. A field wholly in double quotes is unquoted, and a separator
    // inside the quotes does not split.
    QStringList splitLine(const QString &line);

    // Text of one raw line: the local 8-bit encoding, or Latin-1 when the
    // bytes are not valid in it (lists saved by older spreadsheet programs).
    static QString decodeLine(const QByteArray &bytes);

    // Returns the database error; count gets the users imported, or -1 when
    // the file cannot be opened.
    QSqlError importUsers(const QString &databasePath, int hfIddLength, int uhfIddLength,
                          int &count);

    // A flag (set by a signal handler, say) that stops an import between two
    // lines; a stopped import is rolled back and reports stopped().
    void setStopFlag(const std::atomic<bool> *flag) { m_stopFlag = flag; }
    bool stopped() const { return m_stopped; }

    // After an import: data lines not imported (wrong field count, nothing to
    // identify the user, refused by the database), and empty lines passed over.
    int skippedLines() const { return m_skipped; }
    int rejectedLines() const { return m_rejected; }
    int emptyLines() const { return m_empty; }

    // An identifier text normalised to `length` bytes: at least 8 hex digits
    // and at most 2 × length, padded with leading "0". False (text unchanged)
    // otherwise.
    static bool normaliseIdd(QString &text, int length);

private:
    QString field(const QStringList &fields, Field which) const;

    int m_columns[FieldCount];
    QChar m_separator = QLatin1Char(';');
    int m_skipped = 0;
    int m_rejected = 0;
    int m_empty = 0;
    const std::atomic<bool> *m_stopFlag = nullptr;
    bool m_stopped = false;
};
