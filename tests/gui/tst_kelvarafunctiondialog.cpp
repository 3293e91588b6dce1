// The function dialog driven as a user drives it: opened from the board's
// menus, run against virtual readers on loopback TCP and the simulated USB
// bus, with message boxes and the folder chooser answered by the test.
#include "app/kelvaraman.h"
#include "core/applicationsettings.h"
#include "core/paths.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "functions/flashdrive.h"
#include "support/officesite.h"
#include "support/testsupport.h"
#include "views/functions/flashdrivedialogs.h"
#include "views/functions/kelvarafunctiondialog.h"
#include "views/functions/kelvarafunctionlogwin.h"
#include "widgets/guimessages.h"
#include "widgets/kelvaratablecellcheckbox.h"
#include "widgets/kxdialogs.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"
#include "widgets/kxtablewidget.h"

#include "simreader.h"
#include "virtualreader.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

#include <functional>
#include <memory>
#include <vector>

using namespace kxsim;

namespace {

constexpr int FlashBit = EntryRecords::FlashDrivePortBit;

struct Box
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

// A project with one time model, two users holding both identifiers and the
// entries a test adds, each given the model for everybody (which marks it).
struct Site : TestSupport::OfficeSite
{
    Site()
    {
        addUser(QStringLiteral("Abel"), QStringLiteral("04a1b2c3d4e5f6"),
                QStringLiteral("e20000112233445566778899"));
        addUser(QStringLiteral("Brandt"), QStringLiteral("04a1b2c3d4e5f7"),
                QStringLiteral("e2000011223344556677889a"));
    }

    int value(const QString &column, int key) const
    {
        ProjectDatabase database(db());
        database.open();
        QSqlQuery q = database.query();
        ProjectDatabase::exec(q, QStringLiteral("select %1 from doors where PKdoors=?").arg(column),
                              {key});
        return q.next() ? q.value(0).toInt() : -1;
    }
    int pending(int key) const { return value(QStringLiteral("needsUpdate"), key); }
};

std::shared_ptr<VirtualReader> makeReader(int type, uint32_t deviceId)
{
    VirtualReaderSetup setup;
    setup.type = type;
    setup.deviceId = deviceId;
    return std::make_shared<VirtualReader>(setup);
}

// A virtual reader listening on a loopback port of its own.
struct TcpReader
{
    std::shared_ptr<VirtualReader> device;
    SimReader sim;
    TcpReader(int type, uint32_t id) : device(makeReader(type, id)), sim(device)
    {
        sim.listenTcp("127.0.0.1", 0);
    }
    int port() { return sim.tcp().port(); }
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList stateTexts(const KelvaraFunctionDialog &dialog)
{
    QStringList texts;
    for (int row = 0; row < dialog.table()->rowCount(); ++row)
        texts << dialog.table()->item(row, KelvaraFunctionDialog::StateColumn)->text();
    return texts;
}

int rowOf(const KelvaraFunctionDialog &dialog, const QString &name)
{
    for (int row = 0; row < dialog.table()->rowCount(); ++row)
        if (dialog.table()->item(row, KelvaraFunctionDialog::NameColumn)->text() == name)
            return row;
    return -1;
}

int boardColumn(const KelvaraMan &w, const QString &name)
{
    for (int c = 1; c < w.boardData().columnCount(); ++c)
        if (w.boardData().column(c).name.trimmed() == name)
            return c;
    return -1;
}

} // namespace

class TestKelvaraFunctionDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void readerFunctionEntriesEnabled();
    void updateFromColumnHead_data();
    void updateFromColumnHead();
    void messages_data();
    void messages();
    void flashDriveRoute_data();
    void flashDriveRoute();
    void readEventsOpensDataFolder_data();
    void readEventsOpensDataFolder();
    void stopOrCloseDuringRun_data();
    void stopOrCloseDuringRun();
    void logWindowSavesToFile();
    void parallelRunShowsEachEntryAsOneBlock();

private:
    std::unique_ptr<KelvaraMan> openWindow(const Site &site);
    // Triggers `open`; when it brings up a function dialog, runs `body` on it
    // and closes it again. False when no dialog came up.
    bool withDialog(const std::function<void()> &open,
                    const std::function<void(KelvaraFunctionDialog &)> &body);
    void screenshot(QWidget *w, const QString &name);

    QTemporaryDir m_bus;
    QList<Box> m_boxes;
    QMessageBox::StandardButton m_questionAnswer = QMessageBox::No;
    QStringList m_folderAnswers;
    QList<QUrl> m_opened;
    bool m_openerWorks = true; // false: as without a file manager
};

void TestKelvaraFunctionDialog::initTestCase()
{
    kxInitResources();
    qputenv("KXUSB_BUS_DIR", QFile::encodeName(m_bus.path()));
    setUrlOpener([this](const QUrl &url) {
        m_opened << url;
        return m_openerWorks;
    });
    KxMessageBox::setAnswerer(
        [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
            m_boxes << Box{icon, title, text};
            return icon == QMessageBox::Question ? m_questionAnswer : QMessageBox::Ok;
        });
    KxDialogs::setAnswerer(
        [this](KxDialogs::Kind, const QString &, const QString &, const QString &) {
            return m_folderAnswers.isEmpty() ? QString() : m_folderAnswers.takeFirst();
        });
    FlashDriveDialogs::setAnyFolderAccepted(true);
}

void TestKelvaraFunctionDialog::init()
{
    m_boxes.clear();
    m_opened.clear();
    m_openerWorks = true;
    m_folderAnswers.clear();
    m_questionAnswer = QMessageBox::No;
}

std::unique_ptr<KelvaraMan> TestKelvaraFunctionDialog::openWindow(const Site &site)
{
    ApplicationSettings s;
    s.currentProjectPath = site.project.folder();
    s.isMaximized = false;
    s.functionDialogGeometry = QRect(0, 0, 1400, 360);
    s.saveSettings();
    auto w = std::make_unique<KelvaraMan>();
    w->show();
    return w;
}

bool TestKelvaraFunctionDialog::withDialog(const std::function<void()> &open,
                                           const std::function<void(KelvaraFunctionDialog &)> &body)
{
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *dialog = qobject_cast<KelvaraFunctionDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll.stop();
        seen = true;
        body(*dialog);
        // Whatever the body left, the dialog goes without a worker behind it.
        if (dialog->isRunning())
            dialog->stop();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isRunning(), 60000);
        dialog->close();
    });
    poll.start();
    open();
    poll.stop();
    return seen;
}

void TestKelvaraFunctionDialog::screenshot(QWidget *w, const QString &name)
{
    QApplication::processEvents();
    w->grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/%1.png").arg(name));
}

void TestKelvaraFunctionDialog::readerFunctionEntriesEnabled()
{
    Site site;
    site.addEntry(QStringLiteral("Door"), 100, QStringLiteral("1001"), QStringLiteral("127.0.0.1"),
                  TestSupport::unusedLoopbackPort());
    auto w = openWindow(site);
    QMenu *settings = nullptr;
    for (QAction *a : w->menuBar()->actions())
        if (a->text() == QLatin1String("&Settings"))
            settings = a->menu();
    QVERIFY(settings);
    QStringList enabled;
    for (QAction *a : settings->actions())
        if (!a->isSeparator() && a->isEnabled())
            enabled << a->text();
    for (const char *text : {"Synchronize Reader &Clock", "&Update Access Rights of all Entries",
                             "Reconfigure &Short Range Reader", "Reconfigure &Long Range Reader",
                             "&Reconfigure All Readers"})
        QVERIFY2(enabled.contains(QLatin1String(text)), text);
    const QList<QToolButton *> tools = w->findChildren<QToolButton *>();
    QVERIFY(std::any_of(tools.begin(), tools.end(), [](QToolButton *b) {
        return b->whatsThis().startsWith(QLatin1String("Update Access Rights")) && b->isEnabled();
    }));
    for (QAction *a : w->cornerMenu()->actions())
        QVERIFY2(a->isEnabled() || a->isSeparator(), qPrintable(a->text()));
    // Reading back and importing belong to one entry, not to an area.
    const QList<QAction *> head = w->columnHeadMenu()->actions();
    w->clickedOnTableCell(0, boardColumn(*w, QStringLiteral("Door")), 2, false);
    QVERIFY(head.at(3)->isEnabled() && head.at(4)->isEnabled() && head.at(5)->isEnabled() &&
            head.at(7)->isEnabled());
    w->columnHeadMenu()->close();
    w->clickedOnTableCell(0, boardColumn(*w, QStringLiteral("Hall")), 2, false);
    QVERIFY(head.at(3)->isEnabled() && !head.at(4)->isEnabled() && !head.at(5)->isEnabled() &&
            head.at(7)->isEnabled());
    w->columnHeadMenu()->close();
}

void TestKelvaraFunctionDialog::updateFromColumnHead_data()
{
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("one entry") << "Gate"
                               << "Update Access Configuration (Entry 'Gate')"
                               << QStringList{QStringLiteral("Gate")};
    QTest::newRow("area") << "Hall"
                          << "Update Access Configuration (Area 'Hall')"
                          << QStringList{QStringLiteral("Door"), QStringLiteral("Garage"),
                                         QStringLiteral("Gate")};
}

void TestKelvaraFunctionDialog::updateFromColumnHead()
{
    QFETCH(QString, head);
    QFETCH(QString, title);
    QFETCH(QStringList, listed);
    Site site;
    TcpReader door(100, 0x1001);
    TcpReader gate(100, 0x1003);
    auto garageDevice = makeReader(101, 0x2002);
    SimReader garageSim(garageDevice);
    QVERIFY(garageSim.plugUsb(m_bus.path().toStdString()));
    const int doorKey = site.addEntry(QStringLiteral("Door"), 100, QStringLiteral("1001"),
                                      QStringLiteral("127.0.0.1"), door.port());
    const int garageKey =
        site.addEntry(QStringLiteral("Garage"), 101, QStringLiteral("2002"), QString(), 0);
    const int gateKey = site.addEntry(QStringLiteral("Gate"), 100, QStringLiteral("1003"),
                                      QStringLiteral("127.0.0.1"), gate.port());
    // The gate's reader drops its link in the middle of the transfer.
    gate.sim.faults().dropAfterFrames(3);

    auto w = openWindow(site);
    const int column = boardColumn(*w, head);
    QVERIFY(column > 0);
    w->clickedOnTableCell(0, column, 2, false);
    QCOMPARE(w->lastOpenedMenu(), w->columnHeadMenu());
    QAction *update = w->columnHeadMenu()->actions().at(3);
    QCOMPARE(update->text(), QStringLiteral("Update Access Rights"));
    QVERIFY(update->isEnabled());
    w->columnHeadMenu()->close();

    const bool area = head == QLatin1String("Hall");
    const bool shown = withDialog(
        [&] { update->trigger(); },
        [&](KelvaraFunctionDialog &d) {
            QCOMPARE(d.windowTitle(), title);
            QCOMPARE(d.warningLabel()->text(),
                     QStringLiteral("The reader event lists are read and kept first, then "
                                    "deleted by the update."));
            QCOMPARE(d.table()->rowCount(), listed.size());
            for (int row = 0; row < listed.size(); ++row)
                QCOMPARE(d.table()->item(row, KelvaraFunctionDialog::NameColumn)->text(),
                         listed.at(row));
            // The flash-drive box is there for every row, usable only for long-range readers.
            auto *hfBox = qobject_cast<QCheckBox *>(
                d.table()->cellWidget(rowOf(d, QStringLiteral("Gate")), 2));
            QVERIFY(hfBox && !hfBox->isEnabled());

            QTest::mouseClick(d.startButton(), Qt::LeftButton);
            QVERIFY(d.isRunning());
            QVERIFY(!d.startButton()->isEnabled() && !d.endButton()->isEnabled());
            QTRY_VERIFY_WITH_TIMEOUT(!d.isRunning(), 60000);

            const int gateRow = rowOf(d, QStringLiteral("Gate"));
            QTableWidgetItem *gateState =
                d.table()->item(gateRow, KelvaraFunctionDialog::StateColumn);
            QVERIFY2(QStringList({QStringLiteral("FAILED"), QStringLiteral("NO CONNECTION")})
                         .contains(gateState->text()),
                     qPrintable(gateState->text()));
            QCOMPARE(gateState->background().color(), QColor(Qt::red));
            QCOMPARE(d.table()->item(gateRow, 0)->checkState(), Qt::Checked);
            QCOMPARE(d.table()->item(gateRow, KelvaraFunctionDialog::NeedsUpdateColumn)->text(),
                     QStringLiteral("x"));
            for (const QString &good : {QStringLiteral("Door"), QStringLiteral("Garage")}) {
                const int row = rowOf(d, good);
                if (row < 0)
                    continue;
                QTableWidgetItem *state = d.table()->item(row, KelvaraFunctionDialog::StateColumn);
                QCOMPARE(state->text(), QStringLiteral("OK"));
                QCOMPARE(state->background().color(), QColor(Qt::green));
                QCOMPARE(d.table()->item(row, 0)->checkState(), Qt::Unchecked);
                QCOMPARE(d.table()->item(row, KelvaraFunctionDialog::NeedsUpdateColumn)->text(),
                         QString());
            }
            QCOMPARE(d.progressBar()->value(), listed.size());

            // Start again sends only to the failed entry, which fails once more.
            const int headers = d.logWindow()->text().count(QStringLiteral("ENTRY: '"));
            gate.sim.faults().dropAfterFrames(3);
            QTest::mouseClick(d.startButton(), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!d.isRunning(), 60000);
            const QString log = d.logWindow()->text();
            QCOMPARE(log.count(QStringLiteral("ENTRY: '")), headers + 1);
            QCOMPARE(log.lastIndexOf(QStringLiteral("ENTRY: '")),
                     log.lastIndexOf(QStringLiteral("ENTRY: 'Gate'")));
            QStringList expected;
            for (const QString &name : listed)
                expected << (name == QLatin1String("Gate") ? gateState->text() : QString());
            QCOMPARE(stateTexts(d), expected);
            if (area) {
                d.logWindow()->show();
                screenshot(&d, QStringLiteral("function-dialog-after-run"));
                screenshot(d.logWindow(), QStringLiteral("function-log-window"));
            }
        });
    QVERIFY(shown);
    QCOMPARE(site.pending(gateKey), 1);
    if (area) {
        QCOMPARE(site.pending(doorKey), 0);
        QCOMPARE(site.pending(garageKey), 0);
    }
    // The board was rebuilt when the dialog closed: only the gate is still red.
    for (int c = 1; c < w->boardData().columnCount(); ++c) {
        const AccessBoard::Line &line = w->boardData().column(c);
        if (line.isHead)
            continue;
        // An entry update leaves the other entries as they were: pending.
        QCOMPARE(line.needsUpdate, area ? line.key == gateKey : true);
    }

    // Opened again, Start sends only to the failed entry.
    w->clickedOnTableCell(0, boardColumn(*w, head), 2, false);
    w->columnHeadMenu()->close();
    QVERIFY(withDialog([&] { update->trigger(); },
                       [&](KelvaraFunctionDialog &d) {
                           QCOMPARE(d.table()->rowCount(), 1);
                           QTest::mouseClick(d.startButton(), Qt::LeftButton);
                           QTRY_VERIFY_WITH_TIMEOUT(!d.isRunning(), 60000);
                           QCOMPARE(d.logWindow()->text().count(QStringLiteral("ENTRY: '")), 1);
                           QVERIFY(d.logWindow()->text().contains(QStringLiteral("ENTRY: 'Gate'")));
                           QCOMPARE(stateTexts(d), QStringList{QStringLiteral("OK")});
                           // Nothing is left to send: a second Start says so, calmly.
                           QTRY_VERIFY_WITH_TIMEOUT(d.startButton()->isEnabled(), 60000);
                           const int boxes = m_boxes.size();
                           // A double click: two clicks in a row.
                           QTest::mouseClick(d.startButton(), Qt::LeftButton);
                           QTest::mouseClick(d.startButton(), Qt::LeftButton);
                           QCOMPARE(m_boxes.size(), boxes);
                           QVERIFY(!d.isRunning());
                           QVERIFY(d.progressLabel()->text().startsWith(
                               QStringLiteral("Nothing left to do")));
                       }));
    QCOMPARE(site.pending(gateKey), 0);
    QCOMPARE(gate.device->tables().recordCount(4), 2);
}

void TestKelvaraFunctionDialog::messages_data()
{
    QTest::addColumn<QString>("slot");
    QTest::addColumn<bool>("withEntry");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("update, nothing pending") << "updateAllAccessConfig" << true << "No Reader"
                                             << "There are no reader with changed access rights";
    QTest::newRow("events, no entry") << "m00hReadEventList" << false << "No Reader"
                                      << "There are no reader at all";
    QTest::newRow("clock, no entry") << "readerClockSync" << false << "No Reader"
                                     << "There are no reader at all";
    QTest::newRow("nothing selected") << "readerReconfigAll" << true << "DB entry list"
                                      << "No entries selected in table";
}

void TestKelvaraFunctionDialog::messages()
{
    QFETCH(QString, slot);
    QFETCH(bool, withEntry);
    Site site;
    if (withEntry) {
        const int key =
            site.addEntry(QStringLiteral("Door"), 100, QStringLiteral("1001"),
                          QStringLiteral("127.0.0.1"), TestSupport::unusedLoopbackPort());
        QVERIFY(!AccessRights::setNeedsUpdateOfEntry(site.db(), key, false).isValid());
    }
    auto w = openWindow(site);
    const bool shown =
        withDialog([&] { QVERIFY(QMetaObject::invokeMethod(w.get(), qPrintable(slot))); },
                   [&](KelvaraFunctionDialog &d) {
                       d.deselectAll();
                       QTest::mouseClick(d.startButton(), Qt::LeftButton);
                       QVERIFY(!d.isRunning());
                   });
    QCOMPARE(shown, slot == QLatin1String("readerReconfigAll"));
    QCOMPARE(m_boxes.size(), 1);
    QTEST(m_boxes.first().title, "title");
    QTEST(m_boxes.first().text, "text");
}

void TestKelvaraFunctionDialog::flashDriveRoute_data()
{
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<int>("prepare");
    QTest::addColumn<QByteArray>("job");
    QTest::addColumn<bool>("staleConfigKept");
    QTest::newRow("prepared") << QStringList{QStringLiteral("drive")} << int(QMessageBox::Yes)
                              << QByteArray("write-access\nread-event\n") << false;
    QTest::newRow("not prepared") << QStringList{QStringLiteral("drive")} << int(QMessageBox::No)
                                  << QByteArray("write-access\n") << true;
    QTest::newRow("system root refused first")
        << QStringList{QStringLiteral("/"), QStringLiteral("drive")} << int(QMessageBox::No)
        << QByteArray("write-access\n") << true;
    QTest::newRow("chooser cancelled")
        << QStringList() << int(QMessageBox::No) << QByteArray() << true;
}

void TestKelvaraFunctionDialog::flashDriveRoute()
{
    QFETCH(QStringList, choices);
    QFETCH(int, prepare);
    QFETCH(QByteArray, job);
    QFETCH(bool, staleConfigKept);
    Site site;
    const int barrier = site.addEntry(QStringLiteral("Barrier"), 863, QStringLiteral("a1b2"),
                                      QStringLiteral("127.0.0.1"), 10001);
    site.addEntry(QStringLiteral("Pedestrian"), 100, QStringLiteral("1001"),
                  QStringLiteral("127.0.0.1"), 10002);
    QTemporaryDir drive;
    QVERIFY(QDir(drive.path()).mkpath(QStringLiteral("0000A1B2")));
    const QString stale = drive.path() + QStringLiteral("/0000A1B2/CONFIG.INI");
    QFile staleFile(stale);
    QVERIFY(staleFile.open(QIODevice::WriteOnly) && staleFile.write("old") == 3);
    staleFile.close();
    for (QString &choice : choices)
        if (choice == QLatin1String("drive"))
            choice = drive.path();
    m_folderAnswers = choices;
    m_questionAnswer = QMessageBox::StandardButton(prepare);

    ApplicationSettings settings;
    FlashDrive flash;
    KelvaraFunctionDialog d(site.params, settings, flash, KelvaraFunctionDialog::UpdateAccess,
                            EntrySelection::entries({barrier}), QStringLiteral("Barrier"));
    d.show();
    QCOMPARE(d.windowTitle(), QStringLiteral("Update Access Configuration (Entry 'Barrier')"));
    // The operator puts the long-range reader on the flash drive route.
    auto *box = qobject_cast<KelvaraTableCellCheckBox *>(d.table()->cellWidget(0, 2));
    QVERIFY(box && box->isEnabled() && !box->isChecked());
    box->setChecked(true);
    QCOMPARE(site.value(QStringLiteral("port"), barrier), FlashBit | 10001);
    QCOMPARE(d.table()->item(0, KelvaraFunctionDialog::ConnectColumn)->text(),
             QStringLiteral("USB flash drive"));

    QTest::mouseClick(d.startButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!d.isRunning(), 60000);
    QStringList titles;
    for (const Box &b : qAsConst(m_boxes))
        titles << b.title;
    if (choices.isEmpty()) {
        QVERIFY(titles.isEmpty());
        QCOMPARE(stateTexts(d), QStringList{QString()});
        QVERIFY(!flash.driveReady());
        QCOMPARE(site.pending(barrier), 1);
        return;
    }
    QStringList expectedTitles;
    if (choices.size() > 1)
        expectedTitles << QStringLiteral("Invalid Path");
    expectedTitles << QStringLiteral("Prepare USB-Stick");
    QCOMPARE(titles, expectedTitles);
    QCOMPARE(stateTexts(d), QStringList{QStringLiteral("OK")});
    QCOMPARE(site.pending(barrier), 0);
    QCOMPARE(readFile(drive.path() + QStringLiteral("/JOB")), job);
    QVERIFY(
        readFile(drive.path() + QStringLiteral("/0000A1B2/ACCESS.INI")).startsWith("Metadaten\n"));
    QCOMPARE(QFile::exists(stale), staleConfigKept);
    // The drive stays chosen: the next run asks nothing.
    QCOMPARE(QDir(flash.drivePath()).canonicalPath(), QDir(drive.path()).canonicalPath());
    m_boxes.clear();
    d.selectAll();
    QTest::mouseClick(d.startButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!d.isRunning(), 60000);
    QVERIFY(m_boxes.isEmpty());
    d.close();
}

void TestKelvaraFunctionDialog::readEventsOpensDataFolder_data()
{
    QTest::addColumn<bool>("fileManager");
    QTest::newRow("file manager") << true;
    QTest::newRow("no file manager: the path is shown") << false;
}

void TestKelvaraFunctionDialog::readEventsOpensDataFolder()
{
    QFETCH(bool, fileManager);
    m_openerWorks = fileManager;
    QString result;
    Site site;
    TcpReader door(100, 0x1001);
    site.addEntry(QStringLiteral("Door"), 100, QStringLiteral("1001"), QStringLiteral("127.0.0.1"),
                  door.port());
    door.device->presentAt({0x04, 0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0xf6},
                           SimDateTime{2026, 3, 2, 10, 0, 0});
    auto w = openWindow(site);
    w->clickedOnTableCell(0, boardColumn(*w, QStringLiteral("Door")), 2, false);
    QAction *events = w->columnHeadMenu()->actions().at(7);
    QCOMPARE(events->text(), QStringLiteral("Read Event List"));
    w->columnHeadMenu()->close();
    QVERIFY(withDialog(
        [&] { events->trigger(); },
        [&](KelvaraFunctionDialog &d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Read Events (Entry 'Door')"));
            QCOMPARE(
                d.warningLabel()->text(),
                QStringLiteral("Please close all .CSV files of this project before you start !"));
            QTest::mouseClick(d.startButton(), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(!d.isRunning(), 60000);
            QCOMPARE(stateTexts(d), QStringList{QStringLiteral("OK")});
            QTRY_VERIFY_WITH_TIMEOUT(d.startButton()->isEnabled(), 60000);
            result = d.progressLabel()->text();
        }));
    const QString folder = entryDataPath(site.project.folder(), QStringLiteral("Door"));
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(QDir(m_opened.first().toLocalFile()).canonicalPath(), QDir(folder).canonicalPath());
    QVERIFY2(m_boxes.isEmpty(), qPrintable(m_boxes.value(0).title + m_boxes.value(0).text));
    QCOMPARE(result.contains(QDir::toNativeSeparators(folder)), !fileManager);
}

void TestKelvaraFunctionDialog::stopOrCloseDuringRun_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("entriesRun");
    QTest::addColumn<bool>("stillOpen");
    QTest::addColumn<int>("jobs");
    QTest::newRow("stop") << "stop" << 1 << true << 1;
    QTest::newRow("close, answered yes") << "close yes" << 1 << false << 1;
    QTest::newRow("close, answered no") << "close no" << 3 << true << 1;
    // Both entries in progress finish, the third is not begun.
    QTest::newRow("stop, two at once") << "stop" << 2 << true << 2;
}

void TestKelvaraFunctionDialog::stopOrCloseDuringRun()
{
    QFETCH(QString, action);
    QFETCH(int, entriesRun);
    QFETCH(bool, stillOpen);
    QFETCH(int, jobs);
    Site site;
    std::vector<std::unique_ptr<TcpReader>> readers;
    for (int i = 0; i < 3; ++i) {
        readers.push_back(std::make_unique<TcpReader>(100, 0x1001 + i));
        // Slow answers keep the first entry in progress while the test acts.
        readers.back()->sim.faults().setDelayMs(40);
        site.addEntry(QStringLiteral("Door %1").arg(i + 1), 100,
                      QStringLiteral("%1").arg(0x1001 + i, 0, 16), QStringLiteral("127.0.0.1"),
                      readers.back()->port());
    }
    ApplicationSettings settings;
    settings.functionDialogGeometry = QRect(0, 0, 1400, 330);
    settings.parallelEntries = jobs;
    FlashDrive flash;
    KelvaraFunctionDialog d(site.params, settings, flash, KelvaraFunctionDialog::UpdateAccess,
                            EntrySelection::allEntries(true), QString());
    d.show();
    QTest::mouseClick(d.startButton(), Qt::LeftButton);
    if (jobs == 1)
        QTRY_VERIFY_WITH_TIMEOUT(d.logWindow()->text().contains(QStringLiteral("ENTRY: 'Door 1'")),
                                 30000);
    else
        QTRY_COMPARE_WITH_TIMEOUT(stateTexts(d).count(QStringLiteral("RUNNING")), jobs, 30000);
    QVERIFY(d.isRunning());
    QVERIFY(d.stopButton()->isEnabled());
    screenshot(&d, QStringLiteral("function-dialog-during-run"));
    if (action == QLatin1String("stop")) {
        QTest::mouseClick(d.stopButton(), Qt::LeftButton);
    } else {
        m_questionAnswer =
            action == QLatin1String("close yes") ? QMessageBox::Yes : QMessageBox::No;
        d.close();
        QCOMPARE(m_boxes.size(), 1);
        QCOMPARE(m_boxes.first().icon, QMessageBox::Question);
        QVERIFY(d.isVisible());
    }
    QTRY_VERIFY_WITH_TIMEOUT(!d.isRunning(), 60000);
    QCOMPARE(d.isVisible(), stillOpen);
    const QString log = d.logWindow()->text();
    QCOMPARE(log.count(QStringLiteral("ENTRY: '")), entriesRun);
    QCOMPARE(log.contains(QStringLiteral("Terminating function")), entriesRun < 3);
    QCOMPARE(stateTexts(d).count(QStringLiteral("OK")), entriesRun);
    QCOMPARE(stateTexts(d).count(QString()), 3 - entriesRun);
    if (entriesRun < 3)
        QVERIFY(log.contains(
            QStringLiteral("Function terminated after %1 of 3 entries").arg(entriesRun)));
    QVERIFY(d.startButton()->isEnabled() && d.endButton()->isEnabled());
    QVERIFY(!d.stopButton()->isEnabled());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    for (auto &reader : readers)
        reader->sim.faults().setDelayMs(0);
}

void TestKelvaraFunctionDialog::logWindowSavesToFile()
{
    KelvaraFunctionLogWin log(QStringLiteral("Read Events (All Readers)"));
    QCOMPARE(log.windowTitle(), QStringLiteral("Log Window ::: Read Events (All Readers)"));
    log.appendMessage(QStringLiteral("\r\n2026.03.04-05:06:07.089     ENTRY: 'Gate'"));
    log.appendMessage(QStringLiteral("Read Events DONE"));
    QTemporaryDir dir;
    m_folderAnswers << dir.filePath(QStringLiteral("run.log"));
    QTest::mouseClick(log.saveButton(), Qt::LeftButton);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("run.log"))),
             QByteArray("\r\n2026.03.04-05:06:07.089     ENTRY: 'Gate'\r\nRead Events DONE\r\n"));
    // A file that cannot be written is reported, not passed over.
    m_folderAnswers << dir.filePath(QStringLiteral("missing/run.log"));
    QTest::mouseClick(log.saveButton(), Qt::LeftButton);
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.first().icon, QMessageBox::Critical);
    QCOMPARE(m_boxes.first().title, QStringLiteral("Save Log Window"));
}

void TestKelvaraFunctionDialog::parallelRunShowsEachEntryAsOneBlock()
{
    Site site;
    std::vector<std::unique_ptr<TcpReader>> readers;
    for (int i = 1; i <= 5; ++i) {
        readers.push_back(std::make_unique<TcpReader>(100, 0x1000 + i));
        readers.back()->sim.faults().setDelayMs(10);
        site.addEntry(QStringLiteral("Door %1").arg(i), 100, QString::number(0x1000 + i, 16),
                      QStringLiteral("127.0.0.1"), readers.back()->port());
    }
    readers.at(1)->sim.faults().corruptCrc(-1);
    ApplicationSettings settings;
    settings.parallelEntries = 4;
    settings.functionDialogGeometry = QRect(0, 0, 1400, 360);
    FlashDrive drive;
    KelvaraFunctionDialog d(site.params, settings, drive, KelvaraFunctionDialog::UpdateAccess,
                            EntrySelection::allEntries(), QString());
    d.show();
    d.start();
    QVERIFY(d.isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(stateTexts(d).count(QStringLiteral("RUNNING")) > 1, 30000);
    screenshot(&d, QStringLiteral("function-dialog-entries-at-once"));
    QTRY_VERIFY_WITH_TIMEOUT(!d.isRunning(), 60000);
    QCOMPARE(stateTexts(d),
             (QStringList{QStringLiteral("OK"), QStringLiteral("FAILED"), QStringLiteral("OK"),
                          QStringLiteral("OK"), QStringLiteral("OK")}));

    // Every entry's lines follow its header: a line of another entry in
    // between would leave a block with two ends or an end in its middle.
    const QString done = QStringLiteral("Update Access Configuration DONE");
    QList<QStringList> blocks;
    for (const QString &line : d.logWindow()->text().split(QLatin1Char('\n'))) {
        if (line.contains(QStringLiteral("ENTRY: '")))
            blocks << QStringList{line};
        else if (!line.isEmpty() && !blocks.isEmpty())
            blocks.last() << line;
    }
    QCOMPARE(blocks.size(), 5);
    int finished = 0;
    for (const QStringList &block : qAsConst(blocks)) {
        const int ends = block.count(done);
        QVERIFY2(ends == 0 || (ends == 1 && block.last() == done),
                 qPrintable(block.join(QLatin1Char('\n'))));
        finished += ends;
        QCOMPARE(block.last() == done, !block.first().contains(QStringLiteral("'Door 2'")));
    }
    QCOMPARE(finished, 4);
    d.close();
}

KX_TEST_GUI_MAIN(TestKelvaraFunctionDialog)
#include "tst_kelvarafunctiondialog.moc"
