#include "views/kelvaradoors.h"

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
#include "views/kelvaraeditdoor.h"
#include "widgets/guimessages.h"
#include "widgets/kxmessagebox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>
#include <set>

namespace {

constexpr int kColumns = 7;
constexpr int kDefaultWidth = 200;

class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

KelvaraDoors::KelvaraDoors(ApplicationSettings &settings, const ProjectParameters &params,
                           FlashDrive &drive, QWidget *parent)
    : QFrame(parent), m_settings(settings), m_params(params), m_drive(drive), m_search(nullptr)
{
    setObjectName(QStringLiteral("KelvaraDoors"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);

    auto *bar = new QHBoxLayout;
    layout->addLayout(bar);
    const auto toolButton = [this](const char *icon, const char *name) {
        auto *button = new QToolButton(this);
        button->setObjectName(QLatin1String(name));
        button->setIcon(QIcon(QLatin1String(icon)));
        button->setIconSize(QSize(32, 32));
        button->setAutoRaise(true);
        return button;
    };
    m_add = toolButton(":/door-add-48.png", "addDoor");
    m_edit = toolButton(":/door-edit-48.png", "editDoor");
    m_remove = toolButton(":/door-remove-48.png", "removeDoor");
    connect(m_add, &QToolButton::clicked, this, &KelvaraDoors::addDoor);
    connect(m_edit, &QToolButton::clicked, this, &KelvaraDoors::editDoor);
    connect(m_remove, &QToolButton::clicked, this, &KelvaraDoors::removeDoor);
    bar->addWidget(m_add);
    bar->addWidget(m_edit);
    bar->addWidget(m_remove);
    bar->addSpacing(16);

    m_count = new QSpinBox(this);
    m_count->setObjectName(QStringLiteral("doorCount"));
    m_count->setRange(0, 2147483647);
    m_count->setReadOnly(true);
    m_count->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_count->setStyleSheet(QStringLiteral("background: rgb(245,245,245)"));
    m_count->setAlignment(Qt::AlignRight);
    m_count->setFocusPolicy(Qt::NoFocus);
    m_count->setMinimumWidth(70);
    bar->addWidget(m_count);
    auto *doorsLabel = new QLabel(tr("Entries"), this);
    QFont bold = doorsLabel->font();
    bold.setBold(true);
    doorsLabel->setFont(bold);
    bar->addWidget(doorsLabel);
    bar->addStretch(1);

    bar->addWidget(new QLabel(tr("Sort by"), this));
    m_sort = new QComboBox(this);
    m_sort->setObjectName(QStringLiteral("sortKey"));
    m_sort->addItem(tr("Area, Entry"), int(EntryRecords::SortByName));
    m_sort->addItem(tr("IP-Address, Port"), int(EntryRecords::SortByAddress));
    m_sort->addItem(tr("Reader Typ, ID"), int(EntryRecords::SortByReader));
    m_sort->addItem(tr("MAC-Address"), int(EntryRecords::SortByMacAddress));
    bar->addWidget(m_sort);
    m_direction = new QToolButton(this);
    m_direction->setObjectName(QStringLiteral("sortDirection"));
    m_direction->setArrowType(Qt::DownArrow);
    bar->addWidget(m_direction);
    connect(m_sort, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            QOverload<int>::of(&KelvaraDoors::sortChanged));
    connect(m_direction, &QToolButton::clicked, this, QOverload<>::of(&KelvaraDoors::sortChanged));
    bar->addSpacing(16);

    bar->addWidget(new QLabel(tr("Search"), this));
    m_searchField = new QLineEdit(this);
    m_searchField->setObjectName(QStringLiteral("searchField"));
    m_searchField->setClearButtonEnabled(true);
    m_searchField->setMinimumWidth(180);
    bar->addWidget(m_searchField);
    m_searchUp = new QToolButton(this);
    m_searchUp->setObjectName(QStringLiteral("searchUp"));
    m_searchUp->setArrowType(Qt::UpArrow);
    m_searchDown = new QToolButton(this);
    m_searchDown->setObjectName(QStringLiteral("searchDown"));
    m_searchDown->setArrowType(Qt::DownArrow);
    bar->addWidget(m_searchUp);
    bar->addWidget(m_searchDown);
    connect(m_searchField, &QLineEdit::textChanged, this, &KelvaraDoors::searchPatternChanged);
    connect(m_searchUp, &QToolButton::clicked, this, &KelvaraDoors::searchUp);
    connect(m_searchDown, &QToolButton::clicked, this, &KelvaraDoors::searchDown);

    createTable();
    layout->addWidget(m_table, 1);

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

void KelvaraDoors::createTable()
{
    m_table = new QTableWidget(0, kColumns, this);
    m_search = TableSearch(m_table);
    m_table->setObjectName(QStringLiteral("doorTable"));
    m_table->setHorizontalHeaderLabels({tr("Area"), tr("Entry"), tr("Entry Comment"),
                                        tr("Reader Connect"), tr("Reader Typ"),
                                        tr("Reader Device ID"), tr("Reader MAC Address")});
    QHeaderView *header = m_table->horizontalHeader();
    header->setFixedHeight(35);
    QFont headerFont = header->font();
    headerFont.setWeight(75);
    header->setFont(headerFont);
    for (int c = 0; c < kColumns; ++c) {
        QTableWidgetItem *head = m_table->horizontalHeaderItem(c);
        head->setFont(headerFont);
        head->setToolTip(head->text());
    }
    header->setHighlightSections(false);
    header->setTextElideMode(Qt::ElideRight);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(25);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setStyleSheet(QStringLiteral("selection-background-color: rgb(255,128,128)"));
    m_table->setWordWrap(false);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_table, &QTableWidget::cellClicked, this, &KelvaraDoors::cellClicked);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &KelvaraDoors::cellDoubleClicked);
    connect(m_table, &QTableWidget::customContextMenuRequested, this,
            &KelvaraDoors::tableContextMenuRequested);
    connect(header, &QHeaderView::sectionResized, this, [this] {
        if (!m_applyingWidths)
            storeColumnWidths();
    });
}

// ---------------------------------------------------------------- list

void KelvaraDoors::buildList()
{
    m_rows.clear();
    if (m_params.databasePath.isEmpty()) {
        m_table->setRowCount(0);
        m_count->setValue(0);
        return;
    }
    WaitCursor wait;
    ProjectDatabase db(m_params.databasePath);
    if (!db.open()) {
        showDatabaseError(this, tr("DB open"), db.lastError());
        return;
    }
    {
        QSqlQuery query = db.query();
        if (!EntryRecords::listEntries(query, m_sort->currentData().toInt(),
                                       m_direction->arrowType() == Qt::DownArrow, m_rows)) {
            m_rows.clear();
            showDatabaseError(this, tr("DB entry list"), query.lastError());
            return;
        }
    }
    m_table->setUpdatesEnabled(false);
    m_table->clearContents();
    m_table->setRowCount(m_rows.size());
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
            m_table->setItem(r, c, item);
        }
        m_table->item(r, 0)->setData(KeyRole, e.pkDoors);
    }
    m_count->setValue(m_rows.size());
    m_table->setUpdatesEnabled(true);
}

void KelvaraDoors::show()
{
    QFrame::show();
    if (m_table->rowCount() > 0 && m_table->currentRow() < 0)
        selectWholeRow(0);
    m_table->setFocus();
}

void KelvaraDoors::selectWholeRow(int row)
{
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    if (row < 0 || row >= m_table->rowCount())
        return;
    m_table->setCurrentCell(row, 0,
                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_table->scrollToItem(m_table->item(row, 0));
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

void KelvaraDoors::sortChanged(int)
{
    buildList();
}

void KelvaraDoors::sortChanged()
{
    m_direction->setArrowType(m_direction->arrowType() == Qt::DownArrow ? Qt::UpArrow
                                                                        : Qt::DownArrow);
    buildList();
}

void KelvaraDoors::applyColumnWidths()
{
    m_applyingWidths = true;
    const QList<int> &widths = m_settings.doorsTableColWidth;
    for (int c = 0; c < kColumns; ++c)
        m_table->setColumnWidth(c, c < widths.size() && widths.at(c) > 0 ? widths.at(c)
                                                                         : kDefaultWidth);
    m_applyingWidths = false;
}

void KelvaraDoors::storeColumnWidths()
{
    QList<int> widths;
    for (int c = 0; c < kColumns; ++c)
        widths << m_table->columnWidth(c);
    m_settings.doorsTableColWidth = widths;
}

// ---------------------------------------------------------------- search

void KelvaraDoors::searchPatternChanged(QString pattern)
{
    m_search.setPattern(pattern);
    if (!pattern.isEmpty()) {
        m_table->clearSelection();
        m_search.search(true, true);
        return;
    }
    m_search.reset();
    selectWholeRow(m_table->currentRow());
}

void KelvaraDoors::searchUp()
{
    if (!m_search.pattern().isEmpty())
        m_search.search(false, false);
}

void KelvaraDoors::searchDown()
{
    if (!m_search.pattern().isEmpty())
        m_search.search(true, false);
}

void KelvaraDoors::cellClicked(int, int)
{
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
}

void KelvaraDoors::cellDoubleClicked(int, int)
{
    editDoor();
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
    const int row = m_table->currentRow();
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
    std::set<int> rows;
    for (const QTableWidgetSelectionRange &range : m_table->selectedRanges())
        for (int r = range.topRow(); r <= range.bottomRow(); ++r)
            rows.insert(r);
    if (rows.empty())
        return;
    if (KxMessageBox::question(this, tr("Remove entry"),
                               tr("Do you really want to remove the selected entries?"),
                               QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    {
        ProjectDatabase db(m_params.databasePath);
        if (!db.open()) {
            showDatabaseError(this, tr("DB open"), db.lastError());
            return;
        }
    }
    QList<int> keys;
    for (int r : rows)
        if (r < m_rows.size())
            keys << m_rows.at(r).pkDoors;
    QSqlError error;
    {
        WaitCursor wait;
        // All selected entries go with their access rows, or none does.
        error = RecordStatement::runInTransaction(m_params.databasePath, [&](QSqlQuery &query) {
            for (int key : qAsConst(keys))
                if (!EntryRecords::removeEntry(query, key))
                    return RecordStatement::failure(query);
            return QSqlError();
        });
    }
    if (error.isValid())
        showDatabaseError(this, tr("DB remove entry"), error);
    const int first = *rows.begin();
    buildList();
    if (m_table->rowCount() > 0)
        selectWholeRow(qMin(first, m_table->rowCount() - 1));
    if (!error.isValid())
        emit doorsChanged();
}

// ---------------------------------------------------------------- context menu

void KelvaraDoors::tableContextMenuRequested(const QPoint &pos)
{
    const int row = m_table->rowAt(pos.y());
    if (row < 0 || row >= m_rows.size())
        return;
    if (!m_table->selectionModel()->isRowSelected(row, QModelIndex()))
        selectWholeRow(row);
    m_menuRow = row;
    const EntryRow &entry = m_rows.at(row);
    // A reader served through the flash drive has no link to restart it over.
    const bool linked = entry.readerType != 0 && !(entry.port & EntryRecords::FlashDrivePortBit);
    m_resetCpu->setEnabled(linked);
    m_resetAntiPassback->setVisible(ReaderTypes::isLongRangeAccessReader(entry.readerType));
    m_resetAntiPassback->setEnabled(linked);
    m_menu->exec(m_table->viewport()->mapToGlobal(pos));
    m_menuRow = -1;
}

int KelvaraDoors::actionRow() const
{
    const int row = m_menuRow >= 0 ? m_menuRow : m_table->currentRow();
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
    std::unique_ptr<MyRdr> reader(ReaderFactory::createReader(entry.readerType, settings));
    if (!reader) {
        showError(this, ErrorInfo(ErrorInfo::ReaderObjectError, tr("Unsupported reader type")));
        return;
    }
    {
        WaitCursor wait;
        reader->start(command, KelvaraEditDoor::connectionOf(entry, key));
        reader->waitForReader();
    }
    showError(this, reader->result());
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

// ---------------------------------------------------------------- help and keys

void KelvaraDoors::setHelp(bool isToolTips)
{
    const auto help = [isToolTips](QWidget *w, const QString &text) {
        w->setWhatsThis(text);
        w->setToolTip(isToolTips ? text : QString());
    };
    help(m_add, tr("Add entry"));
    help(m_edit, tr("Edit selected entry"));
    help(m_remove, tr("Remove selected entries"));
    help(m_sort, tr("Choose the sorting order"));
    help(m_direction, tr("Sort ascending or descending"));
    help(m_searchField, tr("Input search term"));
    help(m_searchUp, tr("To previous search term"));
    help(m_searchDown, tr("To next search term"));
    m_table->setToolTip(QString());
    m_table->setWhatsThis(
        tr("The entry administration distinguishes between logical and physical information:\n\n"
           "Logical information is the area and the name of an entry (a door, gate or barrier) "
           "and an optional comment. The combination of area and entry name must be unique.\n\n"
           "Physical information is the access reader that controls the entry: how it is "
           "reached (LAN, USB cable or USB flash drive), its type, device ID, MAC address and "
           "its settings.\n\n"
           "A right click on an entry opens its data and log folders, restarts its reader or "
           "resets the anti-passback state of a long range reader."));
}

void KelvaraDoors::keyPressEvent(QKeyEvent *event)
{
    if (handleHelpKey(event))
        return;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_N && modifiers == Qt::ControlModifier) {
        addDoor();
    } else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
               modifiers == Qt::NoModifier) {
        editDoor();
    } else if (event->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
        removeDoor();
    } else {
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
}
