#include "app/kelvaraman.h"
#include "kxversion.h"

#include "widgets/guimessages.h"
#include "widgets/kxdialogs.h"
#include "core/paths.h"
#include "core/projectfiles.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/schemaversion.h"
#include "db/timemodelrecords.h"
#include "db/userrecords.h"
#include "reader/readertypes.h"
#include "userlist/myexportusers.h"
#include "views/kelvaradoors.h"
#include "views/kelvarahistory.h"
#include "views/kelvaratimes.h"
#include "views/kelvarausers.h"
#include "views/projectversiongate.h"
#include "views/kelvarafunctiondialog.h"
#include "views/kelvarageneralsettingsdialog.h"
#include "views/kelvaraprojectsettingsdialog.h"
#include "widgets/kxfindbar.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxtablewidget.h"
#include "widgets/kxwaitcursor.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThis>

namespace {

// Caller data roles of the board cells.
constexpr int KeyRole = 256;
constexpr int NeedsUpdateRole = 257;
constexpr int GroupCellRole = 258;
constexpr int YellowColumnBit = 1;
constexpr int YellowRowBit = 2;

const QString kHeadIndent = QStringLiteral("     ");

} // namespace

KelvaraMan::KelvaraMan(QWidget *parent) : QMainWindow(parent)
{
    setMinimumSize(600, 400);
    createMenus();
    createToolBar();
    createBoard();
    createBoardMenus();
    createBoardTools();

    m_settings.loadSettings();
    // The views share the area below the tool bar with the board frame.
    m_times = new KelvaraTimes(m_settings, centralWidget());
    m_times->hide();
    centralWidget()->layout()->addWidget(m_times);
    connect(m_times, &KelvaraTimes::changed, this, &KelvaraMan::buildBoard);
    createUsersView();
    m_doors = new KelvaraDoors(m_settings, m_params, m_flashDrive, centralWidget());
    m_doors->hide();
    centralWidget()->layout()->addWidget(m_doors);
    connect(m_doors, &KelvaraDoors::doorsChanged, this, [this] {
        if (m_boardFrame->isVisible())
            buildBoard();
    });
    m_tooltipsAction->setChecked(m_settings.areToolTipsOn);
    const SchemaVersion::State lastProject =
        m_settings.currentProjectPath.isEmpty()
            ? SchemaVersion::State::NotProject
            : SchemaVersion::probeFolder(m_settings.currentProjectPath).state;
    if (lastProject == SchemaVersion::State::Current) {
        m_databasePath = QDir::toNativeSeparators(
            ProjectDatabase::databasePathForProject(m_settings.currentProjectPath));
        m_params.projectPath = m_settings.currentProjectPath;
        m_params.databasePath = m_databasePath;
        m_params.loadProjectParameters();
        noteRecentProject(m_settings.currentProjectPath);
    }
    // A folder standing in for the USB flash drive (simulated sites, trials).
    const QString drive = qEnvironmentVariable("KX_FLASH_DRIVE");
    if (!drive.isEmpty() && QFileInfo(drive).isDir())
        m_flashDrive.setDrivePath(QDir::toNativeSeparators(QFileInfo(drive).absoluteFilePath()));
    setHelp(m_settings.areToolTipsOn);
    enterTabKelvara();
    placeWindows();
    QTimer::singleShot(100, this, &KelvaraMan::firstStartCheck);
    // The last project at another schema version is offered its upgrade (or
    // refused) once the window shows, not opened behind the user's back.
    if (lastProject == SchemaVersion::State::Older || lastProject == SchemaVersion::State::Newer ||
        lastProject == SchemaVersion::State::Invalid) {
        const QString folder = m_settings.currentProjectPath;
        QTimer::singleShot(100, this, [this, folder] { openProjectFolder(folder); });
    }
}

KelvaraMan::~KelvaraMan()
{
    m_settings.isMaximized = isMaximized();
    if (!isMaximized())
        m_settings.mainWindowGeometry = geometry();
    m_settings.saveSettings();
}

void KelvaraMan::setManualFile(const QString &fileName)
{
    m_manualFile = fileName;
}

QString KelvaraMan::versionText()
{
    // Two digits for each of major and minor, as the title always showed them.
    return QStringLiteral("%1.%2")
        .arg(KX_VERSION_MAJOR, 2, 10, QLatin1Char('0'))
        .arg(KX_VERSION_MINOR, 2, 10, QLatin1Char('0'));
}

// ---------------------------------------------------------------- construction

void KelvaraMan::createMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&New Project"), this, &KelvaraMan::newProject);
    file->addAction(tr("&Open Project"), this, &KelvaraMan::openProject);
    m_recentMenu = file->addMenu(tr("Open Recen&t Project"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, &KelvaraMan::fillRecentMenu);
    file->addAction(tr("&Rename Project"), this, &KelvaraMan::renameProject);
    file->addSeparator();
    file->addAction(tr("&Create Project Backup"), this, &KelvaraMan::createProjectBackup);
    file->addAction(tr("&Restore Project Backup"), this, &KelvaraMan::restoreProjectBackup);
    file->addSeparator();
    file->addAction(tr("I&mport User List"), this, &KelvaraMan::importUserList);
    file->addAction(tr("E&xport User List"), this, &KelvaraMan::exportUserList);
    file->addSeparator();
    file->addAction(tr("History of &Changes…"), this, [this] {
        if (!m_databasePath.isEmpty())
            KelvaraHistory::open(m_databasePath, {}, {}, this);
    });
    file->addSeparator();
    file->addAction(tr("&End"), this, &QWidget::close);
    createEditMenu();

    QMenu *settings = menuBar()->addMenu(tr("&Settings"));
    m_generalSettingsAction =
        settings->addAction(tr("&General Settings"), this, &KelvaraMan::generalSettings);
    m_projectSettingsAction =
        settings->addAction(tr("&Project Settings"), this, [this] { projectSettings(false); });
    settings->addSeparator();
    const QList<QAction *> readerFunctions = {
        settings->addAction(tr("Synchronize Reader &Clock"), this, &KelvaraMan::readerClockSync),
        settings->addSeparator(),
        settings->addAction(tr("&Update Access Rights of all Entries"), this,
                            &KelvaraMan::updateAllAccessConfig),
        settings->addSeparator(),
        settings->addAction(tr("&Reconfigure Short Range Reader"), this,
                            &KelvaraMan::readerReconfigHf),
        settings->addAction(tr("&Reconfigure Long Range Reader"), this,
                            &KelvaraMan::readerReconfigUhf),
        settings->addAction(tr("&Reconfigure All Reader"), this, &KelvaraMan::readerReconfigAll)};
    // Settings dialogs come with their own views.
    for (QAction *a : settings->actions())
        a->setEnabled(readerFunctions.contains(a) || a == m_projectSettingsAction ||
                      a == m_generalSettingsAction);

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    m_tooltipsAction = help->addAction(tr("&Tooltips"));
    m_tooltipsAction->setCheckable(true);
    connect(m_tooltipsAction, &QAction::toggled, this, &KelvaraMan::setHelp);
    help->addAction(tr("&Help for Help"), this, &KelvaraMan::helpHelp);
    help->addAction(tr("How to &Use Kelvara-Manager"), this, &KelvaraMan::helpHowToUse);
    help->addAction(tr("&Quick Start Guide"), this, &KelvaraMan::helpQuickStart);
    help->addAction(tr("Access Board &Legend"), this, &KelvaraMan::showLegend);
    help->addSeparator();
    help->addAction(tr("Build &Support Package"), this, &KelvaraMan::buildSupportPackage);
    help->addSeparator();
    help->addAction(tr("&Firmware Versions"), this, &KelvaraMan::helpFwVersions);

    menuBar()->addAction(tr("?"), this, &KelvaraMan::enterWhatsThisMode);
}

void KelvaraMan::createToolBar()
{
    m_toolBar = addToolBar(tr("Views"));
    m_toolBar->setMovable(false);
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_toolBar->setIconSize(QSize(48, 48));
    // Tooltips take the style of their widget: give them their own, readable one.
    m_toolBar->setStyleSheet(
        QStringLiteral("* { background: rgb(0,170,240); } "
                       "QToolTip { background: rgb(255,255,225); color: black; "
                       "border: 1px solid rgb(118,118,118); padding: 4px; }"));
    setContextMenuPolicy(Qt::NoContextMenu);

    struct Tool
    {
        const char *icon;
        QString text;
        void (KelvaraMan::*slot)();
        bool enabled;
    };
    const Tool tools[] = {
        {":/tab-kelvara-48.png", tr("Access Board"), &KelvaraMan::enterTabKelvara, true},
        {":/users-48.png", tr("User Administration"), &KelvaraMan::enterUsers, true},
        {":/doors-48.png", tr("Entry Administration"), &KelvaraMan::enterDoors, true},
        {":/times-48.png", tr("Time Model Administration"), &KelvaraMan::enterTimes, true},
        {nullptr, QString(), nullptr, false},
        {":/update-48.png",
         tr("Update Access Rights\n(Changed rights are marked with red background colour)"),
         &KelvaraMan::updateAllAccessConfig, true},
    };
    for (const Tool &tool : tools) {
        if (!tool.icon) {
            m_toolBar->addSeparator();
            continue;
        }
        auto *button = new QToolButton(m_toolBar);
        button->setIcon(QIcon(QLatin1String(tool.icon)));
        button->setIconSize(QSize(48, 48));
        button->setEnabled(tool.enabled);
        connect(button, &QToolButton::clicked, this, tool.slot);
        m_toolBar->addWidget(button);
        m_toolButtons.append({button, tool.text});
    }

    m_logo = new QLabel(this);
    m_logo->setPixmap(QPixmap(QStringLiteral(":/korvex-logo-48.png")));
    m_logo->adjustSize();
}

void KelvaraMan::createBoard()
{
    m_boardFrame = new QFrame(this);
    m_boardFrame->setFrameShape(QFrame::NoFrame);
    auto *layout = new QVBoxLayout(m_boardFrame);
    layout->setContentsMargins(10, 10, 10, 10);
    m_board = new KxTableWidget(m_boardFrame);
    layout->addWidget(m_board);
    auto *views = new QWidget(this);
    auto *viewLayout = new QVBoxLayout(views);
    viewLayout->setContentsMargins(0, 0, 0, 0);
    viewLayout->addWidget(m_boardFrame);
    setCentralWidget(views);

    m_board->setMinHeaderRowHeight(150);
    m_board->setMinHeaderColumnWidth(150);
    // One long name must not push the other columns off the screen: longer
    // heads are elided, their tooltips name them in full.
    m_board->setMaxHeaderRowHeight(230);
    m_board->setMaxHeaderColumnWidth(330);
    m_board->setXMargin(8);
    m_board->setYMargin(6);
    m_board->setSeparatorPen(QPen(Qt::black, 2));
    QFont emptyFont(QStringLiteral("Arial"), 20, QFont::Bold);
    m_board->setEmptyTextFont(emptyFont);
    m_board->setEmptyTextPen(QPen(QColor(170, 170, 170)));
    connect(m_board, &KxTableWidget::clickedOnCell, this, &KelvaraMan::clickedOnTableCell);

    const QFont base = font();
    QFont bold = base;
    bold.setBold(true);
    QFont head12 = base;
    head12.setPointSize(12);
    QFont head12Bold = head12;
    head12Bold.setBold(true);
    const QPen blueLine(Qt::blue, 2);
    const QPen grid(Qt::lightGray);
    const Qt::Alignment centre = Qt::AlignHCenter | Qt::AlignVCenter;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;

    auto style = [&](const QBrush &bg, const QFont &f, Qt::Alignment align, const QPen &bottom,
                     const QPen &right, const QPen &text = QPen(Qt::black)) {
        KxCellStyle s;
        s.background = bg;
        s.font = f;
        s.alignment = align;
        s.bottomLine = bottom;
        s.rightLine = right;
        s.textPen = text;
        return m_board->addStyle(s);
    };
    const QBrush white(Qt::white);
    const QBrush yellow(Qt::yellow);
    m_styles.cell = style(white, base, centre, grid, grid);
    m_styles.cellDeviating = style(QBrush(Qt::lightGray), base, centre, grid, grid);
    m_styles.yellowRow = style(yellow, base, centre, blueLine, grid);
    m_styles.yellowColumn = style(yellow, base, centre, grid, blueLine);
    m_styles.yellowBoth = style(yellow, base, centre, blueLine, blueLine);
    m_styles.groupHead = style(yellow, bold, left, blueLine, grid);
    m_styles.userHead = style(white, base, left, grid, grid);
    m_styles.areaHead = style(yellow, head12Bold, left, grid, blueLine);
    m_styles.areaHeadPending =
        style(QBrush(QColor(255, 128, 128)), head12Bold, left, grid, blueLine);
    m_styles.entryHead = style(white, head12, left, grid, grid);
    m_styles.entryHeadPending = style(QBrush(QColor(255, 128, 128)), head12, left, grid, grid);
    m_styles.corner = style(white, QFont(QStringLiteral("Arial"), 20, QFont::Bold), centre, grid,
                            grid, QPen(QColor(0, 26, 55)));
}

void KelvaraMan::createBoardMenus()
{
    m_cornerMenu = new QMenu(this);
    m_cornerMenu->addAction(tr("Collapse all User Groups and Areas"), this,
                            &KelvaraMan::m00hColapseAll);
    m_cornerMenu->addAction(tr("Expand all User Groups and Areas"), this,
                            &KelvaraMan::m00hExpandAll);
    m_cornerMenu->addSeparator();
    m_cornerMenu->addAction(tr("Update Access Rights of all Entries"), this,
                            &KelvaraMan::updateAllAccessConfig);
    m_cornerMenu->addSeparator();
    m_cornerMenu->addAction(tr("Read Event List of all Entries"), this,
                            &KelvaraMan::m00hReadEventList);
    m_cornerMenu->addAction(tr("Verify Reader"), this, &KelvaraMan::m00hVerifyReader);
    m_cornerMenu->addSeparator();
    m_m00hDataPath =
        m_cornerMenu->addAction(tr("Open Data Path"), this, &KelvaraMan::m00hOpenDataPath);
    m_m00hLogPath =
        m_cornerMenu->addAction(tr("Open Log Path"), this, &KelvaraMan::m00hOpenLogPath);
    m_cornerMenu->addSeparator();
    m_cornerMenu->addAction(tr("Help for Access Board"), this, &KelvaraMan::m00hHelp);

    m_columnHeadMenu = new QMenu(this);
    m_mchTitle = m_columnHeadMenu->addAction(QString(), this, &KelvaraMan::mchDoorArea);
    m_mchRename = m_columnHeadMenu->addAction(tr("Rename"), this, &KelvaraMan::mchRename);
    m_columnHeadMenu->addSeparator();
    m_columnHeadMenu->addAction(tr("Update Access Rights"), this,
                                &KelvaraMan::mchUpdateAccessConfig);
    m_mchReadAccess = m_columnHeadMenu->addAction(tr("Read Access Rights"), this,
                                                  &KelvaraMan::mchReadAccessConfig);
    m_mchImport =
        m_columnHeadMenu->addAction(tr("Import Transponder"), this, &KelvaraMan::mchImportTeachIn);
    m_columnHeadMenu->addSeparator();
    m_columnHeadMenu->addAction(tr("Read Event List"), this, &KelvaraMan::mchReadEventList);
    m_columnHeadMenu->addAction(tr("Verify Reader"), this, &KelvaraMan::mchVerifyReader);
    m_columnHeadMenu->addSeparator();
    m_columnHeadMenu->addAction(tr("Open Data Path"), this, &KelvaraMan::mchOpenDataPath);
    m_columnHeadMenu->addAction(tr("Open Log Path"), this, &KelvaraMan::mchOpenLogPath);

    m_rowHeadMenu = new QMenu(this);
    m_mrhTitle = m_rowHeadMenu->addAction(QString(), this, &KelvaraMan::mrhUserGroup);
    m_rowHeadMenu->addAction(tr("Rename"), this, &KelvaraMan::mrhRename);

    m_cellMenu = new QMenu(this);
    connect(m_cellMenu, &QMenu::triggered, this, &KelvaraMan::mtiChangeTimeModel);

    for (QAction *title : {m_mchTitle, m_mrhTitle}) {
        QFont f(QStringLiteral("Helvetica"), 12, QFont::Bold);
        title->setFont(f);
    }
}

void KelvaraMan::createUsersView()
{
    // The board frame and the administration views share the area below the tool bar.
    QWidget *area = centralWidget();
    if (area == m_boardFrame) {
        area = new QWidget(this);
        auto *layout = new QVBoxLayout(area);
        layout->setContentsMargins(0, 0, 0, 0);
        takeCentralWidget();
        layout->addWidget(m_boardFrame);
        setCentralWidget(area);
    }
    m_users = new KelvaraUsers(m_settings, m_params, area);
    area->layout()->addWidget(m_users);
    m_users->hide();
    m_users->setGeneralSettingsAction(m_generalSettingsAction);
    connect(m_users, &KelvaraUsers::usersChanged, this, [this] {
        // A hidden board is rebuilt when it is shown again.
        if (m_boardFrame->isVisible())
            buildBoard();
    });
}

// ---------------------------------------------------------------- project and board

bool KelvaraMan::openProjectFolder(const QString &folder)
{
    if (!ProjectVersionGate::admit(this, QDir::fromNativeSeparators(folder)))
        return false;
    m_settings.currentProjectPath = QDir::toNativeSeparators(folder);
    m_databasePath = QDir::toNativeSeparators(
        ProjectDatabase::databasePathForProject(QDir::fromNativeSeparators(folder)));
    m_params = ProjectParameters();
    m_params.projectPath = m_settings.currentProjectPath;
    m_params.databasePath = m_databasePath;
    m_params.loadProjectParameters();
    m_users->closeImport();
    noteRecentProject(m_settings.currentProjectPath);
    resetBoardForProject();
    enterTabKelvara();
    return true;
}

void KelvaraMan::updateWindowTitle()
{
    QString title = tr("Kelvara Manager (V%1) by KORVEX ::: Project Path = ").arg(versionText());
    if (m_settings.currentProjectPath.isEmpty()) {
        title += tr("undefined");
    } else {
        title += QLatin1Char('\'') + QDir::toNativeSeparators(m_settings.currentProjectPath) +
                 QLatin1Char('\'');
        if (m_databasePath.isEmpty())
            title += tr(" (invalid)");
    }
    setWindowTitle(title);
}

void KelvaraMan::showEmptyBoard(const QString &cornerText)
{
    m_boardData.build({}, {}, {});
    KxCellTemplate cell;
    cell.style = m_board->styleAt(m_styles.cell);
    m_board->setSize(1, 1, &cell);
    m_board->setHeaderRowHeight(-1);
    m_board->setHeaderColumnWidth(-1);
    KxTableCell corner = m_board->cell(0, 0);
    corner.setStyleIndex(m_styles.corner);
    corner.setText(cornerText);
    m_board->setEmptyText(QString());
    m_board->repaint();
}

void KelvaraMan::buildBoard()
{
    updateWindowTitle();
    // Without a project the folders would be taken from an empty path.
    m_m00hDataPath->setEnabled(!m_databasePath.isEmpty());
    m_m00hLogPath->setEnabled(!m_databasePath.isEmpty());
    if (m_databasePath.isEmpty()) {
        showEmptyBoard(tr("No\nproject\nloaded"));
        refreshBoardTools();
        return;
    }

    KxWaitCursor wait;
    QElapsedTimer timer;
    timer.start();
    // Read aside: a failure leaves the board as it was.
    AccessBoard board;
    {
        ProjectDatabase db(m_databasePath);
        if (!db.open()) {
            showDatabaseError(this, tr("DB open"), db.lastError());
            return;
        }
        const QSqlError error = board.read(db);
        if (error.isValid()) {
            showDatabaseError(this, tr("DB model tag table"), error);
            return;
        }
    }

    m_lastQueryNs = timer.nsecsElapsed();
    timer.restart();
    board.complete();
    m_boardData = std::move(board);
    loadUpdateBlockers();
    fillBoardWidget();
    m_lastFillNs = timer.nsecsElapsed();
    refreshBoardTools();
}

void KelvaraMan::fillBoardWidget()
{
    const AccessBoard &b = m_boardData;
    const int rows = b.rowCount();
    const int columns = b.columnCount();

    KxCellTemplate plain;
    plain.style = m_board->styleAt(m_styles.cell);
    m_board->setSize(rows, columns, &plain);
    m_board->setRowHeight(-1);
    m_board->setColumnWidth(-1);
    m_board->setHeaderRowHeight(-1);
    m_board->setHeaderColumnWidth(-1);

    KxTableCell corner = m_board->cell(0, 0);
    corner.setStyleIndex(m_styles.corner);
    corner.setText(tr("Access\nBoard"));

    QString empty;
    if (!b.hasEntries())
        empty = tr("   Use the entry administration to add entries to this project.");
    if (!b.hasUsers()) {
        if (!empty.isEmpty())
            empty += QLatin1Char('\n');
        empty += tr("   Use the user administration to add users to this project.");
    }
    m_board->setEmptyText(empty);

    for (int c = 1; c < columns; ++c) {
        const AccessBoard::Line &line = b.column(c);
        KxTableCell head = m_board->cell(0, c);
        if (line.isHead) {
            head.setText(line.name);
            head.setStyleIndex(m_styles.areaHead);
            head.setData(GroupCellRole, YellowColumnBit);
        } else {
            head.setData(KeyRole, line.key);
        }
    }
    fillEntryHeads();
    QVector<int> allColumns;
    QVector<int> headColumns;
    for (int c = 1; c < columns; ++c) {
        allColumns.append(c);
        if (b.column(c).isHead)
            headColumns.append(c);
    }
    QVector<KxTableWidget::CellFill> fills(std::max(columns - 1, 0));
    for (int r = 1; r < rows; ++r) {
        const AccessBoard::Line &row = b.row(r);
        KxTableCell head = m_board->cell(r, 0);
        if (row.isHead) {
            head.setText(row.name);
            head.setStyleIndex(m_styles.groupHead);
            head.setData(GroupCellRole, YellowRowBit);
        } else {
            head.setText(kHeadIndent + row.name);
            head.setStyleIndex(m_styles.userHead);
            head.setData(KeyRole, row.key);
        }
        // Member cells in one go per row; the template already is an empty
        // white cell.
        if (!row.isHead) {
            for (int c = 1; c < columns; ++c) {
                KxTableWidget::CellFill &fill = fills[c - 1];
                fill = KxTableWidget::CellFill();
                if (b.column(c).isHead)
                    continue;
                const int key = b.timeModelAt(r, c);
                if (key) {
                    fill.text = &b.textAt(r, c);
                    fill.data = key;
                }
                if (b.isDeviating(r, c))
                    fill.style = m_styles.cellDeviating;
            }
            m_board->fillRow(r, 1, fills, KeyRole);
        }
        for (int c : row.isHead ? allColumns : headColumns) {
            const bool yellowColumn = b.column(c).isHead;
            KxTableCell cell = m_board->cell(r, c);
            cell.setText(b.textAt(r, c));
            const int bits = (yellowColumn ? YellowColumnBit : 0) | (row.isHead ? YellowRowBit : 0);
            cell.setData(GroupCellRole, bits);
            cell.setStyleIndex(bits == (YellowColumnBit | YellowRowBit) ? m_styles.yellowBoth
                               : row.isHead                             ? m_styles.yellowRow
                                                                        : m_styles.yellowColumn);
        }
    }
    applyGroupModes();
}

void KelvaraMan::fillEntryHeads()
{
    for (int c = 1; c < m_boardData.columnCount(); ++c) {
        const AccessBoard::Line &line = m_boardData.column(c);
        if (line.isHead)
            continue;
        KxTableCell head = m_board->cell(0, c);
        // A warning sign in front of an entry the next update cannot serve.
        head.setText(
            (m_updateBlockers.contains(line.key) ? QStringLiteral("   \u26A0 ") : kHeadIndent) +
            line.name);
        head.setStyleIndex(line.needsUpdate ? m_styles.entryHeadPending : m_styles.entryHead);
        head.setData(NeedsUpdateRole, line.needsUpdate);
    }
}

void KelvaraMan::fillBoardCells(const QVector<int> &changedCells)
{
    // The cells as fillBoardWidget() gives them, in one row fill per run of
    // changed cells; head cells only change their text.
    const AccessBoard &b = m_boardData;
    const int columns = b.columnCount();
    QVector<KxTableWidget::CellFill> fills;
    for (int i = 0; i < changedCells.size();) {
        const int r = changedCells.at(i) / columns;
        const int first = changedCells.at(i) % columns;
        int end = i;
        while (end < changedCells.size() && changedCells.at(end) / columns == r)
            ++end;
        const int last = changedCells.at(end - 1) % columns;
        fills.fill(KxTableWidget::CellFill(), last - first + 1);
        for (; i < end; ++i) {
            const int c = changedCells.at(i) % columns;
            KxTableWidget::CellFill &fill = fills[c - first];
            fill.text = &b.textAt(r, c);
            if (b.row(r).isHead || b.column(c).isHead)
                continue;
            const int key = b.timeModelAt(r, c);
            if (key)
                fill.data = key;
            else
                fill.removeData = true;
            fill.style = b.isDeviating(r, c) ? m_styles.cellDeviating : m_styles.cell;
        }
        m_board->fillRow(r, first, fills, KeyRole);
    }
}

void KelvaraMan::applyGroupModes()
{
    for (int c = 1; c < m_boardData.columnCount(); ++c) {
        const AccessBoard::Line &line = m_boardData.column(c);
        if (!line.isHead)
            continue;
        const bool expanded = isAreaExpanded(line.name);
        KxTableCell head = m_board->cell(0, c);
        head.setGroupMode(expanded ? KxTableCell::ExpandedHead : KxTableCell::CollapsedHead);
        // A collapsed area keeps its pending entries in sight.
        bool pending = false;
        for (int m = c + 1; !expanded && !pending && m < m_boardData.columnCount() &&
                            !m_boardData.column(m).isHead;
             ++m)
            pending = m_boardData.column(m).needsUpdate;
        head.setStyleIndex(pending ? m_styles.areaHeadPending : m_styles.areaHead);
    }
    for (int r = 1; r < m_boardData.rowCount(); ++r) {
        const AccessBoard::Line &line = m_boardData.row(r);
        if (line.isHead)
            m_board->cell(r, 0).setGroupMode(isGroupExpanded(line.name)
                                                 ? KxTableCell::ExpandedHead
                                                 : KxTableCell::CollapsedHead);
    }
    m_board->repaint();
}

bool KelvaraMan::isAreaExpanded(const QString &area)
{
    return *m_areaExpanded.insert(area, m_areaExpanded.value(area, true));
}

bool KelvaraMan::isGroupExpanded(const QString &group)
{
    return *m_groupExpanded.insert(group, m_groupExpanded.value(group, true));
}

void KelvaraMan::setAllExpanded(bool expanded)
{
    for (int c = 1; c < m_boardData.columnCount(); ++c) {
        if (m_boardData.column(c).isHead)
            m_areaExpanded.insert(m_boardData.column(c).name, expanded);
    }
    for (int r = 1; r < m_boardData.rowCount(); ++r) {
        if (m_boardData.row(r).isHead)
            m_groupExpanded.insert(m_boardData.row(r).name, expanded);
    }
    for (auto it = m_areaExpanded.begin(); it != m_areaExpanded.end(); ++it)
        it.value() = expanded;
    for (auto it = m_groupExpanded.begin(); it != m_groupExpanded.end(); ++it)
        it.value() = expanded;
    applyGroupModes();
}

void KelvaraMan::toggleArea(int column)
{
    if (column <= 0 || column >= m_boardData.columnCount())
        return;
    const AccessBoard::Line &line = m_boardData.column(m_boardData.column(column).head);
    m_areaExpanded.insert(line.name, !isAreaExpanded(line.name));
    applyGroupModes();
}

void KelvaraMan::toggleGroup(int row)
{
    if (row <= 0 || row >= m_boardData.rowCount())
        return;
    const AccessBoard::Line &line = m_boardData.row(m_boardData.row(row).head);
    m_groupExpanded.insert(line.name, !isGroupExpanded(line.name));
    applyGroupModes();
}

// ---------------------------------------------------------------- board clicks and menus

void KelvaraMan::clickedOnTableCell(int row, int column, int mouseButton, bool isDoubleClicked)
{
    m_clickedRow = row;
    m_clickedColumn = column;
    if (m_boardData.rowCount() == 0 || row >= m_boardData.rowCount() ||
        column >= m_boardData.columnCount())
        return;
    const bool groupRow = row > 0 && m_boardData.row(row).isHead;
    const bool areaColumn = column > 0 && m_boardData.column(column).isHead;

    if (mouseButton == 1 && isDoubleClicked) {
        if (row == 0 && column == 0) {
            bool anyExpanded = false;
            for (int c = 1; c < m_boardData.columnCount() && !anyExpanded; ++c)
                anyExpanded =
                    m_boardData.column(c).isHead && isAreaExpanded(m_boardData.column(c).name);
            for (int r = 1; r < m_boardData.rowCount() && !anyExpanded; ++r)
                anyExpanded = m_boardData.row(r).isHead && isGroupExpanded(m_boardData.row(r).name);
            setAllExpanded(!anyExpanded);
        } else if (groupRow && areaColumn) {
            const bool expand = !(isGroupExpanded(m_boardData.row(row).name) ||
                                  isAreaExpanded(m_boardData.column(column).name));
            m_groupExpanded.insert(m_boardData.row(row).name, expand);
            m_areaExpanded.insert(m_boardData.column(column).name, expand);
            applyGroupModes();
        } else if (areaColumn) {
            toggleArea(column);
        } else if (groupRow) {
            toggleGroup(row);
        }
        return;
    }
    if (mouseButton != 2)
        return;

    if (row == 0 && column == 0) {
        popup(m_cornerMenu);
    } else if (row == 0) {
        const AccessBoard::Line &line = m_boardData.column(column);
        m_mchTitle->setText((line.isHead ? tr("Area") : tr("Entry")) + QStringLiteral(": ") +
                            menuText(line.name.trimmed()));
        m_mchTitle->setEnabled(line.isHead);
        m_mchTitle->setCheckable(line.isHead);
        m_mchTitle->setChecked(line.isHead && isAreaExpanded(line.name));
        m_mchRename->setEnabled(line.isHead);
        m_mchReadAccess->setEnabled(!line.isHead);
        m_mchImport->setEnabled(!line.isHead);
        popup(m_columnHeadMenu);
    } else if (column == 0) {
        if (!groupRow)
            return; // user rows have no menu
        const AccessBoard::Line &line = m_boardData.row(row);
        m_mrhTitle->setText(tr("User Group") + QStringLiteral(": ") +
                            menuText(line.name.trimmed()));
        m_mrhTitle->setCheckable(true);
        m_mrhTitle->setChecked(isGroupExpanded(line.name));
        popup(m_rowHeadMenu);
    } else {
        m_cellMenu->clear();
        const AccessBoard::Line &r = m_boardData.row(row);
        const AccessBoard::Line &c = m_boardData.column(column);
        addTitleAction(m_cellMenu, r.isHead ? tr("User Group") : tr("User"), r.name, r.isHead,
                       r.isHead && isGroupExpanded(r.name))
            ->setData(-2);
        addTitleAction(m_cellMenu, c.isHead ? tr("Area") : tr("Entry"), c.name, c.isHead,
                       c.isHead && isAreaExpanded(c.name))
            ->setData(-1);
        m_cellMenu->addSeparator();
        if (!r.isHead && !c.isHead) {
            m_cellMenu->addAction(tr("Why…?"))->setData(WhyCellData);
            m_cellMenu->addAction(tr("History of this right…"))->setData(HistoryCellData);
        }
        m_cellMenu->addAction(tr("Remove Time Model"))->setData(0);
        m_cellMenu->addSeparator();
        QList<TimeModelRow> models;
        const QSqlError error = TimeModelRecords::listTags(m_databasePath, models);
        if (error.isValid())
            showDatabaseError(this, tr("DB times list"), error);
        // The model in force (or common to all members) is checked.
        const QString inForce = m_boardData.textAt(row, column);
        for (const TimeModelRow &m : qAsConst(models)) {
            QAction *set = m_cellMenu->addAction(
                tr("Set Time Model %1 (%2)").arg(menuText(m.modelTag), menuText(m.modelName)));
            set->setData(m.pkTimes);
            set->setCheckable(true);
            set->setChecked(!inForce.isEmpty() && inForce == m.modelTag);
        }
        popup(m_cellMenu);
    }
}

QAction *KelvaraMan::addTitleAction(QMenu *menu, const QString &kind, const QString &name,
                                    bool isGroup, bool expanded)
{
    QAction *title = menu->addAction(kind + QStringLiteral(": ") + menuText(name.trimmed()));
    title->setFont(QFont(QStringLiteral("Helvetica"), 12, QFont::Bold));
    title->setEnabled(isGroup);
    title->setCheckable(isGroup);
    title->setChecked(isGroup && expanded);
    return title;
}

void KelvaraMan::popup(QMenu *menu)
{
    m_lastOpenedMenu = menu;
    // At the mouse, or at the current cell when the keyboard asked.
    const QPoint at = m_board->menuPosition();
    menu->popup(at.isNull() ? QCursor::pos() : at);
}

void KelvaraMan::mtiChangeTimeModel(QAction *action)
{
    const int data = action->data().toInt();
    if (data == -2) {
        toggleGroup(m_clickedRow);
        return;
    }
    if (data == -1) {
        toggleArea(m_clickedColumn);
        return;
    }
    if (data == WhyCellData) {
        explainCell();
        return;
    }
    if (data == HistoryCellData) {
        KelvaraHistory::openForRight(m_databasePath, m_boardData, m_clickedRow, m_clickedColumn,
                                     this);
        return;
    }
    changeTimeModel(data);
}

void KelvaraMan::m00hColapseAll()
{
    setAllExpanded(false);
}

void KelvaraMan::m00hExpandAll()
{
    setAllExpanded(true);
}

void KelvaraMan::mchDoorArea()
{
    toggleArea(m_clickedColumn);
}

void KelvaraMan::mrhUserGroup()
{
    toggleGroup(m_clickedRow);
}

void KelvaraMan::mchRename()
{
    if (m_clickedColumn <= 0 || m_clickedColumn >= m_boardData.columnCount() ||
        !m_boardData.column(m_clickedColumn).isHead)
        return;
    const QString oldName = m_boardData.column(m_clickedColumn).name;
    const QString newName =
        KxDialogs::getText(this, tr("Rename Area"), tr("Enter a new area name"), oldName);
    if (newName.isEmpty() || !confirmMerge(newName, oldName, false))
        return;
    renameBoardHead(BoardRename::Area, oldName, newName);
}

void KelvaraMan::mrhRename()
{
    if (m_clickedRow <= 0 || m_clickedRow >= m_boardData.rowCount() ||
        !m_boardData.row(m_clickedRow).isHead)
        return;
    const QString oldName = m_boardData.row(m_clickedRow).name;
    const QString newName = KxDialogs::getText(this, tr("Rename User Group"),
                                               tr("Enter a new user group name"), oldName);
    if (newName.isEmpty() || !confirmMerge(newName, oldName, true))
        return;
    renameBoardHead(BoardRename::Group, oldName, newName);
}

void KelvaraMan::m00hOpenDataPath()
{
    if (m_databasePath.isEmpty())
        return;
    openPath(this, projectDataPath(m_settings.currentProjectPath));
}

void KelvaraMan::m00hOpenLogPath()
{
    if (m_databasePath.isEmpty())
        return;
    openPath(this, projectLogPath(m_settings.currentProjectPath));
}

QString KelvaraMan::clickedEntryFolderKey() const
{
    if (m_clickedColumn <= 0 || m_clickedColumn >= m_boardData.columnCount() ||
        m_boardData.column(m_clickedColumn).isHead)
        return QString();
    const AccessBoard::Line &column = m_boardData.column(m_clickedColumn);
    QHash<int, QString> keys;
    EntryRecords::folderKeys(m_databasePath, keys);
    return keys.value(column.key, safeFolderName(column.name));
}

void KelvaraMan::mchOpenDataPath()
{
    if (m_databasePath.isEmpty())
        return;
    const QString key = clickedEntryFolderKey();
    openEntryFolder(projectDataPath(m_settings.currentProjectPath),
                    !key.isNull() ? entryDataPath(m_settings.currentProjectPath, key)
                                  : projectDataPath(m_settings.currentProjectPath));
}

void KelvaraMan::mchOpenLogPath()
{
    if (m_databasePath.isEmpty())
        return;
    const QString key = clickedEntryFolderKey();
    openEntryFolder(projectLogPath(m_settings.currentProjectPath),
                    !key.isNull() ? entryLogPath(m_settings.currentProjectPath, key)
                                  : projectLogPath(m_settings.currentProjectPath));
}

void KelvaraMan::m00hHelp()
{
    QWhatsThis::showText(QCursor::pos(), accessBoardHelp(), this);
}

QString KelvaraMan::accessBoardHelp() const
{
    return tr("ACCESS-READER functions:\n"
              "A right click on a column head (an area or an entry) opens the reader functions: "
              "update, read back and import the access rights, read the event list.\n\n"
              "TIME MODELS:\n"
              "A right click on a cell sets or removes the time model that lets the user pass "
              "the entry. On a yellow group cell it applies to every member of the user group "
              "and the area.\n\n"
              "COLLAPSE AND EXPAND:\n"
              "A double click on a yellow group cell collapses or expands the group or area; a "
              "double click on the corner collapses or expands all of them.\n\n"
              "SCROLLING:\n"
              "Drag the table with the left mouse button, or use the sliders and the wheel.") +
           QStringLiteral("\n\n") +
           tr("KEYS:\n"
              "The arrow keys, Page Up/Down, Home and End move the current cell; Enter opens its "
              "menu, Space collapses or expands. Ctrl+F finds users, groups, entries and areas; "
              "Ctrl+Z and Ctrl+Shift+Z undo and redo changes of rights.\n\n"
              "LEGEND:\n"
              "'Help' -> 'Access Board Legend' explains the colours and marks of the board.");
}

void KelvaraMan::importUserList()
{
    const QString title = tr("Import User List from File");
    if (!requireProject(title))
        return;
    const QString file =
        KxDialogs::getOpenFileName(this, title, QDir::homePath(), QStringLiteral("*.csv"));
    if (file.isEmpty())
        return;
    m_users->openImport(file);
    enterUsers();
}

void KelvaraMan::exportUserList()
{
    const QString title = tr("Export User List to File");
    if (!requireProject(title))
        return;
    QString file =
        KxDialogs::getSaveFileName(this, title, QDir::homePath(), QStringLiteral("*.csv"));
    if (file.isEmpty())
        return;
    if (!file.endsWith(QLatin1String(".csv"))) {
        file += QLatin1String(".csv");
        // The save dialog asked about the name it was given, not this one.
        if (QFileInfo::exists(file) &&
            KxMessageBox::question(this, title,
                                   tr("The file '%1' already exists.\nDo you want to replace it?")
                                       .arg(QDir::toNativeSeparators(file))) != QMessageBox::Yes)
            return;
    }
    MyExportUsers out(file);
    int count = 0;
    QSqlError error;
    {
        KxWaitCursor wait;
        error = out.exportUsers(m_databasePath, count);
    }
    if (error.isValid())
        showDatabaseError(this, title, error);
    else if (count == -1)
        KxMessageBox::critical(this, title,
                               tr("The user list could not be written to the file '%1'.")
                                   .arg(QDir::toNativeSeparators(file)));
    else
        KxMessageBox::information(this, title, tr("%1 user entries exported to file").arg(count));
}

// The open project (if any) tells the dialog which readers are entries' access
// readers and how the short-range programmer must read.
void KelvaraMan::generalSettings()
{
    KelvaraGeneralSettingsDialog::run(this, m_settings, m_params, m_databasePath);
}
void KelvaraMan::projectSettings(bool isNewProject)
{
    if (!requireProject(isNewProject ? tr("New Project Settings") : tr("Project Settings")))
        return;
    // The dialog saves into the open project's parameters; the board then
    // shows the technologies and the entries it marked.
    if (KelvaraProjectSettingsDialog::run(this, m_settings, m_params, isNewProject))
        enterTabKelvara();
}

void KelvaraMan::showView(QWidget *shown)
{
    // The board frame and the views share the area below the tool bar: one at a time.
    QWidget *area = shown->parentWidget();
    for (QWidget *view : area->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (view != shown)
            view->hide();
    }
    shown->show();
}

// The lists' own show() selects a row and gives the list the keyboard.
void KelvaraMan::enterUsers()
{
    m_users->buildList();
    showView(m_users);
    m_users->show();
}
void KelvaraMan::enterDoors()
{
    m_doors->buildList();
    showView(m_doors);
    m_doors->show();
}

// ---------------------------------------------------------------- reader functions

void KelvaraMan::runReaderFunction(int function, const EntrySelection &selection,
                                   const QString &scopeName)
{
    if (!requireProject(KelvaraFunctionDialog::functionTitle(function)))
        return;
    {
        KelvaraFunctionDialog dialog(m_params, m_settings, m_flashDrive, function, selection,
                                     scopeName, this);
        dialog.exec();
    }
    // Cleared or set marks and imported users show on the board.
    if (function == KelvaraFunctionDialog::UpdateAccess ||
        function == KelvaraFunctionDialog::ImportTransponder ||
        function == KelvaraFunctionDialog::VerifyReader)
        buildBoard();
}

bool KelvaraMan::clickedColumnScope(bool onlyPendingForArea, EntrySelection &selection,
                                    QString &scopeName) const
{
    if (m_clickedColumn <= 0 || m_clickedColumn >= m_boardData.columnCount())
        return false;
    const AccessBoard::Line &line = m_boardData.column(m_clickedColumn);
    scopeName = line.name.trimmed();
    selection = line.isHead ? EntrySelection::area(line.name, onlyPendingForArea)
                            : EntrySelection::entries({line.key});
    return true;
}

void KelvaraMan::readerClockSync()
{
    runReaderFunction(KelvaraFunctionDialog::SetDateTime, EntrySelection::allEntries());
}

void KelvaraMan::updateAllAccessConfig()
{
    runReaderFunction(KelvaraFunctionDialog::UpdateAccess, EntrySelection::allEntries(true));
}

void KelvaraMan::readerReconfigHf()
{
    runReaderFunction(KelvaraFunctionDialog::WriteConfig, EntrySelection::shortRange());
}

void KelvaraMan::readerReconfigUhf()
{
    runReaderFunction(KelvaraFunctionDialog::WriteConfig, EntrySelection::longRange());
}

void KelvaraMan::readerReconfigAll()
{
    runReaderFunction(KelvaraFunctionDialog::WriteConfig, EntrySelection::allEntries());
}

void KelvaraMan::m00hReadEventList()
{
    runReaderFunction(KelvaraFunctionDialog::ReadEvents, EntrySelection::allEntries());
}

void KelvaraMan::mchUpdateAccessConfig()
{
    EntrySelection selection;
    QString name;
    if (clickedColumnScope(true, selection, name))
        runReaderFunction(KelvaraFunctionDialog::UpdateAccess, selection, name);
}

void KelvaraMan::mchReadAccessConfig()
{
    EntrySelection selection;
    QString name;
    if (clickedColumnScope(false, selection, name) && selection.scope() == EntrySelection::Entries)
        runReaderFunction(KelvaraFunctionDialog::ReadAccess, selection, name);
}

void KelvaraMan::mchImportTeachIn()
{
    EntrySelection selection;
    QString name;
    if (clickedColumnScope(false, selection, name) && selection.scope() == EntrySelection::Entries)
        runReaderFunction(KelvaraFunctionDialog::ImportTransponder, selection, name);
}

void KelvaraMan::mchReadEventList()
{
    EntrySelection selection;
    QString name;
    if (clickedColumnScope(false, selection, name))
        runReaderFunction(KelvaraFunctionDialog::ReadEvents, selection, name);
}

void KelvaraMan::m00hVerifyReader()
{
    runReaderFunction(KelvaraFunctionDialog::VerifyReader, EntrySelection::allEntries());
}

void KelvaraMan::mchVerifyReader()
{
    EntrySelection selection;
    QString name;
    if (clickedColumnScope(false, selection, name))
        runReaderFunction(KelvaraFunctionDialog::VerifyReader, selection, name);
}

void KelvaraMan::enterTabKelvara()
{
    showView(m_boardFrame);
    buildBoard();
}

void KelvaraMan::enterTimes()
{
    m_times->setDatabasePath(m_databasePath);
    m_times->buildList();
    showView(m_times);
}

// ---------------------------------------------------------------- help

void KelvaraMan::setHelp(bool on)
{
    m_settings.areToolTipsOn = on;
    if (m_tooltipsAction->isChecked() != on)
        m_tooltipsAction->setChecked(on);
    m_board->setToolTip(QString());
    m_board->setWhatsThis(accessBoardHelp());
    m_times->setHelp(on);
    m_users->setHelp(on);
    m_doors->setHelp(on);
    for (const auto &tool : qAsConst(m_toolButtons)) {
        tool.first->setWhatsThis(tool.second);
        tool.first->setToolTip(on ? tool.second : QString());
    }
}

void KelvaraMan::helpHelp()
{
    QWhatsThis::showText(mapToGlobal(QPoint(100, 100)),
                         tr("HELP:\n"
                            "'Help' -> 'Tooltips' switches the short tips that appear when the "
                            "mouse rests on a button.\n\n"
                            "The '?' in the menu bar (or the F1 key) starts the help mode: click "
                            "any part of a window to read what it does."),
                         this);
}

void KelvaraMan::helpHowToUse()
{
    QWhatsThis::showText(
        mapToGlobal(QPoint(100, 100)),
        tr("HOW TO USE KELVARA-MANAGER:\n"
           "1. Create a new project ('File' -> 'New Project').\n"
           "2. Add the users with their transponders and the entries with their readers.\n"
           "3. Define time models of up to 8 weekly periods.\n"
           "4. Set the rights on the access board: right click a cell and choose a time model.\n"
           "5. Send the rights to the readers with 'Update Access Rights'.\n"
           "6. 'Read Event List' brings the readers' events into the project's data folder."),
        this);
}

void KelvaraMan::helpQuickStart()
{
    openFile(this, QStringLiteral("%1/%2").arg(manualPath(), m_manualFile));
}

void KelvaraMan::helpFwVersions()
{
    using namespace ReaderTypes;
    KxMessageBox::information(this, tr("Required Minimum Firmware Versions"),
                              QStringLiteral("V%1 : %2\nV%3 : %4\nV%5 : %6")
                                  .arg(QStringLiteral("02.08.00"), readerTypeName(TZ60),
                                       QStringLiteral("02.00.00"), readerTypeName(TZU700),
                                       QStringLiteral("01.01.00"), readerTypeName(TZU300)));
}

void KelvaraMan::enterWhatsThisMode()
{
    QWhatsThis::enterWhatsThisMode();
}

// ---------------------------------------------------------------- window events

void KelvaraMan::closeEvent(QCloseEvent *event)
{
    if (!m_settings.currentProjectPath.isEmpty())
        ProjectFiles::cleanUpProjectFiles(
            QDir::fromNativeSeparators(m_settings.currentProjectPath));
    event->accept();
}

void KelvaraMan::keyPressEvent(QKeyEvent *event)
{
    if (handleHelpKey(event))
        return;
    if (event->key() == Qt::Key_Escape && m_findBar->isVisible()) {
        m_findBar->dismiss(); // shows the whole board again
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F12 && event->modifiers() == Qt::AltModifier) {
        QStringList lines;
        for (const QString &language : QLocale::system().uiLanguages())
            lines << QStringLiteral("    ") + language;
        KxMessageBox::information(this, tr("System Languages"), lines.join(QLatin1Char('\n')));
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void KelvaraMan::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_logo) {
        const int y = qMax(0, (menuBar()->height() + m_toolBar->height() - m_logo->height()) / 2);
        m_logo->move(width() - m_logo->width() - 4, y);
        m_logo->raise();
    }
}
