#include "db/recordstatement.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace RecordStatement {

QVariant textOrNull(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant identifierOrNull(const QString &iddText)
{
    if (iddText.startsWith(QLatin1Char('-')))
        return QVariant();
    return textOrNull(iddText);
}

QVariant text(const QString &text)
{
    return text.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(text);
}

QVariant numberOrNull(int number)
{
    return number == 0 ? QVariant() : QVariant(number);
}

QString keyList(const QSet<int> &keys)
{
    QList<int> sorted = keys.values();
    std::sort(sorted.begin(), sorted.end());
    QString text;
    text.reserve(sorted.size() * 6);
    for (int i = 0; i < sorted.size(); ++i) {
        if (i)
            text += QLatin1Char(',');
        text += QString::number(sorted.at(i));
    }
    return text;
}

QString orderBy(const QStringList &columns, bool ascending)
{
    const QString direction =
        ascending ? QStringLiteral(" asc nulls first") : QStringLiteral(" desc nulls last");
    return columns.join(direction + QLatin1Char(',')) + direction;
}

bool insertReturningKey(QSqlQuery &query, const QString &statement, const QVariantList &values,
                        int *key)
{
    bool found = false;
    if (!ProjectDatabase::exec(query, statement, values) || !fetchOne(query, found))
        return false;
    if (key)
        *key = found ? query.value(0).toInt() : 0;
    // SQLite completes the insert only when the statement is reset.
    query.finish();
    return found;
}

bool isConstraint(const QSqlError &error, bool server)
{
    const QString code = error.nativeErrorCode();
    if (!error.isValid() || code.isEmpty())
        return false;
    // The server's class 23 "integrity constraint violation"; SQLite's
    // SQLITE_CONSTRAINT, also as an extended code.
    if (server)
        return code.startsWith(QLatin1String("23"));
    bool ok = false;
    return (code.toInt(&ok) & 0xFF) == 19 && ok;
}

bool isConstraint(const QSqlQuery &query)
{
    return isConstraint(query.lastError(), ProjectDatabase::isServer(query));
}

QSqlError portable(const QSqlError &error, bool server)
{
    if (!server || !isConstraint(error, true))
        return error;
    return QSqlError(error.driverText(), error.databaseText(), error.type(), QStringLiteral("19"));
}

bool isOutsideTransaction(const QSqlQuery &query)
{
    // no_active_sql_transaction
    return ProjectDatabase::isServer(query) &&
           query.lastError().nativeErrorCode() == QLatin1String("25P01");
}

QSqlError failure(const QSqlQuery &query, const QString &text)
{
    const QSqlError error = query.lastError();
    if (error.isValid())
        return portable(error, ProjectDatabase::isServer(query));
    return refusal(
        text.isEmpty() ? QCoreApplication::translate("RecordStatement", "Statement failed") : text);
}

QSqlError refusal(const QString &text)
{
    return QSqlError(QString(), text, QSqlError::StatementError);
}

bool hasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

QSqlError refuseControlCharacters(const QStringList &names)
{
    for (const QString &name : names) {
        if (hasControlCharacter(name))
            return refusal(
                QCoreApplication::translate(
                    "RecordStatement",
                    "The name '%1' holds a control character (a tab, a line break "
                    "or a NUL byte); names cannot hold them.")
                    .arg(QString(name).replace(QRegularExpression(QStringLiteral("\\p{Cc}")),
                                               QStringLiteral("?"))));
    }
    return QSqlError();
}

} // namespace RecordStatement
