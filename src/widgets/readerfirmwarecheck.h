#pragma once

#include <QString>

class QWidget;

// True when the reader's firmware is at least the minimum of its type (or the
// type has none); otherwise shows "Wrong Firmware Version" and returns false,
// and the caller stops.
bool confirmReaderFirmware(QWidget *parent, int readerType, const QString &availableVersion);
