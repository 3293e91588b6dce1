#pragma once

#include "db/audittrail.h"
#include "db/recordrows.h"

#include <QFile>
#include <QSqlError>
#include <QString>
#include <QStringList>

#include <atomic>

// Reads a user list with one header line into a project. The columns of the
// file are assigned to the user fields by index; lines that do not fit are
// skipped and counted rather than ending the import. A quoted field may span
// several lines.
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
    // fields. A field wholly in double quotes is unquoted and kept as it
    // stands, and a separator inside the quotes does not split; other fields
    // are trimmed. The spreadsheet guard "'" of the export is removed.
    QStringList splitLine(const QString &line);

    // True for a text that begins with the export's formula guard: "'"
    // followed by "=", "+", "-", "@", "'", a tab or a carriage return.
    static bool isFormulaGuarded(const QString &text);

    // True when the text ends inside a quoted field, so the record goes on
    // in the next line.
    static bool endsInsideQuotes(const QByteArray &text);

    // Text of one raw line: the local 8-bit encoding, or Latin-1 when the
    // bytes are not valid in it (lists saved by older spreadsheet programs).
    static QString decodeLine(const QByteArray &bytes);

    // Returns the database error; count gets the users imported, or -1 when
    // the file cannot be opened (notRegularFile() tells a FIFO, device or
    // folder, which is refused rather than read).
    QSqlError importUsers(const QString &databasePath, int hfIddLength, int uhfIddLength,
                          int &count);

    // A flag (set by a signal handler, say) that stops an import between two
    // lines; a stopped import is rolled back and reports stopped().
    void setStopFlag(const std::atomic<bool> *flag) { m_stopFlag = flag; }
    bool stopped() const { return m_stopped; }
    bool notRegularFile() const { return m_notRegularFile; }

    // After an import: data lines not imported (wrong field count, nothing to
    // identify the user, refused by the database), and empty lines passed over.
    int skippedLines() const { return m_skipped; }
    int rejectedLines() const { return m_rejected; }
    int emptyLines() const { return m_empty; }
    // Line numbers (the header is line 1) of the lines not imported, at most
    // the first MaxListedLines of them.
    QList<int> skippedLineNumbers() const { return m_skippedLineNumbers; }

    // An identifier field that is no identifier (see normaliseIdd).
    // It is left out (it would compile to an identifier nobody holds) and the
    // rest of the line is imported as usual.
    struct RefusedIdentifier
    {
        int line = 0;
        QString familyName;
        QString firstName;
        QString text;
        bool longRange = false;
    };
    int refusedIdentifierCount() const { return m_refusedIdentifierCount; }
    // The first MaxListedLines of them.
    QList<RefusedIdentifier> refusedIdentifiers() const { return m_refusedIdentifiers; }

    static constexpr int MaxListedLines = 1000;

    // One data line read as a user: the fields of the assigned columns, the
    // identifiers in their stored form when they normalise to the project
    // lengths; one that does not is left out and kept as written.
    struct LineUser
    {
        int line = 0;
        UserRow user;
        bool hasColumn[FieldCount] = {};
        QString refusedShortRange;
        QString refusedLongRange;
    };
    LineUser userOfFields(const QStringList &fields, int hfIddLength, int uhfIddLength) const;

    // Every data line of the list as a user, for bringing a project in line
    // with it: the columns LastName and FirstName must be assigned. Empty
    // lines are passed over. False when the file cannot be opened (*problem
    // empty; notRegularFile() tells a FIFO or device) or a line does not read
    // as a whole user (*problem names the line and why: another field count,
    // a name missing or holding a control character, an identifier that does
    // not normalise).
    bool readUsers(int hfIddLength, int uhfIddLength, QList<LineUser> &users, QString *problem);

    // What an import did, for the user: the count or why nothing was
    // imported, the lines not imported and each identifier left out with its
    // line; at most `listed` line numbers and identifiers are named.
    QString resultText(int count, int listed) const;

    // An identifier text normalised to `length` bytes: hex digits, at most
    // those of TransponderIdd::MaxBytes; 8 or more are padded with leading
    // "0" up to 2 × length, longer and shorter ones kept. False (text
    // unchanged) otherwise.
    static bool normaliseIdd(QString &text, int length);

private:
    QString field(const QStringList &fields, Field which) const;
    // The next record (one line, or several when a quoted field holds line
    // breaks) as raw bytes; counts the lines read.
    QByteArray readRecord();
    QByteArray readRawLine();
    bool openForReading();
    void skipLine(int line);
    // The import's one audit record: the file, the counts and the names of
    // the users added.
    AuditRecord importRecord(const QStringList &names) const;

    int m_columns[FieldCount];
    QChar m_separator = QLatin1Char(';');
    int m_skipped = 0;
    int m_rejected = 0;
    int m_empty = 0;
    int m_lineNumber = 0;
    QList<int> m_skippedLineNumbers;
    int m_refusedIdentifierCount = 0;
    QList<RefusedIdentifier> m_refusedIdentifiers;
    // Opened through a descriptor, QFile forgets its name: kept here.
    QString m_path;
    const std::atomic<bool> *m_stopFlag = nullptr;
    bool m_stopped = false;
    bool m_notRegularFile = false;
    bool m_hasHeader = false;
    int m_dataLines = 0;
};
