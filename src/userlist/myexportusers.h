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

    // A field as written: separators and line breaks inside it would shift
    // or split the line on re-import, so they become "," and blanks.
    static QString cleanField(const QString &field);
};
