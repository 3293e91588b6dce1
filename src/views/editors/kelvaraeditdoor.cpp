#include "views/editors/kelvaraeditdoor.h"

#include "core/applicationsettings.h"
#include "core/errortext.h"
#include "core/paths.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "functions/flashdrive.h"
#include "reader/myrdrtz60.h"
#include "reader/readerfactory.h"
#include "reader/readertypes.h"
#include "views/functions/flashdrivedialogs.h"
#include "views/functions/kxreaderrun.h"
#include "views/readerforms/kelvaracfg_tz60.h"
#include "views/readerforms/kelvaracfgform.h"
#include "views/readerselection/kxselectreader.h"
#include "widgets/guimessages.h"
#include "widgets/kxformline.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxsizing.h"
#include "widgets/kxwaitcursor.h"
#include "widgets/readerfirmwarecheck.h"
#include "widgets/readerpicture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <climits>

namespace {

const QString kReadOnlyStyle = QStringLiteral("background: rgb(245,245,245)");

} // namespace

KelvaraEditDoor::KelvaraEditDoor(int doorKey, ApplicationSettings &settings,
                                 const ProjectParameters &params, FlashDrive &drive,
                                 QWidget *parent)
    : QDialog(parent), m_doorKey(doorKey), m_settings(settings), m_params(params), m_drive(drive)
{
    setWindowTitle(doorKey < 0 ? tr("Add Entry") : tr("Edit Entry"));
    setObjectName(QStringLiteral("KelvaraEditDoor"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(4);
    const auto addLine = [&](const QString &label, const char *name, QHBoxLayout *row = nullptr) {
        return addLabelledLine(this, layout, label, name, row);
    };
    auto *areaRow = new QHBoxLayout;
    m_areaName = addLine(tr("Area"), "areaName", areaRow);
    m_doorName = addLine(tr("Entry"), "doorName");
    m_comment = addLine(tr("Additional Entry Comment"), "commentDoor");

    m_areaButton = new QPushButton(QStringLiteral("..."), this);
    m_areaButton->setObjectName(QStringLiteral("areaButton"));
    m_areaButton->setFixedWidth(36);
    m_areaButton->setAutoDefault(false);
    m_areaButton->setStyleSheet(QStringLiteral("QPushButton::menu-indicator { image: none; }"));
    m_areaMenu = new QMenu(this);
    m_areaButton->setMenu(m_areaMenu);
    areaRow->addWidget(m_areaButton);
    connect(m_areaMenu, &QMenu::triggered, this, &KelvaraEditDoor::selectArea);
    QStringList areas = EntryRecords::distinctAreas(m_params.databasePath);
    areas.sort(Qt::CaseInsensitive);
    for (const QString &area : qAsConst(areas))
        m_areaMenu->addAction(menuText(area))->setData(area);
    m_areaButton->setVisible(!areas.isEmpty());
    layout->addSpacing(6);

    // The reader: chosen from the LAN or USB, or typed in for a flash-drive reader.
    m_readerBox = new QGroupBox(tr("Access Reader"), this);
    m_readerBox->setObjectName(QStringLiteral("readerBox"));
    auto *readerLayout = new QHBoxLayout(m_readerBox);
    auto *fields = new QFormLayout;
    fields->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    readerLayout->addLayout(fields, 1);
    auto *buttons = new QHBoxLayout;
    m_selectReader = new QPushButton(tr("Select Reader"), m_readerBox);
    m_selectReader->setObjectName(QStringLiteral("selectReader"));
    m_selectReader->setAutoDefault(false);
    m_readInfo = new QPushButton(tr("Reader Info"), m_readerBox);
    m_readInfo->setObjectName(QStringLiteral("readInfo"));
    m_readInfo->setAutoDefault(false);
    buttons->addWidget(m_selectReader);
    buttons->addWidget(m_readInfo);
    buttons->addStretch(1);
    fields->addRow(buttons);
    m_connect = new QLineEdit(m_readerBox);
    m_connect->setObjectName(QStringLiteral("readerConnect"));
    m_connect->setReadOnly(true);
    m_connect->setStyleSheet(kReadOnlyStyle);
    fields->addRow(tr("Reader Connect"), m_connect);
    m_flashDrive = new QCheckBox(tr("USB Flash Drive"), m_readerBox);
    m_flashDrive->setObjectName(QStringLiteral("flashDrive"));
    fields->addRow(QString(), m_flashDrive);
    m_type = new QComboBox(m_readerBox);
    m_type->setObjectName(QStringLiteral("readerType"));
    m_type->addItem(QString(), 0);
    for (int type : {int(ReaderTypes::TZ60), int(ReaderTypes::TZU700), int(ReaderTypes::TZU300)})
        m_type->addItem(ReaderTypes::readerTypeName(type), type);
    fields->addRow(tr("Reader Type"), m_type);
    m_serNo = new QLineEdit(m_readerBox);
    m_serNo->setObjectName(QStringLiteral("readerSerNo"));
    m_serNo->setMaxLength(8);
    fields->addRow(tr("Reader Device-ID"), m_serNo);
    m_mac = new QLineEdit(m_readerBox);
    m_mac->setObjectName(QStringLiteral("readerMacAddr"));
    m_mac->setMaxLength(17);
    m_mac->setPlaceholderText(QStringLiteral("00:00:00:00:00:00"));
    fields->addRow(tr("Reader MAC-Address"), m_mac);
    m_firmware = new QLineEdit(m_readerBox);
    m_firmware->setObjectName(QStringLiteral("firmwareVersion"));
    m_firmware->setReadOnly(true);
    m_firmware->setStyleSheet(kReadOnlyStyle);
    fields->addRow(tr("Firmware Version"), m_firmware);
    m_picture = new QLabel(m_readerBox);
    m_picture->setObjectName(QStringLiteral("readerPicture"));
    m_picture->setFixedSize(110, 110);
    m_picture->setAlignment(Qt::AlignCenter);
    readerLayout->addWidget(m_picture, 0, Qt::AlignTop);
    layout->addWidget(m_readerBox);

    m_formArea = new QVBoxLayout;
    m_formArea->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(m_formArea);
    layout->addStretch(1);

    auto *bottom = new QHBoxLayout;
    m_save = new QPushButton(tr("Save"), this);
    m_save->setObjectName(QStringLiteral("save"));
    m_save->setDefault(true);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_cancel->setAutoDefault(false);
    m_cancel->setShortcut(QKeySequence(Qt::Key_Escape));
    bottom->addStretch(1);
    bottom->addWidget(m_save);
    bottom->addWidget(m_cancel);
    layout->addLayout(bottom);

    m_run = new KxReaderRun(this);
    connect(m_selectReader, &QPushButton::clicked, this, &KelvaraEditDoor::selectReader);
    connect(m_readInfo, &QPushButton::clicked, this, &KelvaraEditDoor::readInfo);
    connect(m_flashDrive, &QCheckBox::toggled, this, &KelvaraEditDoor::noAccessChanged);
    connect(m_type, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &KelvaraEditDoor::readerTypeChanged);
    connect(m_serNo, &QLineEdit::textChanged, this, &KelvaraEditDoor::refreshConnect);
    connect(m_save, &QPushButton::clicked, this, &KelvaraEditDoor::accept);
    connect(m_cancel, &QPushButton::clicked, this, &KelvaraEditDoor::reject);

    readerTypeChanged();
    setHelp(m_settings.areToolTipsOn);
    kxPlaceDialog(this, QSize(m_settings.editDoorDialogGeometry.width(), sizeHint().height()));
}

KelvaraEditDoor::~KelvaraEditDoor() = default;

void KelvaraEditDoor::done(int result)
{
    m_settings.editDoorDialogGeometry = geometry();
    QDialog::done(result);
}

void KelvaraEditDoor::reject()
{
    // The command goes on; the dialog closes when the operator can see its end.
    if (isReaderBusy())
        return;
    QDialog::reject();
}

bool KelvaraEditDoor::isReaderBusy() const
{
    return m_run->isRunning();
}

// ---------------------------------------------------------------- fields

void KelvaraEditDoor::setEntry(const EntryRow &entry)
{
    m_areaName->setText(entry.areaName);
    m_doorName->setText(entry.doorName);
    m_comment->setText(entry.commentDoor);
    m_host = entry.ipAddr;
    m_port = entry.port;
    m_serNo->setText(entry.readerSerNo);
    m_mac->setText(entry.readerMacAddr);
    m_loadedType = entry.readerType;
    m_loadedConfig = entry.readerConfig;
    {
        const QSignalBlocker block(m_flashDrive);
        m_flashDrive->setChecked(entry.port & EntryRecords::FlashDrivePortBit);
    }
    setReaderType(entry.readerType);
    // The same type again builds no new form: load the stored settings anyway.
    if (m_form)
        m_form->loadSettings(m_loadedConfig);
    refreshConnect();
}

QString KelvaraEditDoor::areaName() const
{
    return m_areaName->text().trimmed();
}

QString KelvaraEditDoor::doorName() const
{
    return m_doorName->text().trimmed();
}

int KelvaraEditDoor::readerType() const
{
    return m_type->currentData().toInt();
}

void KelvaraEditDoor::setReaderType(int type)
{
    int index = m_type->findData(type);
    if (index < 0) {
        // A code this program cannot configure is kept as it is.
        m_type->addItem(ReaderTypes::readerTypeName(type), type);
        index = m_type->count() - 1;
    }
    m_type->setCurrentIndex(index);
}

EntryRow KelvaraEditDoor::entry() const
{
    EntryRow row;
    row.pkDoors = m_doorKey;
    row.areaName = areaName();
    row.doorName = doorName();
    row.commentDoor = m_comment->text();
    row.ipAddr = m_host;
    row.port = m_port;
    row.readerType = readerType();
    row.readerSerNo = m_serNo->text().trimmed().toUpper();
    const QString mac = m_mac->text().trimmed();
    const QString normalised = EntryRecords::normalisedMac(mac);
    row.readerMacAddr = normalised.isEmpty() ? mac : normalised;
    // A type without a form keeps the settings it came with.
    row.readerConfig = m_form                           ? m_form->settingsText()
                       : row.readerType == m_loadedType ? m_loadedConfig
                                                        : QString();
    return row;
}

void KelvaraEditDoor::readerTypeChanged()
{
    const int type = readerType();
    if (!m_form || m_form->readerType() != type) {
        delete m_form;
        m_form = KelvaraCfgForm::create(type, this);
        if (m_form) {
            m_form->setObjectName(QStringLiteral("settingsForm"));
            if (type == m_loadedType)
                m_form->loadSettings(m_loadedConfig);
            m_formArea->addWidget(m_form);
            if (auto *tz60 = qobject_cast<KelvaraCfg_TZ60 *>(m_form))
                connect(tz60, QOverload<const QString &>::of(&KelvaraCfg_TZ60::pairing), this,
                        &KelvaraEditDoor::pairingTZ60WithExtIo);
        }
    }
    const QPixmap picture = readerPicture(type);
    m_picture->setPixmap(picture);
    m_picture->setVisible(!picture.isNull());
    m_readInfo->setEnabled(type != 0);
    // As wide as the form needs: its labels must not be cut. A form made
    // while the dialog shows is not polished yet and would hint too small.
    ensurePolished();
    layout()->activate();
    const QSize hint = sizeHint();
    // The long-range form's two columns of groups hint less than their
    // labels take.
    setMinimumWidth(qMax(ReaderTypes::isLongRangeAccessReader(type) ? 940 : 600, hint.width()));
    resize(qMax(width(), hint.width()), hint.height());
}

void KelvaraEditDoor::refreshConnect()
{
    m_connect->setText(connectionText(m_serNo->text().trimmed(), m_host, m_port));
}

void KelvaraEditDoor::noAccessChanged(bool checked)
{
    if (checked)
        m_port |= EntryRecords::FlashDrivePortBit;
    else
        m_port &= ~EntryRecords::FlashDrivePortBit;
    refreshConnect();
}

void KelvaraEditDoor::selectArea(QAction *action)
{
    m_areaName->setText(action->data().toString());
}

// ---------------------------------------------------------------- reader

ReaderSettings KelvaraEditDoor::readerSettings(const ApplicationSettings &settings,
                                               const ProjectParameters &params)
{
    ReaderSettings s;
    s.project = params;
    s.hfProgrammerReader = settings.hfProgrammerReader;
    s.uhfProgrammerReader = settings.uhfProgrammerReader;
    s.uhfRegion = settings.uhfRegion;
    return s;
}

ReaderConnection KelvaraEditDoor::connectionOf(const EntryRow &entry, const QString &folderKey)
{
    ReaderConnection c;
    c.logKey = folderKey;
    c.deviceId = FlashDrive::deviceIdOf(entry.readerSerNo);
    c.host = entry.ipAddr;
    c.portValue = entry.port;
    return c;
}

ReaderConnection KelvaraEditDoor::connection() const
{
    return connectionOf(entry(), folderKey());
}

QString KelvaraEditDoor::folderKey() const
{
    QList<EntryBoardRow> rows;
    EntryRecords::listEntriesForBoard(m_params.databasePath, rows);
    QList<EntryFolderSource> sources;
    int last = 0;
    for (const EntryBoardRow &row : qAsConst(rows)) {
        last = qMax(last, row.pkDoors);
        if (row.pkDoors != m_doorKey)
            sources << EntryFolderSource{row.pkDoors, row.doorName, row.areaName};
    }
    // A new entry is measured with the key it is likely to get.
    const int key = m_doorKey >= 0 ? m_doorKey : (last < INT_MAX ? last + 1 : last);
    sources << EntryFolderSource{key, doorName(), areaName()};
    return entryFolderKeys(sources).value(key);
}

void KelvaraEditDoor::selectReader()
{
    QMap<quint32, QString> names;
    QList<EntryRow> rows;
    if (!EntryRecords::listEntries(m_params.databasePath, EntryRecords::SortByName, true, rows)
             .isValid()) {
        for (const EntryRow &row : qAsConst(rows))
            if (!row.readerSerNo.isEmpty())
                names.insert(FlashDrive::deviceIdOf(row.readerSerNo),
                             QStringLiteral("%1 / %2").arg(row.areaName, row.doorName));
    }
    KxReaderSelection selection;
    if (!KxSelectReader::selectReader(
            this, m_settings,
            {int(ReaderTypes::TZ60), int(ReaderTypes::TZU700), int(ReaderTypes::TZU300)}, &names,
            m_host, m_port & 0xFFFF, &selection,
            // An entry without a reader yet is most likely one on the LAN.
            m_host.isEmpty() && m_serNo->text().trimmed().isEmpty() ? KxSelectReader::LanTab : -1))
        return;
    const QString current = m_serNo->text().trimmed();
    if (!current.isEmpty() && FlashDrive::deviceIdOf(current) != selection.deviceId &&
        KxMessageBox::question(this, tr("Device ID mismatch"),
                               tr("The device ID of the selected reader is different \nto the "
                                  "database reader notation.\n\nDo you want to use this new "
                                  "reader instead?"),
                               QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    m_host = selection.host;
    m_port = (selection.port & 0xFFFF) | (m_port & EntryRecords::FlashDrivePortBit);
    m_serNo->setText(
        QStringLiteral("%1").arg(selection.deviceId, 8, 16, QLatin1Char('0')).toUpper());
    m_mac->setText(selection.mac);
    m_firmware->clear();
    setReaderType(selection.readerType);
    refreshConnect();
}

void KelvaraEditDoor::readReaderInfo(bool quiet, const ReaderThen &then)
{
    const std::shared_ptr<MyRdr> reader(
        ReaderFactory::createReader(readerType(), readerSettings(m_settings, m_params)));
    if (!reader) {
        if (!quiet)
            showError(this, ErrorInfo(ErrorInfo::ReaderObjectError, tr("Unsupported reader type")));
        if (then)
            then(reader);
        return;
    }
    const ReaderConnection target = connection();
    m_run->start([reader, target] { reader->run(MyRdrAccessReader::ReadInfo, target); },
                 [this, reader, quiet, then] {
                     if (reader->result().ok()) {
                         m_firmware->setText(reader->firmwareVersion());
                         showExtIoState(reader.get());
                     } else if (!quiet) {
                         showError(this, reader->result());
                     }
                     if (then)
                         then(reader);
                 });
}

void KelvaraEditDoor::showExtIoState(const MyRdr *reader)
{
    auto *form = qobject_cast<KelvaraCfg_TZ60 *>(m_form);
    const auto *tz60 = qobject_cast<const MyRdrTZ60 *>(reader);
    if (!form || !tz60)
        return;
    form->setExtIoSupported(tz60->extIoSupported());
    if (!tz60->extIoSupported())
        form->setExtIoStateText(tr("Reader has internal relay"));
    else if (tz60->extIoPaired())
        form->setExtIoStateText(tr("PQ.I/O board is paired"));
    else
        form->setExtIoStateText(tr("PQ.I/O board is not paired"));
}

void KelvaraEditDoor::readInfo()
{
    readReaderInfo(false, {});
}

void KelvaraEditDoor::pairingTZ60WithExtIo(const QString &serialNumberHex)
{
    if (readerType() != ReaderTypes::TZ60)
        return;
    const auto reader = std::make_shared<MyRdrTZ60>(readerSettings(m_settings, m_params));
    const ReaderConnection target = connection();
    m_run->start([reader, target, serialNumberHex] { reader->runPairing(target, serialNumberHex); },
                 [this, reader] {
                     const ErrorInfo result = reader->result();
                     // The board state as the reader now reports it.
                     readReaderInfo(true, [this, result](const std::shared_ptr<MyRdr> &) {
                         if (result.ok())
                             KxMessageBox::information(
                                 this, tr("PQ.I/O Board Pairing"),
                                 tr("The PQ.I/O board is paired with the reader."));
                         else
                             showError(this, result);
                     });
                 });
}

// ---------------------------------------------------------------- saving

bool KelvaraEditDoor::checkInput(const EntryRow &row)
{
    const RecordProblem problem = EntryRecords::problem(row);
    if (problem.isEmpty())
        return true;
    KxMessageBox::critical(this, problem.missing ? tr("Missing information") : tr("Invalid input"),
                           problem.text);
    switch (problem.field) {
    case EntryRecords::NameField:
        m_doorName->setFocus();
        break;
    case EntryRecords::AreaField:
        m_areaName->setFocus();
        break;
    case EntryRecords::DeviceIdField:
        m_serNo->setFocus();
        break;
    case EntryRecords::MacField:
        m_mac->setFocus();
        break;
    }
    return false;
}

bool KelvaraEditDoor::store(const EntryRow &row)
{
    const bool isNew = m_doorKey < 0;
    int key = m_doorKey;
    // The entry and its pending mark are stored together or not at all.
    const QSqlError error = EntryRecords::saveEntry(m_params.databasePath, row, &key);
    if (error.isValid()) {
        const QString title = isNew ? tr("DB add entry") : tr("DB edit entry");
        EntryRow conflicting = row;
        conflicting.pkDoors = key;
        const QString conflict =
            EntryRecords::conflicts(m_params.databasePath, conflicting).join(QLatin1Char('\n'));
        if (conflict.isEmpty())
            showDatabaseError(this, title, error);
        else
            KxMessageBox::critical(this, title,
                                   databaseErrorText(error) + QStringLiteral("\n\n") + conflict);
        return false;
    }
    m_doorKey = key;
    m_saved = true;
    return true;
}

void KelvaraEditDoor::accept()
{
    const EntryRow row = entry();
    if (!checkInput(row))
        return;
    {
        ProjectDatabase db(m_params.databasePath);
        if (!db.open()) {
            showDatabaseError(this, tr("DB open"), db.lastError());
            return;
        }
    }
    if (!store(row))
        return;
    if (row.readerType != 0 && !row.readerConfig.isEmpty())
        configureReader(row, row.readerConfig, [this] { QDialog::accept(); });
    else
        QDialog::accept();
}

void KelvaraEditDoor::showConfigurationFailure(const ErrorInfo &error)
{
    // The entry is stored whatever the reader did; say how to finish the job.
    ErrorInfo shown = error;
    shown.detail += QStringLiteral("\n\n") +
                    tr("The entry and its settings are saved. The reader configuration can be "
                       "written later (Settings menu, \"Reconfigure ... Reader\").");
    showError(this, shown);
}

void KelvaraEditDoor::configureReader(const EntryRow &row, const QString &settingsText,
                                      const std::function<void()> &finish)
{
    const QString title = tr("Reader Configuration");
    if (row.port & EntryRecords::FlashDrivePortBit) {
        if (KxMessageBox::question(
                this, title,
                tr("Do you want to save the configuration to an USB stick?\n\n(In case of 'No' "
                   "you can perform that later.\nAll settings will be stored in the project "
                   "database.)"),
                QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes &&
            FlashDriveDialogs::makeReady(this, m_drive, m_params.databasePath)) {
            ReaderFactory::FlashDrive drive;
            drive.configFilePath = [this](quint32 id) { return m_drive.configFilePath(id); };
            drive.setWriteConfigJob = [this] { return m_drive.setWriteConfigJob(); };
            drive.anchor = m_drive.anchor();
            ErrorInfo result;
            {
                // A file on the drive: no reader to wait for.
                KxWaitCursor wait;
                bool connectFailed = false;
                result = ReaderFactory::writeAccessConfiguration(
                    readerSettings(m_settings, m_params), row.readerType,
                    connectionOf(row, folderKey()), settingsText, &connectFailed, drive);
            }
            if (result.ok())
                KxMessageBox::information(
                    this, tr("Save reader configuration"),
                    tr("The configuration of entry '%1' is on the USB flash drive for the %2 "
                       "with the device ID %3.")
                        .arg(row.doorName, ReaderTypes::readerTypeName(row.readerType),
                             row.readerSerNo));
            else
                showConfigurationFailure(result);
        }
        finish();
        return;
    }
    if (KxMessageBox::question(
            this, title,
            tr("Now the reader will be configured.\nWe begin with resetting to factory "
               "settings.\nThen your configuration parameters will be set.\nFinally a reader "
               "CPU reset is performed.\n\nDo you want to continue?\n\n(In case of 'No' you "
               "can perform the reader \nconfiguration later. All settings will be stored \nin "
               "the project database.)"),
            QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
        finish();
        return;
    }
    readReaderInfo(true, [this, row, settingsText, finish](const std::shared_ptr<MyRdr> &reader) {
        writeConfiguration(row, settingsText, reader, finish);
    });
}

void KelvaraEditDoor::writeConfiguration(const EntryRow &row, const QString &settingsText,
                                         const std::shared_ptr<MyRdr> &reader,
                                         const std::function<void()> &finish)
{
    const QString title = tr("Reader Configuration");
    if (!reader || !reader->result().ok()) {
        showConfigurationFailure(
            reader ? reader->result()
                   : ErrorInfo(ErrorInfo::ReaderObjectError, tr("Unsupported reader type")));
        finish();
        return;
    }
    // The reader that answers must be the one the entry names: an address
    // handed on to another reader would otherwise get this configuration.
    const quint32 wanted = FlashDrive::deviceIdOf(row.readerSerNo);
    if ((wanted != 0 && reader->readerDeviceId() != wanted) ||
        reader->readerTypeCode() != row.readerType) {
        KxMessageBox::critical(
            this, title,
            tr("The reader at %1 is a %2 with the device ID %3,\nbut the entry names a %4 with "
               "the device ID %5.\n\nThe configuration was not written. Please select the "
               "reader again.")
                .arg(connectionText(row.readerSerNo, row.ipAddr, row.port),
                     ReaderTypes::readerTypeName(reader->readerTypeCode()),
                     QStringLiteral("%1")
                         .arg(reader->readerDeviceId(), 8, 16, QLatin1Char('0'))
                         .toUpper(),
                     ReaderTypes::readerTypeName(row.readerType), row.readerSerNo));
        finish();
        return;
    }
    if (!confirmReaderFirmware(this, row.readerType, reader->firmwareVersion())) {
        finish();
        return;
    }
    if (const auto *tz60 = qobject_cast<const MyRdrTZ60 *>(reader.get())) {
        if (tz60->extIoSupported() && !tz60->extIoPaired() &&
            KxMessageBox::question(this, tr("PQ.I/O Board Pairing"),
                                   tr("The external PQ.I/O board is not paired with the "
                                      "reader.\nDo you want to continue?"),
                                   QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes) {
            finish();
            return;
        }
    }
    const ReaderSettings settings = readerSettings(m_settings, m_params);
    const ReaderConnection target = connectionOf(row, folderKey());
    const int type = row.readerType;
    const auto result = std::make_shared<ErrorInfo>();
    m_run->start(
        [settings, type, target, settingsText, result] {
            bool connectFailed = false;
            *result = ReaderFactory::writeAccessConfiguration(settings, type, target, settingsText,
                                                              &connectFailed);
        },
        [this, result, finish, row] {
            if (result->ok())
                KxMessageBox::information(
                    this, tr("Write reader configuration"),
                    tr("The configuration of entry '%1' was written to the %2 with the device "
                       "ID %3 at %4.")
                        .arg(row.doorName, ReaderTypes::readerTypeName(row.readerType),
                             row.readerSerNo,
                             connectionText(row.readerSerNo, row.ipAddr, row.port)));
            else
                showConfigurationFailure(*result);
            finish();
        });
}

// ---------------------------------------------------------------- help and keys

void KelvaraEditDoor::setHelp(bool isToolTips)
{
    const auto help = [isToolTips](QWidget *w, const QString &text) {
        w->setWhatsThis(text);
        w->setToolTip(isToolTips ? text : QString());
    };
    help(m_areaName, tr("Input the area of the entry\n(A building, a floor, a site, ...).\n"
                        "Combinations of area and entry names must be unique!"));
    help(m_areaButton, tr("Choose an already existing area name."));
    help(m_doorName, tr("Input the name of the entry (door, gate, barrier, ...).\n"
                        "It also names the entry's log and data folders, so it must not "
                        "contain '/' or '\\' nor begin with a dot."));
    help(m_comment, tr("Optionally input a comment for the entry."));
    help(m_selectReader, tr("Choose the access reader of this entry on the LAN, on USB or by "
                            "its IP address."));
    help(m_readInfo, tr("Read the firmware version and, for a short range reader, the state "
                        "of the external PQ.I/O board."));
    help(m_connect, tr("How the reader is reached: IP address and port, USB cable or USB "
                       "flash drive."));
    help(m_flashDrive, tr("The reader has no link to this PC: its access data and its "
                          "configuration go to it on a USB flash drive."));
    help(m_type, tr("The type of the access reader; it decides the settings below."));
    help(m_serNo, tr("The device ID (serial number) of the reader: a hexadecimal number of "
                     "up to 8 digits."));
    help(m_mac, tr("The MAC address of the reader, in the form 00:11:22:AA:BB:CC."));
    help(m_firmware, tr("The firmware version the reader reported last."));
    help(m_save, tr("Save the entry in the database and, when you agree, write the reader "
                    "configuration."));
}

void KelvaraEditDoor::keyPressEvent(QKeyEvent *event)
{
    if (handleHelpKey(event))
        return;
    QDialog::keyPressEvent(event);
}
