#include "userlist/myexportusers.h"

#include "core/filewriter.h"
#include "db/recordrows.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "userlist/myimportusers.h"

#include <QSaveFile>

MyExportUsers::MyExportUsers(const QString &fileName, QObject *parent) : QFile(fileName, parent) {}

QStringList MyExportUsers::standardHeader()
{
    return {QStringLiteral("LastName"),
            QStringLiteral("FirstName"),
            QStringLiteral("UserGroup"),
            QStringLiteral("UserComment"),
            QStringLiteral("IDDProximityTransponder"),
            QStringLiteral("CommentProximityTransponder"),
            QStringLiteral("IDDLongRangeTransponder"),
            QStringLiteral("CommentLongRangeTransponder")};
}

QString MyExportUsers::identifierText(const QString &stored)
{
    if (stored.isEmpty())
        return QString();
    const TransponderIdd idd = TransponderIdd::fromStored(stored);
    return idd.isEmpty() ? stored : idd.toHex();
}

QString MyExportUsers::csvField(const QString &field)
{
    QString text = field;
    if (MyImportUsers::isFormulaGuarded(QLatin1Char('\'') + text))
        text.prepend(QLatin1Char('\''));
    const QChar quote = QLatin1Char('"');
    const bool needsQuotes =
        text.contains(QLatin1Char(';')) || text.contains(quote) ||
        text.contains(QLatin1Char('\t')) || text.contains(QLatin1Char('\r')) ||
        text.contains(QLatin1Char('\n')) ||
        (!text.isEmpty() && (text.at(0).isSpace() || text.at(text.size() - 1).isSpace()));
    if (!needsQuotes)
        return text;
    text.replace(quote, QStringLiteral("\"\""));
    return quote + text + quote;
}

QSqlError MyExportUsers::exportUsers(const QString &databasePath, int &count)
{
    count = 0;
    QList<UserRow> users;
    const QSqlError listError =
        UserRecords::listUsers(databasePath, UserRecords::SortByGroup, true, users);
    if (listError.isValid())
        return listError;
    // Written beside the target and renamed over it when complete: a full
    // disk leaves the previous export as it was.
    QSaveFile file(fileName());
    if (!file.open(QIODevice::WriteOnly)) {
        count = -1;
        return QSqlError();
    }
    const QByteArray lineEnd = QByteArrayLiteral("\r\n");
    bool written =
        FileWriter::write(file, standardHeader().join(QLatin1Char(';')).toLocal8Bit() + lineEnd);
    for (const UserRow &user : qAsConst(users)) {
        if (!written)
            break;
        const QStringList fields = {user.familyName,
                                    user.firstName,
                                    user.groupName,
                                    user.commentUser,
                                    identifierText(user.iddIso14443),
                                    user.commentIso14443,
                                    identifierText(user.iddClass1Gen2),
                                    user.commentClass1Gen2};
        QStringList clean;
        for (const QString &field : fields)
            clean.append(csvField(field));
        const QByteArray line = clean.join(QLatin1Char(';')).toLocal8Bit() + lineEnd;
        written = FileWriter::write(file, line);
        if (written)
            ++count;
    }
    // A short write (full disk) is a failed export, not a partial success.
    if (!written || !FileWriter::flush(file) || !file.commit()) {
        file.cancelWriting();
        count = -1;
    }
    return QSqlError();
}
