#include "app/kelvaraman.h"
#include "core/applicationsettings.h"
#include "core/errortext.h"
#include "core/paths.h"
#include "db/accessrights.h"
#include "db/audittrailmodel.h"
#include "db/boardchange.h"
#include "db/demoproject.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/timemodelrecords.h"
#include "db/userrecords.h"
#include "support/testsupport.h"
#include "views/functions/kelvarafunctiondialog.h"
#include "views/lists/kelvaradoors.h"
#include "views/lists/kelvaraevents.h"
#include "views/lists/kelvarahistory.h"
#include "views/lists/kelvaratimes.h"
#include "views/lists/kelvarausers.h"
#include "widgets/guimessages.h"
#include "widgets/kxdialogs.h"
#include "widgets/kxfindbar.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"
#include "widgets/kxtablewidget.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QSlider>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTranslator>
#include <QUrl>
#include <QWhatsThis>

#include <QRandomGenerator>

#include <functional>
#include <memory>

using HistoryOpener = std::function<void(KelvaraMan &, int row, int column)>;
Q_DECLARE_METATYPE(HistoryOpener)

class TestKelvaraMan : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void titleWithoutProject();
    void demoBoard();
    void setTimeModelOnGroupAndArea();
    void removeFromEmptyCellMarksNothing();
    void historyOpensNarrowed_data();
    void historyOpensNarrowed();
    void collapseFromCorner();
    void menus();
    void settingsSavedOnClose();
    void germanTranslation();
    void renameAreaAndGroup();
    void failedChangeRollsBack();
    void errorBoxes_data();
    void errorBoxes();
    void helpKey();
    void confirmationStatesCounts();
    void undoRedoGroupAreaChange();
    void ampersandInMenus();
    void collapsedAreaTurnsRed();
    void findAndFilter();
    void keyboardOnBoard();
    void tooltipsAndStatusBar();
    void folderActions();
    void renameOntoExistingAsks();
    void germanQtButtons();
    void recentProjects();
    void screenshots();
    void entryFoldersOfOneName();
    void undoRedoRename();
    void undoRefusedForAReplacedUser();
    void undoSaysWhenItCompared();
    void stickyHeadsNameWhatIsOnScreen();
    void damagedRightsFailTheBoard();
    void boardFollowsChanges_data();
    void boardFollowsChanges();
    void refusedStepKeepsItsPlace_data();
    void refusedStepKeepsItsPlace();
    void redoRefusedForAReplacedUser();
    void viewShowsAsItsSlotSays_data();
    void viewShowsAsItsSlotSays();
    void viewShortcuts_data();
    void viewShortcuts();
    void statusCountsStayTrue();
    void doubleClickOnCellOpensItsMenu();
    void countedTexts_data();
    void countedTexts();

private:
    std::unique_ptr<KelvaraMan> openDemo();
    void saveScreenshot(QWidget *w, const QString &name);
    int areaColumn(const KelvaraMan &w, const QString &area);
    int groupRow(const KelvaraMan &w, const QString &group);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_project;
    QStringList m_boxes;
    QStringList m_texts;
    // The answer to the confirmation of a change of several rights.
    QMessageBox::StandardButton m_confirm = QMessageBox::Yes;
    // The answer to joining a renamed group or area to an existing one.
    QMessageBox::StandardButton m_merge = QMessageBox::No;
};

namespace {

// Every user's group and every entry's area, by key, and the marked entries.
QStringList namesSnapshot(const QString &path)
{
    QStringList rows;
    ProjectDatabase db(path);
    if (!db.open())
        return {QStringLiteral("no database")};
    QSqlQuery q = db.query();
    q.exec(QStringLiteral("select PKusers,groupName from users order by PKusers"));
    while (q.next())
        rows << QStringLiteral("user %1 in %2").arg(q.value(0).toInt()).arg(q.value(1).toString());
    q.exec(QStringLiteral("select PKdoors,areaName,needsUpdate from doors order by PKdoors"));
    while (q.next())
        rows << QStringLiteral("entry %1 in %2, %3")
                    .arg(q.value(0).toInt())
                    .arg(q.value(1).toString())
                    .arg(q.value(2).toInt());
    return rows;
}

// Every right as "user:entry=model" and the marked entries, in order.
QStringList accessSnapshot(const QString &path)
{
    QStringList rows;
    ProjectDatabase db(path);
    if (!db.open())
        return {QStringLiteral("no database")};
    QSqlQuery q = db.query();
    q.exec(QStringLiteral("select FKusers,FKdoors,FKtimes from access order by FKusers,FKdoors"));
    while (q.next())
        rows << QStringLiteral("%1:%2=%3")
                    .arg(q.value(0).toInt())
                    .arg(q.value(1).toInt())
                    .arg(q.value(2).toInt());
    q.exec(QStringLiteral("select PKdoors from doors where needsUpdate=1 order by PKdoors"));
    while (q.next())
        rows << QStringLiteral("marked %1").arg(q.value(0).toInt());
    return rows;
}

// The user goes and a newcomer comes under the same key, as SQLite gives
// the largest key again once it is gone.
void replaceUser(const QString &path, int key)
{
    QVERIFY(!UserRecords::removeUser(path, key).isValid());
    UserRow newcomer;
    newcomer.familyName = QStringLiteral("Newcomer");
    newcomer.firstName = QStringLiteral("Nina");
    newcomer.groupName = QStringLiteral("Guests");
    int added = 0;
    QVERIFY(!UserRecords::addUser(path, newcomer, &added).isValid());
    QCOMPARE(added, key);
}

QAction *actionNamed(QMenu *menu, const QString &prefix)
{
    for (QAction *a : menu->actions()) {
        if (a->text().startsWith(prefix))
            return a;
    }
    return nullptr;
}

} // namespace

void TestKelvaraMan::initTestCase()
{
    kxInitResources();
    setUrlOpener([](const QUrl &) { return true; });
    KxMessageBox::setAnswerer([this](QMessageBox::Icon icon, const QString &title,
                                     const QString &text) {
        m_boxes << title;
        m_texts << text;
        if (title == QLatin1String("Set Time Model") || title == QLatin1String("Remove Time Model"))
            return m_confirm;
        if (icon == QMessageBox::Question &&
            (title == QLatin1String("Rename Area") || title == QLatin1String("Rename User Group")))
            return m_merge;
        return icon == QMessageBox::Question ? QMessageBox::No : QMessageBox::Ok;
    });
}

void TestKelvaraMan::init()
{
    m_boxes.clear();
    m_texts.clear();
    m_confirm = QMessageBox::Yes;
    m_merge = QMessageBox::No;
    QFile::remove(settingsFilePath());
    m_dir = std::make_unique<QTemporaryDir>();
    m_project = m_dir->path() + QStringLiteral("/Demo Süd");
    QVERIFY(QDir().mkpath(m_project));
    const QString db = ProjectDatabase::databasePathForProject(m_project);
    QVERIFY(!ProjectSchema::createProjectDatabase(db).isValid());
    QVERIFY(!DemoProject::fill(db).isValid());
}

void TestKelvaraMan::cleanup()
{
    m_dir.reset();
}

std::unique_ptr<KelvaraMan> TestKelvaraMan::openDemo()
{
    ApplicationSettings s;
    s.currentProjectPath = m_project;
    s.isMaximized = false;
    s.mainWindowGeometry = QRect(0, 0, 1600, 1000);
    s.saveSettings();
    auto w = std::make_unique<KelvaraMan>();
    w->resize(1600, 1000);
    w->show();
    return w;
}

void TestKelvaraMan::saveScreenshot(QWidget *w, const QString &name)
{
    QApplication::processEvents();
    w->grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/%1.png").arg(name));
}

int TestKelvaraMan::areaColumn(const KelvaraMan &w, const QString &area)
{
    for (int c = 1; c < w.boardData().columnCount(); ++c) {
        if (w.boardData().column(c).isHead && w.boardData().column(c).name == area)
            return c;
    }
    return -1;
}

int TestKelvaraMan::groupRow(const KelvaraMan &w, const QString &group)
{
    for (int r = 1; r < w.boardData().rowCount(); ++r) {
        if (w.boardData().row(r).isHead && w.boardData().row(r).name == group)
            return r;
    }
    return -1;
}

void TestKelvaraMan::titleWithoutProject()
{
    KelvaraMan w;
    QCOMPARE(w.windowTitle(),
             QStringLiteral("Kelvara Manager (V02.07) by KORVEX ::: Project Path = undefined"));
    QCOMPARE(w.board()->cell(0, 0).text(), QStringLiteral("No\nproject\nloaded"));
    QCOMPARE(KelvaraMan::versionText(), QStringLiteral("02.07"));

    w.settings().currentProjectPath = m_dir->path() + QStringLiteral("/nothing");
    w.buildBoard();
    QVERIFY(w.windowTitle().endsWith(QStringLiteral("/nothing' (invalid)")));
    w.settings().currentProjectPath.clear(); // keep the settings file out of it
}

void TestKelvaraMan::demoBoard()
{
    auto w = openDemo();
    QCOMPARE(w->windowTitle(),
             QStringLiteral("Kelvara Manager (V02.07) by KORVEX ::: Project Path = '%1'")
                 .arg(m_project));
    const AccessBoard &b = w->boardData();
    int areas = 0, entries = 0, groups = 0, users = 0;
    for (int c = 1; c < b.columnCount(); ++c)
        (b.column(c).isHead ? areas : entries)++;
    for (int r = 1; r < b.rowCount(); ++r)
        (b.row(r).isHead ? groups : users)++;
    QCOMPARE(areas, 4);
    QCOMPARE(entries, 27);
    QCOMPARE(groups, 3);
    QCOMPARE(users, 13);
    QCOMPARE(w->board()->rowCount(), 17);
    QCOMPARE(w->board()->columnCount(), 32);

    // Production users have no right at Development entries.
    const int production = groupRow(*w, QStringLiteral("Production"));
    const int development = areaColumn(*w, QStringLiteral("Development"));
    QCOMPARE(w->board()->cell(production, development).text(), QString());
    for (int r : b.memberRows(production)) {
        for (int c : b.memberColumns(development))
            QCOMPARE(w->board()->cell(r, c).text(), QString());
    }
    // Development users: "DEV" in both Development and Production.
    const int devRow = groupRow(*w, QStringLiteral("Development"));
    QCOMPARE(w->board()->cell(devRow, development).text(), QStringLiteral("DEV"));
    QCOMPARE(w->board()->cell(0, development).data(258).toInt(), 1);
    QCOMPARE(w->board()->cell(devRow, 0).data(258).toInt(), 2);
    QCOMPARE(w->board()->cell(devRow, development).data(258).toInt(), 3);
    QVERIFY(w->board()->cell(0, development + 1).text().startsWith(QStringLiteral("     ")));
    saveScreenshot(w.get(), QStringLiteral("board-demo"));
}

void TestKelvaraMan::setTimeModelOnGroupAndArea()
{
    auto w = openDemo();
    const int row = groupRow(*w, QStringLiteral("Production"));
    const int column = areaColumn(*w, QStringLiteral("Development"));
    w->clickedOnTableCell(row, column, 2, false);
    QMenu *menu = w->cellMenu();
    QCOMPARE(w->lastOpenedMenu(), menu);
    QAction *set = nullptr;
    QStringList texts;
    for (QAction *a : menu->actions()) {
        texts << a->text();
        if (a->text() == QStringLiteral("Set Time Model FM (Facility Manager)"))
            set = a;
    }
    QVERIFY2(set, qPrintable(texts.join(QLatin1Char('|'))));
    QCOMPARE(texts.at(0), QStringLiteral("User Group: Production"));
    QCOMPARE(texts.at(1), QStringLiteral("Area: Development"));
    QCOMPARE(texts.at(3), QStringLiteral("Remove Time Model"));
    menu->close();
    set->trigger();

    const AccessBoard &b = w->boardData();
    QCOMPARE(w->board()->cell(row, column).text(), QStringLiteral("FM"));
    for (int c : b.memberColumns(column)) {
        QVERIFY(b.column(c).needsUpdate);
        QCOMPARE(w->board()->cell(0, c).style().background.color(), QColor(255, 128, 128));
        for (int r : b.memberRows(row))
            QCOMPARE(w->board()->cell(r, c).text(), QStringLiteral("FM"));
    }
    // Other areas stay unmarked.
    const int parking = areaColumn(*w, QStringLiteral("Production"));
    QVERIFY(!b.column(parking + 1).needsUpdate);

    ProjectDatabase db(w->databasePath());
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    QVERIFY(q.exec(
        QStringLiteral("select count(*) from access,users,doors,times where FKusers=PKusers and "
                       "FKdoors=PKdoors and FKtimes=PKtimes and groupName='Production' and "
                       "areaName='Development' and modelTag='FM'")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 5 * 15);
    saveScreenshot(w.get(), QStringLiteral("board-red-entries"));
}

void TestKelvaraMan::historyOpensNarrowed_data()
{
    // Opens the history from one of the places that offer it, on the cell
    // of the board whose right was just set.
    using Open = HistoryOpener;
    QTest::addColumn<Open>("open");
    QTest::addColumn<QString>("subject");
    QTest::newRow("file menu") << Open([](KelvaraMan &w, int, int) {
        QMenu *file = w.menuBar()->actions().at(0)->menu();
        actionNamed(file, QStringLiteral("History of &Changes"))->trigger();
    }) << QString();
    QTest::newRow("board cell") << Open([](KelvaraMan &w, int row, int column) {
        w.clickedOnTableCell(row, column, 2, false);
        w.cellMenu()->close();
        actionNamed(w.cellMenu(), QStringLiteral("History of this right"))->trigger();
    }) << "Only the right of %1 at %2.";
    QTest::newRow("user list") << Open([](KelvaraMan &w, int row, int) {
        w.usersView()->buildList();
        QTableWidget *table = w.usersView()->table();
        const QString name = w.boardData().row(row).name;
        for (int r = 0; r < table->rowCount(); ++r) {
            if (table->item(r, 0)->text() + QStringLiteral(", ") + table->item(r, 1)->text() ==
                name)
                table->setCurrentCell(r, 0);
        }
        actionNamed(w.usersView()->userMenu(), QStringLiteral("History"))->trigger();
    }) << "Only records concerning the user %1.";
}

void TestKelvaraMan::historyOpensNarrowed()
{
    QFETCH(HistoryOpener, open);
    QFETCH(QString, subject);
    auto w = openDemo();
    const AccessBoard &b = w->boardData();
    const int row = b.memberRows(groupRow(*w, QStringLiteral("Production"))).first();
    const int column = b.memberColumns(areaColumn(*w, QStringLiteral("Development"))).first();
    w->clickedOnTableCell(row, column, 2, false);
    w->cellMenu()->close();
    actionNamed(w->cellMenu(), QStringLiteral("Set Time Model FM"))->trigger();

    open(*w, row, column);
    const QList<KelvaraHistory *> opened = w->findChildren<KelvaraHistory *>();
    QCOMPARE(opened.size(), 1);
    const QString entry = QStringLiteral("Development/") + b.column(column).name;
    QCOMPARE(opened.first()->subjectLabel()->text(),
             subject.isEmpty() ? QString() : subject.arg(b.row(row).name, entry));
    const AuditRecord shown = opened.first()->model()->record(0);
    QCOMPARE(shown.objectKind + QLatin1Char(' ') + shown.action, QStringLiteral("rights set"));
    QVERIFY(shown.users.contains(b.row(row).name));
    QVERIFY(shown.entries.contains(entry));
    opened.first()->close();
}

void TestKelvaraMan::removeFromEmptyCellMarksNothing()
{
    auto w = openDemo();
    const int row = groupRow(*w, QStringLiteral("Production"));
    const int column = areaColumn(*w, QStringLiteral("Development"));
    w->clickedOnTableCell(row, column, 2, false);
    QAction *remove = nullptr;
    for (QAction *a : w->cellMenu()->actions()) {
        if (a->data().toInt() == 0 && a->text() == QStringLiteral("Remove Time Model"))
            remove = a;
    }
    QVERIFY(remove);
    w->cellMenu()->close();
    remove->trigger();
    for (int c = 1; c < w->boardData().columnCount(); ++c)
        QVERIFY(!w->boardData().column(c).needsUpdate);
}

void TestKelvaraMan::collapseFromCorner()
{
    auto w = openDemo();
    KxTableWidget *board = w->board();
    QCOMPARE(board->shownRowCount(), 16);
    w->clickedOnTableCell(0, 0, 1, true);
    QCOMPARE(board->shownRowCount(), 3);
    QCOMPARE(board->shownColumnCount(), 4);
    w->clickedOnTableCell(0, 0, 1, true);
    QCOMPARE(board->shownRowCount(), 16);
    QCOMPARE(board->shownColumnCount(), 31);

    // A double click on a group head collapses only that group.
    const int management = groupRow(*w, QStringLiteral("Management"));
    w->clickedOnTableCell(management, 0, 1, true);
    QVERIFY(!w->isGroupExpanded(QStringLiteral("Management")));
    QCOMPARE(board->shownRowCount(), 16 - 3);
    saveScreenshot(w.get(), QStringLiteral("board-collapsed-group"));
}

void TestKelvaraMan::menus()
{
    auto w = openDemo();
    // A user row head has no menu.
    const int group = groupRow(*w, QStringLiteral("Management"));
    w->clickedOnTableCell(group + 1, 0, 2, false);
    QVERIFY(!w->lastOpenedMenu());

    w->clickedOnTableCell(group, 0, 2, false);
    QCOMPARE(w->lastOpenedMenu(), w->rowHeadMenu());
    QCOMPARE(w->rowHeadMenu()->actions().first()->text(), QStringLiteral("User Group: Management"));
    QVERIFY(w->rowHeadMenu()->actions().first()->isChecked());
    w->rowHeadMenu()->close();

    const int area = areaColumn(*w, QStringLiteral("Development"));
    w->clickedOnTableCell(0, area + 1, 2, false);
    QCOMPARE(w->lastOpenedMenu(), w->columnHeadMenu());
    const QList<QAction *> actions = w->columnHeadMenu()->actions();
    QCOMPARE(actions.at(0)->text(), QStringLiteral("Entry: Department A"));
    QVERIFY(!actions.at(0)->isEnabled());
    QVERIFY(!actions.at(1)->isEnabled()); // Rename only for an area
    w->columnHeadMenu()->close();
    w->clickedOnTableCell(0, area, 2, false);
    QVERIFY(w->columnHeadMenu()->actions().at(1)->isEnabled());
    w->columnHeadMenu()->close();

    w->clickedOnTableCell(0, 0, 2, false);
    QCOMPARE(w->lastOpenedMenu(), w->cornerMenu());
    w->cornerMenu()->close();

    w->helpFwVersions();
    QCOMPARE(m_boxes.last(), QStringLiteral("Required Minimum Firmware Versions"));
}

void TestKelvaraMan::settingsSavedOnClose()
{
    {
        auto w = openDemo();
        w->settings().areToolTipsOn = false;
        w->settings().functionDialogGeometry = QRect(7, 8, 640, 480);
        w->close();
    }
    const QSettings s(settingsFilePath(), QSettings::IniFormat);
    QCOMPARE(s.value(QStringLiteral("CurrentProjectPath")).toString(), m_project);
    QCOMPARE(s.value(QStringLiteral("FunctionDialog.Geometry")).toRect(), QRect(7, 8, 640, 480));
    QCOMPARE(s.value(QStringLiteral("MainWindow.AreToolTipsOn")).toString(),
             QStringLiteral("false"));
}

void TestKelvaraMan::germanTranslation()
{
    QTranslator translator;
    QVERIFY(translator.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("kelvara"),
                            QStringLiteral("-"), QStringLiteral(":/"), QStringLiteral(".qm")));
    QApplication::installTranslator(&translator);
    {
        KelvaraMan w;
        QVERIFY(w.windowTitle().startsWith(QStringLiteral("Kelvara Manager (V02.07) von KORVEX")));
        QCOMPARE(w.board()->cell(0, 0).text(), QStringLiteral("Kein\nProjekt\ngeladen"));
    }
    {
        // The project was made in English; its "always" model is German here.
        auto w = openDemo();
        w->clickedOnTableCell(2, 2, 2, false);
        QStringList texts;
        for (const QAction *a : w->cellMenu()->actions())
            texts << a->text();
        w->cellMenu()->close();
        QVERIFY2(texts.contains(QStringLiteral("Zeitmodell *** setzen (Immer)")),
                 qPrintable(texts.join(QLatin1Char('|'))));
    }
    QApplication::removeTranslator(&translator);
}

void TestKelvaraMan::renameAreaAndGroup()
{
    auto w = openDemo();
    const auto previous = KxDialogs::setAnswerer(
        [](KxDialogs::Kind, const QString &title, const QString &, const QString &proposal) {
            return title == QStringLiteral("Rename Area") ? proposal + QStringLiteral(" Süd")
                                                          : QStringLiteral("Leitung; 'A'");
        });
    w->clickedOnTableCell(0, areaColumn(*w, QStringLiteral("Production")), 2, false);
    w->columnHeadMenu()->close();
    w->mchRename();
    QVERIFY(areaColumn(*w, QStringLiteral("Production Süd")) > 0);
    QCOMPARE(areaColumn(*w, QStringLiteral("Production")), -1);

    w->clickedOnTableCell(groupRow(*w, QStringLiteral("Management")), 0, 2, false);
    w->rowHeadMenu()->close();
    w->mrhRename();
    QVERIFY(groupRow(*w, QStringLiteral("Leitung; 'A'")) > 0);
    KxDialogs::setAnswerer(previous);
}

void TestKelvaraMan::failedChangeRollsBack()
{
    auto w = openDemo();
    {
        ProjectDatabase db(w->databasePath());
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        // The last pair written fails: everything before it must go too.
        QVERIFY(q.exec(QStringLiteral(
            "create trigger refuse before update on access when (select count(*) from access "
            "where FKtimes=(select PKtimes from times where modelTag='CRY')) >= 10 begin "
            "select raise(abort, 'refused by test'); end")));
    }
    const int row = groupRow(*w, QStringLiteral("Development"));
    const int column = areaColumn(*w, QStringLiteral("Development"));
    w->clickedOnTableCell(row, column, 2, false);
    QAction *set = nullptr;
    for (QAction *a : w->cellMenu()->actions()) {
        if (a->text().startsWith(QStringLiteral("Set Time Model CRY")))
            set = a;
    }
    QVERIFY(set);
    w->cellMenu()->close();
    m_boxes.clear();
    set->trigger();
    QCOMPARE(m_boxes, (QStringList{QStringLiteral("Set Time Model"),
                                   QStringLiteral("DB change time model")}));
    QVERIFY(!w->undoAction()->isEnabled()); // nothing was done, nothing to undo
    QCOMPARE(w->board()->cell(row, column).text(), QStringLiteral("DEV"));
    for (int c : w->boardData().memberColumns(column))
        QVERIFY(!w->boardData().column(c).needsUpdate);
    w->buildBoard(); // what the database holds
    QCOMPARE(w->board()->cell(row, column).text(), QStringLiteral("DEV"));
}

void TestKelvaraMan::errorBoxes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");
    QTest::newRow("success") << 0 << int(QMessageBox::Information) << "Ok";
    QTest::newRow("library") << -4 << int(QMessageBox::Critical) << "Library Error";
    QTest::newRow("reader") << 10 << int(QMessageBox::Critical) << "Reader Error";
    QTest::newRow("application") << 300 << int(QMessageBox::Critical) << "Application Error";
}

void TestKelvaraMan::errorBoxes()
{
    QFETCH(int, code);
    QFETCH(int, icon);
    QFETCH(QString, title);
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    QString seenTitle, seenText;
    KxMessageBox::ScopedAnswerer answer(
        [&](QMessageBox::Icon i, const QString &t, const QString &text) {
            seenIcon = i;
            seenTitle = t;
            seenText = text;
            return QMessageBox::Ok;
        });
    showError(nullptr, ErrorInfo(code, QStringLiteral("Open port")));
    QCOMPARE(int(seenIcon), icon);
    QCOMPARE(seenTitle, title);
    QCOMPARE(seenText, errorText(ErrorInfo(code, QStringLiteral("Open port"))));

    openFile(nullptr, QStringLiteral("/no/such/file.pdf"));
    QCOMPARE(seenTitle, QStringLiteral("Open file"));
    QCOMPARE(seenText, QStringLiteral("The file\n\n/no/such/file.pdf\n\ndoes not exist"));
    openPath(nullptr, QStringLiteral("/no/such/folder"));
    QCOMPARE(seenTitle, QStringLiteral("Open path"));
}

void TestKelvaraMan::helpKey()
{
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QVERIFY(handleHelpKey(&f1));
    QVERIFY(f1.isAccepted());
    QVERIFY(QWhatsThis::inWhatsThisMode());
    QWhatsThis::leaveWhatsThisMode();
    QKeyEvent shiftF1(QEvent::KeyPress, Qt::Key_F1, Qt::ShiftModifier);
    QVERIFY(!handleHelpKey(&shiftF1));
    QVERIFY(!shiftF1.isAccepted());
}

void TestKelvaraMan::confirmationStatesCounts()
{
    auto w = openDemo();
    const QStringList before = accessSnapshot(w->databasePath());
    const int row = groupRow(*w, QStringLiteral("Development"));
    const int column = areaColumn(*w, QStringLiteral("Development"));
    // What the removal touches, counted by the database itself.
    const QString filter =
        QStringLiteral(" from access,users,doors where FKusers=PKusers and FKdoors=PKdoors and "
                       "groupName='Development' and areaName='Development'");
    int rights = 0, users = 0, entries = 0;
    {
        ProjectDatabase db(w->databasePath());
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(q.exec(
            QStringLiteral("select count(*),count(distinct FKusers),count(distinct FKdoors)") +
            filter));
        QVERIFY(q.next());
        rights = q.value(0).toInt();
        users = q.value(1).toInt();
        entries = q.value(2).toInt();
    }
    QVERIFY(rights > 1);

    m_confirm = QMessageBox::No;
    w->clickedOnTableCell(row, column, 2, false);
    w->cellMenu()->close();
    actionNamed(w->cellMenu(), QStringLiteral("Remove Time Model"))->trigger();
    QCOMPARE(m_boxes, QStringList{QStringLiteral("Remove Time Model")});
    QVERIFY2(m_texts.last().startsWith(QStringLiteral("Remove %1 rights of %2 users at %3 entries?")
                                           .arg(rights)
                                           .arg(users)
                                           .arg(entries)),
             qPrintable(m_texts.last()));
    // Declined: nothing changed and nothing to undo.
    QCOMPARE(accessSnapshot(w->databasePath()), before);
    QVERIFY(!w->undoAction()->isEnabled());

    // One right changes without a question.
    m_boxes.clear();
    const int user = w->boardData().memberRows(row).first();
    const int entry = w->boardData().memberColumns(column).first();
    w->clickedOnTableCell(user, entry, 2, false);
    w->cellMenu()->close();
    actionNamed(w->cellMenu(), QStringLiteral("Set Time Model FM"))->trigger();
    QVERIFY2(m_boxes.isEmpty(),
             qPrintable(m_boxes.join(QLatin1Char('|')) + m_texts.join(QLatin1Char('|'))));
    QCOMPARE(w->board()->cell(user, entry).text(), QStringLiteral("FM"));
}

void TestKelvaraMan::undoRedoGroupAreaChange()
{
    auto w = openDemo();
    const QString path = w->databasePath();
    // One entry is pending already; it must stay so.
    const int column = areaColumn(*w, QStringLiteral("Development"));
    const int pendingEntry = w->boardData().column(column + 2).key;
    QVERIFY(!AccessRights::setNeedsUpdateOfEntry(path, pendingEntry, true).isValid());
    w->buildBoard();
    const QStringList before = accessSnapshot(path);
    const int row = groupRow(*w, QStringLiteral("Development"));
    QVERIFY(!w->undoAction()->isEnabled());

    w->clickedOnTableCell(row, column, 2, false);
    w->cellMenu()->close();
    actionNamed(w->cellMenu(), QStringLiteral("Set Time Model FM"))->trigger();
    QCOMPARE(w->board()->cell(row, column).text(), QStringLiteral("FM"));
    const QStringList changed = accessSnapshot(path);
    QVERIFY(changed != before);
    QVERIFY(w->undoAction()->isEnabled());
    QVERIFY(w->undoAction()->text().startsWith(QStringLiteral("&Undo Set Time Model FM")));

    // The board is rebuilt in between: the step keeps its keys, not its cells.
    w->clickedOnTableCell(0, 0, 1, true);
    w->clickedOnTableCell(0, 0, 1, true);
    w->undoAction()->trigger();
    QCOMPARE(w->board()->cell(row, column).text(), QStringLiteral("DEV"));
    // The rights exactly as before; the entries whose rights came back are
    // marked (a reader may hold the change), the pending one stays marked.
    QStringList rightsBefore = before.filter(QStringLiteral("="));
    QCOMPARE(accessSnapshot(path).filter(QStringLiteral("=")), rightsBefore);
    QStringList expectedMarks;
    for (int c : w->boardData().memberColumns(column))
        expectedMarks << QStringLiteral("marked %1").arg(w->boardData().column(c).key);
    std::sort(expectedMarks.begin(), expectedMarks.end(), [](const QString &a, const QString &b) {
        return a.mid(7).toInt() < b.mid(7).toInt();
    });
    QCOMPARE(accessSnapshot(path).filter(QStringLiteral("marked")), expectedMarks);
    QVERIFY(w->redoAction()->isEnabled());
    QVERIFY(!w->undoAction()->isEnabled());

    w->redoAction()->trigger();
    QCOMPARE(accessSnapshot(path).filter(QStringLiteral("=")), changed.filter(QStringLiteral("=")));
    QCOMPARE(w->board()->cell(row, column).text(), QStringLiteral("FM"));

    // The keys of the Edit menu.
    QCOMPARE(w->undoAction()->shortcut(), QKeySequence(QKeySequence::Undo));
    QVERIFY(w->redoAction()->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+Shift+Z"))));
    // Another project starts without the steps of this one.
    w->openProjectFolder(m_project);
    QVERIFY(!w->undoAction()->isEnabled());
    QVERIFY(!w->redoAction()->isEnabled());
}

void TestKelvaraMan::ampersandInMenus()
{
    {
        ProjectDatabase db(ProjectDatabase::databasePathForProject(m_project));
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(q.exec(QStringLiteral("update doors set areaName='R&D Lab' "
                                      "where areaName='Development'")));
        QVERIFY(q.exec(QStringLiteral("update users set groupName='Sales & Service' "
                                      "where groupName='Development'")));
        QVERIFY(q.exec(QStringLiteral("update doors set doorName='Door & Gate' "
                                      "where doorName='Department A'")));
        QVERIFY(q.exec(QStringLiteral("update times set modelTag='R&D', modelName='Nights & "
                                      "Weekends' where modelTag='DEV'")));
    }
    auto w = openDemo();
    const int row = groupRow(*w, QStringLiteral("Sales & Service"));
    const int column = areaColumn(*w, QStringLiteral("R&D Lab"));
    QVERIFY(row > 0 && column > 0);

    w->clickedOnTableCell(row, column, 2, false);
    w->cellMenu()->close();
    QCOMPARE(w->cellMenu()->actions().at(0)->text(),
             QStringLiteral("User Group: Sales && Service"));
    QCOMPARE(w->cellMenu()->actions().at(1)->text(), QStringLiteral("Area: R&&D Lab"));
    QAction *model = actionNamed(w->cellMenu(), QStringLiteral("Set Time Model R&&D"));
    QVERIFY(model);
    QCOMPARE(model->text(), QStringLiteral("Set Time Model R&&D (Nights && Weekends)"));
    // The model in force is checked.
    QVERIFY(model->isChecked());
    QVERIFY(!actionNamed(w->cellMenu(), QStringLiteral("Set Time Model FM"))->isChecked());

    w->clickedOnTableCell(0, column, 2, false);
    w->columnHeadMenu()->close();
    QCOMPARE(w->columnHeadMenu()->actions().at(0)->text(), QStringLiteral("Area: R&&D Lab"));
    int door = -1;
    for (int c : w->boardData().memberColumns(column)) {
        if (w->boardData().column(c).name == QStringLiteral("Door & Gate"))
            door = c;
    }
    QVERIFY(door > 0);
    w->clickedOnTableCell(0, door, 2, false);
    w->columnHeadMenu()->close();
    QCOMPARE(w->columnHeadMenu()->actions().at(0)->text(), QStringLiteral("Entry: Door && Gate"));
    w->clickedOnTableCell(row, 0, 2, false);
    w->rowHeadMenu()->close();
    QCOMPARE(w->rowHeadMenu()->actions().at(0)->text(),
             QStringLiteral("User Group: Sales && Service"));
    w->clickedOnTableCell(row + 1, door, 2, false);
    w->cellMenu()->close();
    QVERIFY(w->cellMenu()->actions().at(1)->text() == QStringLiteral("Entry: Door && Gate"));
}

void TestKelvaraMan::collapsedAreaTurnsRed()
{
    auto w = openDemo();
    const int column = areaColumn(*w, QStringLiteral("Production"));
    const QColor yellow(Qt::yellow);
    const QColor red(255, 128, 128);
    auto headColour = [&] { return w->board()->cell(0, column).style().background.color(); };
    w->clickedOnTableCell(0, column, 1, true);
    QCOMPARE(w->board()->cell(0, column).groupMode(), int(KxTableCell::CollapsedHead));
    QCOMPARE(headColour(), yellow); // nothing pending
    w->clickedOnTableCell(0, column, 1, true);

    const int entry = column + 3;
    QVERIFY(!AccessRights::setNeedsUpdateOfEntry(w->databasePath(),
                                                 w->boardData().column(entry).key, true)
                 .isValid());
    w->buildBoard();
    QCOMPARE(headColour(), yellow); // expanded: the entry itself shows red
    w->clickedOnTableCell(0, column, 1, true);
    QCOMPARE(headColour(), red);
    QVERIFY(w->cellToolTip(0, column).contains(QStringLiteral("Entries waiting for an update: 1")));
    QVERIFY(w->cellToolTip(0, column).contains(QStringLiteral("Collapsed")));
    saveScreenshot(w.get(), QStringLiteral("board-collapsed-pending"));
    w->clickedOnTableCell(0, column, 1, true);
    QCOMPARE(headColour(), yellow);
}

void TestKelvaraMan::findAndFilter()
{
    auto w = openDemo();
    KxTableWidget *board = w->board();
    const int allColumns = board->shownColumnCount();
    const int allRows = board->shownRowCount();
    w->showFindBar();
    QVERIFY(w->findBar()->isVisible());
    QTest::keyClicks(w->findBar()->lineEdit(), QStringLiteral("department"));
    const QVector<QPoint> matches = w->findMatches();
    QVERIFY(matches.size() > 1);
    for (const QPoint &m : matches) {
        QCOMPARE(m.y(), 0); // entries only
        QVERIFY(w->boardData().column(m.x()).name.contains(QStringLiteral("Department")));
    }
    QCOMPARE(w->findBar()->matchText(), QStringLiteral("%1 matches").arg(matches.size()));

    QTest::keyClick(w->findBar()->lineEdit(), Qt::Key_Return);
    QCOMPARE(board->currentRow(), 0);
    QCOMPARE(board->currentColumn(), matches.at(0).x());
    QCOMPARE(w->findBar()->matchText(), QStringLiteral("1 of %1").arg(matches.size()));
    w->findPrevious();
    QCOMPARE(board->currentColumn(), matches.last().x());

    // The filter keeps the matching columns with their area heads, and every row.
    w->findBar()->filterBox()->setChecked(true);
    QCOMPARE(board->shownRowCount(), allRows);
    QVERIFY(board->shownColumnCount() < allColumns);
    for (int c = 1; c < w->boardData().columnCount(); ++c) {
        const AccessBoard::Line &line = w->boardData().column(c);
        if (!line.isHead)
            QCOMPARE(board->isColumnShown(c), line.name.contains(QStringLiteral("Department")));
    }
    QVERIFY(board->isColumnShown(areaColumn(*w, QStringLiteral("Development"))));
    QVERIFY(!board->isColumnShown(areaColumn(*w, QStringLiteral("Production"))));
    saveScreenshot(w.get(), QStringLiteral("board-find-filter"));
    // The filter survives a rebuild.
    w->buildBoard();
    QVERIFY(board->shownColumnCount() < allColumns);

    // A user group by name: its rows stay, the columns all come back.
    w->findBar()->lineEdit()->setText(QStringLiteral("management"));
    const int management = groupRow(*w, QStringLiteral("Management"));
    QCOMPARE(board->shownRowCount(), w->boardData().memberRows(management).size() + 1);
    QCOMPARE(board->shownColumnCount(), allColumns);

    // Nothing found says so.
    w->findBar()->lineEdit()->setText(QStringLiteral("no such name"));
    QCOMPARE(w->findBar()->matchText(), QStringLiteral("No match"));

    // Escape closes the bar and shows the whole board.
    QTest::keyClick(w->findBar()->lineEdit(), Qt::Key_Escape);
    QVERIFY(!w->findBar()->isVisible());
    QCOMPARE(board->shownRowCount(), allRows);
    QCOMPARE(board->shownColumnCount(), allColumns);
}

void TestKelvaraMan::keyboardOnBoard()
{
    auto w = openDemo();
    KxTableWidget *board = w->board();
    board->setFocus();
    QTest::keyClick(board, Qt::Key_Down);
    QCOMPARE(board->currentRow(), 1);
    QCOMPARE(board->currentColumn(), 1);
    QTest::keyClick(board, Qt::Key_Down);
    QTest::keyClick(board, Qt::Key_Right);
    const int row = board->currentRow();
    const int column = board->currentColumn();
    QCOMPARE(row, 2);
    QCOMPARE(column, 2);
    // The status bar names the user and the entry with their group and area.
    QVERIFY(w->statusBar()->currentMessage().contains(w->boardData().row(row).name));
    QVERIFY(w->statusBar()->currentMessage().contains(w->boardData().column(column).name));
    QTest::keyClick(board, Qt::Key_Return);
    QCOMPARE(w->lastOpenedMenu(), w->cellMenu());
    w->cellMenu()->close();
    QTest::keyClick(board, Qt::Key_Space); // a member cell: nothing to toggle
    // A change from the keyboard keeps the current cell through the rebuild.
    actionNamed(w->cellMenu(), QStringLiteral("Set Time Model FM"))->trigger();
    QCOMPARE(board->currentRow(), row);
    QCOMPARE(board->currentColumn(), column);
    QCOMPARE(board->cell(row, column).text(), QStringLiteral("FM"));

    // Space on a group head collapses it; the current cell stays on the head.
    QTest::keyClick(board, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(board, Qt::Key_Down);
    QCOMPARE(board->currentRow(), 1);
    QTest::keyClick(board, Qt::Key_Home);
    QTest::keyClick(board, Qt::Key_Space);
    QVERIFY(!w->isGroupExpanded(w->boardData().row(1).name));
}

void TestKelvaraMan::tooltipsAndStatusBar()
{
    auto w = openDemo();
    QCOMPARE(w->statusText(),
             QStringLiteral("Project: Demo Süd    Users: 13    Entries: 27    Pending updates: 0"));
    const int row = groupRow(*w, QStringLiteral("Development"));
    const int column = areaColumn(*w, QStringLiteral("Development"));
    const int user = row + 1;
    const int entry = column + 1;
    const QString tip = w->cellToolTip(user, entry);
    QVERIFY2(
        tip.startsWith(QStringLiteral("User: %1\nEntry: %2\nTime model: DEV (Development)\n    ")
                           .arg(w->boardData().row(user).name, w->boardData().column(entry).name)),
        qPrintable(tip));
    QVERIFY(w->cellToolTip(row, column).startsWith(QStringLiteral("User Group: Development (")));
    QVERIFY(w->cellToolTip(0, entry).startsWith(QStringLiteral("Entry: ")));
    QCOMPARE(w->cellToolTip(0, 0), QString());
    const int production = groupRow(*w, QStringLiteral("Production"));
    QVERIFY(w->cellToolTip(production, column).endsWith(QStringLiteral("No access")));

    w->clickedOnTableCell(production, column, 2, false);
    w->cellMenu()->close();
    actionNamed(w->cellMenu(), QStringLiteral("Set Time Model FM"))->trigger();
    QVERIFY(w->statusText().endsWith(
        QStringLiteral("Pending updates: %1").arg(w->boardData().memberColumns(column).size())));
    QVERIFY(w->cellToolTip(0, entry).contains(QStringLiteral("needs an update")));

    QFile::remove(settingsFilePath());
    KelvaraMan empty;
    QCOMPARE(empty.statusText(), QStringLiteral("No project loaded"));
}

void TestKelvaraMan::folderActions()
{
    {
        KelvaraMan w;
        QAction *data = actionNamed(w.cornerMenu(), QStringLiteral("Open Data Path"));
        QAction *log = actionNamed(w.cornerMenu(), QStringLiteral("Open Log Path"));
        QVERIFY(!data->isEnabled());
        QVERIFY(!log->isEnabled());
        m_boxes.clear();
        w.m00hOpenDataPath(); // even when called: no box about "/data"
        QVERIFY(m_boxes.isEmpty());
    }
    auto w = openDemo();
    QVERIFY(actionNamed(w->cornerMenu(), QStringLiteral("Open Data Path"))->isEnabled());
    QVERIFY(QDir().mkpath(m_project + QStringLiteral("/data")));
    const auto previous = setUrlOpener([](const QUrl &) { return false; });
    m_boxes.clear();
    w->m00hOpenDataPath();
    setUrlOpener(previous);
    QCOMPARE(m_boxes, QStringList{QStringLiteral("Open path")});
    QVERIFY2(m_texts.last().contains(m_project + QStringLiteral("/data")) &&
                 m_texts.last().contains(QStringLiteral("could not be opened")),
             qPrintable(m_texts.last()));

    // An entry name never leads the folder out of the project.
    {
        ProjectDatabase db(w->databasePath());
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(q.exec(QStringLiteral("update doors set doorName='../../../etc' "
                                      "where doorName='Department A'")));
    }
    w->buildBoard();
    int entry = -1;
    for (int c = 1; c < w->boardData().columnCount(); ++c) {
        if (w->boardData().column(c).name == QStringLiteral("../../../etc"))
            entry = c;
    }
    QVERIFY(entry > 0);
    QHash<int, QString> keys;
    QVERIFY(!EntryRecords::folderKeys(w->databasePath(), keys).isValid());
    const QString key = keys.value(w->boardData().column(entry).key);
    QVERIFY(!key.contains(QLatin1Char('/')));
    QVERIFY(QDir().mkpath(entryDataPath(m_project, key)));
    QVERIFY(QDir().mkpath(entryLogPath(m_project, key)));
    QStringList opened;
    const auto recorder = setUrlOpener([&opened](const QUrl &url) {
        opened << url.toLocalFile();
        return true;
    });
    w->clickedOnTableCell(0, entry, 2, false);
    w->columnHeadMenu()->close();
    m_boxes.clear();
    w->mchOpenDataPath();
    w->mchOpenLogPath();
    setUrlOpener(recorder);
    QCOMPARE(opened.size(), 2);
    for (const QString &folder : qAsConst(opened))
        QVERIFY2(QDir::cleanPath(folder).startsWith(m_project + QLatin1Char('/')),
                 qPrintable(folder));
    QVERIFY(m_boxes.isEmpty());
}

void TestKelvaraMan::renameOntoExistingAsks()
{
    auto w = openDemo();
    const auto previous =
        KxDialogs::setAnswerer([](KxDialogs::Kind, const QString &, const QString &,
                                  const QString &) { return QStringLiteral("Production"); });
    const int column = areaColumn(*w, QStringLiteral("Development"));
    w->clickedOnTableCell(0, column, 2, false);
    w->columnHeadMenu()->close();
    m_boxes.clear();
    w->mchRename(); // the answerer says No to the question
    QCOMPARE(m_boxes, QStringList{QStringLiteral("Rename Area")});
    QVERIFY(m_texts.last().contains(QStringLiteral("exists already")));
    QVERIFY(areaColumn(*w, QStringLiteral("Development")) > 0);
    KxDialogs::setAnswerer(previous);
}

void TestKelvaraMan::germanQtButtons()
{
    const QString qtGerman =
        QLibraryInfo::location(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_de.qm");
    if (!QFile::exists(qtGerman))
        QSKIP("Qt's German translation is not installed (qttranslations5-l10n)");
    const QList<QTranslator *> translators =
        kxInstallTranslations(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(translators.size(), 3);
    {
        QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Yes |
                                 QDialogButtonBox::No);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
        QCOMPARE(buttons.button(QDialogButtonBox::Yes)->text(), QStringLiteral("&Ja"));
        {
            // Gone before events run: its first-start questions would wait for an answer.
            KelvaraMan w;
            QCOMPARE(w.board()->cell(0, 0).text(), QStringLiteral("Kein\nProjekt\ngeladen"));
        }
        auto demo = openDemo();
        demo->showFindBar();
        QTest::keyClicks(demo->findBar()->lineEdit(), QStringLiteral("Raum"));
        saveScreenshot(demo.get(), QStringLiteral("board-german"));
    }
    for (QTranslator *t : translators) {
        QApplication::removeTranslator(t);
        delete t;
    }
}

void TestKelvaraMan::recentProjects()
{
    auto w = openDemo();
    QStringList folders;
    for (int i = 0; i < 6; ++i) {
        const QString folder = m_dir->path() + QStringLiteral("/Site %1").arg(i);
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(
            !ProjectSchema::createProjectDatabase(ProjectDatabase::databasePathForProject(folder))
                 .isValid());
        w->openProjectFolder(folder);
        folders.prepend(folder);
    }
    // The last five, the latest first; the demo of the start fell off.
    QCOMPARE(w->settings().recentProjects, folders.mid(0, 5));
    w->fillRecentMenu();
    QCOMPARE(w->recentMenu()->actions().size(), 5);
    QCOMPARE(w->recentMenu()->actions().at(1)->text(), QStringLiteral("&2  %1").arg(folders.at(1)));

    QVERIFY(QDir(folders.at(2)).removeRecursively());
    m_boxes.clear();
    w->recentMenu()->actions().at(2)->trigger();
    QCOMPARE(m_boxes, QStringList{QStringLiteral("Open Recent Project")});
    QVERIFY(m_texts.last().contains(folders.at(2)));
    QCOMPARE(w->settings().recentProjects.size(), 4);
    QCOMPARE(w->projectFolder(), folders.at(0)); // still the open project

    w->recentMenu()->actions().at(1)->trigger();
    QCOMPARE(w->projectFolder(), folders.at(1));
    QCOMPARE(w->settings().recentProjects.first(), folders.at(1));
    w->close();
    w.reset();
    ApplicationSettings saved;
    saved.loadSettings();
    QCOMPARE(saved.recentProjects.size(), 4);
    QCOMPARE(saved.recentProjects.first(), folders.at(1));
}

void TestKelvaraMan::screenshots()
{
    auto w = openDemo();
    // The status bar with a current cell, and a tooltip beside it.
    w->board()->setFocus();
    QTest::keyClick(w->board(), Qt::Key_Down);
    QTest::keyClick(w->board(), Qt::Key_Down);
    QTest::keyClick(w->board(), Qt::Key_Right);
    saveScreenshot(w.get(), QStringLiteral("board-status-bar"));
    const QRect cell = w->board()->cellRect(w->board()->currentRow(), w->board()->currentColumn());
    QToolTip::showText(w->board()->mapToGlobal(cell.center()),
                       w->cellToolTip(w->board()->currentRow(), w->board()->currentColumn()),
                       w->board());
    QApplication::processEvents();
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (!top->inherits("QTipLabel") || !top->isVisible())
            continue;
        const QPixmap tip = top->grab();
        tip.save(QStringLiteral(KX_SCREENSHOT_DIR "/board-tooltip.png"));
        // The whole window with the tooltip where it shows, for the README.
        QPixmap window = w->grab();
        QPainter painter(&window);
        painter.drawPixmap(w->mapFromGlobal(top->pos()), tip);
        painter.end();
        window.save(QStringLiteral(KX_SCREENSHOT_DIR "/board-overview.png"));
    }
    QToolTip::hideText();

    w->showFindBar();
    QTest::keyClicks(w->findBar()->lineEdit(), QStringLiteral("Dep"));
    w->findNext();
    saveScreenshot(w.get(), QStringLiteral("board-find-bar"));
    w->findBar()->dismiss();

    w->showLegend();
    QApplication::processEvents();
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->windowTitle() == QStringLiteral("Access Board Legend") && top->isVisible()) {
            top->adjustSize();
            saveScreenshot(top, QStringLiteral("board-legend"));
            top->close();
        }
    }
}

void TestKelvaraMan::entryFoldersOfOneName()
{
    // The demo has a "Main Entrance" in two areas: each column opens its own folders.
    auto w = openDemo();
    QStringList opened;
    const auto previous = setUrlOpener([&](const QUrl &url) {
        opened << url.toLocalFile();
        return true;
    });
    for (int c = 1; c < w->boardData().columnCount(); ++c) {
        if (w->boardData().column(c).isHead ||
            w->boardData().column(c).name != QLatin1String("Main Entrance"))
            continue;
        const QString area = w->boardData().column(w->boardData().column(c).head).name;
        const QString key = QStringLiteral("Main Entrance (%1)").arg(area);
        QVERIFY(QDir().mkpath(entryDataPath(m_project, key)));
        QVERIFY(QDir().mkpath(entryLogPath(m_project, key)));
        w->clickedOnTableCell(0, c, 2, false);
        w->columnHeadMenu()->close();
        w->mchOpenDataPath();
        w->mchOpenLogPath();
    }
    setUrlOpener(previous);
    QCOMPARE(opened.size(), 4);
    QCOMPARE(QSet<QString>(opened.begin(), opened.end()).size(), 4);
    QVERIFY(m_boxes.isEmpty());
}

void TestKelvaraMan::undoRefusedForAReplacedUser()
{
    auto w = openDemo();
    const QString path = w->databasePath();
    const int entry = w->boardData().columnCount() - 1;
    int last = 0; // the largest user key: SQLite gives it again once it is gone
    for (int r = 0; r < w->boardData().rowCount(); ++r)
        last = qMax(last, w->boardData().row(r).key);
    const int row = w->boardData().rowOfUser(last);
    for (const char *model : {"Set Time Model FM", "Remove Time Model"}) {
        w->clickedOnTableCell(row, entry, 2, false);
        w->cellMenu()->close();
        actionNamed(w->cellMenu(), QLatin1String(model))->trigger();
    }
    replaceUser(path, last);
    if (QTest::currentTestFailed())
        return;
    const QStringList before = accessSnapshot(path);

    m_boxes.clear();
    w->undoAction()->trigger();
    QCOMPARE(m_boxes, QStringList{QStringLiteral("Undo")});
    QVERIFY2(m_texts.last().contains(QStringLiteral("is not the one the change was made for")) &&
                 m_texts.last().endsWith(QStringLiteral("taken off the list.")),
             qPrintable(m_texts.last()));
    QCOMPARE(accessSnapshot(path), before);
    // Neither this step nor the one before it can be taken back any more.
    QVERIFY(!w->undoAction()->isEnabled());
    QVERIFY(!w->redoAction()->isEnabled());
}

void TestKelvaraMan::undoSaysWhenItCompared()
{
    auto w = openDemo();
    const QString path = w->databasePath();
    const int entry = w->boardData().columnCount() - 1;
    const int row = w->boardData().rowCount() - 1;
    for (const char *model : {"Set Time Model FM", "Remove Time Model"}) {
        w->clickedOnTableCell(row, entry, 2, false);
        w->cellMenu()->close();
        actionNamed(w->cellMenu(), QLatin1String(model))->trigger();
    }
    // Another workstation gives the cell a right again before the undo.
    ProjectDatabase db(path);
    QVERIFY(db.open());
    QSqlQuery q = db.query();
    QVERIFY(ProjectDatabase::exec(
        q, QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) values (?,?,1)"),
        {w->boardData().row(row).key, w->boardData().column(entry).key}));
    w->undoAction()->trigger();
    const QString shown = w->statusBar()->currentMessage();
    QVERIFY2(shown.startsWith(QStringLiteral("Undone: Remove Time Model")) &&
                 shown.endsWith(BoardChange::comparedNote()),
             qPrintable(shown));
    QCOMPARE(w->boardData().textAt(row, entry), QStringLiteral("FM"));
}

void TestKelvaraMan::undoRedoRename()
{
    auto w = openDemo();
    const QString path = w->databasePath();
    const QString west = QStringLiteral("Parking Area West");
    const QString north = QStringLiteral("Parking Area North");
    const QString management = QStringLiteral("Management");
    const QString production = QStringLiteral("Production");
    const auto previous = KxDialogs::setAnswerer(
        [&](KxDialogs::Kind, const QString &title, const QString &, const QString &) {
            return title == QStringLiteral("Rename Area") ? west : production;
        });
    m_merge = QMessageBox::Yes;
    const QStringList before = namesSnapshot(path);
    const QStringList rights = accessSnapshot(path);

    // Both renames join existing ones: an undo must part them again.
    w->clickedOnTableCell(0, areaColumn(*w, north), 2, false);
    w->columnHeadMenu()->close();
    w->mchRename();
    QCOMPARE(areaColumn(*w, north), -1);
    const QStringList areaRenamed = namesSnapshot(path);
    QVERIFY(areaRenamed != before);
    QVERIFY(w->undoAction()->text().startsWith(QStringLiteral("&Undo Rename Area")));
    w->clickedOnTableCell(groupRow(*w, management), 0, 2, false);
    w->rowHeadMenu()->close();
    w->mrhRename();
    QCOMPARE(groupRow(*w, management), -1);
    const QStringList bothRenamed = namesSnapshot(path);

    w->undoAction()->trigger();
    QCOMPARE(namesSnapshot(path), areaRenamed);
    QVERIFY(groupRow(*w, management) > 0);
    w->undoAction()->trigger();
    QCOMPARE(namesSnapshot(path), before);
    QVERIFY(areaColumn(*w, north) > 0);
    QVERIFY(!w->undoAction()->isEnabled());
    w->redoAction()->trigger();
    w->redoAction()->trigger();
    QCOMPARE(namesSnapshot(path), bothRenamed);
    QCOMPARE(groupRow(*w, management), -1);
    // Renames touch no right and mark no entry.
    QCOMPARE(accessSnapshot(path), rights);
    KxDialogs::setAnswerer(previous);
}

void TestKelvaraMan::stickyHeadsNameWhatIsOnScreen()
{
    auto w = openDemo();
    w->resize(760, 480); // the demo board no longer fits
    QApplication::processEvents();
    KxTableWidget *board = w->board();
    const AccessBoard &b = w->boardData();
    QVERIFY(board->verticalSlider()->maximum() > 0);
    QVERIFY(board->horizontalSlider()->maximum() > 0);
    // At every offset the pinned head names the group (area) of the row
    // (column) at the top (left), unless that one is a head in its place.
    int pinnedRows = 0;
    for (int y = 0; y <= board->verticalSlider()->maximum(); y += 3) {
        board->verticalSlider()->setValue(y);
        const AccessBoard::Line &top = b.row(board->firstShownRow());
        const int head = board->stickyRowHead();
        if (head < 0) {
            QVERIFY2(top.isHead, qPrintable(QStringLiteral("at %1: %2").arg(y).arg(top.name)));
            continue;
        }
        ++pinnedRows;
        QCOMPARE(b.row(head).name, b.row(top.head).name);
    }
    int pinnedColumns = 0;
    for (int x = 0; x <= board->horizontalSlider()->maximum(); x += 3) {
        board->horizontalSlider()->setValue(x);
        const AccessBoard::Line &left = b.column(board->firstShownColumn());
        const int head = board->stickyColumnHead();
        if (head < 0) {
            QVERIFY2(left.isHead, qPrintable(QStringLiteral("at %1: %2").arg(x).arg(left.name)));
            continue;
        }
        ++pinnedColumns;
        QCOMPARE(b.column(head).name, b.column(left.head).name);
    }
    QVERIFY(pinnedRows > 0);
    QVERIFY(pinnedColumns > 0);

    // Scrolled into the middle with a current cell: the picture for the README.
    w->resize(1000, 600);
    QApplication::processEvents();
    board->horizontalSlider()->setValue(board->horizontalSlider()->maximum() / 3 + 7);
    board->verticalSlider()->setValue(board->verticalSlider()->maximum() / 2 + 5);
    board->setFocus();
    QTest::keyClick(board, Qt::Key_Down);
    QTest::keyClick(board, Qt::Key_Right);
    QTest::keyClick(board, Qt::Key_Down);
    QVERIFY(board->stickyRowHead() >= 0 || board->stickyColumnHead() >= 0);
    saveScreenshot(w.get(), QStringLiteral("board-sticky-heads"));
}

void TestKelvaraMan::damagedRightsFailTheBoard()
{
    // Rights of long-gone users fill the table beyond one page, so one of its
    // leaves can be damaged; the board never shows them.
    {
        ProjectDatabase db(ProjectDatabase::databasePathForProject(m_project));
        QVERIFY(db.open());
        QVERIFY(db.transaction());
        QSqlQuery q = db.query();
        QVERIFY(q.prepare(
            QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) values (?,?,1)")));
        for (int i = 0; i < 4000; ++i) {
            q.bindValue(0, 100000 + i / 20);
            q.bindValue(1, 1 + i % 20);
            QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        }
        QVERIFY(db.commit());
    }
    auto w = openDemo();
    const int development = areaColumn(*w, QStringLiteral("Development"));
    const int devRow = groupRow(*w, QStringLiteral("Development"));
    QCOMPARE(w->board()->cell(devRow, development).text(), QStringLiteral("DEV"));
    const int rows = w->board()->rowCount();
    QVERIFY(m_boxes.isEmpty());

    QVERIFY(TestSupport::damageTablePage(w->databasePath(), QStringLiteral("access")));
    w->buildBoard();
    // The step that meets the damaged page fails the build with the
    // database's text; the board keeps what it showed.
    QCOMPARE(m_boxes, QStringList{QStringLiteral("DB model tag table")});
    QVERIFY2(m_texts.constLast().contains(QStringLiteral("malformed")),
             qPrintable(m_texts.constLast()));
    QCOMPARE(w->board()->rowCount(), rows);
    QCOMPARE(w->board()->cell(devRow, development).text(), QStringLiteral("DEV"));
}

namespace {

// Everything the board shows and holds, cell by cell: the widget's text,
// style, data and group mode, the board data and the tooltip.
QStringList boardState(const KelvaraMan &w)
{
    QStringList state{w.statusText()};
    const AccessBoard &b = w.boardData();
    KxTableWidget *t = w.board();
    for (int r = 0; r < b.rowCount(); ++r) {
        for (int c = 0; c < b.columnCount(); ++c) {
            const KxTableCell cell = t->cell(r, c);
            state << QStringList{QStringLiteral("%1,%2").arg(r).arg(c),
                                 cell.text(),
                                 QString::number(cell.styleIndex()),
                                 cell.data(256).toString(),
                                 cell.data(257).toString(),
                                 cell.data(258).toString(),
                                 QString::number(cell.groupMode()),
                                 QString::number(b.timeModelAt(r, c)),
                                 b.textAt(r, c),
                                 QString::number(b.isDeviating(r, c)),
                                 QString::number(c > 0 && b.column(c).needsUpdate),
                                 w.cellToolTip(r, c)}
                         .join(QLatin1Char('|'));
        }
    }
    return state;
}

} // namespace

void TestKelvaraMan::boardFollowsChanges_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::newRow("1") << 1u;
    QTest::newRow("2") << 2u;
    QTest::newRow("3") << 3u;
}

// Changes, undos and redos of random blocks on a randomised board with
// collapsed heads: the board that follows them in memory shows exactly what
// a board built afresh from the database shows, and keeps the current cell
// and the scroll position.
void TestKelvaraMan::boardFollowsChanges()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const QString path = ProjectDatabase::databasePathForProject(m_project);
    {
        // A model of more time windows than a reader holds: an entry with a
        // right on it shows the update marker.
        QStringList periods;
        for (int hour = 0; hour < 16; ++hour)
            periods << QStringLiteral("mon-%1:00-%1:30").arg(hour, 2, 10, QLatin1Char('0'));
        ProjectDatabase db(path);
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        QVERIFY(ProjectDatabase::exec(
            q,
            QStringLiteral("insert into times (modelTag,modelName,modelDefinition) values (?,?,?)"),
            {QStringLiteral("WIDE"), QStringLiteral("Wide"), periods.join(QLatin1Char('|'))}));
    }
    QList<TimeModelRow> modelRows;
    QVERIFY(!TimeModelRecords::listTimeModels(path, 0, modelRows).isValid());
    QVector<int> models{0};
    for (const TimeModelRow &m : qAsConst(modelRows))
        models << m.pkTimes;
    auto w = openDemo();
    const AccessBoard &b = w->boardData();
    // Some rights differ from their block's, some entries are pending.
    for (int r = 1; r < b.rowCount(); ++r) {
        for (int c = 1; c < b.columnCount(); ++c) {
            if (b.row(r).isHead || b.column(c).isHead || random.bounded(6) != 0)
                continue;
            QVERIFY(!AccessRights::changeBoardCell(path, {b.row(r).key}, {b.column(c).key},
                                                   models.at(int(random.bounded(models.size()))),
                                                   nullptr)
                         .isValid());
        }
    }
    for (int c = 1; c < b.columnCount(); ++c) {
        if (!b.column(c).isHead)
            QVERIFY(
                !AccessRights::setNeedsUpdateOfEntry(path, b.column(c).key, random.bounded(4) == 0)
                     .isValid());
    }
    w->buildBoard();
    auto fresh = std::make_unique<KelvaraMan>();
    fresh->resize(1600, 1000);
    fresh->show();
    // The same heads collapsed in both windows.
    for (int i = 0; i < 3; ++i) {
        const int c = 1 + int(random.bounded(b.columnCount() - 1));
        const int r = 1 + int(random.bounded(b.rowCount() - 1));
        if (b.column(c).isHead) {
            w->clickedOnTableCell(0, c, 1, true);
            fresh->clickedOnTableCell(0, c, 1, true);
        }
        if (b.row(r).isHead) {
            w->clickedOnTableCell(r, 0, 1, true);
            fresh->clickedOnTableCell(r, 0, 1, true);
        }
    }
    // A filter on the entries stays on.
    w->showFindBar();
    QTest::keyClicks(w->findBar()->lineEdit(), QStringLiteral("e"));
    w->findBar()->filterBox()->setChecked(true);
    const int shownRows = w->board()->shownRowCount();
    const int shownColumns = w->board()->shownColumnCount();
    int lastRow = b.rowCount() - 1;
    int lastColumn = b.columnCount() - 1;
    while (!w->board()->isRowShown(lastRow))
        --lastRow;
    while (!w->board()->isColumnShown(lastColumn))
        --lastColumn;
    QVERIFY(w->board()->setCurrentCell(lastRow, lastColumn));
    const int currentRow = w->board()->currentRow();
    const int currentColumn = w->board()->currentColumn();
    int scrolledX = w->board()->horizontalSlider()->value();
    int scrolledY = w->board()->verticalSlider()->value();

    for (int step = 0; step < 16; ++step) {
        const int kind = int(random.bounded(10));
        QString what;
        if (kind < 5 || !w->undoAction()->isEnabled()) {
            QSet<int> users;
            QSet<int> entries;
            if (random.bounded(6) == 0) {
                for (int r = 1; r < b.rowCount(); ++r)
                    users += b.usersOfRow(r);
                for (int c = 1; c < b.columnCount(); ++c)
                    entries += b.entriesOfColumn(c);
            } else {
                users = b.usersOfRow(1 + int(random.bounded(b.rowCount() - 1)));
                entries = b.entriesOfColumn(1 + int(random.bounded(b.columnCount() - 1)));
            }
            const int model = models.at(int(random.bounded(models.size())));
            what = QStringLiteral("set %1 on %2 x %3")
                       .arg(model)
                       .arg(users.size())
                       .arg(entries.size());
            w->changeRights(users, entries, model);
        } else if (kind < 8 || !w->redoAction()->isEnabled()) {
            what = QStringLiteral("undo");
            w->undoAction()->trigger();
        } else {
            what = QStringLiteral("redo");
            w->redoAction()->trigger();
        }
        // Followed in memory, not rebuilt.
        QVERIFY2(w->lastBoardFollowTime() >= 0, qPrintable(what));
        fresh->buildBoard();
        const QStringList followed = boardState(*w);
        const QStringList built = boardState(*fresh);
        QCOMPARE(followed.size(), built.size());
        for (int i = 0; i < followed.size(); ++i)
            QVERIFY2(followed.at(i) == built.at(i),
                     qPrintable(QStringLiteral("step %1 (%2): %3 instead of %4")
                                    .arg(step)
                                    .arg(what, followed.at(i), built.at(i))));
        QCOMPARE(w->board()->shownRowCount(), shownRows);
        QCOMPARE(w->board()->shownColumnCount(), shownColumns);
        QCOMPARE(w->board()->currentRow(), currentRow);
        QCOMPARE(w->board()->currentColumn(), currentColumn);
        // Narrower texts may let the board fit: then it cannot stay scrolled.
        QSlider *sideways = w->board()->horizontalSlider();
        QCOMPARE(sideways->value(), std::min(scrolledX, sideways->maximum()));
        QCOMPARE(w->board()->verticalSlider()->value(),
                 std::min(scrolledY, w->board()->verticalSlider()->maximum()));
        scrolledX = sideways->value();
        scrolledY = w->board()->verticalSlider()->value();
    }
}

void TestKelvaraMan::refusedStepKeepsItsPlace_data()
{
    QTest::addColumn<bool>("redo");
    QTest::newRow("undo") << false;
    QTest::newRow("redo") << true;
}

// A step the database refuses for a passing reason stays where it was: Undo
// and Redo name the same steps, and the step is taken once the reason is gone.
void TestKelvaraMan::refusedStepKeepsItsPlace()
{
    QFETCH(bool, redo);
    auto w = openDemo();
    const QString path = w->databasePath();
    const int row = w->boardData().rowCount() - 1;
    const int entry = w->boardData().columnCount() - 1;
    for (const char *model : {"Set Time Model FM", "Remove Time Model"}) {
        w->clickedOnTableCell(row, entry, 2, false);
        w->cellMenu()->close();
        actionNamed(w->cellMenu(), QLatin1String(model))->trigger();
    }
    if (redo)
        w->undoAction()->trigger();
    QAction *step = redo ? w->redoAction() : w->undoAction();
    const QString taken = step->text().mid(6); // after "&Undo " or "&Redo "
    const QString undoText = w->undoAction()->text();
    const QString redoText = w->redoAction()->text();
    const QStringList before = accessSnapshot(path);
    auto refuse = [&](bool on) {
        ProjectDatabase db(path);
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        for (const char *what : {"insert", "update", "delete"}) {
            const QString name = QStringLiteral("refuse_%1").arg(QLatin1String(what));
            QVERIFY(q.exec(on ? QStringLiteral("create trigger %1 before %2 on access begin "
                                               "select raise(abort, 'refused by test'); end")
                                    .arg(name, QLatin1String(what))
                              : QStringLiteral("drop trigger %1").arg(name)));
        }
    };
    refuse(true);
    m_boxes.clear();
    step->trigger();
    QCOMPARE(m_boxes, QStringList{redo ? QStringLiteral("Redo") : QStringLiteral("Undo")});
    QCOMPARE(accessSnapshot(path), before);
    QCOMPARE(w->undoAction()->text(), undoText);
    QCOMPARE(w->redoAction()->text(), redoText);
    QVERIFY(step->isEnabled());
    refuse(false);
    step->trigger();
    QCOMPARE(m_boxes.size(), 1);
    QVERIFY(accessSnapshot(path) != before);
    QCOMPARE((redo ? w->undoAction() : w->redoAction())->text().mid(6), taken);
}

void TestKelvaraMan::redoRefusedForAReplacedUser()
{
    auto w = openDemo();
    const QString path = w->databasePath();
    const int entry = w->boardData().columnCount() - 1;
    int last = 0; // the largest user key: SQLite gives it again once it is gone
    for (int r = 0; r < w->boardData().rowCount(); ++r)
        last = qMax(last, w->boardData().row(r).key);
    const int first = w->boardData().memberRows(1).value(0);
    const int replaced = w->boardData().rowOfUser(last);
    // The last step was made on top of the one the replaced user spoils.
    const struct
    {
        int row;
        const char *model;
    } steps[] = {{first, "Set Time Model FM"},
                 {replaced, "Set Time Model FM"},
                 {first, "Remove Time Model"}};
    for (const auto &step : steps) {
        w->clickedOnTableCell(step.row, entry, 2, false);
        w->cellMenu()->close();
        actionNamed(w->cellMenu(), QLatin1String(step.model))->trigger();
    }
    w->undoAction()->trigger();
    w->undoAction()->trigger();
    replaceUser(path, last);
    if (QTest::currentTestFailed())
        return;
    const QStringList before = accessSnapshot(path);

    m_boxes.clear();
    w->redoAction()->trigger();
    QCOMPARE(m_boxes, QStringList{QStringLiteral("Redo")});
    QVERIFY2(m_texts.last().endsWith(QStringLiteral("taken off the list.")),
             qPrintable(m_texts.last()));
    QCOMPARE(accessSnapshot(path), before);
    // Both redos are gone; the step made before them can still be taken back.
    QVERIFY(!w->redoAction()->isEnabled());
    QVERIFY(w->undoAction()->isEnabled());
    w->undoAction()->trigger();
    QCOMPARE(m_boxes.size(), 1);
    QVERIFY(!w->undoAction()->isEnabled());
}

void TestKelvaraMan::viewShowsAsItsSlotSays_data()
{
    QTest::addColumn<QString>("view");
    QTest::newRow("users") << QStringLiteral("users");
    QTest::newRow("entries") << QStringLiteral("entries");
    QTest::newRow("time models") << QStringLiteral("times");
}

// However a view is shown (the window's switch reaches it as a QWidget), it
// shows as its show() slot says: a list with a row selected and the keyboard
// in the table, or the time models read afresh.
void TestKelvaraMan::viewShowsAsItsSlotSays()
{
    QFETCH(QString, view);
    auto w = openDemo();
    QWidget *shown = w->timesView();
    QTableWidget *table = w->timesView()->table();
    if (view == QLatin1String("users")) {
        w->usersView()->buildList();
        shown = w->usersView();
        table = w->usersView()->table();
    } else if (view == QLatin1String("entries")) {
        w->doorsView()->buildList();
        shown = w->doorsView();
        table = w->doorsView()->table();
    } else {
        w->timesView()->setDatabasePath(w->databasePath());
    }
    shown->show();
    QVERIFY(table->rowCount() > 1);
    if (view == QLatin1String("times"))
        return;
    QCOMPARE(table->currentRow(), 0);
    QCOMPARE(table->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(w->focusWidget(), table);
}

void TestKelvaraMan::viewShortcuts_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("view");
    QTest::newRow("Ctrl+2 users") << int(Qt::Key_2) << "users";
    QTest::newRow("Ctrl+3 entries") << int(Qt::Key_3) << "entries";
    QTest::newRow("Ctrl+4 time models") << int(Qt::Key_4) << "times";
    QTest::newRow("Ctrl+5 event log") << int(Qt::Key_5) << "events";
    QTest::newRow("Ctrl+1 board") << int(Qt::Key_1) << "board";
}

void TestKelvaraMan::viewShortcuts()
{
    QFETCH(int, key);
    QFETCH(QString, view);
    auto w = openDemo();
    QApplication::setActiveWindow(w.get());
    if (view == QLatin1String("board"))
        w->enterTimes();
    QTest::keyClick(w.get(), Qt::Key(key), Qt::ControlModifier);
    const QMap<QString, QWidget *> views{{QStringLiteral("users"), w->usersView()},
                                         {QStringLiteral("entries"), w->doorsView()},
                                         {QStringLiteral("times"), w->timesView()},
                                         {QStringLiteral("events"), w->eventsView()},
                                         {QStringLiteral("board"), w->board()}};
    for (auto it = views.cbegin(); it != views.cend(); ++it)
        QCOMPARE(it.value()->isVisible(), it.key() == view);
    if (view == QLatin1String("users")) {
        // Ctrl+N in a list adds to it; "New Project" keeps it elsewhere.
        QString opened;
        QTimer::singleShot(0, w.get(), [&opened] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                opened = dialog->windowTitle();
                dialog->close();
            }
        });
        QTest::keyClick(w->usersView()->table(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(opened, QStringLiteral("Add User"));
    }
    // The tool bar names the shortcut.
    w->setHelp(true);
    const QList<QToolButton *> buttons = w->findChildren<QToolButton *>();
    QVERIFY(std::any_of(buttons.cbegin(), buttons.cend(), [](const QToolButton *b) {
        return b->toolTip() == QStringLiteral("User Administration (Ctrl+2)");
    }));
}

// The counts below the board follow the views and the reader functions while
// the board waits to be rebuilt.
void TestKelvaraMan::statusCountsStayTrue()
{
    auto w = openDemo();
    const auto shown = [&w] {
        for (const QLabel *label : w->statusBar()->findChildren<QLabel *>()) {
            if (label->text().startsWith(QLatin1String("Project:")))
                return label->text();
        }
        return QString();
    };
    QVERIFY(shown().contains(QLatin1String("Users: 13    Entries: 27    Pending updates: 0")));
    w->enterUsers();
    UserRow u;
    u.familyName = QStringLiteral("New");
    QVERIFY(!UserRecords::addUser(w->databasePath(), u).isValid());
    emit w->usersView()->usersChanged();
    QVERIFY2(shown().contains(QLatin1String("Users: 14")), qPrintable(shown()));

    w->enterTabKelvara();
    const auto mark = [&w](int needsUpdate) {
        ProjectDatabase db(w->databasePath());
        QSqlQuery q = db.open() ? db.query() : QSqlQuery();
        return ProjectDatabase::exec(
            q,
            QStringLiteral("update doors set needsUpdate=? where PKdoors=(select min(PKdoors) "
                           "from doors)"),
            {needsUpdate});
    };
    QVERIFY(mark(1));
    w->buildBoard();
    QVERIFY(shown().contains(QLatin1String("Pending updates: 1")));
    QString duringRun;
    QTimer::singleShot(0, w.get(), [&] {
        auto *dialog = qobject_cast<KelvaraFunctionDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        mark(0); // as a successful update leaves it
        emit dialog->runFinished();
        duringRun = shown();
        dialog->close();
    });
    w->updateAllAccessConfig();
    QVERIFY2(duringRun.contains(QLatin1String("Pending updates: 0")), qPrintable(duringRun));
}

void TestKelvaraMan::doubleClickOnCellOpensItsMenu()
{
    auto w = openDemo();
    const AccessBoard &b = w->boardData();
    int row = 1;
    while (row < b.rowCount() && b.row(row).isHead)
        ++row;
    int column = 1;
    while (column < b.columnCount() && b.column(column).isHead)
        ++column;
    QVERIFY(row < b.rowCount() && column < b.columnCount());
    w->clickedOnTableCell(row, column, 1, true);
    QVERIFY(w->cellMenu() && w->cellMenu()->isVisible());
    w->cellMenu()->close();
}

void TestKelvaraMan::countedTexts_data()
{
    QTest::addColumn<QLocale::Language>("language");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");
    QTest::newRow("English, one") << QLocale::English << 1 << "1 user entry imported from file";
    QTest::newRow("English, two") << QLocale::English << 2 << "2 user entries imported from file";
    QTest::newRow("French falls back to English")
        << QLocale::French << 1 << "1 user entry imported from file";
    QTest::newRow("German, one") << QLocale::German << 1
                                 << QString::fromUtf8("1 Benutzereintrag aus der Datei importiert");
}

void TestKelvaraMan::countedTexts()
{
    QFETCH(QLocale::Language, language);
    QFETCH(int, count);
    const QList<QTranslator *> translators = kxInstallTranslations(QLocale(language));
    const QString shown = QCoreApplication::translate(
        "MyImportUsers", "%n user entries imported from file", nullptr, count);
    for (QTranslator *t : translators) {
        QApplication::removeTranslator(t);
        delete t;
    }
    QTEST(shown, "text");
}

KX_TEST_GUI_MAIN(TestKelvaraMan)
#include "tst_kelvaraman.moc"
