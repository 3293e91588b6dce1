#include "views/kelvarageneralsettingsdialog.h"

#include "core/applicationsettings.h"
#include "reader/readertypes.h"
#include "views/kxselectreader.h"
#include "widgets/kxdialogrun.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

KelvaraGeneralSettingsDialog::Answerer &answerer()
{
    static KelvaraGeneralSettingsDialog::Answerer instance;
    return instance;
}

struct Region
{
    int code;
    const char *text;
};

const Region kRegions[] = {
    {6, QT_TRANSLATE_NOOP("KelvaraRegion", "EU: Europe")},
    {22, QT_TRANSLATE_NOOP("KelvaraRegion", "EU: Asia / Oceania")},
    {38, QT_TRANSLATE_NOOP("KelvaraRegion", "EU: Russia")},
    {54, QT_TRANSLATE_NOOP("KelvaraRegion", "EU: Africa")},
    {70, QT_TRANSLATE_NOOP("KelvaraRegion", "EU: India")},
    {86, QT_TRANSLATE_NOOP("KelvaraRegion", "EU: Morocco")},
    {4, QT_TRANSLATE_NOOP("KelvaraRegion", "FCC: USA")},
    {20, QT_TRANSLATE_NOOP("KelvaraRegion", "FCC: China")},
    {36, QT_TRANSLATE_NOOP("KelvaraRegion", "FCC: Australia / New Zealand")},
    {52, QT_TRANSLATE_NOOP("KelvaraRegion", "FCC: Brazil")},
    {68, QT_TRANSLATE_NOOP("KelvaraRegion", "FCC: Israel")},
    {84, QT_TRANSLATE_NOOP("KelvaraRegion", "FCC: Japan")},
    {100, QT_TRANSLATE_NOOP("KelvaraRegion", "FCC: Malaysia")},
    {116, QT_TRANSLATE_NOOP("KelvaraRegion", "FCC: Korea")},
    {254, QT_TRANSLATE_NOOP("KelvaraRegion", "EU: Manual")},
    {255, QT_TRANSLATE_NOOP("KelvaraRegion", "FCC: Manual")},
};

bool isEu(int code)
{
    return code == 254 || (code & 0x0f) == 6;
}

const QSet<int> kHfTypes = {100, 82, 86};
const QSet<int> kUhfTypes = {54, 101, 863};

} // namespace

KelvaraRegion::KelvaraRegion(bool eu, bool fcc, QWidget *parent) : QComboBox(parent)
{
    for (const Region &r : kRegions) {
        if (r.code >= 254)
            continue; // known texts, not offered
        if (isEu(r.code) ? eu : fcc)
            addItem(tr(r.text), r.code);
    }
}

QString KelvaraRegion::regionText(int code)
{
    for (const Region &r : kRegions)
        if (r.code == code)
            return tr(r.text);
    return tr("Unknown region");
}

bool KelvaraRegion::setRegion(int code)
{
    setCurrentIndex(findData(code));
    return currentIndex() >= 0;
}

KelvaraGeneralSettingsDialog::KelvaraGeneralSettingsDialog(ApplicationSettings &settings,
                                                           QWidget *parent)
    : QDialog(parent), m_settings(settings)
{
    setWindowTitle(tr("General Settings"));
    m_reader[0] = ReaderFactory::parseProgrammerReader(settings.hfProgrammerReader);
    m_reader[1] = ReaderFactory::parseProgrammerReader(settings.uhfProgrammerReader);
    auto *layout = new QVBoxLayout(this);
    const QString titles[2] = {tr("Short Range (HF) Programmer"),
                               tr("Long Range (UHF) Programmer")};
    const QString buttons[2] = {tr("Select HF Reader for Programming"),
                                tr("Select UHF Reader for Programming")};
    for (int range = 0; range < 2; ++range) {
        auto *frame = new QGroupBox(titles[range], this);
        auto *box = new QVBoxLayout(frame);
        m_name[range] = new QLabel(frame);
        m_select[range] = new QPushButton(buttons[range], frame);
        m_edit[range] = new QLineEdit(frame);
        m_edit[range]->setReadOnly(true);
        m_edit[range]->setMinimumWidth(m_edit[range]->fontMetrics().horizontalAdvance(
                                           QStringLiteral("Device-ID '00000000' via "
                                                          "'255.255.255.255:65535'")) +
                                       16);
        box->addWidget(m_name[range]);
        box->addWidget(m_select[range]);
        box->addWidget(m_edit[range]);
        if (range == 1) {
            m_region = new KelvaraRegion(true, true, frame);
            // An unknown stored code leaves the box empty until a region is chosen.
            m_region->setRegion(settings.uhfRegion);
            box->addWidget(m_region);
        }
        layout->addWidget(frame);
    }
    auto *parallelRow = new QHBoxLayout;
    auto *parallelLabel = new QLabel(tr("Readers updated at once:"), this);
    m_parallel = new QSpinBox(this);
    m_parallel->setRange(1, ApplicationSettings::MaxParallelEntries);
    m_parallel->setValue(settings.parallelEntries);
    const QString parallelHelp = tr("How many readers a function (update, read, set the clock "
                                    "...) serves at the same time.\n1: one reader after another.");
    m_parallel->setWhatsThis(parallelHelp);
    if (settings.areToolTipsOn)
        m_parallel->setToolTip(parallelHelp);
    parallelLabel->setBuddy(m_parallel);
    parallelRow->addWidget(parallelLabel);
    parallelRow->addWidget(m_parallel);
    parallelRow->addStretch();
    layout->addLayout(parallelRow);
    m_ok = new QPushButton(tr("Ok"), this);
    m_ok->setDefault(true);
    auto *cancel = new QPushButton(tr("Cancel"), this);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_ok);
    row->addWidget(cancel);
    layout->addStretch();
    layout->addLayout(row);

    connect(m_select[0], &QPushButton::clicked, this,
            &KelvaraGeneralSettingsDialog::selectHfReader);
    connect(m_select[1], &QPushButton::clicked, this,
            &KelvaraGeneralSettingsDialog::selectUhfReader);
    connect(m_ok, &QPushButton::clicked, this, &KelvaraGeneralSettingsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    clearSameConnection(1);
    showReader(0);
    showReader(1);
}

bool KelvaraGeneralSettingsDialog::run(QWidget *parent, ApplicationSettings &settings)
{
    KelvaraGeneralSettingsDialog dialog(settings, parent);
    dialog.setGeometry(settings.generalSettingsDialogGeometry);
    const int answer = execOrAnswer(dialog, answerer());
    settings.generalSettingsDialogGeometry = dialog.geometry();
    return answer == QDialog::Accepted;
}

KelvaraGeneralSettingsDialog::Answerer KelvaraGeneralSettingsDialog::setAnswerer(Answerer next)
{
    Answerer previous = answerer();
    answerer() = std::move(next);
    return previous;
}

QString KelvaraGeneralSettingsDialog::referenceText(const ReaderFactory::ProgrammerReader &reader)
{
    return QStringLiteral("%1;%2;%3:%4")
        .arg(reader.type)
        .arg(QStringLiteral("%1").arg(reader.deviceId, 8, 16, QLatin1Char('0')).toUpper(),
             reader.host)
        .arg(reader.port);
}

QString KelvaraGeneralSettingsDialog::connectionText(const ReaderFactory::ProgrammerReader &reader)
{
    if (reader.deviceId == 0 && reader.host.isEmpty())
        return QString();
    const QString via = reader.host.isEmpty()
                            ? QStringLiteral("USB")
                            : QStringLiteral("%1:%2").arg(reader.host).arg(reader.port);
    return tr("Device-ID '%1' via '%2'")
        .arg(QStringLiteral("%1").arg(reader.deviceId, 8, 16, QLatin1Char('0')).toUpper(), via);
}

void KelvaraGeneralSettingsDialog::selectHfReader()
{
    selectReader(0);
}

void KelvaraGeneralSettingsDialog::selectUhfReader()
{
    selectReader(1);
}

void KelvaraGeneralSettingsDialog::selectReader(int range)
{
    ReaderFactory::ProgrammerReader &reader = m_reader[range];
    KxReaderSelection chosen;
    if (!KxSelectReader::selectReader(this, m_settings, range ? kUhfTypes : kHfTypes, nullptr,
                                      reader.host, reader.port, &chosen))
        return;
    reader.type = chosen.readerType;
    reader.deviceId = chosen.deviceId;
    reader.host = chosen.host;
    reader.port = chosen.port;
    showReader(range);
    clearSameConnection(range);
}

// One networked reader cannot serve both ranges: the other choice goes.
void KelvaraGeneralSettingsDialog::clearSameConnection(int keep)
{
    const int other = 1 - keep;
    if (!m_reader[keep].host.isEmpty() && m_reader[keep].host == m_reader[other].host &&
        m_reader[keep].port == m_reader[other].port) {
        m_reader[other] = ReaderFactory::ProgrammerReader();
        showReader(other);
    }
}

void KelvaraGeneralSettingsDialog::showReader(int range)
{
    const ReaderFactory::ProgrammerReader &reader = m_reader[range];
    m_name[range]->setText(reader.type && reader.deviceId ? ReaderTypes::readerTypeName(reader.type)
                                                          : tr("Please select a reader"));
    m_edit[range]->setText(connectionText(reader));
}

void KelvaraGeneralSettingsDialog::accept()
{
    m_settings.hfProgrammerReader = referenceText(m_reader[0]);
    m_settings.uhfProgrammerReader = referenceText(m_reader[1]);
    if (m_region->currentIndex() >= 0)
        m_settings.uhfRegion = m_region->region();
    m_settings.parallelEntries = m_parallel->value();
    emit settingsChanged();
    QDialog::accept();
}
