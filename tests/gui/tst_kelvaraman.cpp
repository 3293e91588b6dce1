#include "core/applicationsettings.h"
#include "widgets/guimessages.h"
#include "core/errortext.h"
#include "app/kelvaraman.h"
#include "widgets/kxdialogs.h"
#include "core/paths.h"
#include "db/accessrights.h"
#include "db/demoproject.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/timemodelrecords.h"
#include "support/testsupport.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"
#include "widgets/kxtablewidget.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QUrl>
#include <QSettings>
#include <QTranslator>
#include <QWhatsThis>
#include <QKeyEvent>

#include <memory>

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
    void collapseFromCorner();
    void menus();
    void settingsSavedOnClose();
    void germanTranslation();
    void renameAreaAndGroup();
    void failedChangeRollsBack();
    void errorBoxes_data();
    void errorBoxes();
    void helpKey();
    void entryFoldersOfOneName();

private:
    std::unique_ptr<KelvaraMan> openDemo();
    void saveScreenshot(QWidget *w, const QString &name);
    int areaColumn(const KelvaraMan &w, const QString &area);
    int groupRow(const KelvaraMan &w, const QString &group);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_project;
    QStringList m_boxes;
};

void TestKelvaraMan::initTestCase()
{
    kxInitResources();
    setUrlOpener([](const QUrl &) { return true; });
    KxMessageBox::setAnswerer(
        [this](QMessageBox::Icon icon, const QString &title, const QString &) {
            m_boxes << title;
            return icon == QMessageBox::Question ? QMessageBox::No : QMessageBox::Ok;
        });
}

void TestKelvaraMan::init()
{
    m_boxes.clear();
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
    QCOMPARE(m_boxes, QStringList{QStringLiteral("DB change time model")});
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

KX_TEST_GUI_MAIN(TestKelvaraMan)
#include "tst_kelvaraman.moc"
