#include "core/errortext.h"

#include <QCoreApplication>

QString errorText(const ErrorInfo &error)
{
    if (error.code == 0)
        return QCoreApplication::translate("ErrorText", "Function successfully performed");
    QString context;
    QString code;
    if (error.code < 0) {
        context =
            QCoreApplication::translate("ErrorText", "Error context: Library\nError code: %1");
        code = QString::number(error.code);
    } else if (error.code <= 255) {
        context = QCoreApplication::translate("ErrorText", "Error context: Reader\nError code: %1");
        code = QStringLiteral("%1").arg(error.code, 2, 16, QLatin1Char('0'));
    } else {
        context =
            QCoreApplication::translate("ErrorText", "Error context: Application\nError code: %1");
        code = QString::number(error.code);
    }
    return QStringLiteral("%1\n\n%2").arg(error.detail, context.arg(code));
}

QString databaseErrorSentence(const QSqlError &error)
{
    if (error.type() == QSqlError::NoError)
        return QCoreApplication::translate("ErrorText", "Database function successfully performed");
    return error.nativeErrorCode() == QLatin1String("19")
               ? QCoreApplication::translate(
                     "ErrorText",
                     "Data set entry already exists\n(Identical name combination, device ID, "
                     "IP-address, MAC-address, etc.)")
               : error.text();
}

QString databaseErrorDetails(const QSqlError &error)
{
    if (error.type() == QSqlError::NoError)
        return QString();
    return QCoreApplication::translate("ErrorText", "Error context: Database\nError code: %2")
        .arg(error.nativeErrorCode());
}

QString databaseErrorText(const QSqlError &error)
{
    const QString details = databaseErrorDetails(error);
    return details.isEmpty()
               ? databaseErrorSentence(error)
               : QStringLiteral("%1\n\n%2").arg(databaseErrorSentence(error), details);
}

QString connectionText(const QString &readerSerNo, const QString &ipAddr, int port)
{
    if (readerSerNo.isEmpty())
        return QString();
    if (port & 0x10000)
        return QCoreApplication::translate("ConnectionText", "USB flash drive");
    if (!ipAddr.isEmpty())
        return QStringLiteral("%1:%2").arg(ipAddr).arg(port);
    return QCoreApplication::translate("ConnectionText", "USB cable");
}
