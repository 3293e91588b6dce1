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

QSqlError failure(const QSqlQuery &query, const QString &text)
{
    const QSqlError error = query.lastError();
    if (error.isValid())
        return error;
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
