#include "views/settings/kelvarageneralsettingsdialog.h"

#include "core/applicationsettings.h"
#include "core/errortext.h"
#include "db/entryrecords.h"
#include "reader/readertypes.h"
#include "views/functions/kxreaderrun.h"
#include "views/readerselection/kxselectreader.h"
#include "widgets/guimessages.h"
#include "widgets/kxdialogrun.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxsizing.h"
#include "widgets/readerfirmwarecheck.h"
#include "widgets/readerpicture.h"

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <array>
#include <memory>

namespace {

constexpr int kPictureHeight = 100;
constexpr int kConnectionTestMs = 1000;

QString deviceIdText(quint32 deviceId)
{
    return QStringLiteral("%1").arg(deviceId, 8, 16, QLatin1Char('0')).toUpper();
}

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
    : KelvaraGeneralSettingsDialog(settings, ProjectParameters(), QString(), parent)
{
}

KelvaraGeneralSettingsDialog::KelvaraGeneralSettingsDialog(ApplicationSettings &settings,
                                                           const ProjectParameters &project,
                                                           const QString &databasePath,
                                                           QWidget *parent)
    : QDialog(parent), m_settings(settings), m_project(project), m_databasePath(databasePath)
{
    build();
}

void KelvaraGeneralSettingsDialog::build()
{
    ApplicationSettings &settings = m_settings;
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
        m_picture[range] = new QLabel(frame);
        m_picture[range]->setAlignment(Qt::AlignCenter);
        m_picture[range]->setAutoFillBackground(true);
        m_picture[range]->setStyleSheet(QStringLiteral("background: white"));
        m_picture[range]->setMinimumHeight(kPictureHeight + 8);
        m_name[range] = new QLabel(frame);
        m_name[range]->setAlignment(Qt::AlignCenter);
        QFont bold = m_name[range]->font();
        bold.setBold(true);
        m_name[range]->setFont(bold);
        m_select[range] = new QPushButton(buttons[range], frame);
        m_edit[range] = new QLineEdit(frame);
        m_edit[range]->setReadOnly(true);
        m_edit[range]->setMinimumWidth(m_edit[range]->fontMetrics().horizontalAdvance(
                                           QStringLiteral("Device-ID '00000000' via "
                                                          "'255.255.255.255:65535'")) +
                                       16);
        box->addWidget(m_picture[range]);
        box->addWidget(m_name[range]);
        box->addWidget(m_select[range]);
        box->addWidget(m_edit[range]);
        if (range == 1) {
            m_region = new KelvaraRegion(true, true, frame);
            // An unknown stored code leaves the box empty until a region is chosen.
            m_region->setRegion(settings.uhfRegion);
            auto *regionRow = new QHBoxLayout;
            auto *regionLabel = new QLabel(tr("Region"), frame);
            regionLabel->setBuddy(m_region);
            regionRow->addWidget(regionLabel);
            regionRow->addWidget(m_region, 1);
            box->addLayout(regionRow);
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
    m_readEventsFirst = new QCheckBox(tr("Read events before updating"), this);
    m_readEventsFirst->setChecked(settings.readEventsBeforeUpdate);
    const QString readFirstHelp =
        tr("New access tables delete a reader's event list. When this is on, an update first "
           "reads the reader's events and keeps them in the project; if that fails, nothing is "
           "sent and the reader keeps its events.");
    m_readEventsFirst->setWhatsThis(readFirstHelp);
    if (settings.areToolTipsOn)
        m_readEventsFirst->setToolTip(readFirstHelp);
    layout->addWidget(m_readEventsFirst);
    m_ok = new QPushButton(tr("Ok"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(tr("Cancel"), this);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_ok);
    row->addWidget(m_cancel);
    layout->addStretch();
    layout->addLayout(row);

    connect(m_select[0], &QPushButton::clicked, this,
            &KelvaraGeneralSettingsDialog::selectHfReader);
    connect(m_select[1], &QPushButton::clicked, this,
            &KelvaraGeneralSettingsDialog::selectUhfReader);
    connect(m_ok, &QPushButton::clicked, this, &KelvaraGeneralSettingsDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_run = new KxReaderRun(this);
    m_run->setLocked({m_select[0], m_select[1], m_ok, m_cancel});
    clearSameConnection(1);
    showReaders({0, 1});
}

bool KelvaraGeneralSettingsDialog::isReaderBusy() const
{
    return m_run->isRunning();
}

void KelvaraGeneralSettingsDialog::reject()
{
    // The command goes on; the dialog closes when the operator can see its end.
    if (isReaderBusy())
        return;
    QDialog::reject();
}

bool KelvaraGeneralSettingsDialog::run(QWidget *parent, ApplicationSettings &settings,
                                       const ProjectParameters &project,
                                       const QString &databasePath)
{
    KelvaraGeneralSettingsDialog dialog(settings, project, databasePath, parent);
    kxPlaceDialog(&dialog, settings.generalSettingsDialogGeometry.size());
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
    return tr("Device-ID '%1' via '%2'").arg(deviceIdText(reader.deviceId), via);
}

QPixmap KelvaraGeneralSettingsDialog::programmerPicture(const QPixmap &readerPicture,
                                                        bool connected, const QPixmap &placeholder)
{
    QPixmap base = readerPicture;
    if (base.isNull())
        base = connected ? placeholder : QPixmap(QStringLiteral(":/not-connected.png"));
    if (base.isNull())
        return QPixmap();
    if (base.height() != kPictureHeight)
        base = base.scaledToHeight(kPictureHeight, Qt::SmoothTransformation);
    if (connected)
        return base;

    QFont font = QApplication::font();
    font.setBold(true);
    font.setPointSizeF(kPictureHeight / 6.0);
    const QString text = tr("Not Connected");
    // The caption may be wider than the picture: the canvas grows, the
    // picture stays in its middle.
    const int textWidth = QFontMetrics(font).horizontalAdvance(text) + 8;
    QPixmap canvas(qMax(base.width(), textWidth), kPictureHeight);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.drawPixmap((canvas.width() - base.width()) / 2, 0, base);
    // A white rim keeps the caption readable over any picture.
    const QFontMetrics metrics(font);
    QPainterPath path;
    path.addText((canvas.width() - metrics.horizontalAdvance(text)) / 2.0,
                 (canvas.height() + metrics.ascent() - metrics.descent()) / 2.0, font, text);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(path, QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(path, QColor(Qt::red));
    painter.end();
    return canvas;
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
    showReaders({range});
    clearSameConnection(range);
}

// One networked reader cannot serve both ranges: the other choice goes.
void KelvaraGeneralSettingsDialog::clearSameConnection(int keep)
{
    const int other = 1 - keep;
    if (!m_reader[keep].host.isEmpty() && m_reader[keep].host == m_reader[other].host &&
        m_reader[keep].port == m_reader[other].port) {
        m_reader[other] = ReaderFactory::ProgrammerReader();
        showReaders({other});
    }
}

ReaderSettings KelvaraGeneralSettingsDialog::readerSettings() const
{
    ReaderSettings settings;
    settings.project = m_project;
    settings.hfProgrammerReader = referenceText(m_reader[0]);
    settings.uhfProgrammerReader = referenceText(m_reader[1]);
    settings.uhfRegion =
        m_region && m_region->currentIndex() >= 0 ? m_region->region() : m_settings.uhfRegion;
    return settings;
}

void KelvaraGeneralSettingsDialog::showReaders(const QList<int> &ranges)
{
    QList<int> tested;
    for (int range : ranges) {
        const ReaderFactory::ProgrammerReader &reader = m_reader[range];
        m_connected[range] = false;
        if (reader.type && reader.deviceId) {
            m_name[range]->setText(ReaderTypes::readerTypeName(reader.type));
            tested << range;
        } else {
            m_name[range]->setText(tr("Please select a reader"));
            m_picture[range]->clear();
        }
        m_edit[range]->setText(connectionText(reader));
    }
    if (tested.isEmpty())
        return;
    const ReaderSettings settings = readerSettings();
    const std::array<ReaderFactory::ProgrammerReader, 2> readers = {m_reader[0], m_reader[1]};
    const auto connected = std::make_shared<std::array<bool, 2>>();
    m_run->start(
        [settings, readers, tested, connected] {
            for (int range : tested)
                (*connected)[range] = ReaderFactory::testProgrammerConnection(
                    settings, readers[range], kConnectionTestMs);
        },
        [this, tested, connected] {
            for (int range : tested) {
                m_connected[range] = (*connected)[range];
                showPicture(range);
            }
        });
}

void KelvaraGeneralSettingsDialog::showPicture(int range)
{
    // Until a model has its own picture, its range's transponder stands in.
    const QPixmap placeholder(range ? QStringLiteral(":/transponder-uhf.png")
                                    : QStringLiteral(":/transponder-hf.png"));
    const QPixmap picture =
        programmerPicture(readerPicture(m_reader[range].type), m_connected[range], placeholder);
    if (picture.isNull())
        m_picture[range]->clear();
    else
        m_picture[range]->setPixmap(picture);
}

void KelvaraGeneralSettingsDialog::configureProgrammer(int range,
                                                       const std::function<void(bool)> &then)
{
    const ReaderFactory::ProgrammerReader &reader = m_reader[range];
    const QString name = ReaderTypes::readerTypeName(reader.type);
    const QString title = tr("Configure Programmer Reader '%1'").arg(name);
    if (!m_databasePath.isEmpty()) {
        bool registered = false;
        const QSqlError error =
            EntryRecords::entryWithDevice(m_databasePath, reader.deviceId, &registered);
        if (error.isValid()) {
            showDatabaseError(this, title, error);
            then(false);
            return;
        }
        if (registered &&
            KxMessageBox::question(
                this, title,
                tr("The reader\n\n'%1' with device ID '%2'\n\nis registered as access control "
                   "reader.\nIf the reader is already configured for access control you should "
                   "skip here!\n\nDo you want to configure it?")
                    .arg(name, deviceIdText(reader.deviceId))) != QMessageBox::Yes) {
            then(true);
            return;
        }
    }
    if (!ReaderTypes::isAccessReader(reader.type)) {
        writeProgrammer(range, then);
        return;
    }
    // An access reader serving as programmer must have the firmware it needs.
    const ReaderSettings settings = readerSettings();
    struct Read
    {
        ErrorInfo result;
        QString firmware;
    };
    const auto read = std::make_shared<Read>();
    m_run->start(
        [settings, reader, read] {
            read->result = ReaderFactory::readProgrammerFirmware(settings, reader, &read->firmware);
        },
        [this, range, title, read, then] {
            if (!read->result.ok()) {
                KxMessageBox::critical(this, title, errorText(read->result));
                then(false);
            } else if (!confirmReaderFirmware(this, m_reader[range].type, read->firmware)) {
                then(false);
            } else {
                writeProgrammer(range, then);
            }
        });
}

void KelvaraGeneralSettingsDialog::writeProgrammer(int range, const std::function<void(bool)> &then)
{
    const ReaderFactory::ProgrammerReader reader = m_reader[range];
    const QString title =
        tr("Configure Programmer Reader '%1'").arg(ReaderTypes::readerTypeName(reader.type));
    const ReaderSettings settings = readerSettings();
    const auto result = std::make_shared<ErrorInfo>();
    m_run->start(
        [settings, reader, result] {
            *result = ReaderFactory::writeTagReaderConfiguration(settings, reader);
        },
        [this, title, result, then] {
            if (!result->ok())
                KxMessageBox::critical(this, title, errorText(*result));
            then(result->ok());
        });
}

void KelvaraGeneralSettingsDialog::accept()
{
    if (isReaderBusy())
        return;
    configureFrom(0);
}

void KelvaraGeneralSettingsDialog::configureFrom(int range)
{
    // A reader that failed its connection test is kept but not configured.
    while (range < 2 &&
           (!m_connected[range] || m_reader[range].type == 0 || m_reader[range].deviceId == 0))
        ++range;
    if (range < 2) {
        // On a failure the dialog stays open and the settings stay as they
        // were, so "Cancel" leaves nothing half-saved.
        configureProgrammer(range, [this, range](bool ok) {
            if (ok)
                configureFrom(range + 1);
        });
        return;
    }
    m_settings.hfProgrammerReader = referenceText(m_reader[0]);
    m_settings.uhfProgrammerReader = referenceText(m_reader[1]);
    if (m_region->currentIndex() >= 0)
        m_settings.uhfRegion = m_region->region();
    m_settings.parallelEntries = m_parallel->value();
    m_settings.readEventsBeforeUpdate = m_readEventsFirst->isChecked();
    emit settingsChanged();
    QDialog::accept();
}
