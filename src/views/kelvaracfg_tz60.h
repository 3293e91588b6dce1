#pragma once

#include "views/kelvaracfgform.h"

// Settings form of the short-range access reader (type 100), with the group
// of the external I/O board.
class KelvaraCfg_TZ60 : public KelvaraCfgForm
{
    Q_OBJECT
public:
    explicit KelvaraCfg_TZ60(QWidget *parent = nullptr);

    int readerType() const override;
    QString settingsText() const override;
    void loadSettings(const QString &settingsText) override;

    // Whether the reader supports the external board: enables the board group
    // and sets the flag written as "HasPqio".
    void setExtIoSupported(bool supported);
    // "PQ.I/O board is paired", "PQ.I/O board is not paired" or "Reader has internal relay".
    void setExtIoStateText(const QString &text);

signals:
    // The board's serial number in lower-case hexadecimal.
    void pairing(const QString &serialNumberHex);

public slots:
    // Reads the "Serial Number" field and emits pairing(), or shows "Invalid serial number".
    void pairing();
};
