#include "app/kelvaraman.h"
#include "core/applicationsettings.h"
#include "db/accessrights.h"
#include "db/projectdatabase.h"
#include "db/serverconnection.h"
#include "support/testsupport.h"
#include "views/lists/kelvaradoors.h"
#include "views/lists/kelvaratimes.h"
#include "views/lists/kelvarausers.h"
#include "views/project/kelvaranewserverprojectdialog.h"
#include "views/project/serversignin.h"
#include "views/settings/kelvaraprojectsettingsdialog.h"
#include "widgets/kxdialogs.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxtablewidget.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <memory>

// The window on a server project: sign-in, its kind in title and status bar,
// what the signed-in role may do, and following other workstations' changes.
class TestServerProject : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void signInAsksForThePassword_data();
    void signInAsksForThePassword();
    void cancelledSignInOpensNothing();
    void titleAndStatusShowTheKind_data();
    void titleAndStatusShowTheKind();
    void roleDisablesWhatItMayNotDo_data();
    void roleDisablesWhatItMayNotDo();
    void refusedChangeSaysPermissionDenied();
    void otherWorkstationsChangeShows();
    void listFollowsOtherWorkstations();
    void droppedListenerConnectsAgain();
    void newServerProject_data();
    void newServerProject();

private:
    struct Box
    {
        QMessageBox::Icon icon;
        QString text;
    };
    std::unique_ptr<KelvaraMan> openWindow(const QString &folder);
    // Users "User 1".. in groups of ten, entries "Door 1".. in areas of ten,
    // and the time model "D"; as the superuser, beside any grant.
    static bool fill(const QString &databasePath, int users, int entries);
    static int key(const QString &databasePath, const QString &statement);

    QList<Box> m_boxes;
    QMessageBox::StandardButton m_answer = QMessageBox::Yes;
    QStringList m_passwords; // answers to the password prompts, in order
    int m_prompts = 0;
};

void TestServerProject::init()
{
    m_boxes.clear();
    m_answer = QMessageBox::Yes;
    m_prompts = 0;
    KxMessageBox::setAnswerer([this](QMessageBox::Icon icon, const QString &, const QString &text) {
        m_boxes.append({icon, text});
        return icon == QMessageBox::Question ? m_answer : QMessageBox::Ok;
    });
    KelvaraProjectSettingsDialog::setAnswerer(
        [](KelvaraProjectSettingsDialog *) { return int(QDialog::Rejected); });
    KxDialogs::setAnswerer(
        [this](KxDialogs::Kind kind, const QString &, const QString &, const QString &) {
            if (kind != KxDialogs::Password)
                return QString();
            ++m_prompts;
            return m_passwords.isEmpty() ? QString() : m_passwords.takeFirst();
        });
}

void TestServerProject::cleanup()
{
    KxMessageBox::setAnswerer(nullptr);
    KxDialogs::setAnswerer(nullptr);
    ServerSignIn::setAttemptForTest(nullptr);
    KelvaraNewServerProjectDialog::setAnswerer(nullptr);
    KelvaraProjectSettingsDialog::setAnswerer(nullptr);
    ServerConnection::setSessionPassword(QString());
}

std::unique_ptr<KelvaraMan> TestServerProject::openWindow(const QString &folder)
{
    ApplicationSettings s;
    s.currentProjectPath = folder;
    s.isMaximized = false;
    s.mainWindowGeometry = QRect(0, 0, 900, 600);
    s.saveSettings();
    auto w = std::make_unique<KelvaraMan>();
    w->resize(900, 600);
    w->show();
    return w;
}

bool TestServerProject::fill(const QString &databasePath, int users, int entries)
{
    ProjectDatabase db(databasePath);
    if (!db.open())
        return false;
    QSqlQuery q = db.query();
    for (int i = 1; i <= users; ++i) {
        if (!ProjectDatabase::exec(
                q,
                QStringLiteral("insert into users (familyName,firstName,groupName) values (?,?,?)"),
                {QStringLiteral("User %1").arg(i), QStringLiteral("F"),
                 QStringLiteral("Group %1").arg((i - 1) / 10)}))
            return false;
    }
    for (int i = 1; i <= entries; ++i) {
        if (!ProjectDatabase::exec(
                q,
                QStringLiteral("insert into doors (doorName,areaName,needsUpdate) values (?,?,0)"),
                {QStringLiteral("Door %1").arg(i), QStringLiteral("Area %1").arg((i - 1) / 10)}))
            return false;
    }
    return ProjectDatabase::exec(
        q, QStringLiteral("insert into times (modelName,modelTag,modelDefinition) values (?,?,?)"),
        {QStringLiteral("Day"), QStringLiteral("D"), QStringLiteral("mon-08:00-17:00")});
}

int TestServerProject::key(const QString &databasePath, const QString &statement)
{
    ProjectDatabase db(databasePath);
    QSqlQuery q = db.query();
    return db.open() && q.exec(statement) && q.next() ? q.value(0).toInt() : -1;
}

// ---------------------------------------------------------------- sign-in

void TestServerProject::signInAsksForThePassword_data()
{
    QTest::addColumn<int>("passwordRefusals"); // attempts refused for want of a password
    QTest::addColumn<bool>("unreachable");     // then the server does not answer
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("prompts");
    QTest::addColumn<QString>("password"); // the session password after
    const int in = int(ServerSignIn::Outcome::SignedIn);
    const int cancelled = int(ServerSignIn::Outcome::Cancelled);
    const int failed = int(ServerSignIn::Outcome::Failed);
    const QString before = QStringLiteral("before");
    QTest::newRow("no password wanted") << 0 << false << QStringList() << in << 0 << before;
    QTest::newRow("asked once") << 1 << false << QStringList{QStringLiteral("s3cret")} << in << 1
                                << QStringLiteral("s3cret");
    QTest::newRow("wrong, then right")
        << 2 << false << QStringList{QStringLiteral("typo"), QStringLiteral("s3cret")} << in << 2
        << QStringLiteral("s3cret");
    QTest::newRow("cancelled") << 1 << false << QStringList() << cancelled << 1 << before;
    QTest::newRow("guessing has an end")
        << 100 << false
        << QStringLiteral("guess ").repeated(10).split(QLatin1Char(' '), Qt::SkipEmptyParts)
        << failed << 5 << before;
    QTest::newRow("server does not answer") << 0 << true << QStringList() << failed << 0 << before;
}

void TestServerProject::signInAsksForThePassword()
{
    QFETCH(int, passwordRefusals);
    QFETCH(bool, unreachable);
    QFETCH(QStringList, answers);
    QFETCH(int, outcome);
    QFETCH(int, prompts);
    QFETCH(QString, password);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Plant.kxserver"));
    ServerConnection connection;
    connection.host = QStringLiteral("db.example");
    connection.database = QStringLiteral("plant");
    connection.user = QStringLiteral("anna");
    QVERIFY(connection.write(file, nullptr));
    ServerConnection::setSessionPassword(QStringLiteral("before"));
    m_passwords = answers;
    int attempts = 0;
    QStringList tried;
    ServerSignIn::setAttemptForTest([&](const QString &) {
        tried << ServerConnection::sessionPassword();
        if (attempts++ < passwordRefusals)
            return QSqlError(QStringLiteral("fe_sendauth: no password supplied"), QString(),
                             QSqlError::ConnectionError);
        if (unreachable)
            return QSqlError(QStringLiteral("could not connect to server: Connection refused"),
                             QString(), QSqlError::ConnectionError);
        return QSqlError();
    });
    QSqlError error;
    QCOMPARE(int(ServerSignIn::signIn(nullptr, file, &error)), outcome);
    QCOMPARE(m_prompts, prompts);
    QCOMPARE(ServerConnection::sessionPassword(), password);
    // Each answer was tried as it was typed.
    QCOMPARE(tried.mid(1, answers.size()), answers.mid(0, qMin(answers.size(), tried.size() - 1)));
    if (outcome == int(ServerSignIn::Outcome::Failed))
        QVERIFY(!ServerSignIn::failureText(file, error).isEmpty());
}

void TestServerProject::cancelledSignInOpensNothing()
{
    TestSupport::TempProject current(QStringLiteral("Current"), TestSupport::ProjectKind::Folder);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("North"));
    QVERIFY(QDir().mkpath(folder));
    ServerConnection connection;
    connection.host = QStringLiteral("db.example");
    connection.database = QStringLiteral("north");
    QVERIFY(connection.write(ServerConnection::filePathForProject(folder), nullptr));
    auto w = openWindow(current.folder());
    ServerSignIn::setAttemptForTest([](const QString &) {
        return QSqlError(QStringLiteral("fe_sendauth: no password supplied"), QString(),
                         QSqlError::ConnectionError);
    });
    QVERIFY(!w->openProjectFolder(folder));
    QCOMPARE(m_prompts, 1);
    QVERIFY(m_boxes.isEmpty());
    QCOMPARE(w->projectFolder(), QDir::toNativeSeparators(current.folder()));
    QCOMPARE(w->projectKindText(), QStringLiteral("Folder project"));
}

// ---------------------------------------------------------------- kind

void TestServerProject::titleAndStatusShowTheKind_data()
{
    QTest::addColumn<bool>("server");
    QTest::newRow("folder") << false;
    QTest::newRow("server") << true;
}

void TestServerProject::titleAndStatusShowTheKind()
{
    QFETCH(bool, server);
    if (server)
        KX_REQUIRE_SERVER();
    TestSupport::TempProject project(QStringLiteral("Plant"),
                                     server ? TestSupport::ProjectKind::Server
                                            : TestSupport::ProjectKind::Folder);
    QVERIFY(project.isValid());
    auto w = openWindow(project.folder());
    QCOMPARE(w->databasePath(), QDir::toNativeSeparators(project.databasePath()));
    if (!server) {
        QCOMPARE(w->projectKindText(), QStringLiteral("Folder project"));
        QVERIFY(!w->windowTitle().contains(QStringLiteral(" — server ")));
        return;
    }
    const ServerConnection c = ServerConnection::read(project.databasePath(), nullptr);
    const QString where = QStringLiteral("%1@%2:%3/%4")
                              .arg(qEnvironmentVariable("KX_TEST_PGUSER"), c.host)
                              .arg(c.port)
                              .arg(c.database);
    QCOMPARE(w->projectKindText(), QStringLiteral("Server project: %1 (administrator)").arg(where));
    QVERIFY2(w->windowTitle().endsWith(QStringLiteral(" — server ") + where),
             qPrintable(w->windowTitle()));
    QVERIFY(w->serverWatch()->isListening());
    QApplication::processEvents();
    w->grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/server-project-window.png"));
}

// ---------------------------------------------------------------- roles

void TestServerProject::roleDisablesWhatItMayNotDo_data()
{
    QTest::addColumn<QString>("role");
    QTest::addColumn<bool>("rights");    // time models in the cell menu, users view
    QTest::addColumn<bool>("admin");     // project settings, entries, time models
    QTest::addColumn<QString>("reason"); // status tip of a refused reader function
    QTest::newRow("viewer") << QStringLiteral("viewer") << false << false
                            << QStringLiteral("Your role (viewer) may not run reader functions.");
    QTest::newRow("operator") << QStringLiteral("operator") << true << false << QString();
    QTest::newRow("administrator") << QStringLiteral("administrator") << true << true << QString();
}

void TestServerProject::roleDisablesWhatItMayNotDo()
{
    QFETCH(QString, role);
    QFETCH(bool, rights);
    QFETCH(bool, admin);
    QFETCH(QString, reason);
    KX_REQUIRE_SERVER();
    TestSupport::TempProject project(QStringLiteral("Plant"), TestSupport::ProjectKind::Server);
    QVERIFY(project.isValid());
    QVERIFY(fill(project.databasePath(), 3, 3));
    const QString name =
        QStringLiteral("kx_%1_%2").arg(role).arg(QCoreApplication::applicationPid());
    QVERIFY(project.server()->addOperator(name, role));
    QVERIFY(project.server()->writeConnectionFile(project.folder(), name));
    auto w = openWindow(project.folder());
    QVERIFY(!w->databasePath().isEmpty());
    QVERIFY(w->projectKindText().endsWith(QStringLiteral(" (%1)").arg(role)));

    QCOMPARE(w->usersView()->changesRefused().isEmpty(), rights);
    QCOMPARE(w->doorsView()->changesRefused().isEmpty(), admin);
    w->enterTimes();
    QCOMPARE(w->timesView()->addButton()->isEnabled(), admin);
    QCOMPARE(w->timesView()->holidaysButton()->isEnabled(), admin);
    QAction *settings = nullptr;
    QAction *clock = nullptr;
    QAction *reconfigure = nullptr;
    for (QAction *menu : w->menuBar()->actions()) {
        if (menu->menu()) {
            for (QAction *a : menu->menu()->actions()) {
                if (a->text() == QStringLiteral("&Project Settings"))
                    settings = a;
                if (a->text() == QStringLiteral("Synchronize Reader &Clock"))
                    clock = a;
                if (a->text() == QStringLiteral("&Reconfigure All Readers"))
                    reconfigure = a;
            }
        }
    }
    QVERIFY(settings && clock && reconfigure);
    QCOMPARE(reconfigure->isEnabled(), admin);
    QCOMPARE(settings->isEnabled(), admin);
    if (!admin)
        QCOMPARE(settings->statusTip(),
                 QStringLiteral("Your role (%1) may not change the project settings.").arg(role));
    QCOMPARE(clock->isEnabled(), rights);
    QCOMPARE(clock->statusTip(), reason);
    if (role == QStringLiteral("viewer")) {
        QApplication::processEvents();
        w->grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/server-project-viewer.png"));
    }
}

void TestServerProject::refusedChangeSaysPermissionDenied()
{
    KX_REQUIRE_SERVER();
    TestSupport::TempProject project(QStringLiteral("Plant"), TestSupport::ProjectKind::Server);
    QVERIFY(project.isValid());
    QVERIFY(fill(project.databasePath(), 2, 2));
    const QString name = QStringLiteral("kx_refused_%1").arg(QCoreApplication::applicationPid());
    QVERIFY(project.server()->addOperator(name, QStringLiteral("viewer")));
    QVERIFY(project.server()->writeConnectionFile(project.folder(), name));
    auto w = openWindow(project.folder());
    const int user = key(project.databasePath(), QStringLiteral("select min(PKusers) from users"));
    const int entry = key(project.databasePath(), QStringLiteral("select min(PKdoors) from doors"));
    const int model = key(project.databasePath(), QStringLiteral("select max(PKtimes) from times"));
    // What the window does not offer, the server refuses anyway.
    m_boxes.clear();
    w->changeRights({user}, {entry}, model);
    QCOMPARE(m_boxes.size(), 1);
    QVERIFY2(m_boxes.at(0).text.startsWith(QStringLiteral(
                 "The database server refused this: your role may not do it (permission denied).")),
             qPrintable(m_boxes.at(0).text));
    QCOMPARE(key(project.databasePath(), QStringLiteral("select count(*) from access")), 0);
}

// ---------------------------------------------------------------- following

void TestServerProject::otherWorkstationsChangeShows()
{
    KX_REQUIRE_SERVER();
    TestSupport::TempProject project(QStringLiteral("Plant"), TestSupport::ProjectKind::Server);
    QVERIFY(project.isValid());
    QVERIFY(fill(project.databasePath(), 60, 40));
    auto w = openWindow(project.folder());
    QVERIFY(w->serverWatch()->isListening());
    KxTableWidget *board = w->board();
    const AccessBoard &b = w->boardData();
    QVERIFY(b.rowCount() > 1);
    // A group collapsed, the board scrolled, a cell current far from home.
    int group = -1;
    for (int r = 1; r < b.rowCount() && group < 0; ++r) {
        if (b.row(r).isHead && b.row(r).name == QStringLiteral("Group 1"))
            group = r;
    }
    QVERIFY(group > 0);
    w->clickedOnTableCell(group, 0, 1, true);
    QVERIFY(!w->isGroupExpanded(QStringLiteral("Group 1")));
    int row = b.rowCount() - 1;
    int column = b.columnCount() - 1;
    QVERIFY(!b.row(row).isHead && !b.column(column).isHead);
    QVERIFY(board->setCurrentCell(row, column));
    QVERIFY(board->verticalSlider()->value() > 0);
    const int scrolledX = board->horizontalSlider()->value() - 1;
    const int scrolledY = board->verticalSlider()->value() - 1;
    board->horizontalSlider()->setValue(scrolledX);
    board->verticalSlider()->setValue(scrolledY);
    const int model = key(project.databasePath(), QStringLiteral("select max(PKtimes) from times"));

    // Another workstation sets a right in that cell.
    QVERIFY(!AccessRights::changeBoardCell(project.databasePath(), {b.row(row).key},
                                           {b.column(column).key}, model, nullptr)
                 .isValid());
    QTRY_COMPARE(w->boardData().textAt(row, column), QStringLiteral("D"));
    QCOMPARE(board->cell(row, column).text(), QStringLiteral("D"));
    QCOMPARE(board->currentRow(), row);
    QCOMPARE(board->currentColumn(), column);
    QCOMPARE(board->horizontalSlider()->value(), scrolledX);
    QCOMPARE(board->verticalSlider()->value(), scrolledY);
    QVERIFY(!w->isGroupExpanded(QStringLiteral("Group 1")));
    QVERIFY(m_boxes.isEmpty());
}

void TestServerProject::listFollowsOtherWorkstations()
{
    KX_REQUIRE_SERVER();
    TestSupport::TempProject project(QStringLiteral("Plant"), TestSupport::ProjectKind::Server);
    QVERIFY(project.isValid());
    QVERIFY(fill(project.databasePath(), 80, 1));
    auto w = openWindow(project.folder());
    w->enterUsers();
    QTableWidget *table = w->usersView()->table();
    QCOMPARE(table->rowCount(), 80);
    table->setCurrentCell(70, 0);
    table->scrollToItem(table->item(70, 0));
    const int scrolled = table->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);
    {
        // Another workstation adds a user; it sorts after every one shown.
        ProjectDatabase db(project.databasePath());
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(ProjectDatabase::exec(
            q, QStringLiteral("insert into users (familyName,firstName,groupName) values (?,?,?)"),
            {QStringLiteral("Zed"), QStringLiteral("Z"), QStringLiteral("Zz")}));
    }
    QTRY_COMPARE(table->rowCount(), 81);
    QCOMPARE(table->currentRow(), 70);
    QCOMPARE(table->verticalScrollBar()->value(), scrolled);
    QVERIFY(m_boxes.isEmpty());
}

void TestServerProject::droppedListenerConnectsAgain()
{
    KX_REQUIRE_SERVER();
    TestSupport::TempProject project(QStringLiteral("Plant"), TestSupport::ProjectKind::Server);
    QVERIFY(project.isValid());
    QVERIFY(fill(project.databasePath(), 3, 1));
    auto w = openWindow(project.folder());
    w->serverWatch()->setIntervals(100, 50);
    w->enterUsers();
    QSignalSpy lost(w->serverWatch(), &ServerWatch::connectionLost);
    QSignalSpy back(w->serverWatch(), &ServerWatch::connectionRestored);
    int listener = -1;
    {
        QSqlQuery q(QSqlDatabase::database(w->serverWatch()->connectionName(), false));
        QVERIFY(q.exec(QStringLiteral("select pg_backend_pid()")) && q.next());
        listener = q.value(0).toInt();
    }
    {
        ProjectDatabase db(project.databasePath());
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(
            ProjectDatabase::exec(q, QStringLiteral("select pg_terminate_backend(?)"), {listener}));
    }
    QTRY_COMPARE(lost.count(), 1);
    QVERIFY(w->statusBar()->currentMessage().startsWith(
        QStringLiteral("The connection to the server was lost")));
    QTRY_COMPARE(back.count(), 1);
    QVERIFY(w->serverWatch()->isListening());
    {
        ProjectDatabase db(project.databasePath());
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(ProjectDatabase::exec(
            q, QStringLiteral("insert into users (familyName,firstName,groupName) values (?,?,?)"),
            {QStringLiteral("Zed"), QStringLiteral("Z"), QStringLiteral("Zz")}));
    }
    QTRY_COMPARE(w->usersView()->table()->rowCount(), 4);
}

// ---------------------------------------------------------------- new project

void TestServerProject::newServerProject_data()
{
    QTest::addColumn<bool>("holdsProject");
    QTest::addColumn<int>("answer"); // to "create a project in the empty database?"
    QTest::addColumn<bool>("opened");
    QTest::newRow("holds a project") << true << int(QMessageBox::Yes) << true;
    QTest::newRow("empty, made a project") << false << int(QMessageBox::Yes) << true;
    QTest::newRow("empty, left as it is") << false << int(QMessageBox::No) << false;
}

void TestServerProject::newServerProject()
{
    QFETCH(bool, holdsProject);
    QFETCH(int, answer);
    QFETCH(bool, opened);
    KX_REQUIRE_SERVER();
    TestSupport::TempProject current(QStringLiteral("Current"), TestSupport::ProjectKind::Folder);
    QVERIFY(current.isValid());
    // The server's database: one holding a project, or an empty one.
    TestSupport::TempProject elsewhere(QStringLiteral("Elsewhere"),
                                       TestSupport::ProjectKind::Server);
    TestSupport::ServerDatabase empty;
    QVERIFY(elsewhere.isValid() && empty.isValid());
    const ServerConnection target = ServerConnection::read(elsewhere.databasePath(), nullptr);
    const QString database = holdsProject ? target.database : empty.name();
    QTemporaryDir parent;
    auto w = openWindow(current.folder());
    m_answer = QMessageBox::StandardButton(answer);
    KelvaraNewServerProjectDialog::setAnswerer([&](KelvaraNewServerProjectDialog *d) {
        d->nameEdit()->setText(QStringLiteral("North Site"));
        d->folderEdit()->setText(parent.path());
        d->hostEdit()->setText(target.host);
        d->portBox()->setValue(target.port);
        d->databaseEdit()->setText(database);
        d->userEdit()->setText(target.user);
        d->sslModeBox()->setCurrentText(QStringLiteral("disable"));
        QApplication::processEvents();
        d->grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/new-server-project.png"));
        return int(QDialog::Accepted);
    });
    w->newServerProject();
    const QString folder = parent.filePath(QStringLiteral("North Site"));
    QCOMPARE(QFileInfo::exists(folder), opened);
    if (!opened) {
        QCOMPARE(w->projectFolder(), QDir::toNativeSeparators(current.folder()));
        return;
    }
    QCOMPARE(w->projectFolder(), QDir::toNativeSeparators(folder));
    QVERIFY(QFileInfo(folder + QStringLiteral("/log")).isDir());
    QVERIFY(QFileInfo(folder + QStringLiteral("/data")).isDir());
    const ServerConnection written =
        ServerConnection::read(ServerConnection::filePathForProject(folder), nullptr);
    QCOMPARE(written.database, database);
    QCOMPARE(written.sslMode, QStringLiteral("disable"));
    QVERIFY(w->projectKindText().endsWith(QStringLiteral("(administrator)")));
}

KX_TEST_GUI_MAIN(TestServerProject)

#include "tst_serverproject.moc"
