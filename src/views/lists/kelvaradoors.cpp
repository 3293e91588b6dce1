#include "views/lists/kelvaradoors.h"

#include "core/applicationsettings.h"
#include "core/errortext.h"
#include "core/paths.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "db/recordstatement.h"
#include "reader/myrdr.h"
#include "reader/readerfactory.h"
#include "reader/readertypes.h"
#include "views/editors/kelvaraeditdoor.h"
#include "views/functions/kxreaderrun.h"
#include "widgets/guimessages.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxwaitcursor.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QTableWidget>

#include <memory>

namespace {

constexpr int kColumns = 7;

} // namespace

KelvaraDoors::KelvaraDoors(ApplicationSettings &settings, const ProjectParameters &params,
                           FlashDrive &drive, QWidget *parent)
    : KelvaraListView(settings, params, parent), m_drive(drive)
{
    setObjectName(QStringLiteral("KelvaraDoors"));
    m_run = new KxReaderRun(this);
    createToolBar({":/door-add-48.png", "addDoor"}, {":/door-edit-48.png", "editDoor"},
                  {":/door-remove-48.png", "removeDoor"}, "doorCount", tr("Entries"),
                  {{tr("Area, Entry"), int(EntryRecords::SortByName)},
                   {tr("IP-Address, Port"), int(EntryRecords::SortByAddress)},
                   {tr("Reader Typ, ID"), int(EntryRecords::SortByReader)},
                   {tr("MAC-Address"), int(EntryRecords::SortByMacAddress)}});
    createTable("doorTable",
                {tr("Area"), tr("Entry"), tr("Entry Comment"), tr("Reader Connect"),
                 tr("Reader Typ"), tr("Reader Device ID"), tr("Reader MAC Address")},
                QAbstractItemView::ExtendedSelection, m_settings.doorsTableColWidth);
    table()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table(), &QTableWidget::customContextMenuRequested, this,
            &KelvaraDoors::tableContextMenuRequested);

    m_menu = new QMenu(this);
    m_openData = m_menu->addAction(tr("Open data path"), this, &KelvaraDoors::openDataPath);
    m_openLog = m_menu->addAction(tr("Open log path"), this, &KelvaraDoors::openLogPath);
    m_menu->addSeparator();
    m_resetCpu = m_menu->addAction(tr("Reset CPU"), this, &KelvaraDoors::resetCpu);
    m_resetAntiPassback =
        m_menu->addAction(tr("Reset Anti-Passback"), this, &KelvaraDoors::resetAntiPassback);

    applyColumnWidths();
    setHelp(m_settings.areToolTipsOn);
}

// ---------------------------------------------------------------- list

void KelvaraDoors::buildList()
{
    m_rows.clear();
    if (m_params.databasePath.isEmpty()) {
        table()->setRowCount(0);
        setCount(0);
        return;
    }
    KxWaitCursor wait;
    ProjectDatabase db(m_params.databasePath);
    if (!db.open()) {
        showDatabaseError(this, tr("DB open"), db.lastError());
        return;
    }
    {
        QSqlQuery query = db.query();
        if (!EntryRecords::listEntries(query, sortKey(), sortAscending(), m_rows)) {
            m_rows.clear();
            showDatabaseError(this, tr("DB entry list"), query.lastError());
            return;
        }
    }
    table()->setUpdatesEnabled(false);
    table()->clearContents();
    table()->setRowCount(m_rows.size());
    const QBrush readerBackground(QColor(240, 245, 255));
    for (int r = 0; r < m_rows.size(); ++r) {
        const EntryRow &e = m_rows.at(r);
        const QString texts[kColumns] = {e.areaName,
                                         e.doorName,
                                         e.commentDoor,
                                         connectionText(e.readerSerNo, e.ipAddr, e.port),
                                         e.readerType ? ReaderTypes::readerTypeName(e.readerType)
                                                      : QString(),
                                         e.readerSerNo,
                                         e.readerMacAddr};
        for (int c = 0; c < kColumns; ++c) {
            auto *item = new QTableWidgetItem(texts[c]);
            if (c >= 3)
                item->setBackground(readerBackground);
            table()->setItem(r, c, item);
        }
        table()->item(r, 0)->setData(KeyRole, e.pkDoors);
    }
    setCount(m_rows.size());
    table()->setUpdatesEnabled(true);
}

void KelvaraDoors::selectDoor(const QString &areaName, const QString &doorName)
{
    for (int r = 0; r < m_rows.size(); ++r) {
        if (m_rows.at(r).areaName == areaName && m_rows.at(r).doorName == doorName) {
            selectWholeRow(r);
            return;
        }
    }
}

// ---------------------------------------------------------------- records

void KelvaraDoors::addDoor()
{
    if (m_params.databasePath.isEmpty())
        return;
    KelvaraEditDoor dialog(-1, m_settings, m_params, m_drive, this);
    const int result = dialog.exec();
    // A saved entry stays saved even when its reader configuration failed.
    if (result != QDialog::Accepted && !dialog.isSaved())
        return;
    buildList();
    selectDoor(dialog.areaName(), dialog.doorName());
    emit doorsChanged();
}

void KelvaraDoors::editDoor()
{
    const int row = table()->currentRow();
    if (row < 0 || row >= m_rows.size())
        return;
    const EntryRow entry = m_rows.at(row);
    KelvaraEditDoor dialog(entry.pkDoors, m_settings, m_params, m_drive, this);
    dialog.setEntry(entry);
    const int result = dialog.exec();
    if (result != QDialog::Accepted && !dialog.isSaved())
        return;
    buildList();
    selectDoor(dialog.areaName(), dialog.doorName());
    emit doorsChanged();
}

void KelvaraDoors::removeDoor()
{
    // Each entry goes with its access rows.
    const bool removed = removeSelectedRecords(
        tr("Remove entry"), tr("Do you really want to remove the selected entries?"),
        tr("DB remove entry"),
        [this](int row) { return row < m_rows.size() ? m_rows.at(row).pkDoors : -1; },
        [](QSqlQuery &query, int key) { return EntryRecords::removeEntry(query, key); });
    if (removed)
        emit doorsChanged();
}

// ---------------------------------------------------------------- context menu

void KelvaraDoors::tableContextMenuRequested(const QPoint &pos)
{
    const int row = table()->rowAt(pos.y());
    if (row < 0 || row >= m_rows.size())
        return;
    if (!table()->selectionModel()->isRowSelected(row, QModelIndex()))
        selectWholeRow(row);
    m_menuRow = row;
    const EntryRow &entry = m_rows.at(row);
    // A reader served through the flash drive has no link to restart it over.
    const bool linked = entry.readerType != 0 && !(entry.port & EntryRecords::FlashDrivePortBit);
    m_resetCpu->setEnabled(linked);
    m_resetAntiPassback->setVisible(ReaderTypes::isLongRangeAccessReader(entry.readerType));
    m_resetAntiPassback->setEnabled(linked);
    m_menu->exec(table()->viewport()->mapToGlobal(pos));
    m_menuRow = -1;
}

int KelvaraDoors::actionRow() const
{
    const int row = m_menuRow >= 0 ? m_menuRow : table()->currentRow();
    return row >= 0 && row < m_rows.size() ? row : -1;
}

QString KelvaraDoors::folderKeyOf(const EntryRow &entry)
{
    // The one mapping of entry names to folders: the same key the reader
    // logs and the function threads use.
    QHash<int, QString> keys;
    const QSqlError error = EntryRecords::folderKeys(m_params.databasePath, keys);
    if (error.isValid()) {
        showDatabaseError(this, tr("DB entry list"), error);
        return QString();
    }
    return keys.value(entry.pkDoors);
}

void KelvaraDoors::openEntryFolder(bool data)
{
    const int row = actionRow();
    if (row < 0)
        return;
    const QString key = folderKeyOf(m_rows.at(row));
    if (key.isEmpty())
        return;
    const QString path =
        data ? entryDataPath(m_params.projectPath, key) : entryLogPath(m_params.projectPath, key);
    // A link in place of the folder could lead anywhere: it is not followed.
    if (QFileInfo(path).isSymLink()) {
        KxMessageBox::critical(this, tr("Open path"),
                               tr("The path\n\n%1\n\nis a link; it is not opened.")
                                   .arg(QDir::toNativeSeparators(path)));
        return;
    }
    openPath(this, QDir::toNativeSeparators(path));
}

void KelvaraDoors::openDataPath()
{
    openEntryFolder(true);
}

void KelvaraDoors::openLogPath()
{
    openEntryFolder(false);
}

void KelvaraDoors::runReaderCommand(int command)
{
    const int row = actionRow();
    if (row < 0)
        return;
    const EntryRow entry = m_rows.at(row);
    const QString key = folderKeyOf(entry);
    if (key.isEmpty())
        return;
    const ReaderSettings settings = KelvaraEditDoor::readerSettings(m_settings, m_params);
    const std::shared_ptr<MyRdr> reader(ReaderFactory::createReader(entry.readerType, settings));
    if (!reader) {
        showError(this, ErrorInfo(ErrorInfo::ReaderObjectError, tr("Unsupported reader type")));
        return;
    }
    const ReaderConnection connection = KelvaraEditDoor::connectionOf(entry, key);
    m_run->start([reader, command, connection] { reader->run(command, connection); },
                 [this, reader] { showError(this, reader->result()); });
}

bool KelvaraDoors::isReaderBusy() const
{
    return m_run->isRunning();
}

void KelvaraDoors::resetCpu()
{
    runReaderCommand(MyRdr::CpuReset);
}

void KelvaraDoors::resetAntiPassback()
{
    const int row = actionRow();
    if (row < 0 || !ReaderTypes::isLongRangeAccessReader(m_rows.at(row).readerType))
        return;
    runReaderCommand(200);
}

// ---------------------------------------------------------------- help

void KelvaraDoors::setHelp(bool isToolTips)
{
    setListHelp(isToolTips, tr("Add entry"), tr("Edit selected entry"),
                tr("Remove selected entries"), tr("Choose the sorting order"));
    table()->setToolTip(QString());
    table()->setWhatsThis(
        tr("The entry administration distinguishes between logical and physical information:\n\n"
           "Logical information is the area and the name of an entry (a door, gate or barrier) "
           "and an optional comment. The combination of area and entry name must be unique.\n\n"
           "Physical information is the access reader that controls the entry: how it is "
           "reached (LAN, USB cable or USB flash drive), its type, device ID, MAC address and "
           "its settings.\n\n"
           "A right click on an entry opens its data and log folders, restarts its reader or "
           "resets the anti-passback state of a long range reader."));
}
