#include "views/readerforms/kelvaracfg_tzu700.h"

#include "reader/readertypes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// Selects the item whose data equals value; keeps the selection when none does.
void selectData(QComboBox *combo, int value)
{
    const int index = combo->findData(value);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

} // namespace

KelvaraCfg_TZU700::KelvaraCfg_TZU700(int readerType, QWidget *parent)
    : KelvaraCfgForm(parent), m_readerType(readerType)
{
    const bool tzu300 = isTzu300();
    const QString ant1 = tzu300 ? tr("INT-ANT") : tr("ANT1");
    const QString ant2 = tzu300 ? tr("EXT-ANT") : tr("ANT2");

    // Anti-passback: timed blocking and entry/exit by antenna.
    auto *antiPassback = new QGroupBox(tr("Anti-Passback"), this);
    m_timedLogical = new QCheckBox(tr("Timed-Logical"), antiPassback);
    m_timedLogical->setObjectName(QStringLiteral("timedLogical"));
    m_timedLogical->setToolTip(
        tr("After a granted access the same transponder is refused at this reader\n"
           "until the blocking time has passed."));
    m_blockingTimeLabel = new QLabel(tr("Blocking Time"), antiPassback);
    m_blockingTime = new QSpinBox(antiPassback);
    m_blockingTime->setObjectName(QStringLiteral("blockingTime"));
    m_blockingTime->setRange(1, MaxBlockingMinutes);
    m_blockingTime->setSuffix(tr(" min"));
    m_blockingTime->setToolTip(tr("Minutes a transponder stays blocked after a granted access "
                                  "(at most %1).")
                                   .arg(MaxBlockingMinutes));
    m_blockingTimeLabel->setBuddy(m_blockingTime);
    m_logical = new QCheckBox(tr("Logical"), antiPassback);
    m_logical->setObjectName(QStringLiteral("logical"));
    m_logical->setToolTip(tr("A transponder that entered must leave before it can enter again;\n"
                             "one antenna reads at the entry, the other at the exit."));
    if (tzu300) {
        m_inOut = dataComboBox(
            "inOut",
            {{tr("Entry=INT-ANT, Exit=EXT-ANT"), 2}, {tr("Entry=EXT-ANT, Exit=INT-ANT"), 1}},
            antiPassback);
    } else {
        m_inOut = dataComboBox("inOut",
                               {{tr("Entry=ANT1, Exit=ANT2"), 2}, {tr("Entry=ANT2, Exit=ANT1"), 1}},
                               antiPassback);
    }
    m_inOut->setToolTip(tr("Which antenna reads at the entry and which at the exit."));
    auto *apbLayout = new QGridLayout(antiPassback);
    apbLayout->addWidget(m_timedLogical, 0, 0);
    apbLayout->addWidget(m_blockingTimeLabel, 0, 1);
    apbLayout->addWidget(m_blockingTime, 0, 2);
    apbLayout->addWidget(m_logical, 1, 0);
    apbLayout->addWidget(m_inOut, 1, 1, 1, 2);
    apbLayout->setColumnStretch(3, 1);

    // Antennas.
    auto *antennas = new QGroupBox(tr("Antennas"), this);
    m_antennaCount = new QComboBox(antennas);
    m_antennaCount->setObjectName(QStringLiteral("antennaCount"));
    m_antennaCount->addItems({tr("1 Antenna"), tr("2 Antennas")});
    m_antennaCount->setToolTip(tr("How many antennas are connected to the reader."));
    const double max1 = tzu300 ? 0.8 : 2.0;
    const double max2 = tzu300 ? 1.0 : 2.0;
    m_rfPower1 = decimalSpinBox("rfPower1", 0.1, max1, tr(" W"), antennas);
    m_rfPower1->setToolTip(
        tr("Transmit power of the antenna: more power reads from farther away."));
    m_rfPower2 = decimalSpinBox("rfPower2", 0.1, max2, tr(" W"), antennas);
    m_rfPower2->setToolTip(m_rfPower1->toolTip());
    auto *antennaLayout = new QFormLayout(antennas);
    antennaLayout->addRow(tr("Antennas"), m_antennaCount);
    antennaLayout->addRow(tr("RF Power %1").arg(ant1), m_rfPower1);
    m_rfPower2Label = new QLabel(tr("RF Power %1").arg(ant2), antennas);
    antennaLayout->addRow(m_rfPower2Label, m_rfPower2);
    if (tzu300) {
        m_antennaSignal = dataComboBox(
            "antennaSignal",
            {{tr("Both Antennas control LED's"), 3}, {tr("INT-ANT controls LED's"), 1}}, antennas);
        m_antennaSignal->setToolTip(tr("Which antenna's readings the LED's show."));
        antennaLayout->addRow(tr("LED Signal"), m_antennaSignal);
    }

    // Relay outputs.
    auto *outputs = new QGroupBox(tr("Relay Outputs"), this);
    m_holdTime1 = decimalSpinBox("holdTime1", 0.1, 10.0, tr(" sec"), outputs);
    m_holdTime1->setToolTip(tr("How long the output stays switched after a granted access."));
    m_holdTime2 = decimalSpinBox("holdTime2", 0.1, 10.0, tr(" sec"), outputs);
    m_holdTime2->setToolTip(m_holdTime1->toolTip());
    auto *outputLayout = new QFormLayout(outputs);
    outputLayout->addRow(tr("Hold Time REL1/OUT1"), m_holdTime1);
    outputLayout->addRow(tr("Hold Time REL2/OUT2"), m_holdTime2);

    // Trigger inputs: the reader reads only while an input (a loop or light barrier) asks it to.
    auto *trigger = new QGroupBox(tr("Trigger"), this);
    m_triggerEnable = new QCheckBox(tr("Enable"), trigger);
    m_triggerEnable->setObjectName(QStringLiteral("triggerEnable"));
    m_triggerEnable->setToolTip(tr("The reader reads only after a signal on its inputs,\n"
                                   "for example from a vehicle loop or a light barrier."));
    m_triggerEdge = dataComboBox("triggerEdge",
                                 {{tr("Edge triggered"), 1}, {tr("Level triggered"), 0}}, trigger);
    m_triggerEdge->setToolTip(tr("Edge: a change of the input starts the reading time.\n"
                                 "Level: the reader reads as long as the input is active."));
    m_triggerHoldTime = decimalSpinBox("triggerHoldTime", 1.0, 30.0, tr(" sec"), trigger);
    m_triggerHoldTime->setToolTip(tr("How long the reader reads after a trigger."));
    m_triggerHoldTimeLabel = new QLabel(tr("Reader Active Time"), trigger);
    m_triggerInputs = dataComboBox(
        "triggerInputs",
        {{tr("IN1,IN2 -> Both Antennas"), 0}, {tr("IN1 -> INT-ANT , IN2 -> EXT-ANT"), 1}}, trigger);
    m_triggerInputs->setToolTip(tr("Which antennas an input switches on."));
    auto *triggerLayout = new QFormLayout(trigger);
    triggerLayout->addRow(m_triggerEnable, m_triggerEdge);
    triggerLayout->addRow(m_triggerHoldTimeLabel, m_triggerHoldTime);
    triggerLayout->addRow(m_triggerInputs);

    auto *left = new QVBoxLayout;
    left->addWidget(antiPassback);
    left->addWidget(antennas);
    left->addStretch();
    auto *right = new QVBoxLayout;
    right->addWidget(outputs);
    right->addWidget(trigger);

    if (tzu300) {
        const QList<QPair<QString, int>> colors = {
            {tr("Off"), 0}, {tr("Green"), 1}, {tr("Red"), 2}, {tr("Blue"), 3}};
        const QList<QPair<QString, int>> modes = {{tr("Permanent"), 0},
                                                  {tr("Flash 1 Hz"), 1},
                                                  {tr("Flash 2 Hz"), 2},
                                                  {tr("Flash 4 Hz"), 3}};
        auto *leds = new QGroupBox(tr("LED's"), this);
        m_ledIdleColor = dataComboBox("ledIdleColor", colors, leds);
        m_ledValidColor = dataComboBox("ledValidColor", colors, leds);
        m_ledValidMode = dataComboBox("ledValidMode", modes, leds);
        m_ledInvalColor = dataComboBox("ledInvalColor", colors, leds);
        m_ledInvalMode = dataComboBox("ledInvalMode", modes, leds);
        m_ledIdleColor->setToolTip(tr("LED colour while the reader waits."));
        m_ledValidColor->setToolTip(tr("LED colour after a granted access."));
        m_ledInvalColor->setToolTip(tr("LED colour after a refused access."));
        auto *ledLayout = new QGridLayout(leds);
        ledLayout->addWidget(new QLabel(tr("Idle Color"), leds), 0, 0);
        ledLayout->addWidget(m_ledIdleColor, 0, 1);
        ledLayout->addWidget(new QLabel(tr("Valid Color"), leds), 1, 0);
        ledLayout->addWidget(m_ledValidColor, 1, 1);
        ledLayout->addWidget(new QLabel(tr("Valid Mode"), leds), 1, 2);
        ledLayout->addWidget(m_ledValidMode, 1, 3);
        ledLayout->addWidget(new QLabel(tr("Invalid Color"), leds), 2, 0);
        ledLayout->addWidget(m_ledInvalColor, 2, 1);
        ledLayout->addWidget(new QLabel(tr("Invalid Mode"), leds), 2, 2);
        ledLayout->addWidget(m_ledInvalMode, 2, 3);
        right->addWidget(leds);
    }
    right->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left);
    layout->addLayout(right);

    connect(m_timedLogical, &QCheckBox::toggled, this, &KelvaraCfg_TZU700::enableBlockingTime);
    connect(m_logical, &QCheckBox::toggled, this, &KelvaraCfg_TZU700::enableInOut);
    connect(m_triggerEnable, &QCheckBox::toggled, this, &KelvaraCfg_TZU700::enableTrigger);
    connect(m_antennaCount, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &KelvaraCfg_TZU700::antennaCountChanged);

    setDefaults();
}

QDoubleSpinBox *KelvaraCfg_TZU700::decimalSpinBox(const char *objectName, double minimum,
                                                  double maximum, const QString &suffix,
                                                  QWidget *parent)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setObjectName(QLatin1String(objectName));
    box->setDecimals(1);
    box->setRange(minimum, maximum);
    box->setSingleStep(0.1);
    box->setSuffix(suffix);
    return box;
}

QComboBox *KelvaraCfg_TZU700::dataComboBox(const char *objectName,
                                           const QList<QPair<QString, int>> &items, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(objectName));
    for (const auto &item : items)
        combo->addItem(item.first, item.second);
    return combo;
}

int KelvaraCfg_TZU700::readerType() const
{
    return m_readerType;
}

bool KelvaraCfg_TZU700::isTzu300() const
{
    return m_readerType == ReaderTypes::TZU300;
}

void KelvaraCfg_TZU700::setDefaults()
{
    m_timedLogical->setChecked(false);
    m_blockingTime->setValue(15);
    m_logical->setChecked(false);
    m_inOut->setCurrentIndex(0);
    m_antennaCount->setCurrentIndex(0);
    m_rfPower1->setValue(1.0); // the type 863 box holds its own maximum
    m_rfPower2->setValue(1.0);
    m_holdTime1->setValue(1.0);
    m_holdTime2->setValue(1.0);
    m_triggerEnable->setChecked(false);
    m_triggerEdge->setCurrentIndex(0);
    m_triggerHoldTime->setValue(5.0);
    m_triggerInputs->setCurrentIndex(0);
    if (isTzu300()) {
        m_antennaSignal->setCurrentIndex(0);
        selectData(m_ledIdleColor, 0);
        selectData(m_ledValidColor, 1);
        selectData(m_ledValidMode, 0);
        selectData(m_ledInvalColor, 2);
        selectData(m_ledInvalMode, 0);
    }
    enableBlockingTime();
    enableInOut();
    enableTrigger();
    antennaCountChanged();
}

QString KelvaraCfg_TZU700::settingsText() const
{
    const double validTime =
        m_timedLogical->isChecked() ? m_blockingTime->value() * 60.0 : UntimedValidTime;
    QStringList entries{
        QStringLiteral("ReaderType=%1").arg(m_readerType),
        QStringLiteral("ValidTime=") + decimalText(validTime),
        QStringLiteral("AntiPassBack=%1")
            .arg(m_logical->isChecked() ? m_inOut->currentData().toInt() : 0),
        QStringLiteral("AntennaCount=%1").arg(m_antennaCount->currentIndex() + 1),
        QStringLiteral("Antenna1.RfPower=") + decimalText(m_rfPower1->value()),
        QStringLiteral("Antenna2.RfPower=") + decimalText(m_rfPower2->value()),
        QStringLiteral("Out1.HoldTime=") + decimalText(m_holdTime1->value()),
        QStringLiteral("Out2.HoldTime=") + decimalText(m_holdTime2->value()),
        QStringLiteral("Trigger.Enable=%1").arg(m_triggerEnable->isChecked() ? 1 : 0),
        QStringLiteral("Trigger.Edge=%1").arg(m_triggerEdge->currentData().toInt()),
        QStringLiteral("Trigger.HoldTime=") + decimalText(m_triggerHoldTime->value()),
        QStringLiteral("Trigger.InputToAntenna=%1").arg(m_triggerInputs->currentData().toInt()),
    };
    if (isTzu300()) {
        entries << QStringLiteral("AntennaSignal=%1").arg(m_antennaSignal->currentData().toInt())
                << QStringLiteral("Led.Idle.Color=%1").arg(m_ledIdleColor->currentData().toInt())
                << QStringLiteral("Led.Valid.Color=%1").arg(m_ledValidColor->currentData().toInt())
                << QStringLiteral("Led.Valid.Mode=%1").arg(m_ledValidMode->currentData().toInt())
                << QStringLiteral("Led.Inval.Color=%1").arg(m_ledInvalColor->currentData().toInt())
                << QStringLiteral("Led.Inval.Mode=%1").arg(m_ledInvalMode->currentData().toInt());
    }
    return entries.join(QLatin1Char(';'));
}

void KelvaraCfg_TZU700::loadSettings(const QString &settingsText)
{
    setDefaults();
    const QMap<QString, QString> map = settingsMap(settingsText);

    const int minutes = blockingMinutes(map);
    m_timedLogical->setChecked(minutes > 0);
    m_blockingTime->setValue(minutes > 0 ? minutes : 1);

    const int antiPassback = integerValue(map, QStringLiteral("AntiPassBack"), 0);
    m_logical->setChecked(antiPassback > 0);
    if (antiPassback > 0) {
        const int index = m_inOut->findData(antiPassback);
        m_inOut->setCurrentIndex(index >= 0 ? index : 0);
    }

    const int antennas = integerValue(map, QStringLiteral("AntennaCount"), 1);
    if (antennas >= 1 && antennas <= m_antennaCount->count())
        m_antennaCount->setCurrentIndex(antennas - 1);
    m_rfPower1->setValue(decimalValue(map, QStringLiteral("Antenna1.RfPower"), 1.0));
    m_rfPower2->setValue(decimalValue(map, QStringLiteral("Antenna2.RfPower"), 1.0));
    m_holdTime1->setValue(decimalValue(map, QStringLiteral("Out1.HoldTime"), 1.0));
    m_holdTime2->setValue(decimalValue(map, QStringLiteral("Out2.HoldTime"), 1.0));

    m_triggerEnable->setChecked(map.value(QStringLiteral("Trigger.Enable")) == QLatin1String("1"));
    selectData(m_triggerEdge, integerValue(map, QStringLiteral("Trigger.Edge"), 1));
    m_triggerHoldTime->setValue(decimalValue(map, QStringLiteral("Trigger.HoldTime"), 5.0));
    selectData(m_triggerInputs, integerValue(map, QStringLiteral("Trigger.InputToAntenna"), 0));

    if (isTzu300()) {
        const struct
        {
            QComboBox *combo;
            const char *key;
        } combos[] = {
            {m_antennaSignal, "AntennaSignal"},   {m_ledIdleColor, "Led.Idle.Color"},
            {m_ledValidColor, "Led.Valid.Color"}, {m_ledValidMode, "Led.Valid.Mode"},
            {m_ledInvalColor, "Led.Inval.Color"}, {m_ledInvalMode, "Led.Inval.Mode"},
        };
        for (const auto &c : combos)
            selectData(c.combo, integerValue(map, QLatin1String(c.key), -1));
    }
    enableBlockingTime();
    enableInOut();
    enableTrigger();
    antennaCountChanged();
}

void KelvaraCfg_TZU700::enableBlockingTime()
{
    const bool on = m_timedLogical->isChecked();
    m_blockingTime->setEnabled(on);
    m_blockingTimeLabel->setEnabled(on);
}

void KelvaraCfg_TZU700::enableInOut()
{
    m_inOut->setEnabled(m_logical->isChecked());
}

void KelvaraCfg_TZU700::enableTrigger()
{
    const bool on = m_triggerEnable->isChecked();
    m_triggerEdge->setEnabled(on);
    m_triggerHoldTimeLabel->setEnabled(on);
    m_triggerHoldTime->setEnabled(on);
    m_triggerInputs->setEnabled(on);
}

void KelvaraCfg_TZU700::antennaCountChanged()
{
    const bool two = m_antennaCount->currentIndex() == 1;
    m_rfPower2Label->setEnabled(two);
    m_rfPower2->setEnabled(two);
}
