#include "app/kelvaraman.h"
#include "kxversion.h"

#include "app/boardfind.h"
#include "app/boardhistory.h"
#include "app/boardmenus.h"
#include "app/boardpresenter.h"
#include "app/projectactions.h"
#include "core/paths.h"
#include "core/projectfiles.h"
#include "core/windowplacement.h"
#include "db/projectdatabase.h"
#include "reader/readertypes.h"
#include "userlist/myexportusers.h"
#include "views/board/kelvaraboardlegend.h"
#include "views/functions/kelvarafunctiondialog.h"
#include "views/lists/kelvaradoors.h"
#include "views/lists/kelvaraevents.h"
#include "views/lists/kelvarahistory.h"
#include "views/lists/kelvaratimes.h"
#include "views/lists/kelvarausers.h"
#include "views/settings/kelvarageneralsettingsdialog.h"
#include "views/settings/kelvaraprojectsettingsdialog.h"
#include "widgets/guimessages.h"
#include "widgets/kxdialogs.h"
#include "widgets/kxfindbar.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxtablewidget.h"
#include "widgets/kxwaitcursor.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThis>

KelvaraMan::KelvaraMan(QWidget *parent) : QMainWindow(parent)
{
    setMinimumSize(600, 400);
    m_project = new ProjectActions(m_context, this);
    connect(m_project, &ProjectActions::opened, this, &KelvaraMan::projectOpened);
    connect(m_project, &ProjectActions::newProjectSettingsWanted, this,
            [this] { projectSettings(true); });
    connect(m_project, &ProjectActions::generalSettingsWanted, this, &KelvaraMan::generalSettings);
    createMenus();
    createToolBar();
    createBoard();
    m_history = new BoardHistory(m_context, *m_presenter, this);
    m_history->setActions(m_undoAction, m_redoAction);
    connect(m_history, &BoardHistory::rebuildRequested, this, &KelvaraMan::buildBoard);
    m_menus = new BoardMenus(m_context, *m_presenter, *m_history, *this);
    m_find =
        new BoardFind(m_context, *m_presenter, qobject_cast<QVBoxLayout *>(m_boardFrame->layout()));
    connect(m_find, &BoardFind::barWanted, this, &KelvaraMan::showFindBar);
    m_presenter->createStatusLabel();
    m_kindLabel = new QLabel(this);
    statusBar()->addPermanentWidget(m_kindLabel);
    m_watch = new ServerWatch(this);
    connect(m_watch, &ServerWatch::changed, this, &KelvaraMan::followServerChange);
    connect(m_watch, &ServerWatch::connectionLost, this,
            [this](const QString &text) { statusBar()->showMessage(text); });
    connect(m_watch, &ServerWatch::gaveUp, this,
            [this](const QString &text) { statusBar()->showMessage(text); });
    connect(m_watch, &ServerWatch::connectionRestored, this,
            [this] { statusBar()->showMessage(tr("Connected to the server again."), 5000); });

    m_context.settings.loadSettings();
    // The views share the area below the tool bar with the board frame.
    m_times = new KelvaraTimes(m_context.settings, centralWidget());
    m_times->hide();
    centralWidget()->layout()->addWidget(m_times);
    connect(m_times, &KelvaraTimes::changed, this, &KelvaraMan::buildBoard);
    createUsersView();
    m_doors = new KelvaraDoors(m_context.settings, m_context.params, m_context.flashDrive,
                               centralWidget());
    m_doors->hide();
    centralWidget()->layout()->addWidget(m_doors);
    connect(m_doors, &KelvaraDoors::doorsChanged, this, [this] {
        if (m_boardFrame->isVisible())
            buildBoard();
        else
            m_presenter->updateStatusBar();
    });
    m_events = new KelvaraEvents(m_context.settings, m_context.params, centralWidget());
    m_events->hide();
    centralWidget()->layout()->addWidget(m_events);
    connect(m_events, &KelvaraEvents::showOnBoard, this, &KelvaraMan::showBoardCell);
    connect(m_events, &KelvaraEvents::openUser, this, &KelvaraMan::showUser);
    m_tooltipsAction->setChecked(m_context.settings.areToolTipsOn);
    const SchemaVersion::State lastProject = m_project->takeLastProject();
    // A folder standing in for the USB flash drive (simulated sites, trials).
    const QString drive = qEnvironmentVariable("KX_FLASH_DRIVE");
    if (!drive.isEmpty() && QFileInfo(drive).isDir())
        m_context.flashDrive.setDrivePath(
            QDir::toNativeSeparators(QFileInfo(drive).absoluteFilePath()));
    setHelp(m_context.settings.areToolTipsOn);
    enterTabKelvara();
    placeWindows();
    QTimer::singleShot(100, this, &KelvaraMan::firstStartCheck);
    m_watch->follow(m_context.databasePath);
    // The last project at another schema version is offered its upgrade (or
    // refused) once the window shows, not opened behind the user's back; a
    // server project that did not answer or wants a password signs in then.
    const bool serverLater = lastProject != SchemaVersion::State::Current &&
                             ProjectDatabase::isServerProject(
                                 QDir::fromNativeSeparators(m_context.settings.currentProjectPath));
    if (lastProject == SchemaVersion::State::Older || lastProject == SchemaVersion::State::Newer ||
        lastProject == SchemaVersion::State::Invalid || serverLater) {
        const QString folder = m_context.settings.currentProjectPath;
        QTimer::singleShot(100, this, [this, folder] { openProjectFolder(folder); });
    }
}

KelvaraMan::~KelvaraMan()
{
    m_context.settings.isMaximized = isMaximized();
    if (!isMaximized())
        m_context.settings.mainWindowGeometry = geometry();
    m_context.settings.saveSettings();
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

void KelvaraMan::createMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&New Project"), this, &KelvaraMan::newProject)
        ->setShortcut(QKeySequence::New);
    file->addAction(tr("New &Server Project…"), this, &KelvaraMan::newServerProject);
    file->addAction(tr("&Open Project"), this, &KelvaraMan::openProject)
        ->setShortcut(QKeySequence::Open);
    m_project->setRecentMenu(file->addMenu(tr("Open Recen&t Project")));
    file->addAction(tr("&Rename Project"), this, &KelvaraMan::renameProject);
    file->addSeparator();
    file->addAction(tr("&Create Project Backup"), this, &KelvaraMan::createProjectBackup);
    file->addAction(tr("&Restore Project Backup"), this, &KelvaraMan::restoreProjectBackup);
    file->addSeparator();
    m_importAction = file->addAction(tr("I&mport User List"), this, &KelvaraMan::importUserList);
    file->addAction(tr("E&xport User List"), this, &KelvaraMan::exportUserList);
    file->addSeparator();
    file->addAction(tr("History of &Changes…"), this, [this] {
        if (!m_context.databasePath.isEmpty())
            KelvaraHistory::open(m_context.databasePath, {}, {}, this);
    });
    file->addSeparator();
    file->addAction(tr("&End"), this, &QWidget::close)->setShortcut(QKeySequence::Quit);
    createEditMenu();

    // The views of the tool bar, also by keyboard: Ctrl+1 for the first.
    QMenu *view = menuBar()->addMenu(tr("&View"));
    const QList<QPair<QString, void (KelvaraMan::*)()>> views = {
        {tr("Access &Board"), &KelvaraMan::enterTabKelvara},
        {tr("&Users"), &KelvaraMan::enterUsers},
        {tr("&Entries"), &KelvaraMan::enterDoors},
        {tr("&Time Models"), &KelvaraMan::enterTimes},
        {tr("E&vent Log"), &KelvaraMan::enterEvents}};
    for (int i = 0; i < views.size(); ++i)
        m_viewActions << view->addAction(views.at(i).first, this, views.at(i).second,
                                         QKeySequence(Qt::CTRL | (Qt::Key_1 + i)));

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
        settings->addAction(tr("Reconfigure &Short Range Reader"), this,
                            &KelvaraMan::readerReconfigHf),
        settings->addAction(tr("Reconfigure &Long Range Reader"), this,
                            &KelvaraMan::readerReconfigUhf),
        settings->addAction(tr("&Reconfigure All Readers"), this, &KelvaraMan::readerReconfigAll)};
    // Writing the readers' configuration belongs with the entries' settings.
    m_functionActions = {readerFunctions.at(0), readerFunctions.at(2)};
    m_configureActions = readerFunctions.mid(4);
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
        {":/events-48.png", tr("Event Log"), &KelvaraMan::enterEvents, true},
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
    m_presenter = new BoardPresenter(m_context, m_board, m_boardFrame, this);
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
    m_users = new KelvaraUsers(m_context.settings, m_context.params, area);
    area->layout()->addWidget(m_users);
    m_users->hide();
    m_users->setGeneralSettingsAction(m_generalSettingsAction);
    connect(m_users, &KelvaraUsers::usersChanged, this, [this] {
        // A hidden board is rebuilt when it is shown again; the counts below
        // it are true at once.
        if (m_boardFrame->isVisible())
            buildBoard();
        else
            m_presenter->updateStatusBar();
    });
}

void KelvaraMan::updateWindowTitle()
{
    QString title = tr("Kelvara Manager (V%1) by KORVEX ::: Project Path = ").arg(versionText());
    if (m_context.settings.currentProjectPath.isEmpty()) {
        title += tr("undefined");
    } else {
        title += QLatin1Char('\'') +
                 QDir::toNativeSeparators(m_context.settings.currentProjectPath) +
                 QLatin1Char('\'');
        if (m_context.databasePath.isEmpty())
            title += tr(" (invalid)");
        else if (m_context.isServer())
            title += tr(" — server %1").arg(m_context.server);
    }
    setWindowTitle(title);
}

QString KelvaraMan::projectKindText() const
{
    if (m_context.databasePath.isEmpty())
        return QString();
    if (!m_context.isServer())
        return tr("Folder project");
    return tr("Server project: %1 (%2)")
        .arg(m_context.server, RolePermissions::roleText(m_context.permissions.role()));
}

void KelvaraMan::applyPermissions()
{
    using Action = RolePermissions::Action;
    const RolePermissions &p = m_context.permissions;
    m_kindLabel->setText(projectKindText());
    RolePermissions::markRefused(m_projectSettingsAction, p.whyNot(Action::ChangeSettings));
    RolePermissions::markRefused(m_importAction, p.whyNot(Action::ChangeUsers));
    for (QAction *a : qAsConst(m_functionActions))
        RolePermissions::markRefused(a, p.whyNot(Action::RunFunctions));
    for (QAction *a : qAsConst(m_configureActions))
        RolePermissions::markRefused(a, p.whyNot(Action::ChangeEntries));
    // The tool bar's update button, after the five views.
    if (m_toolButtons.size() > 5)
        RolePermissions::markRefused(m_toolButtons.last().first, p.whyNot(Action::RunFunctions));
    m_users->setChangesRefused(p.whyNot(Action::ChangeUsers));
    if (auto *readIdd = m_users->findChild<QPushButton *>(QStringLiteral("readIdd")))
        RolePermissions::markRefused(readIdd, p.whyNot(Action::ChangeUsers));
    m_doors->setChangesRefused(p.whyNot(Action::ChangeEntries));
    m_times->setChangesRefused(p.whyNot(Action::ChangeTimeModels));
}

void KelvaraMan::followServerChange()
{
    if (m_context.databasePath.isEmpty())
        return;
    // A dialog of this window works on what it shows: the views follow
    // once it is closed.
    if (QApplication::activeModalWidget()) {
        if (!m_followLater) {
            m_followLater = true;
            QTimer::singleShot(500, this, [this] {
                m_followLater = false;
                followServerChange();
            });
        }
        return;
    }
    if (m_boardFrame->isVisible()) {
        m_presenter->rebuildInPlace();
        return;
    }
    m_presenter->updateStatusBar();
    for (QTableWidget *table : {m_users->table(), m_doors->table(), m_times->table()}) {
        QWidget *view = table->parentWidget();
        while (view && view != m_users && view != m_doors && view != m_times)
            view = view->parentWidget();
        if (!view || !view->isVisible())
            continue;
        const int row = table->currentRow();
        const int column = table->currentColumn();
        if (view == m_users)
            m_users->buildList();
        else if (view == m_doors)
            m_doors->buildList();
        else
            m_times->buildList();
        if (row >= 0 && row < table->rowCount())
            table->setCurrentCell(row, qMax(column, 0));
    }
    if (m_events->isVisible())
        m_events->buildList();
}

void KelvaraMan::buildBoard()
{
    updateWindowTitle();
    // Without a project the folders would be taken from an empty path.
    m_menus->setProjectOpen(!m_context.databasePath.isEmpty());
    applyPermissions();
    m_presenter->build();
}

void KelvaraMan::projectOpened()
{
    // A crash or a forced logout later keeps the project and the recent list.
    storeSettings();
    m_users->closeImport();
    m_history->clear();
    m_presenter->forgetCurrentCell();
    m_find->dismiss();
    m_presenter->scrollHome();
    m_watch->follow(m_context.databasePath);
    enterTabKelvara();
}

void KelvaraMan::placeWindows()
{
    setGeometry(m_context.settings.mainWindowGeometry);
    if (m_context.settings.isMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        WindowPlacement::fitDialogRects(m_context.settings, screen->availableGeometry());
}

void KelvaraMan::importUserList()
{
    const QString title = tr("Import User List from File");
    if (!m_project->requireProject(title) ||
        !m_context.permissions.may(RolePermissions::Action::ChangeUsers))
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
    if (!m_project->requireProject(title))
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
        error = out.exportUsers(m_context.databasePath, count);
    }
    if (error.isValid())
        showDatabaseError(this, title, error);
    else if (count == -1)
        KxMessageBox::critical(this, title,
                               tr("The user list could not be written to the file '%1'.")
                                   .arg(QDir::toNativeSeparators(file)));
    else
        KxMessageBox::information(this, title,
                                  tr("%n user entries exported to file", nullptr, count));
}

// The open project (if any) tells the dialog which readers are entries' access
// readers and how the short-range programmer must read.
void KelvaraMan::generalSettings()
{
    if (KelvaraGeneralSettingsDialog::run(this, m_context.settings, m_context.params,
                                          m_context.databasePath))
        storeSettings();
}

// Settings reach the file when they are confirmed, not only when the window
// closes cleanly (QSettings replaces the file as a whole).
void KelvaraMan::storeSettings()
{
    if (!m_context.settings.saveSettings())
        statusBar()->showMessage(tr("The settings could not be written to %1.")
                                     .arg(QDir::toNativeSeparators(settingsFilePath())));
}
void KelvaraMan::projectSettings(bool isNewProject)
{
    if (!m_project->requireProject(isNewProject ? tr("New Project Settings")
                                                : tr("Project Settings")) ||
        !m_context.permissions.may(RolePermissions::Action::ChangeSettings))
        return;
    // The dialog saves into the open project's parameters; the board then
    // shows the technologies and the entries it marked.
    if (KelvaraProjectSettingsDialog::run(this, m_context.settings, m_context.params,
                                          isNewProject)) {
        storeSettings();
        enterTabKelvara();
    }
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

// A list shown selects a row and gives the table the keyboard.
void KelvaraMan::enterUsers()
{
    m_users->buildList();
    showView(m_users);
}

void KelvaraMan::enterDoors()
{
    m_doors->buildList();
    showView(m_doors);
}

void KelvaraMan::runReaderFunction(int function, const EntrySelection &selection,
                                   const QString &scopeName)
{
    if (!m_project->requireProject(KelvaraFunctionDialog::functionTitle(function)) ||
        !m_context.permissions.may(RolePermissions::Action::RunFunctions) ||
        (function == KelvaraFunctionDialog::WriteConfig &&
         !m_context.permissions.may(RolePermissions::Action::ChangeEntries)))
        return;
    {
        KelvaraFunctionDialog dialog(m_context.params, m_context.settings, m_context.flashDrive,
                                     function, selection, scopeName, this);
        // An update clears marks while the dialog stays open.
        connect(&dialog, &KelvaraFunctionDialog::runFinished, m_presenter,
                &BoardPresenter::updateStatusBar);
        dialog.exec();
    }
    // Cleared or set marks and imported users show on the board.
    if (function == KelvaraFunctionDialog::UpdateAccess ||
        function == KelvaraFunctionDialog::ImportTransponder ||
        function == KelvaraFunctionDialog::VerifyReader)
        buildBoard();
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
    if (m_menus->clickedColumnScope(true, selection, name))
        runReaderFunction(KelvaraFunctionDialog::UpdateAccess, selection, name);
}

void KelvaraMan::mchReadAccessConfig()
{
    EntrySelection selection;
    QString name;
    if (m_menus->clickedColumnScope(false, selection, name) &&
        selection.scope() == EntrySelection::Entries)
        runReaderFunction(KelvaraFunctionDialog::ReadAccess, selection, name);
}

void KelvaraMan::mchImportTeachIn()
{
    EntrySelection selection;
    QString name;
    if (m_menus->clickedColumnScope(false, selection, name) &&
        selection.scope() == EntrySelection::Entries)
        runReaderFunction(KelvaraFunctionDialog::ImportTransponder, selection, name);
}

void KelvaraMan::mchReadEventList()
{
    EntrySelection selection;
    QString name;
    if (m_menus->clickedColumnScope(false, selection, name))
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
    if (m_menus->clickedColumnScope(false, selection, name))
        runReaderFunction(KelvaraFunctionDialog::VerifyReader, selection, name);
}

void KelvaraMan::enterTabKelvara()
{
    showView(m_boardFrame);
    buildBoard();
}

void KelvaraMan::enterEvents()
{
    if (!m_project->requireProject(tr("Event Log")))
        return;
    m_events->buildList();
    showView(m_events);
    m_events->table()->setFocus();
}

void KelvaraMan::showBoardCell(int pkUsers, int pkDoors)
{
    enterTabKelvara();
    const int row = boardData().rowOfUser(pkUsers);
    const int column = boardData().columnOfEntry(pkDoors);
    if (row > 0 && column > 0)
        m_find->revealCell(row, column);
}

void KelvaraMan::showUser(int pkUsers)
{
    enterUsers();
    m_users->selectUserKey(pkUsers);
}

void KelvaraMan::enterTimes()
{
    m_times->setDatabasePath(m_context.databasePath);
    m_times->buildList();
    showView(m_times);
}

void KelvaraMan::setHelp(bool on)
{
    m_context.settings.areToolTipsOn = on;
    if (m_tooltipsAction->isChecked() != on)
        m_tooltipsAction->setChecked(on);
    m_board->setToolTip(QString());
    m_board->setWhatsThis(BoardMenus::boardHelp());
    m_times->setHelp(on);
    m_users->setHelp(on);
    m_doors->setHelp(on);
    m_events->setHelp(on);
    for (int i = 0; i < m_toolButtons.size(); ++i) {
        const auto &tool = m_toolButtons.at(i);
        // The view buttons name their shortcut, as the View menu does.
        const QString shortcut =
            i < m_viewActions.size()
                ? QStringLiteral(" (%1)").arg(
                      m_viewActions.at(i)->shortcut().toString(QKeySequence::NativeText))
                : QString();
        tool.first->setWhatsThis(tool.second);
        tool.first->setToolTip(on ? tool.second + shortcut : QString());
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

void KelvaraMan::closeEvent(QCloseEvent *event)
{
    if (!m_context.settings.currentProjectPath.isEmpty())
        ProjectFiles::cleanUpProjectFiles(
            QDir::fromNativeSeparators(m_context.settings.currentProjectPath));
    event->accept();
}

void KelvaraMan::keyPressEvent(QKeyEvent *event)
{
    if (handleHelpKey(event))
        return;
    if (event->key() == Qt::Key_Escape && m_find->bar()->isVisible()) {
        m_find->bar()->dismiss(); // shows the whole board again
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

void KelvaraMan::createEditMenu()
{
    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    // Their texts and enabling follow the board history.
    m_undoAction = edit->addAction(QString(), this, &KelvaraMan::undoBoardChange);
    m_undoAction->setShortcut(QKeySequence::Undo);
    m_redoAction = edit->addAction(QString(), this, &KelvaraMan::redoBoardChange);
    m_redoAction->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    edit->addSeparator();
    QAction *find =
        edit->addAction(tr("&Find on the Access Board"), this, &KelvaraMan::showFindBar);
    find->setShortcut(QKeySequence::Find);
    QAction *next = edit->addAction(tr("Find &Next"), this, &KelvaraMan::findNext);
    next->setShortcut(QKeySequence::FindNext);
    QAction *previous = edit->addAction(tr("Find &Previous"), this, &KelvaraMan::findPrevious);
    previous->setShortcut(QKeySequence::FindPrevious);
}

void KelvaraMan::showLegend()
{
    auto *legend = findChild<KelvaraBoardLegend *>();
    if (!legend) {
        legend = new KelvaraBoardLegend(this);
        legend->setAttribute(Qt::WA_DeleteOnClose);
    }
    legend->show();
    legend->raise();
    legend->activateWindow();
}

void KelvaraMan::showFindBar()
{
    enterTabKelvara();
    m_find->activate();
}
