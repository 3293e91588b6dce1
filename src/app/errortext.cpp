#include "app/errortext.h"

#include <QCoreApplication>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("ErrorText", text);
}
} // namespace

QString errorText(const ErrorInfo &error)
{
    if (error.code == 0)
        return tr("Function successfully performed");
    QString context;
    QString code;
    if (error.code < 0) {
        context = tr("Error context: Library\nError code: %1");
        code = QString::number(error.code);
    } else if (error.code <= 255) {
        context = tr("Error context: Reader\nError code: %1");
        code = QStringLiteral("%1").arg(error.code, 2, 16, QLatin1Char('0'));
    } else {
        context = tr("Error context: Application\nError code: %1");
        code = QString::number(error.code);
    }
    return QStringLiteral("%1\n\n%2").arg(error.detail, context.arg(code));
}

QString databaseErrorText(const QSqlError &error)
{
    if (error.type() == QSqlError::NoError)
        return tr("Database function successfully performed");
    const QString number = error.nativeErrorCode();
    const QString detail =
        number == QLatin1String("19")
            ? tr("Data set entry already exists\n(Identical name combination, device ID, "
                 "IP-address, MAC-address, etc.)")
            : error.text();
    const QString context = tr("Error context: Database\nError code: %2").arg(number);
    return QStringLiteral("%1\n\n%2").arg(detail, context);
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
