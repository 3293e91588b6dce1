#pragma once

#include "core/errorinfo.h"

#include <QSqlError>
#include <QString>

// The common texts for errors; message boxes and worker logs show these.
QString errorText(const ErrorInfo &error);
QString databaseErrorText(const QSqlError &error);

// "USB flash drive", "USB cable", "host:port" or empty when no reader is assigned.
QString connectionText(const QString &readerSerNo, const QString &ipAddr, int port);
