#include "userlist/myexportusers.h"

#include "core/filewriter.h"
#include "db/recordrows.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"

#include <QSaveFile>

namespace {

// An identifier that does not read as one is written as stored, so nothing is lost.
QString hexForm(const QString &stored)
{
    if (stored.isEmpty())
        return QString();
    const TransponderIdd idd = TransponderIdd::fromStored(stored);
    return idd.isEmpty() ? stored : idd.toHex();
}

} // namespace

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

QString MyExportUsers::cleanField(const QString &field)
{
    QString clean = field;
    clean.replace(QLatin1Char(';'), QLatin1Char(','));
    clean.replace(QLatin1Char('\r'), QLatin1Char(' '));
    clean.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return clean;
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
                                    hexForm(user.iddIso14443),
                                    user.commentIso14443,
                                    hexForm(user.iddClass1Gen2),
                                    user.commentClass1Gen2};
        QStringList clean;
        for (const QString &field : fields)
            clean.append(cleanField(field));
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
