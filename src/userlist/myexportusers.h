#pragma once

#include <QFile>
#include <QSqlError>
#include <QString>
#include <QStringList>

// Writes all users of a project into a ";"-separated list with one header
// line, in the local 8-bit encoding with "\r\n" line ends.
class MyExportUsers : public QFile
{
    Q_OBJECT

public:
    explicit MyExportUsers(const QString &fileName, QObject *parent = nullptr);

    // The standard header, in field order.
    static QStringList standardHeader();

    // Returns the database error; count gets the users written, or -1 (with
    // no error) when the file cannot be written.
    QSqlError exportUsers(const QString &databasePath, int &count);

    // A field as written. A field holding the separator, a double quote, a
    // line break or blanks at either end is quoted (quotes doubled), so the
    // import reads it back exactly. A field that a spreadsheet would run as a
    // formula (leading "=", "+", "-" or "@") gets a leading "'", and so does
    // one that already begins with "'" followed by such a character; the
    // import removes exactly that mark again.
    static QString csvField(const QString &field);
    // An identifier as the list shows it: its hex digits, or the stored text
    // when that does not read as an identifier, so nothing is lost.
    static QString identifierText(const QString &stored);
};
