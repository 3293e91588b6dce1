#include "views/functions/kelvarafunctiondialog.h"

#include "core/applicationsettings.h"
#include "core/errortext.h"
#include "core/paths.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "functions/flashdrive.h"
#include "functions/updatecheck.h"
#include "reader/readertypes.h"
#include "views/functions/flashdrivedialogs.h"
#include "views/functions/kelvarafunctionlogwin.h"
#include "widgets/guimessages.h"
#include "widgets/kelvaratablecellcheckbox.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxsizing.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int FlashDriveBit = EntryRecords::FlashDrivePortBit;
constexpr int RowHeight = 25;
const int DefaultWidths[KelvaraFunctionDialog::ColumnCount] = {30,  200, 40,  200,
                                                               200, 200, 100, 100};

QString elapsedText(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

KelvaraFunctionDialog::KelvaraFunctionDialog(const ProjectParameters &project,
                                             ApplicationSettings &settings, FlashDrive &drive,
                                             int function, const EntrySelection &selection,
                                             const QString &scopeName, QWidget *parent)
    : QDialog(parent), m_project(project), m_settings(settings), m_drive(drive),
      m_function(function), m_selection(selection), m_scopeName(scopeName)
{
    setWindowTitle(QStringLiteral("%1 (%2)").arg(functionTitle(function),
                                                 scopeText(int(selection.scope()), scopeName)));
    setModal(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            &KelvaraFunctionDialog::showContextMenu);

    m_warning = new QLabel(this);
    m_warning->setFont(QFont(QStringLiteral("Helvetica"), 12, QFont::Bold));
    m_warning->setAlignment(Qt::AlignCenter);
    if (function == UpdateAccess && settings.readEventsBeforeUpdate)
        m_warning->setText(
            tr("The reader event lists are read and kept first, then deleted by the update."));
    else if (function == UpdateAccess)
        m_warning->setText(tr("The reader event lists will be deleted !"));
    else if (function >= ReadAccess && function <= ReadEvents)
        m_warning->setText(tr("Please close all .CSV files of this project before you start !"));
    m_warning->setVisible(!m_warning->text().isEmpty());
    m_check = new QLabel(this);
    m_check->setWordWrap(true);
    m_check->setTextFormat(Qt::PlainText);
    m_check->setStyleSheet(QStringLiteral("color: #b00000"));
    m_check->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_check->hide();

    m_table = new QTableWidget(0, ColumnCount, this);
    m_table->setHorizontalHeaderLabels({tr(" "), tr("Entry Name"), tr("USB Flash Drive"),
                                        tr("Reader Connect"), tr("Reader Typ"),
                                        tr("Reader Device ID"), tr("Needs Update"), tr("State")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->verticalHeader()->setDefaultSectionSize(RowHeight);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_table, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { showContextMenu(m_table->viewport()->mapTo(this, pos)); });
    // Stored widths as the user left them; wide enough for the head texts.
    const QList<int> &stored = m_settings.functionTableColWidth;
    const bool useStored = stored.size() == ColumnCount;
    for (int c = 0; c < ColumnCount; ++c)
        m_table->setColumnWidth(
            c, kxColumnWidth(m_table, c, useStored ? stored.at(c) : 0, DefaultWidths[c]));

    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_progress->setFormat(tr("%v of %m entries"));
    m_progressLabel = new QLabel(this);
    m_progressLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_start = new QPushButton(tr("Start"), this);
    m_stopButton = new QPushButton(tr("Stop"), this);
    m_end = new QPushButton(tr("End"), this);
    m_stopButton->setEnabled(false);
    m_start->setDefault(true);
    connect(m_start, &QPushButton::clicked, this, &KelvaraFunctionDialog::start);
    connect(m_stopButton, &QPushButton::clicked, this, &KelvaraFunctionDialog::stop);
    connect(m_end, &QPushButton::clicked, this, &QDialog::close);

    auto *progressRow = new QHBoxLayout;
    progressRow->addWidget(m_progress, 1);
    progressRow->addWidget(m_progressLabel, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_start);
    buttons->addWidget(m_stopButton);
    buttons->addStretch();
    buttons->addWidget(m_end);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_warning);
    layout->addWidget(m_check);
    layout->addWidget(m_table, 1);
    layout->addLayout(progressRow);
    layout->addLayout(buttons);

    m_menu = new QMenu(this);
    m_menu->addAction(tr("Open data path"), this, &KelvaraFunctionDialog::openDataPath);
    m_menu->addAction(tr("Open log path"), this, &KelvaraFunctionDialog::openLogPath);
    m_menu->addSeparator();
    m_menu->addAction(tr("Select All"), this, &KelvaraFunctionDialog::selectAll);
    m_menu->addAction(tr("Deselect All"), this, &KelvaraFunctionDialog::deselectAll);
    m_menu->addSeparator();
    m_menu->addAction(tr("Show Log Window"), this, [this] {
        m_logWin->show();
        m_logWin->raise();
    });

    m_logWin = new KelvaraFunctionLogWin(windowTitle(), this);
    m_logWin->setDefaultFolder(projectLogPath(m_project.projectPath));
    QRect logGeometry = m_settings.functionLogWindowGeometry;
    logGeometry.setSize(logGeometry.size().expandedTo(QSize(640, 360)));
    m_logWin->setGeometry(logGeometry);

    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &KelvaraFunctionDialog::updateProgress);

    // At least as wide as the table's columns, as far as the screen allows.
    QRect geometry = m_settings.functionDialogGeometry;
    int tableWidth = 2 * m_table->frameWidth() + 40;
    for (int c = 0; c < ColumnCount; ++c)
        tableWidth += m_table->columnWidth(c);
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1280, 800);
    geometry.setWidth(qMax(geometry.width(), qMin(tableWidth, screen.width())));
    geometry.setHeight(qMax(geometry.height(), 300));
    kxPlaceDialog(this, geometry.size(), true);
    setHelp(m_settings.areToolTipsOn);
    buildList();
    updateProgress();
}

KelvaraFunctionDialog::~KelvaraFunctionDialog()
{
    // Never leave a worker behind its window: it finishes the entry in progress.
    if (m_thread) {
        m_thread->setStop(true);
        m_thread->wait();
        delete m_thread;
    }
    if (m_cursorSet)
        QApplication::restoreOverrideCursor();
}

QString KelvaraFunctionDialog::scopeText(int scope, const QString &scopeName)
{
    switch (scope) {
    case EntrySelection::AllEntries:
        return tr("All Readers");
    case EntrySelection::Area:
        return tr("Area '%1'").arg(scopeName);
    case EntrySelection::Entries:
        return tr("Entry '%1'").arg(scopeName);
    case EntrySelection::ShortRange:
        return tr("Short Range Reader");
    case EntrySelection::LongRange:
        return tr("Long Range Reader");
    default:
        return QStringLiteral("???");
    }
}

void KelvaraFunctionDialog::buildList()
{
    m_table->setRowCount(0);
    const int scope = int(m_selection.scope());
    if (scope < EntrySelection::AllEntries || scope > EntrySelection::LongRange ||
        !ReaderFunction::isFunction(m_function)) {
        KxMessageBox::critical(this, tr("Fatal Error"), tr("Function mode error"));
        return;
    }
    ProjectDatabase database(m_project.databasePath);
    if (!database.open()) {
        showDatabaseError(this, tr("DB Open"), database.lastError());
        return;
    }
    QSqlQuery query = database.query();
    QList<EntryTarget> rows;
    if (!m_selection.list(query, rows)) {
        showDatabaseError(this, tr("DB Entry List"), query.lastError());
        return;
    }
    for (const EntryTarget &entry : qAsConst(rows))
        addRow(entry);
    if (m_function == UpdateAccess)
        showUpdateCheck(rows);
}

void KelvaraFunctionDialog::showUpdateCheck(const QList<EntryTarget> &rows)
{
    QList<UpdateCheck::Result> results;
    if (UpdateCheck::checkEntries(m_project, rows, m_project.siteToday(), results).isValid())
        return;
    QStringList lines;
    for (const UpdateCheck::Result &result : qAsConst(results)) {
        if (result.canUpdate())
            continue;
        lines << tr("Entry '%1' cannot be updated: %2")
                     .arg(result.entry.doorName, result.blocking.join(QStringLiteral("; ")));
        const int row = rowOfEntry(result.entry.pkDoors);
        if (row >= 0)
            m_table->item(row, NameColumn)->setToolTip(result.text());
    }
    m_check->setText(lines.join(QLatin1Char('\n')));
    m_check->setVisible(!lines.isEmpty());
}

void KelvaraFunctionDialog::addRow(const EntryTarget &entry)
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    const Qt::ItemFlags textFlags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    auto text = [&](int column, const QString &value) {
        auto *item = new QTableWidgetItem(value);
        item->setFlags(textFlags);
        m_table->setItem(row, column, item);
        return item;
    };

    QTableWidgetItem *select = text(SelectColumn, QString());
    select->setFlags(textFlags | Qt::ItemIsUserCheckable);
    select->setCheckState(Qt::Checked);
    text(NameColumn, entry.doorName)->setData(KeyRole, entry.pkDoors);

    const bool onDrive = entry.port & FlashDriveBit;
    auto *box = new KelvaraTableCellCheckBox(row, FlashDriveColumn, QString(), m_table);
    box->setChecked(onDrive);
    box->setEnabled(ReaderTypes::isLongRangeAccessReader(int(entry.readerType)));
    box->setStyleSheet(QStringLiteral("margin-left: 12px"));
    // Focus left on a box would select its row and hide the row's state colour.
    box->setFocusPolicy(Qt::NoFocus);
    connect(box, &KelvaraTableCellCheckBox::cellStateChanged, this,
            &KelvaraFunctionDialog::editConnector);
    text(FlashDriveColumn, QString());
    m_table->setCellWidget(row, FlashDriveColumn, box);

    QTableWidgetItem *connectItem =
        text(ConnectColumn, connectionText(entry.readerSerNo, entry.ipAddr, int(entry.port)));
    connectItem->setData(KeyRole, entry.ipAddr);
    connectItem->setData(PortRole, int(entry.port));
    text(TypeColumn, ReaderTypes::readerTypeName(int(entry.readerType)));
    text(DeviceIdColumn, entry.readerSerNo);
    text(NeedsUpdateColumn, entry.needsUpdate ? QStringLiteral("x") : QString())
        ->setTextAlignment(Qt::AlignCenter);
    setStateCell(row, QString(), Qt::white, KelvaraFunctionThread::NoState);
    m_table->setRowHeight(row, RowHeight);
}

void KelvaraFunctionDialog::setStateCell(int row, const QString &text, const QColor &colour,
                                         int code)
{
    QTableWidgetItem *item = m_table->item(row, StateColumn);
    if (!item) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        item->setTextAlignment(Qt::AlignCenter);
        m_table->setItem(row, StateColumn, item);
    }
    item->setText(text);
    item->setBackground(colour);
    item->setData(KeyRole, code);
}

int KelvaraFunctionDialog::rowOfEntry(int pkDoors) const
{
    for (int row = 0; row < m_table->rowCount(); ++row) {
        if (m_table->item(row, NameColumn)->data(KeyRole).toInt() == pkDoors)
            return row;
    }
    return -1;
}

int KelvaraFunctionDialog::exec()
{
    if (m_table->rowCount() == 0) {
        KxMessageBox::information(this, tr("No Reader"),
                                  m_function == UpdateAccess
                                      ? tr("There are no reader with changed access rights")
                                      : tr("There are no reader at all"));
        return 0;
    }
    return QDialog::exec();
}

QString KelvaraFunctionDialog::entryNameOfCurrentRow() const
{
    const int row = m_table->currentRow();
    if (row < 0 || !m_table->item(row, NameColumn))
        return QString();
    return m_table->item(row, NameColumn)->text();
}

void KelvaraFunctionDialog::openDataPath()
{
    const QString name = entryNameOfCurrentRow();
    if (!name.isEmpty())
        openPath(this, entryDataPath(m_project.projectPath, name));
}

void KelvaraFunctionDialog::openLogPath()
{
    const QString name = entryNameOfCurrentRow();
    if (!name.isEmpty())
        openPath(this, entryLogPath(m_project.projectPath, name));
}

void KelvaraFunctionDialog::selectAll()
{
    for (int row = 0; row < m_table->rowCount(); ++row)
        m_table->item(row, SelectColumn)->setCheckState(Qt::Checked);
}

void KelvaraFunctionDialog::deselectAll()
{
    for (int row = 0; row < m_table->rowCount(); ++row)
        m_table->item(row, SelectColumn)->setCheckState(Qt::Unchecked);
}

void KelvaraFunctionDialog::editConnector(int row, int column, bool checked)
{
    if (row < 0 || row >= m_table->rowCount())
        return;
    QTableWidgetItem *connectItem = m_table->item(row, ConnectColumn);
    const QString serNo = m_table->item(row, DeviceIdColumn)->text();
    const int oldPort = connectItem->data(PortRole).toInt();
    const int port = checked ? (oldPort | FlashDriveBit) : (oldPort & ~FlashDriveBit);
    auto revert = [&] {
        if (auto *box = qobject_cast<QCheckBox *>(m_table->cellWidget(row, column))) {
            const QSignalBlocker block(box);
            box->setChecked(oldPort & FlashDriveBit);
        }
    };
    // A running worker reads the entries from the database: leave them alone meanwhile.
    if (m_project.databasePath.isEmpty() || serNo.isEmpty() || isRunning()) {
        revert();
        return;
    }
    const int pkDoors = m_table->item(row, NameColumn)->data(KeyRole).toInt();
    const QString ip = connectItem->data(KeyRole).toString();
    const QSqlError error =
        EntryRecords::setReaderAddress(m_project.databasePath, pkDoors, ip, port);
    if (error.isValid()) {
        revert();
        showDatabaseError(this, tr("Change Reader Connect"), error);
        return;
    }
    connectItem->setText(connectionText(serNo, ip, port));
    connectItem->setData(PortRole, port);
}

void KelvaraFunctionDialog::start()
{
    if (isRunning())
        return;
    QSet<int> keys;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        if (m_table->item(row, SelectColumn)->checkState() == Qt::Checked)
            keys.insert(m_table->item(row, NameColumn)->data(KeyRole).toInt());
    }
    if (keys.isEmpty()) {
        // A run deselects the entries it served: a second click on Start
        // (a double click, say) finds nothing left, which is no error.
        if (!m_runEntries.isEmpty())
            m_progressLabel->setText(tr("Nothing left to do: the entries served are deselected."));
        else
            KxMessageBox::critical(this, tr("DB entry list"), tr("No entries selected in table"));
        return;
    }

    QList<EntryTarget> rows;
    {
        ProjectDatabase database(m_project.databasePath);
        if (!database.open()) {
            showDatabaseError(this, tr("DB open"), database.lastError());
            return;
        }
        QSqlQuery query = database.query();
        if (!EntrySelection::entries(keys).list(query, rows)) {
            showDatabaseError(this, tr("DB entry list"), query.lastError());
            return;
        }
    }
    if (rows.isEmpty()) {
        KxMessageBox::critical(this, tr("DB entry list"), tr("Empty selection"));
        return;
    }

    // Verifying reads readers only; the flash drive cannot answer.
    if (m_function != VerifyReader &&
        AccessRights::countFlashDriveEntries(m_project.databasePath, keys) > 0 &&
        !FlashDriveDialogs::makeReady(this, m_drive, m_project.databasePath))
        return;

    QSqlError error;
    KelvaraFunctionThread *thread =
        ReaderFunction::createThread(m_function, m_project, &error, this).release();
    if (!thread) {
        showDatabaseError(this, tr("DB holiday list"), error);
        return;
    }
    for (int row = 0; row < m_table->rowCount(); ++row)
        setStateCell(row, QString(), Qt::white, KelvaraFunctionThread::NoState);

    ReaderSettings readerSettings;
    readerSettings.hfProgrammerReader = m_settings.hfProgrammerReader;
    readerSettings.uhfProgrammerReader = m_settings.uhfProgrammerReader;
    readerSettings.uhfRegion = m_settings.uhfRegion;
    thread->setReaderSettings(readerSettings);
    if (m_readerFactory)
        thread->setReaderFactory(m_readerFactory);
    thread->setEntries(rows);
    thread->setParallelEntries(m_settings.parallelEntries);
    thread->setFlashDrive(m_drive);
    thread->setStop(false);
    connect(thread, &KelvaraFunctionThread::entryStarted, this,
            &KelvaraFunctionDialog::entryStarted, Qt::QueuedConnection);
    connect(thread, &KelvaraFunctionThread::state, this, &KelvaraFunctionDialog::state,
            Qt::QueuedConnection);
    connect(thread, &QThread::finished, this, &KelvaraFunctionDialog::finished,
            Qt::QueuedConnection);
    connect(thread, &KelvaraFunctionThread::logMessage, m_logWin,
            &KelvaraFunctionLogWin::appendMessage, Qt::QueuedConnection);
    m_thread = thread;
    m_runEntries = rows;
    m_inProgress.clear();
    m_doneCount = 0;
    m_okCount = 0;
    m_stopRequested = false;
    m_elapsed.start();
    m_progress->setRange(0, rows.size());
    m_progress->setValue(0);

    thread->start(QThread::InheritPriority);
    if (!m_cursorSet) {
        // The busy cursor keeps the arrow: Stop and the log window stay usable.
        QApplication::setOverrideCursor(Qt::BusyCursor);
        m_cursorSet = true;
    }
    m_end->setEnabled(false);
    m_start->setEnabled(false);
    m_stopButton->setEnabled(true);
    m_clock->start();
    updateProgress();
}

void KelvaraFunctionDialog::stop()
{
    if (!m_thread)
        return;
    m_logWin->appendMessage(tr("Terminating function"));
    m_stopRequested = true;
    m_thread->setStop(true);
    m_stopButton->setEnabled(false);
    updateProgress();
}

void KelvaraFunctionDialog::finished()
{
    QString lockRefusal;
    if (m_thread) {
        m_thread->wait();
        lockRefusal = m_thread->runLockRefusal();
        delete m_thread;
    }
    m_clock->stop();
    m_inProgress.clear();
    clearRunningMarks();
    m_end->setEnabled(true);
    m_start->setEnabled(true);
    m_stopButton->setEnabled(false);
    if (m_cursorSet) {
        QApplication::restoreOverrideCursor();
        m_cursorSet = false;
    }
    m_start->setFocus();
    if (m_stopRequested)
        m_logWin->appendMessage(
            tr("Function terminated after %1 of %2 entries; the others were not run.")
                .arg(m_doneCount)
                .arg(m_runEntries.size()));
    updateProgress();
    emit runFinished();
    // Nothing ran: say why here, not only in the log window.
    if (!lockRefusal.isEmpty())
        KxMessageBox::critical(this, windowTitle(), lockRefusal);
    if (m_closeWhenFinished) {
        m_closeWhenFinished = false;
        done(0);
        return;
    }
    if ((m_function == ReadAccess || m_function == ReadEvents) && m_table->rowCount() == 1 &&
        m_table->item(0, StateColumn)->data(KeyRole).toInt() == KelvaraFunctionThread::Done) {
        // Without a file manager the place is told, not an error.
        const QString folder =
            entryDataPath(m_project.projectPath, m_table->item(0, NameColumn)->text());
        if (!openPathQuietly(folder))
            m_progressLabel->setText(m_progressLabel->text() + QLatin1Char('\n') +
                                     tr("The data is in %1").arg(QDir::toNativeSeparators(folder)));
    }
    if (m_function == ImportTransponder) {
        m_logWin->show();
        m_logWin->raise();
    }
}

void KelvaraFunctionDialog::state(const QString &entryKey, int state)
{
    bool ok = false;
    const int row = rowOfEntry(entryKey.toInt(&ok));
    if (m_thread)
        ++m_doneCount;
    m_inProgress.removeOne(entryKey.toInt());
    if (ok && row >= 0) {
        switch (state) {
        case KelvaraFunctionThread::Done:
            setStateCell(row, m_function == VerifyReader ? tr("IN SYNC") : tr("OK"), Qt::green,
                         state);
            m_table->item(row, SelectColumn)->setCheckState(Qt::Unchecked);
            if (m_function == UpdateAccess)
                m_table->item(row, NeedsUpdateColumn)->setText(QString());
            ++m_okCount;
            break;
        case KelvaraFunctionThread::NoConnection:
            setStateCell(row, tr("NO CONNECTION"), Qt::red, state);
            break;
        case KelvaraFunctionThread::Differs:
            setStateCell(row, tr("DIFFERS"), Qt::red, state);
            m_table->item(row, NeedsUpdateColumn)->setText(QStringLiteral("x"));
            break;
        default:
            setStateCell(row, tr("FAILED"), Qt::red, state);
            break;
        }
    }
    updateProgress();
}

void KelvaraFunctionDialog::entryStarted(const QString &entryKey)
{
    if (!isRunning())
        return;
    const int key = entryKey.toInt();
    m_inProgress.removeOne(key);
    m_inProgress.append(key);
    const int row = rowOfEntry(key);
    if (row >= 0)
        setStateCell(row, tr("RUNNING"), QColor(255, 240, 160), KelvaraFunctionThread::NoState);
    updateProgress();
}

void KelvaraFunctionDialog::clearRunningMarks()
{
    for (int row = 0; row < m_table->rowCount(); ++row) {
        QTableWidgetItem *item = m_table->item(row, StateColumn);
        if (item->data(KeyRole).toInt() == KelvaraFunctionThread::NoState)
            setStateCell(row, QString(), Qt::white, KelvaraFunctionThread::NoState);
    }
}

void KelvaraFunctionDialog::updateProgress()
{
    const int total = m_runEntries.size();
    m_progress->setRange(0, qMax(1, total));
    m_progress->setValue(qMin(m_doneCount, qMax(1, total)));
    m_progress->setTextVisible(total > 0);
    if (total == 0) {
        m_progressLabel->setText(tr("%n entries selected", nullptr, m_table->rowCount()));
        return;
    }
    const QString elapsed = elapsedText(m_elapsed.elapsed());
    if (isRunning()) {
        QString current;
        const int row = m_inProgress.isEmpty() ? -1 : rowOfEntry(m_inProgress.last());
        if (row >= 0)
            current = m_table->item(row, NameColumn)->text();
        else if (m_inProgress.isEmpty() && m_doneCount < total)
            current = m_runEntries.at(m_doneCount).doorName;
        if (m_inProgress.size() > 1) {
            m_progressLabel->setText(m_stopRequested
                                         ? tr("Stopping after the %1 entries in progress ...   %2")
                                               .arg(m_inProgress.size())
                                               .arg(elapsed)
                                         : tr("%1 of %2 entries done, %3 in progress   %4")
                                               .arg(m_doneCount)
                                               .arg(total)
                                               .arg(m_inProgress.size())
                                               .arg(elapsed));
            return;
        }
        m_progressLabel->setText(
            m_stopRequested ? tr("Stopping after entry '%1' ...   %2").arg(current, elapsed)
                            : tr("Entry %1 of %2: '%3'   %4")
                                  .arg(qMin(m_doneCount + 1, total))
                                  .arg(total)
                                  .arg(current, elapsed));
        return;
    }
    m_progressLabel->setText(
        (m_function == VerifyReader
             ? tr("%1 of %2 entries in sync, %3 differ or failed, %4 not run   %5")
             : tr("%1 of %2 entries OK, %3 failed, %4 not run   %5"))
            .arg(m_okCount)
            .arg(total)
            .arg(m_doneCount - m_okCount)
            .arg(total - m_doneCount)
            .arg(elapsed));
}

void KelvaraFunctionDialog::showContextMenu(const QPoint &pos)
{
    m_menu->popup(mapToGlobal(pos));
}

void KelvaraFunctionDialog::setHelp(bool on)
{
    const QString end = tr("Close this dialog.");
    const QString start =
        tr("Start execution of the announced operation (see title bar).\nThis operation will be "
           "executed for all selected readers.\nVia the context menu you can open a log window.");
    const QString stop = tr("Stop execution of the running operation.");
    m_end->setWhatsThis(end);
    m_start->setWhatsThis(start);
    m_stopButton->setWhatsThis(stop);
    m_end->setToolTip(on ? end : QString());
    m_start->setToolTip(on ? start : QString());
    m_stopButton->setToolTip(on ? stop : QString());
    m_logWin->setHelp(on);
}

bool KelvaraFunctionDialog::mayClose()
{
    if (!isRunning())
        return true;
    if (m_closeWhenFinished)
        return false;
    const QMessageBox::StandardButton answer = KxMessageBox::question(
        this, windowTitle(),
        tr("The function is still running.\nStop it after the entry in progress and close this "
           "window?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes) {
        m_closeWhenFinished = true;
        stop();
    }
    return false;
}

void KelvaraFunctionDialog::closeEvent(QCloseEvent *event)
{
    if (!mayClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void KelvaraFunctionDialog::keyPressEvent(QKeyEvent *event)
{
    if (!handleHelpKey(event))
        QDialog::keyPressEvent(event);
}

void KelvaraFunctionDialog::reject()
{
    if (mayClose())
        QDialog::reject();
}

void KelvaraFunctionDialog::done(int result)
{
    if (isRunning())
        return;
    saveGeometryAndColumns();
    m_logWin->hide();
    QDialog::done(result);
}

void KelvaraFunctionDialog::saveGeometryAndColumns()
{
    m_settings.functionDialogGeometry = geometry();
    m_settings.functionLogWindowGeometry = m_logWin->geometry();
    QList<int> widths;
    for (int c = 0; c < ColumnCount; ++c)
        widths << m_table->columnWidth(c);
    m_settings.functionTableColWidth = widths;
}
