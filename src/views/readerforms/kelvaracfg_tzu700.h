#pragma once

#include "views/readerforms/kelvaracfgform.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QSpinBox;

// Settings form of the long-range access readers: type 101 or, with other
// labels and the LED controls, type 863.
class KelvaraCfg_TZU700 : public KelvaraCfgForm
{
    Q_OBJECT
public:
    explicit KelvaraCfg_TZU700(int readerType, QWidget *parent = nullptr);

    int readerType() const override;
    QString settingsText() const override;
    void loadSettings(const QString &settingsText) override;

private slots:
    void enableBlockingTime();
    void enableInOut();
    void enableTrigger();
    void antennaCountChanged();

private:
    bool isTzu300() const;
    void setDefaults();
    QDoubleSpinBox *decimalSpinBox(const char *objectName, double minimum, double maximum,
                                   const QString &suffix, QWidget *parent);
    QComboBox *dataComboBox(const char *objectName, const QList<QPair<QString, int>> &items,
                            QWidget *parent);

    int m_readerType;
    QCheckBox *m_timedLogical = nullptr;
    QLabel *m_blockingTimeLabel = nullptr;
    QSpinBox *m_blockingTime = nullptr;
    QCheckBox *m_logical = nullptr;
    QComboBox *m_inOut = nullptr;
    QComboBox *m_antennaCount = nullptr;
    QDoubleSpinBox *m_rfPower1 = nullptr;
    QLabel *m_rfPower2Label = nullptr;
    QDoubleSpinBox *m_rfPower2 = nullptr;
    QComboBox *m_antennaSignal = nullptr;
    QDoubleSpinBox *m_holdTime1 = nullptr;
    QDoubleSpinBox *m_holdTime2 = nullptr;
    QCheckBox *m_triggerEnable = nullptr;
    QComboBox *m_triggerEdge = nullptr;
    QLabel *m_triggerHoldTimeLabel = nullptr;
    QDoubleSpinBox *m_triggerHoldTime = nullptr;
    QComboBox *m_triggerInputs = nullptr;
    QComboBox *m_ledIdleColor = nullptr;
    QComboBox *m_ledValidColor = nullptr;
    QComboBox *m_ledValidMode = nullptr;
    QComboBox *m_ledInvalColor = nullptr;
    QComboBox *m_ledInvalMode = nullptr;
};
