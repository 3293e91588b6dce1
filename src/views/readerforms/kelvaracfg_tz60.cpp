#include "views/readerforms/kelvaracfg_tz60.h"

#include "reader/readertypes.h"
#include "widgets/kxmessagebox.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>

KelvaraCfg_TZ60::KelvaraCfg_TZ60(QWidget *parent) : KelvaraCfgForm(parent)
{
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
    m_blockingTime->setSingleStep(1);
    m_blockingTime->setSuffix(tr(" min"));
    m_blockingTime->setToolTip(tr("Minutes a transponder stays blocked after a granted access "
                                  "(at most %1).")
                                   .arg(MaxBlockingMinutes));
    m_blockingTimeLabel->setBuddy(m_blockingTime);
    auto *apbLayout = new QHBoxLayout(antiPassback);
    apbLayout->addWidget(m_timedLogical);
    apbLayout->addSpacing(12);
    apbLayout->addWidget(m_blockingTimeLabel);
    apbLayout->addWidget(m_blockingTime);
    apbLayout->addStretch();

    auto *relay = new QGroupBox(tr("Relay Output"), this);
    m_holdTime = new QDoubleSpinBox(relay);
    m_holdTime->setObjectName(QStringLiteral("holdTime1"));
    m_holdTime->setRange(0.1, 10.0);
    m_holdTime->setDecimals(1);
    m_holdTime->setSingleStep(0.1);
    m_holdTime->setSuffix(tr(" sec"));
    m_holdTime->setToolTip(tr("How long the relay stays switched after a granted access."));
    auto *relayLayout = new QFormLayout(relay);
    relayLayout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    relayLayout->addRow(tr("Hold Time"), m_holdTime);

    m_extIoGroup = new QGroupBox(tr("External PQ.I/O Board"), this);
    m_extIoGroup->setObjectName(QStringLiteral("extIoGroup"));
    m_extIo = new QCheckBox(tr("'Reader Info' shows PQ.I/O state"), m_extIoGroup);
    m_extIo->setObjectName(QStringLiteral("extIo"));
    m_extIo->setToolTip(tr("Checked when the reader switches its door through the external "
                           "PQ.I/O board.\n'Reader Info' finds out whether the reader "
                           "supports it and whether the board is paired."));
    m_serialNumber = new QLineEdit(m_extIoGroup);
    m_serialNumber->setObjectName(QStringLiteral("serialNumber"));
    m_serialNumber->setPlaceholderText(QStringLiteral("0"));
    m_serialNumber->setToolTip(tr("The decimal serial number printed on the board;\n"
                                  "0 for the first pairing of a new board."));
    m_pairingButton = new QPushButton(tr("Pairing"), m_extIoGroup);
    m_pairingButton->setObjectName(QStringLiteral("pairingButton"));
    m_pairingButton->setToolTip(tr("Pairs the reader with the board of this serial number."));
    auto *serialLabel = new QLabel(tr("Serial Number"), m_extIoGroup);
    serialLabel->setBuddy(m_serialNumber);
    auto *extIoLayout = new QVBoxLayout(m_extIoGroup);
    extIoLayout->addWidget(m_extIo);
    auto *pairingRow = new QHBoxLayout;
    pairingRow->addWidget(serialLabel);
    pairingRow->addWidget(m_serialNumber, 1);
    pairingRow->addWidget(m_pairingButton);
    extIoLayout->addLayout(pairingRow);
    m_extIoGroup->setEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(antiPassback);
    layout->addWidget(relay);
    layout->addWidget(m_extIoGroup);
    layout->addStretch();

    connect(m_timedLogical, &QCheckBox::toggled, this, &KelvaraCfg_TZ60::enableBlockingTime);
    connect(m_pairingButton, &QPushButton::clicked, this, qOverload<>(&KelvaraCfg_TZ60::pairing));
    connect(m_serialNumber, &QLineEdit::returnPressed, this,
            qOverload<>(&KelvaraCfg_TZ60::pairing));

    setDefaults();
}

int KelvaraCfg_TZ60::readerType() const
{
    return ReaderTypes::TZ60;
}

void KelvaraCfg_TZ60::setDefaults()
{
    m_timedLogical->setChecked(false);
    m_blockingTime->setValue(15);
    m_holdTime->setValue(1.0);
    enableBlockingTime();
}

QString KelvaraCfg_TZ60::settingsText() const
{
    const double validTime =
        m_timedLogical->isChecked() ? m_blockingTime->value() * 60.0 : UntimedValidTime;
    return QStringList{QStringLiteral("ReaderType=%1").arg(ReaderTypes::TZ60),
                       QStringLiteral("HasPqio=%1").arg(m_extIo->isChecked() ? 1 : 0),
                       QStringLiteral("ValidTime=") + decimalText(validTime),
                       QStringLiteral("Out1.HoldTime=") + decimalText(m_holdTime->value())}
        .join(QLatin1Char(';'));
}

void KelvaraCfg_TZ60::loadSettings(const QString &settingsText)
{
    setDefaults();
    const QMap<QString, QString> map = settingsMap(settingsText);
    m_extIo->setChecked(map.value(QStringLiteral("HasPqio")) == QLatin1String("1"));
    const int minutes = blockingMinutes(map);
    m_timedLogical->setChecked(minutes > 0);
    m_blockingTime->setValue(minutes > 0 ? minutes : 1);
    m_holdTime->setValue(decimalValue(map, QStringLiteral("Out1.HoldTime"), 1.0));
    enableBlockingTime();
}

void KelvaraCfg_TZ60::setExtIoSupported(bool supported)
{
    m_extIoGroup->setEnabled(supported);
    m_extIo->setChecked(supported);
}

void KelvaraCfg_TZ60::setExtIoStateText(const QString &text)
{
    m_extIo->setText(text);
}

bool KelvaraCfg_TZ60::hasExtIo() const
{
    return m_extIo->isChecked();
}

void KelvaraCfg_TZ60::pairing()
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    const QString text = m_serialNumber->text().trimmed();
    bool ok = digits.match(text).hasMatch();
    const uint serial = ok ? text.toUInt(&ok, 10) : 0;
    if (!ok) {
        KxMessageBox::critical(this, tr("Pairing"), tr("Invalid serial number"));
        return;
    }
    emit pairing(QString::number(serial, 16));
}

void KelvaraCfg_TZ60::enableBlockingTime()
{
    const bool on = m_timedLogical->isChecked();
    m_blockingTime->setEnabled(on);
    m_blockingTimeLabel->setEnabled(on);
}
