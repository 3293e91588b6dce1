#pragma once

#include "core/errorinfo.h"

#include <QSqlError>
#include <QString>

// The common texts for errors; message boxes and worker logs show these.
QString errorText(const ErrorInfo &error);
QString databaseErrorText(const QSqlError &error);
// The two parts of databaseErrorText: the sentence for people, and the
// technical context and code (a box shows them behind "Show Details").
QString databaseErrorSentence(const QSqlError &error);
QString databaseErrorDetails(const QSqlError &error);

// "USB flash drive", "USB cable", "host:port" or empty when no reader is assigned.
QString connectionText(const QString &readerSerNo, const QString &ipAddr, int port);
