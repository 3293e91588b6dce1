#include "app/kelvaraman.h"
#include "core/applicationsettings.h"
#include "core/archivetool.h"
#include "core/paths.h"
#include "core/windowplacement.h"
#include "db/audithistory.h"
#include "db/demoproject.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/schemaversion.h"
#include "support/testsupport.h"
#include "support/zipwriter.h"
#include "views/settings/kelvarageneralsettingsdialog.h"
#include "views/settings/kelvaraprojectsettingsdialog.h"
#include "widgets/guimessages.h"
#include "widgets/kxdialogs.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QSqlQuery>

#include <memory>

using Button = QMessageBox::StandardButton;
using TestSupport::ZipEntry;

namespace {

struct Box
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

struct Ask
{
    KxDialogs::Kind kind;
    QString title;
    QString label;
    QString proposal;
};

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Users, entries and rights of a project as one text, for comparing projects.
QString fingerprint(const QString &databasePath)
{
    ProjectDatabase db(databasePath);
    if (!db.open())
        return QStringLiteral("<no database>");
    QSqlQuery q = db.query();
    QStringList lines;
    const QString rights = QStringLiteral(
        "select u.familyName||','||u.firstName||','||u.groupName||','||ifnull(u.iddIso14443,'')"
        "||'|'||d.areaName||'/'||d.doorName||'|'||t.modelTag from access a "
        "join users u on u.PKusers=a.FKusers join doors d on d.PKdoors=a.FKdoors "
        "join times t on t.PKtimes=a.FKtimes order by 1");
    for (const QString &statement : {QStringLiteral("select count(*) from users"),
                                     QStringLiteral("select count(*) from doors"),
                                     QStringLiteral("select count(*) from times"), rights,
                                     // The audit trail, whole, with its chain.
                                     QStringLiteral("select seq||' '||hash from auditTrail order "
                                                    "by seq")}) {
        if (!ProjectDatabase::exec(q, statement))
            return QStringLiteral("<query failed>");
        while (q.next())
            lines << q.value(0).toString();
    }
    return lines.join(QLatin1Char('\n'));
}

// A window on the stored project that opens a second one and confirms the
// general settings, then waits to be killed: what it changed must be on disk.
int settingsChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    KxMessageBox::setAnswerer(
        [](QMessageBox::Icon, const QString &, const QString &) { return QMessageBox::No; });
    KelvaraGeneralSettingsDialog::setAnswerer([](KelvaraGeneralSettingsDialog *dialog) {
        dialog->parallelBox()->setValue(7);
        dialog->accept();
        return int(QDialog::Accepted);
    });
    KelvaraMan window;
    if (!window.openProjectFolder(app.arguments().at(1)))
        return 1;
    window.generalSettings();
    QTextStream(stdout) << "ready" << Qt::endl;
    return app.exec();
}

} // namespace

class TestKelvaraManProject : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void newProjectCreatesFolderAndDatabase_data();
    void newProjectCreatesFolderAndDatabase();
    void newProjectRefusals_data();
    void newProjectRefusals();
    void projectSettingsFromMenu();
    void openProject_data();
    void openProject();
    void projectOfAnotherVersion_data();
    void projectOfAnotherVersion();
    void renameProject_data();
    void renameProject();
    void renameRefusals_data();
    void renameRefusals();
    void operationsNeedAProject_data();
    void operationsNeedAProject();

    void backupThenRestoreIntoOtherName();
    void restoreRefusesFolderWithProject();
    void restoreRefusesBadArchives_data();
    void restoreRefusesBadArchives();
    void failedBackupKeepsOldArchive();
    void supportPackage();
    void supportPackageWithoutLogs();

    void firstStart_data();
    void firstStart();
    void demoFailureLeavesNoProject_data();
    void demoFailureLeavesNoProject();
    void closingAtFirstStartKeepsSettings();
    void noFirstStartWithProject();
    void dialogRectsMovedOntoDesktop();
    void killedWindowKeepsConfirmedSettings();
    void settingsDialogsOpenOnTheWindow();

private:
    std::unique_ptr<KelvaraMan> window(const QString &projectFolder = QString());
    static QString makeProject(const QString &folder, bool demo = true);
    static void write(const QString &path, const QByteArray &data = QByteArray())
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    static QStringList contents(const QString &folder)
    {
        QStringList list =
            QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        list.sort(); // by code points, not by the locale
        return list;
    }
    QString boxesText() const
    {
        QStringList list;
        for (const Box &b : m_boxes)
            list << b.title + QStringLiteral(": ") + b.text;
        return list.join(QStringLiteral(" // "));
    }

    QList<Box> m_boxes;
    QList<Button> m_buttons;
    QList<Ask> m_asks;
    QStringList m_answers;
    QList<QUrl> m_opened;
    QStringList m_settingsDialogs; // titles of the project settings dialogs run
    QList<QRect> m_dialogs;        // where they opened
};

void TestKelvaraManProject::initTestCase()
{
    kxInitResources(); // the tool-bar icons, for the screenshot
    KxMessageBox::setAnswerer(
        [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
            m_boxes.append({icon, title, text});
            if (icon == QMessageBox::Question)
                return m_buttons.isEmpty() ? QMessageBox::No : m_buttons.takeFirst();
            return QMessageBox::Ok;
        });
    KxDialogs::setAnswerer([this](KxDialogs::Kind kind, const QString &title, const QString &label,
                                  const QString &proposal) {
        m_asks.append({kind, title, label, proposal});
        return m_answers.isEmpty() ? QString() : m_answers.takeFirst();
    });
    // Cancelled, as a user closing the window would.
    KelvaraProjectSettingsDialog::setAnswerer([this](KelvaraProjectSettingsDialog *dialog) {
        m_settingsDialogs << dialog->windowTitle();
        m_dialogs << dialog->geometry();
        return int(QDialog::Rejected);
    });
    KelvaraGeneralSettingsDialog::setAnswerer([this](KelvaraGeneralSettingsDialog *dialog) {
        m_settingsDialogs << dialog->windowTitle();
        m_dialogs << dialog->geometry();
        return int(QDialog::Rejected);
    });
    setUrlOpener([this](const QUrl &url) {
        m_opened.append(url);
        return true;
    });
}

void TestKelvaraManProject::cleanupTestCase()
{
    KxMessageBox::setAnswerer({});
    KxDialogs::setAnswerer({});
}

void TestKelvaraManProject::init()
{
    m_boxes.clear();
    m_buttons.clear();
    m_asks.clear();
    m_answers.clear();
    m_opened.clear();
    m_settingsDialogs.clear();
    m_dialogs.clear();
    SchemaVersion::setStepsForTest({});
    ArchiveTool::setToolsFolder(QString());
    QFile::remove(settingsFilePath());
    QDir(appDataPath() + QStringLiteral("/DemoProject")).removeRecursively();
}

// A window on the given project; without one, the first start runs once
// events are processed.
std::unique_ptr<KelvaraMan> TestKelvaraManProject::window(const QString &projectFolder)
{
    if (!projectFolder.isEmpty()) {
        ApplicationSettings settings;
        settings.currentProjectPath = native(projectFolder);
        settings.isMaximized = false;
        settings.saveSettings();
    }
    return std::make_unique<KelvaraMan>();
}

QString TestKelvaraManProject::makeProject(const QString &folder, bool demo)
{
    QDir().mkpath(folder);
    const QString database = ProjectDatabase::databasePathForProject(folder);
    if (ProjectSchema::createProjectDatabase(database).isValid())
        return QString();
    if (demo && DemoProject::fill(database).isValid())
        return QString();
    return folder;
}

// ---------------------------------------------------------------- new and open

void TestKelvaraManProject::newProjectCreatesFolderAndDatabase_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("Plant");
    QTest::newRow("blanks and quotes") << QStringLiteral("O'Neil \"North\" Site");
    QTest::newRow("non-Latin") << QStringLiteral("Zürich Завод");
}

void TestKelvaraManProject::newProjectCreatesFolderAndDatabase()
{
    QFETCH(QString, name);
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Current")));
    QVERIFY(!current.isEmpty());
    const QString parent = tmp.filePath(QStringLiteral("new projects"));
    QVERIFY(QDir().mkpath(parent));
    auto w = window(current);
    QCOMPARE(w->projectFolder(), native(current));
    QVERIFY(w->projectParameters().haveUhfReader);

    m_answers = QStringList{name, parent};
    w->newProject();

    const QString folder = parent + QLatin1Char('/') + name;
    QCOMPARE(m_asks.size(), 2);
    QCOMPARE(m_asks.at(0).kind, KxDialogs::Text);
    QCOMPARE(m_asks.at(0).title, QStringLiteral("Create new project"));
    QCOMPARE(m_asks.at(0).label, QStringLiteral("Please enter a new project name"));
    QCOMPARE(m_asks.at(0).proposal, QString());
    QCOMPARE(m_asks.at(1).kind, KxDialogs::ExistingDirectory);
    QCOMPARE(m_asks.at(1).title, QStringLiteral("Select path for project '%1'").arg(name));
    QCOMPARE(m_asks.at(1).proposal, tmp.path());

    QVERIFY(ProjectSchema::isProjectDatabase(folder));
    QCOMPARE(contents(folder), (QStringList{name + QStringLiteral(".sqlite3"),
                                            QStringLiteral("data"), QStringLiteral("log")}));
    QCOMPARE(m_settingsDialogs, QStringList{QStringLiteral("New Project Settings")});
    QCOMPARE(w->projectFolder(), native(folder));
    QCOMPARE(w->databasePath(),
             native(folder + QLatin1Char('/') + name + QStringLiteral(".sqlite3")));
    QVERIFY(w->windowTitle().endsWith(QLatin1Char('\'') + native(folder) + QLatin1Char('\'')));
    // The fresh project's parameters, not the ones of the project before.
    QCOMPARE(w->projectParameters().projectPath, native(folder));
    QVERIFY(!w->projectParameters().haveUhfReader);
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).icon, QMessageBox::Information);
    QCOMPARE(m_boxes.at(0).title, QStringLiteral("Create new project"));
    QCOMPARE(m_boxes.at(0).text,
             QStringLiteral("New project successfully created in path\n\n%1").arg(native(folder)));
}

void TestKelvaraManProject::newProjectRefusals_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("message");
    QTest::newRow("folder exists")
        << QStringList{QStringLiteral("Existing"), QStringLiteral("<tmp>")}
        << QStringLiteral("The path\n\n<tmp>/Existing\n\nalready exists.");
    QTest::newRow("parent is a file")
        << QStringList{QStringLiteral("New"), QStringLiteral("<tmp>/file")}
        << QStringLiteral("Cannot create project path\n\n<tmp>/file/New");
    QTest::newRow("name with a separator")
        << QStringList{QStringLiteral("Site 1/2"), QStringLiteral("<tmp>")}
        << QStringLiteral("The name\n\nSite 1/2\n\ncannot be used as a project folder name.");
    QTest::newRow("name ..") << QStringList{QStringLiteral(".."), QStringLiteral("<tmp>")}
                             << QStringLiteral(
                                    "The name\n\n..\n\ncannot be used as a project folder name.");
    QTest::newRow("name cancelled") << QStringList() << QString();
    QTest::newRow("empty name") << QStringList{QStringLiteral("")} << QString();
    QTest::newRow("folder cancelled") << QStringList{QStringLiteral("New")} << QString();
}

void TestKelvaraManProject::newProjectRefusals()
{
    QFETCH(QStringList, answers);
    QFETCH(QString, message);
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Current")));
    write(tmp.filePath(QStringLiteral("Existing/keep.txt")), "mine");
    write(tmp.filePath(QStringLiteral("file")), "a file");
    const QStringList before = contents(tmp.path());
    const QString data = fingerprint(ProjectDatabase::databasePathForProject(current));
    auto w = window(current);

    for (QString &answer : answers)
        answer.replace(QStringLiteral("<tmp>"), tmp.path());
    m_answers = answers;
    w->newProject();

    if (message.isEmpty()) {
        QCOMPARE(m_boxes.size(), 0);
    } else {
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.at(0).icon, QMessageBox::Critical);
        QCOMPARE(m_boxes.at(0).title, QStringLiteral("Create new project"));
        QCOMPARE(m_boxes.at(0).text, message.replace(QStringLiteral("<tmp>"), native(tmp.path())));
    }
    QCOMPARE(contents(tmp.path()), before);
    QCOMPARE(contents(tmp.filePath(QStringLiteral("Existing"))),
             QStringList{QStringLiteral("keep.txt")});
    QCOMPARE(w->projectFolder(), native(current));
    QCOMPARE(fingerprint(w->databasePath()), data);
    QVERIFY(m_settingsDialogs.isEmpty());
}

void TestKelvaraManProject::projectSettingsFromMenu()
{
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Current")));
    auto w = window(current);
    QAction *action = nullptr;
    for (QAction *a : w->findChildren<QAction *>())
        if (a->text() == QStringLiteral("&Project Settings"))
            action = a;
    QVERIFY(action);
    QVERIFY(action->isEnabled());
    action->trigger();
    QCOMPARE(m_settingsDialogs, QStringList{QStringLiteral("Project Settings")});
}

void TestKelvaraManProject::openProject_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("refusals");
    QTest::addColumn<bool>("opensOther");
    QTest::newRow("valid") << QStringList{QStringLiteral("Other")} << 0 << true;
    QTest::newRow("plain folder, then valid")
        << QStringList{QStringLiteral("plain"), QStringLiteral("Other")} << 1 << true;
    QTest::newRow("database without marker, then cancel")
        << QStringList{QStringLiteral("Unmarked")} << 1 << false;
    QTest::newRow("cancel") << QStringList() << 0 << false;
}

void TestKelvaraManProject::openProject()
{
    QFETCH(QStringList, answers);
    QFETCH(int, refusals);
    QFETCH(bool, opensOther);
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Current")), false);
    const QString other = makeProject(tmp.filePath(QStringLiteral("Other")));
    QVERIFY(QDir().mkpath(tmp.filePath(QStringLiteral("plain"))));
    {
        // An SQLite database of the right name, but not one of ours.
        ProjectDatabase db(tmp.filePath(QStringLiteral("Unmarked/Unmarked.sqlite3")),
                           ProjectDatabase::Access::Raw);
        QVERIFY(QDir().mkpath(tmp.filePath(QStringLiteral("Unmarked"))));
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(ProjectDatabase::exec(q, QStringLiteral("create table t (a integer)")));
    }
    auto w = window(current);

    for (const QString &answer : qAsConst(answers))
        m_answers << tmp.filePath(answer);
    w->openProject();

    QCOMPARE(m_asks.size(), qMax(1, answers.size() + (opensOther ? 0 : 1)));
    for (const Ask &ask : qAsConst(m_asks)) {
        QCOMPARE(ask.kind, KxDialogs::ExistingDirectory);
        QCOMPARE(ask.title, QStringLiteral("Open project path"));
        QCOMPARE(ask.proposal, tmp.path());
    }
    QCOMPARE(m_boxes.size(), refusals);
    for (const Box &box : qAsConst(m_boxes)) {
        QCOMPARE(box.title, QStringLiteral("Open project path"));
        QCOMPARE(box.text, QStringLiteral("This is no valid project path.\nChoose another one."));
    }
    QCOMPARE(w->projectFolder(), native(opensOther ? other : current));
    if (opensOther) {
        QCOMPARE(w->boardData().columnCount(), 1 + 4 + 27);
        QVERIFY(w->projectParameters().haveUhfReader);
    }
}

// ---------------------------------------------------------------- rename

void TestKelvaraManProject::projectOfAnotherVersion_data()
{
    QTest::addColumn<QString>("version"); // of the project opened: "older" is the one before
    QTest::addColumn<bool>("atStart");    // the last project, or chosen with Open Project
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("text");
    QTest::newRow("older, upgraded")
        << QStringLiteral("older") << false << int(QMessageBox::Yes) << true
        << QStringLiteral("older version of Kelvara Manager (schema version %1; this program "
                          "uses ");
    QTest::newRow("older, declined") << QStringLiteral("older") << false << int(QMessageBox::No)
                                     << false << QStringLiteral("Upgrade it now?");
    QTest::newRow("older last project, upgraded at start")
        << QStringLiteral("older") << true << int(QMessageBox::Yes) << true
        << QStringLiteral("Upgrade it now?");
    QTest::newRow("newer") << QStringLiteral("99") << false << int(QMessageBox::Yes) << false
                           << QStringLiteral("made by a newer version");
    QTest::newRow("newer last project") << QStringLiteral("99") << true << int(QMessageBox::Yes)
                                        << false << QStringLiteral("made by a newer version");
}

void TestKelvaraManProject::projectOfAnotherVersion()
{
    QFETCH(QString, version);
    QFETCH(bool, atStart);
    QFETCH(int, answer);
    QFETCH(bool, opens);
    QFETCH(QString, text);
    SchemaVersion::setStepsForTest({TestSupport::testSchemaStep(TestSupport::TestStep::Plain)});
    // Older: the product's own version, before the tests' step.
    const bool older = version == QLatin1String("older");
    if (older) {
        version = QString::number(SchemaVersion::current() - 1);
        text.replace(QStringLiteral("%1"), version);
    }
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Current")), false);
    const QString other = makeProject(tmp.filePath(QStringLiteral("Other")));
    {
        ProjectDatabase db(ProjectDatabase::databasePathForProject(other),
                           ProjectDatabase::Access::Raw);
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(ProjectDatabase::exec(
            q, QStringLiteral("update project set value=? where tag='SchemaVersion'"), {version}));
        if (older)
            QVERIFY(q.exec(QStringLiteral("drop table kx_test_step")));
    }
    const QString before = TestSupport::folderFingerprint(other);
    m_buttons << Button(answer);
    m_answers << other;

    auto w = window(atStart ? other : current);
    if (atStart)
        QTRY_VERIFY(!m_boxes.isEmpty());
    else
        w->openProject();

    QVERIFY2(!m_boxes.isEmpty() && m_boxes.first().text.contains(text), qPrintable(boxesText()));
    QCOMPARE(m_boxes.size(), opens ? 2 : 1); // with the upgrade's report
    const QString expected = opens ? other : (atStart ? QString() : current);
    QCOMPARE(QDir::fromNativeSeparators(w->databasePath()),
             expected.isEmpty() ? QString() : ProjectDatabase::databasePathForProject(expected));
    if (opens) {
        QCOMPARE(SchemaVersion::probeFolder(other).state, SchemaVersion::State::Current);
        QVERIFY(m_boxes.last().text.contains(QStringLiteral("Other-schema%1-").arg(version)));
        QCOMPARE(w->boardData().columnCount(), 1 + 4 + 27);
    } else {
        QCOMPARE(TestSupport::folderFingerprint(other), before);
    }
}

void TestKelvaraManProject::renameProject_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("Factory");
    QTest::newRow("blanks and quotes") << QStringLiteral("North 'Gate' \"2\"");
    QTest::newRow("non-Latin") << QStringLiteral("Zürich Завод");
}

void TestKelvaraManProject::renameProject()
{
    QFETCH(QString, name);
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Plant")));
    const QString data = fingerprint(ProjectDatabase::databasePathForProject(current));
    write(current + QStringLiteral("/log/log-Main Entrance/log-2026-12-01.log"), "x\r\n");
    auto w = window(current);

    m_answers = QStringList{name};
    w->renameProject();

    QCOMPARE(m_asks.size(), 1);
    QCOMPARE(m_asks.at(0).title, QStringLiteral("Rename project"));
    QCOMPARE(m_asks.at(0).label, QStringLiteral("Please enter a new project name"));
    QCOMPARE(m_asks.at(0).proposal, QStringLiteral("Plant"));
    QVERIFY2(m_boxes.isEmpty(), qPrintable(boxesText()));
    const QString renamed = tmp.filePath(name);
    QVERIFY(!QFileInfo::exists(current));
    QCOMPARE(contents(renamed),
             (QStringList{name + QStringLiteral(".sqlite3"), QStringLiteral("log")}));
    QCOMPARE(w->projectFolder(), native(renamed));
    QCOMPARE(w->databasePath(), native(ProjectDatabase::databasePathForProject(renamed)));
    QCOMPARE(fingerprint(w->databasePath()), data);
    QCOMPARE(w->boardData().columnCount(), 1 + 4 + 27);
}

void TestKelvaraManProject::renameRefusals_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("prepare");
    QTest::addColumn<QString>("message");
    QTest::newRow("onto existing folder")
        << QStringLiteral("Other") << QStringLiteral("sibling")
        << QStringLiteral("The path\n\n<tmp>/Other\n\nalready exists.");
    QTest::newRow("second database") << QStringLiteral("Other") << QStringLiteral("second db")
                                     << QStringLiteral("Unexpected error");
    QTest::newRow("database name taken")
        << QStringLiteral("Other") << QStringLiteral("folder in the way")
        << QStringLiteral("Cannot rename database file");
    QTest::newRow("path separator")
        << QStringLiteral("../Moved") << QString()
        << QStringLiteral("The name\n\n../Moved\n\ncannot be used as a project folder name.");
    QTest::newRow("same name") << QStringLiteral("Plant") << QString() << QString();
    QTest::newRow("cancel") << QString() << QString() << QString();
}

void TestKelvaraManProject::renameRefusals()
{
    QFETCH(QString, answer);
    QFETCH(QString, prepare);
    QFETCH(QString, message);
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Plant")));
    if (prepare == QLatin1String("sibling"))
        QVERIFY(QDir().mkpath(tmp.filePath(QStringLiteral("Other"))));
    else if (prepare == QLatin1String("second db"))
        write(current + QStringLiteral("/Copy.sqlite3"));
    else if (prepare == QLatin1String("folder in the way"))
        QVERIFY(QDir().mkpath(current + QStringLiteral("/Other.sqlite3")));
    const QStringList before = contents(tmp.path());
    const QString data = fingerprint(ProjectDatabase::databasePathForProject(current));
    auto w = window(current);

    if (!answer.isNull())
        m_answers = QStringList{answer};
    w->renameProject();

    if (message.isEmpty()) {
        QVERIFY2(m_boxes.isEmpty(), qPrintable(boxesText()));
    } else {
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.at(0).icon, QMessageBox::Critical);
        QCOMPARE(m_boxes.at(0).title, QStringLiteral("Rename project"));
        QCOMPARE(m_boxes.at(0).text, message.replace(QStringLiteral("<tmp>"), native(tmp.path())));
    }
    QCOMPARE(contents(tmp.path()), before);
    QCOMPARE(w->projectFolder(), native(current));
    QVERIFY(ProjectSchema::isProjectDatabase(current));
    QCOMPARE(fingerprint(w->databasePath()), data);
}

void TestKelvaraManProject::operationsNeedAProject_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("title");
    QTest::newRow("rename") << QStringLiteral("rename") << QStringLiteral("Rename project");
    QTest::newRow("backup") << QStringLiteral("backup") << QStringLiteral("Create Backup File");
    QTest::newRow("support") << QStringLiteral("support")
                             << QStringLiteral("Build Support Package");
}

void TestKelvaraManProject::operationsNeedAProject()
{
    QFETCH(QString, operation);
    QFETCH(QString, title);
    auto w = window();
    QCOMPARE(w->projectFolder(), QString());
    m_answers = QStringList{QStringLiteral("never asked")};
    if (operation == QLatin1String("rename"))
        w->renameProject();
    else if (operation == QLatin1String("backup"))
        w->createProjectBackup();
    else
        w->buildSupportPackage();
    QCOMPARE(m_asks.size(), 0);
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).title, title);
    QCOMPARE(m_boxes.at(0).text, QStringLiteral("No valid project opened"));
}

// ---------------------------------------------------------------- backup and restore

void TestKelvaraManProject::backupThenRestoreIntoOtherName()
{
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Plant")));
    write(current + QStringLiteral("/log/log-Main Entrance/log-2026-12-01.log"), "opened\r\n");
    write(current + QStringLiteral("/data/data-Room 01/event-1-2026.csv"), "a;b\r\n");
    const QString data = fingerprint(ProjectDatabase::databasePathForProject(current));
    const QString backups = tmp.filePath(QStringLiteral("Backups ü 'x'"));
    QVERIFY(QDir().mkpath(backups));
    auto w = window(current);

    // Typed without its extension: ".zip" is appended.
    m_answers = QStringList{backups + QStringLiteral("/Plant backup")};
    w->createProjectBackup();
    QVERIFY2(m_boxes.isEmpty(), qPrintable(boxesText()));
    QCOMPARE(m_asks.size(), 1);
    QCOMPARE(m_asks.at(0).kind, KxDialogs::SaveFile);
    QCOMPARE(m_asks.at(0).title, QStringLiteral("Create Backup File"));
    QCOMPARE(m_asks.at(0).label, QStringLiteral("*.zip"));
    QCOMPARE(m_asks.at(0).proposal, native(current) + QStringLiteral(".zip"));
    const QString archive = backups + QStringLiteral("/Plant backup.zip");
    QCOMPARE(contents(backups), QStringList{QStringLiteral("Plant backup.zip")});

    const QString target = tmp.filePath(QStringLiteral("Restored Ω \"copy\""));
    QVERIFY(QDir().mkpath(target));
    m_asks.clear();
    m_answers = QStringList{backups + QStringLiteral("/Plant backup"), target};
    w->restoreProjectBackup();

    QVERIFY2(m_boxes.isEmpty(), qPrintable(boxesText()));
    QCOMPARE(m_asks.size(), 2);
    QCOMPARE(m_asks.at(0).kind, KxDialogs::OpenFile);
    QCOMPARE(m_asks.at(0).title, QStringLiteral("Choose a ZIP-File to restore"));
    QCOMPARE(m_asks.at(0).label, QStringLiteral("*.zip"));
    QCOMPARE(m_asks.at(0).proposal, tmp.path());
    QCOMPARE(m_asks.at(1).kind, KxDialogs::ExistingDirectory);
    QCOMPARE(
        m_asks.at(1).title,
        QStringLiteral("Select an empty project directory to restore '%1'").arg(native(archive)));
    QCOMPARE(m_asks.at(1).proposal, backups);

    QCOMPARE(contents(target), (QStringList{QStringLiteral("Restored Ω \"copy\".sqlite3"),
                                            QStringLiteral("data"), QStringLiteral("log")}));
    QCOMPARE(w->projectFolder(), native(target));
    QCOMPARE(w->databasePath(), native(ProjectDatabase::databasePathForProject(target)));
    QCOMPARE(fingerprint(w->databasePath()), data);
    AuditHistory::Verification chain;
    QVERIFY(!AuditHistory::verify(w->databasePath(), chain).isValid());
    QVERIFY(chain.intact());
    QVERIFY(chain.records > 0);
    QFile log(target + QStringLiteral("/log/log-Main Entrance/log-2026-12-01.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll(), QByteArray("opened\r\n"));
    QCOMPARE(w->boardData().rowCount(), 1 + 3 + 13);
    // The original is untouched.
    QCOMPARE(fingerprint(ProjectDatabase::databasePathForProject(current)), data);
}

void TestKelvaraManProject::restoreRefusesFolderWithProject()
{
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Plant")));
    const QString occupied = makeProject(tmp.filePath(QStringLiteral("Occupied")), false);
    const QString occupiedData = fingerprint(ProjectDatabase::databasePathForProject(occupied));
    const QString archive = tmp.filePath(QStringLiteral("Plant.zip"));
    QCOMPARE(ArchiveTool::writeArchive(archive, current), 0);
    // Some other database file: not a project, but restoring would leave two.
    const QString stray = tmp.filePath(QStringLiteral("Stray"));
    write(stray + QStringLiteral("/notes.sqlite3"), "mine");
    const QString target = tmp.filePath(QStringLiteral("Empty"));
    QVERIFY(QDir().mkpath(target));
    auto w = window(current);

    m_answers = QStringList{archive, occupied, stray, target};
    w->restoreProjectBackup();

    QCOMPARE(m_asks.size(), 4);
    QCOMPARE(m_asks.at(2).title, m_asks.at(1).title); // the folder dialog came back
    QCOMPARE(m_asks.at(3).title, m_asks.at(1).title);
    QCOMPARE(m_boxes.size(), 2);
    QCOMPARE(m_boxes.at(0).title, QStringLiteral("Restore Backup File"));
    QCOMPARE(m_boxes.at(0).text,
             QStringLiteral("This path already contents a valid project.\nChoose another one."));
    QCOMPARE(m_boxes.at(1).text,
             QStringLiteral("This path already holds a database file.\nChoose another one."));
    QCOMPARE(contents(occupied), QStringList{QStringLiteral("Occupied.sqlite3")});
    QCOMPARE(contents(stray), QStringList{QStringLiteral("notes.sqlite3")});
    QCOMPARE(fingerprint(ProjectDatabase::databasePathForProject(occupied)), occupiedData);
    QCOMPARE(w->projectFolder(), native(target));
    QVERIFY(ProjectSchema::isProjectDatabase(target));
}

void TestKelvaraManProject::restoreRefusesBadArchives_data()
{
    // Whatever the refusal, the chosen folder is left as it was found.
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("no database") << QStringLiteral("no database")
                                 << QStringLiteral("Corrupt backup file");
    QTest::newRow("two databases")
        << QStringLiteral("two databases") << QStringLiteral("Corrupt backup file");
    QTest::newRow("database of another program")
        << QStringLiteral("foreign database") << QStringLiteral("Corrupt backup file");
    QTest::newRow("project with a trigger not ours")
        << QStringLiteral("trigger") << QStringLiteral("holds the trigger \"keep_mark\"");
    QTest::newRow("project of a newer version")
        << QStringLiteral("newer") << QStringLiteral("schema version 99");
    QTest::newRow("more than the disk holds")
        << QStringLiteral("bomb") << QStringLiteral("Nothing was restored.");
    QTest::newRow("not a zip file")
        << QStringLiteral("text") << QStringLiteral("is no readable ZIP archive");
    QTest::newRow("parent entry") << QStringLiteral("parent")
                                  << QStringLiteral("holds the entry\n\n../evil.txt\n\nwhich would "
                                                    "be written outside the chosen folder.");
    QTest::newRow("absolute entry")
        << QStringLiteral("absolute") << QStringLiteral("holds the entry\n\n/kx-evil/evil.txt");
    QTest::newRow("link entry") << QStringLiteral("link")
                                << QStringLiteral("holds the entry\n\nlog\n\n");
}

void TestKelvaraManProject::restoreRefusesBadArchives()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Plant")));
    const QString data = fingerprint(ProjectDatabase::databasePathForProject(current));
    const QString archive = tmp.filePath(QStringLiteral("bad.zip"));
    const QString source = tmp.filePath(QStringLiteral("source"));
    const QByteArray db("SQLite format 3");
    if (kind == QLatin1String("no database")) {
        write(source + QStringLiteral("/log/a.log"), "x");
        QCOMPARE(ArchiveTool::writeArchive(archive, source), 0);
    } else if (kind == QLatin1String("two databases")) {
        makeProject(source + QStringLiteral("/A"), false);
        QVERIFY(QFile::copy(source + QStringLiteral("/A/A.sqlite3"),
                            source + QStringLiteral("/A/B.sqlite3")));
        QCOMPARE(ArchiveTool::writeArchive(archive, source + QStringLiteral("/A")), 0);
    } else if (kind == QLatin1String("foreign database")) {
        {
            ProjectDatabase other(source + QStringLiteral("/Other.sqlite3"),
                                  ProjectDatabase::Access::Raw);
            QVERIFY(QDir().mkpath(source));
            QVERIFY(other.open());
            QSqlQuery q = other.query();
            QVERIFY(ProjectDatabase::exec(q, QStringLiteral("create table t (a integer)")));
        }
        QCOMPARE(ArchiveTool::writeArchive(archive, source), 0);
    } else if (kind == QLatin1String("trigger") || kind == QLatin1String("newer")) {
        makeProject(source + QStringLiteral("/A"), false);
        ProjectDatabase other(source + QStringLiteral("/A/A.sqlite3"),
                              ProjectDatabase::Access::Raw);
        QVERIFY(other.open());
        QSqlQuery q = other.query();
        QVERIFY(ProjectDatabase::exec(
            q, kind == QLatin1String("newer")
                   ? QStringLiteral("insert or replace into project (tag,value) values "
                                    "('SchemaVersion','99')")
                   : QStringLiteral("create trigger keep_mark after update on doors begin "
                                    "update doors set needsUpdate=0; end")));
        QCOMPARE(ArchiveTool::writeArchive(archive, source + QStringLiteral("/A")), 0);
    } else if (kind == QLatin1String("bomb")) {
        QList<ZipEntry> entries{ZipEntry{"Plant.sqlite3", db}};
        for (int i = 0; i < 2000; ++i)
            entries << ZipEntry{QByteArray("data/") + QByteArray::number(i), "x", 0100644,
                                0xF0000000u};
        QVERIFY(TestSupport::writeStoredZip(archive, entries));
    } else if (kind == QLatin1String("text")) {
        write(archive, "Family name;First name\r\nKeller;Ann\r\n");
    } else if (kind == QLatin1String("parent")) {
        QVERIFY(TestSupport::writeStoredZip(
            archive, {ZipEntry{"Plant.sqlite3", db}, ZipEntry{"../evil.txt", "evil"}}));
    } else if (kind == QLatin1String("absolute")) {
        QVERIFY(TestSupport::writeStoredZip(
            archive, {ZipEntry{"Plant.sqlite3", db}, ZipEntry{"/kx-evil/evil.txt", "evil"}}));
    } else if (kind == QLatin1String("link")) {
        QVERIFY(TestSupport::writeStoredZip(
            archive,
            {ZipEntry{"Plant.sqlite3", db}, ZipEntry{"log", QFile::encodeName(tmp.path()), 0120777},
             ZipEntry{"log/evil.txt", "evil"}}));
    }
    const QString target = tmp.filePath(QStringLiteral("target"));
    QVERIFY(QDir().mkpath(target));
    auto w = window(current);

    m_answers = QStringList{archive, target};
    w->restoreProjectBackup();

    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).icon, QMessageBox::Critical);
    QCOMPARE(m_boxes.at(0).title, QStringLiteral("Restore Backup File"));
    QVERIFY2(m_boxes.at(0).text.contains(message), qPrintable(m_boxes.at(0).text));
    QCOMPARE(contents(target), QStringList());
    QVERIFY(!QFileInfo::exists(tmp.filePath(QStringLiteral("evil.txt"))));
    QVERIFY(!QFileInfo::exists(QStringLiteral("/kx-evil")));
    QCOMPARE(w->projectFolder(), native(current));
    QCOMPARE(fingerprint(w->databasePath()), data);
}

void TestKelvaraManProject::failedBackupKeepsOldArchive()
{
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Plant")), false);
    const QString tools = tmp.filePath(QStringLiteral("tools"));
    write(tools + QStringLiteral("/zip"), "#!/bin/sh\nprintf 'half' > \"$3\"\nexit 15\n");
    QVERIFY(QFile::setPermissions(tools + QStringLiteral("/zip"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    ArchiveTool::setToolsFolder(tools);
    const QString backups = tmp.filePath(QStringLiteral("backups"));
    write(backups + QStringLiteral("/Plant.zip"), "the good old backup");
    auto w = window(current);

    m_answers = QStringList{backups + QStringLiteral("/Plant.zip")};
    w->createProjectBackup();

    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).title, QStringLiteral("Create Backup File"));
    QCOMPARE(m_boxes.at(0).text, QStringLiteral("Failed with return code 15"));
    QCOMPARE(contents(backups), QStringList{QStringLiteral("Plant.zip")});
    QFile old(backups + QStringLiteral("/Plant.zip"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("the good old backup"));
}

void TestKelvaraManProject::supportPackage()
{
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Plant 'A'")), false);
    write(current + QStringLiteral("/log/log-Main Entrance/log-2026-12-01.log"), "x\r\n");
    write(current + QStringLiteral("/log/function/log-2026-12-01.log"), "y\r\n");
    auto w = window(current);

    w->buildSupportPackage();

    QVERIFY2(m_boxes.isEmpty(), qPrintable(boxesText()));
    QList<ArchiveTool::Entry> entries;
    QCOMPARE(ArchiveTool::listEntries(current + QStringLiteral("/support-package.zip"), &entries),
             0);
    QStringList names;
    for (const ArchiveTool::Entry &e : qAsConst(entries))
        names << e.name;
    QVERIFY(names.contains(QStringLiteral("log-Main Entrance/log-2026-12-01.log")));
    QVERIFY(names.contains(QStringLiteral("function/log-2026-12-01.log")));
    QCOMPARE(m_opened, QList<QUrl>{QUrl::fromLocalFile(current)});
    QCOMPARE(w->projectFolder(), native(current));
}

void TestKelvaraManProject::supportPackageWithoutLogs()
{
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Plant")), false);
    auto w = window(current);
    w->buildSupportPackage();
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).title, QStringLiteral("Build Support Package"));
    QCOMPARE(m_boxes.at(0).text, QStringLiteral("Failed with return code -99"));
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(contents(current), QStringList{QStringLiteral("Plant.sqlite3")});
}

// ---------------------------------------------------------------- first start

void TestKelvaraManProject::firstStart_data()
{
    QTest::addColumn<int>("settings");
    QTest::addColumn<int>("demo");
    QTest::addColumn<bool>("oldDemo");
    QTest::newRow("no settings, demo") << int(QMessageBox::No) << int(QMessageBox::Yes) << false;
    QTest::newRow("settings, demo") << int(QMessageBox::Yes) << int(QMessageBox::Yes) << false;
    QTest::newRow("demo over an old one") << int(QMessageBox::No) << int(QMessageBox::Yes) << true;
    QTest::newRow("no demo: new project") << int(QMessageBox::No) << int(QMessageBox::No) << false;
}

void TestKelvaraManProject::firstStart()
{
    QFETCH(int, settings);
    QFETCH(int, demo);
    QFETCH(bool, oldDemo);
    const QString demoFolder = appDataPath() + QStringLiteral("/DemoProject");
    if (oldDemo) {
        write(demoFolder + QStringLiteral("/DemoProject.sqlite3"), "an old, broken database");
        write(demoFolder + QStringLiteral("/DemoProject.sqlite3-journal"), "stale journal");
    }
    m_buttons = {Button(settings), Button(demo)};
    auto w = window();
    QTRY_VERIFY(m_boxes.size() >= 2);

    const QString title = QStringLiteral("First application start");
    QCOMPARE(m_boxes.at(0).icon, QMessageBox::Question);
    QCOMPARE(m_boxes.at(0).title, title);
    QCOMPARE(
        m_boxes.at(0).text,
        QStringLiteral("This is the first start of Kelvara-Manager on this computer.\n\nDo "
                       "you want to configure some general settings now?\n\n(In case of "
                       "'No' you can do that later under\n'Settings' -> 'General Settings')."));
    QCOMPARE(m_boxes.at(1).title, title);
    QCOMPARE(m_boxes.at(1).text,
             QStringLiteral("Do you first want to create a demo project?\n\n(In case of 'Yes' you "
                            "can later create your own project under\n'File' -> 'New Project')."));
    QCOMPARE(m_boxes.size(), 2);
    // "Yes" to the first question runs the general settings, and only then.
    QCOMPARE(m_settingsDialogs.contains(QStringLiteral("General Settings")),
             settings == QMessageBox::Yes);

    if (demo == QMessageBox::No) {
        QCOMPARE(m_asks.size(), 1);
        QCOMPARE(m_asks.at(0).title, QStringLiteral("Create new project"));
        QCOMPARE(w->projectFolder(), QString());
        QVERIFY(!QFileInfo::exists(demoFolder));
        return;
    }
    QVERIFY(m_asks.isEmpty());
    QCOMPARE(w->projectFolder(), native(demoFolder));
    QCOMPARE(w->databasePath(), native(demoFolder + QStringLiteral("/DemoProject.sqlite3")));
    QVERIFY(ProjectSchema::isProjectDatabase(demoFolder));
    QVERIFY(!QFileInfo::exists(demoFolder + QStringLiteral("/DemoProject.sqlite3-journal")));
    // Like a project made in the window, with its log and data folders.
    QVERIFY(QFileInfo(demoFolder + QStringLiteral("/log")).isDir());
    QVERIFY(QFileInfo(demoFolder + QStringLiteral("/data")).isDir());
    // 4 areas with 27 entries, 3 groups with 13 users.
    QCOMPARE(w->boardData().columnCount(), 1 + 4 + 27);
    QCOMPARE(w->boardData().rowCount(), 1 + 3 + 13);
    QVERIFY(w->projectParameters().haveUhfReader);

    if (!oldDemo && settings == QMessageBox::No) {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QString path = QStringLiteral(KX_SCREENSHOT_DIR "/kelvaraman-demo-project.png");
        QVERIFY(w->grab().save(path));
        qInfo("screenshot: %s", qPrintable(path));
    }
}

void TestKelvaraManProject::demoFailureLeavesNoProject_data()
{
    QTest::addColumn<QString>("blocker");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");
    QTest::newRow("folder is a file")
        << QStringLiteral("DemoProject") << QStringLiteral("Create Demo Database")
        << QStringLiteral("Cannot create project path\n\n");
    QTest::newRow("old database cannot go")
        << QStringLiteral("DemoProject/DemoProject.sqlite3/keep")
        << QStringLiteral("Remove Database") << QStringLiteral("Cannot remove old demo database");
}

void TestKelvaraManProject::demoFailureLeavesNoProject()
{
    QFETCH(QString, blocker);
    QFETCH(QString, title);
    QFETCH(QString, message);
    QFile::remove(appDataPath() + QStringLiteral("/DemoProject"));
    write(appDataPath() + QLatin1Char('/') + blocker, "in the way");
    m_buttons = {QMessageBox::No, QMessageBox::Yes};
    auto w = window();
    QTRY_COMPARE(m_boxes.size(), 3);
    QCOMPARE(m_boxes.at(2).icon, QMessageBox::Critical);
    QCOMPARE(m_boxes.at(2).title, title);
    QVERIFY2(m_boxes.at(2).text.startsWith(message), qPrintable(m_boxes.at(2).text));
    // Not taken as the current project, so the first start comes again.
    QCOMPARE(w->projectFolder(), QString());
    QCOMPARE(w->databasePath(), QString());
    QFile::remove(appDataPath() + QStringLiteral("/DemoProject"));
}

void TestKelvaraManProject::closingAtFirstStartKeepsSettings()
{
    // A settings file from before, without a project: the dialog rectangles
    // moved and saved at the end must not be written while no project is set.
    ApplicationSettings stored;
    stored.areToolTipsOn = false;
    stored.editUserDialogGeometry = QRect(9000, 9000, 400, 200);
    stored.currentProjectPath = QStringLiteral("placeholder");
    QVERIFY(stored.saveSettings());
    {
        QSettings ini(settingsFilePath(), QSettings::IniFormat);
        ini.remove(QStringLiteral("CurrentProjectPath"));
    }
    QFile file(settingsFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QVERIFY(!before.contains("CurrentProjectPath"));

    for (int start = 0; start < 2; ++start) {
        m_boxes.clear();
        m_asks.clear();
        m_buttons = {QMessageBox::No, QMessageBox::No};
        auto w = window();
        // The questions come on every start until a project exists.
        QTRY_COMPARE(m_asks.size(), 1);
        QCOMPARE(m_boxes.size(), 2);
        QCOMPARE(m_boxes.at(0).title, QStringLiteral("First application start"));
        QVERIFY(w->close());
        w.reset();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        file.close();
    }
}

void TestKelvaraManProject::noFirstStartWithProject()
{
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Plant")), false);
    auto w = window(current);
    w->firstStartCheck();
    QVERIFY(m_boxes.isEmpty());
    QVERIFY(m_asks.isEmpty());
    QCOMPARE(w->projectFolder(), native(current));
}

void TestKelvaraManProject::dialogRectsMovedOntoDesktop()
{
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Plant")), false);
    ApplicationSettings stored;
    stored.currentProjectPath = current;
    stored.isMaximized = false;
    stored.mainWindowGeometry = QRect(40, 50, 700, 500);
    stored.editUserDialogGeometry = QRect(9000, 9000, 400, 200);
    stored.functionDialogGeometry = QRect(-300, 0, 600, 400);
    QVERIFY(stored.saveSettings());
    auto w = std::make_unique<KelvaraMan>();

    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect user = w->settings().editUserDialogGeometry;
    QCOMPARE(user.size(), QSize(400, 200));
    QCOMPARE(user.bottom(), area.bottom());
    QCOMPARE(user.right(), area.right());
    QCOMPARE(w->settings().functionDialogGeometry, QRect(area.left(), 30, 600, 400));
    QCOMPARE(w->settings().editDoorDialogGeometry, QRect(100, 100, 300, 200));
    QVERIFY(!w->isMaximized());
    QCOMPARE(w->geometry().size(), QSize(700, 500));
}

void TestKelvaraManProject::killedWindowKeepsConfirmedSettings()
{
    QTemporaryDir tmp;
    const QString first = makeProject(tmp.filePath(QStringLiteral("First")), false);
    const QString second = makeProject(tmp.filePath(QStringLiteral("Second")), false);
    QVERIFY(!first.isEmpty() && !second.isEmpty());
    window(first).reset();
    QCOMPARE(ApplicationSettings().parallelEntries, 4);

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KX_SETTINGS_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {native(second)});
    QVERIFY(child.waitForStarted(10000));
    while (!child.canReadLine())
        QVERIFY2(child.waitForReadyRead(30000), child.readAllStandardError().constData());
    QCOMPARE(child.readLine().trimmed(), QByteArray("ready"));
    child.kill();
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    ApplicationSettings after;
    after.loadSettings();
    QCOMPARE(after.currentProjectPath, native(second));
    QCOMPARE(after.recentProjects.value(1), native(first));
    QCOMPARE(after.parallelEntries, 7);
}

void TestKelvaraManProject::settingsDialogsOpenOnTheWindow()
{
    QTemporaryDir tmp;
    const QString current = makeProject(tmp.filePath(QStringLiteral("Plant")), false);
    auto w = window(current);
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    w->setGeometry(QRect(area.center().x() - 260, area.top() + 80, 520, 420));
    w->show();
    w->generalSettings();
    w->projectSettings();
    const QPoint centre = w->geometry().center();
    QCOMPARE(m_dialogs.size(), 2);
    for (const QRect &d : qAsConst(m_dialogs)) {
        // A dialog that cannot be centred on the window without losing its
        // title bar above the screen's top is moved down.
        QRect centred(QPoint(), d.size());
        centred.moveCenter(centre);
        const bool fits = centred.top() >= WindowPlacement::MinimumTop && area.contains(centred);
        QVERIFY2(qAbs(d.center().x() - centre.x()) <= 1 &&
                     (!fits || qAbs(d.center().y() - centre.y()) <= 1),
                 qPrintable(QStringLiteral("%1,%2 %3x%4")
                                .arg(d.x())
                                .arg(d.y())
                                .arg(d.width())
                                .arg(d.height())));
    }
}

int main(int argc, char *argv[])
{
    // The child shares the parent's isolated home.
    if (qEnvironmentVariableIsSet("KX_SETTINGS_CHILD"))
        return settingsChild(argc, argv);
    TestSupport::isolateHome();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestKelvaraManProject tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_kelvaramanproject.moc"
