#include "userlist/myexportusers.h"

#include "db/recordrows.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"

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
    if (!open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        count = -1;
        return QSqlError();
    }
    const QByteArray lineEnd = QByteArrayLiteral("\r\n");
    bool written = write(standardHeader().join(QLatin1Char(';')).toLocal8Bit() + lineEnd) > 0;
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
        written = write(line) == line.size();
        if (written)
            ++count;
    }
    close();
    // A short write (full disk) is a failed export, not a partial success.
    if (!written || error() != QFileDevice::NoError)
        count = -1;
    return QSqlError();
}
