#pragma once

#include "views/readerforms/kelvaracfgform.h"

class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

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
    // The flag written as "HasPqio".
    bool hasExtIo() const;

signals:
    // The board's serial number in lower-case hexadecimal.
    void pairing(const QString &serialNumberHex);

public slots:
    // Reads the "Serial Number" field and emits pairing(), or shows "Invalid serial number".
    void pairing();

private slots:
    void enableBlockingTime();

private:
    void setDefaults();

    QCheckBox *m_timedLogical;
    QLabel *m_blockingTimeLabel;
    QSpinBox *m_blockingTime;
    QDoubleSpinBox *m_holdTime;
    QGroupBox *m_extIoGroup;
    QCheckBox *m_extIo;
    QLineEdit *m_serialNumber;
    QPushButton *m_pairingButton;
};
