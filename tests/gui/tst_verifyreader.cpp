// Verify Reader from the board's column-head menu and the board's warning
// marker on an entry the next update cannot serve, against virtual readers.
#include "app/kelvaraman.h"
#include "core/applicationsettings.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "functions/flashdrive.h"
#include "functions/kelvaraupdatethread.h"
#include "support/officesite.h"
#include "support/testsupport.h"
#include "views/functions/kelvarafunctiondialog.h"
#include "views/functions/kelvarafunctionlogwin.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"
#include "widgets/kxtablewidget.h"

#include "simreader.h"
#include "virtualreader.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

using namespace kxsim;

namespace {

struct Site : TestSupport::OfficeSite
{
    Site()
    {
        addUser(QStringLiteral("User 1"), QStringLiteral("04a1b2c3d4e5f6"));
        addUser(QStringLiteral("User 2"), QStringLiteral("04a1b2c3d4e5f7"));
    }
    // A short-range reader, on loopback when it has a port.
    int addEntry(const QString &name, const QString &serNo, int port)
    {
        return OfficeSite::addEntry(name, 100, serNo,
                                    port ? QStringLiteral("127.0.0.1") : QString(), port);
    }
};

struct TcpReader
{
    std::shared_ptr<VirtualReader> device;
    SimReader sim;
    explicit TcpReader(uint32_t id) : device(makeDevice(id)), sim(device)
    {
        sim.listenTcp("127.0.0.1", 0);
    }
    static std::shared_ptr<VirtualReader> makeDevice(uint32_t id)
    {
        VirtualReaderSetup setup;
        setup.type = 100;
        setup.deviceId = id;
        return std::make_shared<VirtualReader>(setup);
    }
    int port() { return sim.tcp().port(); }
};

int boardColumn(const KelvaraMan &w, const QString &name)
{
    for (int c = 1; c < w.boardData().columnCount(); ++c)
        if (w.boardData().column(c).name.trimmed() == name)
            return c;
    return -1;
}

QAction *actionNamed(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

} // namespace

class TestVerifyReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void verifyFromColumnHead();
    void boardMarksEntryThatCannotBeUpdated();

private:
    std::unique_ptr<KelvaraMan> openWindow(const Site &site);

    QTemporaryDir m_bus;
};

void TestVerifyReader::initTestCase()
{
    kxInitResources();
    qputenv("KXUSB_BUS_DIR", QFile::encodeName(m_bus.path()));
    KxMessageBox::setAnswerer(
        [](QMessageBox::Icon, const QString &, const QString &) { return QMessageBox::Ok; });
}

std::unique_ptr<KelvaraMan> TestVerifyReader::openWindow(const Site &site)
{
    ApplicationSettings s;
    s.currentProjectPath = site.project.folder();
    s.isMaximized = false;
    s.functionDialogGeometry = QRect(0, 0, 1400, 300);
    s.saveSettings();
    auto w = std::make_unique<KelvaraMan>();
    w->resize(900, 400);
    w->show();
    return w;
}

void TestVerifyReader::verifyFromColumnHead()
{
    Site site;
    TcpReader door(0x1001);
    TcpReader gate(0x1003);
    const int doorKey = site.addEntry(QStringLiteral("Door"), QStringLiteral("1001"), door.port());
    const int gateKey = site.addEntry(QStringLiteral("Gate"), QStringLiteral("1003"), gate.port());
    // The door's reader got its tables; the gate's never did, and its mark was cleared by hand.
    KelvaraUpdateThread update(site.params);
    QList<EntryTarget> targets;
    EntrySelection::entries({doorKey}).list(site.db(), targets);
    update.setEntries(targets);
    update.start();
    update.wait();
    AccessRights::setNeedsUpdateOfEntry(site.db(), gateKey, false);

    auto w = openWindow(site);
    const int column = boardColumn(*w, QStringLiteral("Hall"));
    QVERIFY(column > 0);
    w->clickedOnTableCell(0, column, 2, false);
    QAction *verify = actionNamed(w->columnHeadMenu(), QStringLiteral("Verify Reader"));
    QVERIFY(verify);
    w->columnHeadMenu()->close();
    QVERIFY(actionNamed(w->cornerMenu(), QStringLiteral("Verify Reader")));

    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *d = qobject_cast<KelvaraFunctionDialog *>(QApplication::activeModalWidget());
        if (!d)
            return;
        poll.stop();
        seen = true;
        QCOMPARE(d->windowTitle(), QStringLiteral("Verify Reader (Area 'Hall')"));
        QTest::mouseClick(d->startButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!d->isRunning(), 60000);
        const auto state = [&](int key) {
            return d->table()->item(d->rowOfEntry(key), KelvaraFunctionDialog::StateColumn);
        };
        QCOMPARE(state(doorKey)->text(), QStringLiteral("IN SYNC"));
        QCOMPARE(state(doorKey)->background().color(), QColor(Qt::green));
        QCOMPARE(state(gateKey)->text(), QStringLiteral("DIFFERS"));
        QCOMPARE(state(gateKey)->background().color(), QColor(Qt::red));
        const QString log = d->logWindow()->findChild<QPlainTextEdit *>()->toPlainText();
        QVERIFY2(log.contains(QStringLiteral(
                     "Verify Reader: DIFFERS: identifiers missing: 2 (User 1, X; User 2, X)")),
                 qPrintable(log));
        d->table()->clearSelection();
        d->grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/verify-reader-dialog.png"));
        d->close();
    });
    poll.start();
    verify->trigger();
    QVERIFY(seen);
    // The differing entry is marked for the next update, and the board shows it.
    QCOMPARE(w->boardData().column(boardColumn(*w, QStringLiteral("Gate"))).needsUpdate, true);
    QCOMPARE(w->boardData().column(boardColumn(*w, QStringLiteral("Door"))).needsUpdate, false);
}

void TestVerifyReader::boardMarksEntryThatCannotBeUpdated()
{
    Site site;
    site.addEntry(QStringLiteral("Door"), QStringLiteral("1001"),
                  TestSupport::unusedLoopbackPort());
    site.addEntry(QStringLiteral("Nowhere"), QString(), 0);
    auto w = openWindow(site);
    const int nowhere = boardColumn(*w, QStringLiteral("Nowhere"));
    const int door = boardColumn(*w, QStringLiteral("Door"));
    QVERIFY(nowhere > 0 && door > 0);
    QVERIFY(w->board()->cell(0, nowhere).text().contains(QChar(0x26A0)));
    QVERIFY(!w->board()->cell(0, door).text().contains(QChar(0x26A0)));
    QVERIFY2(w->cellToolTip(0, nowhere).contains(QStringLiteral("cannot be updated")),
             qPrintable(w->cellToolTip(0, nowhere)));
    QVERIFY(!w->cellToolTip(0, door).contains(QStringLiteral("cannot be updated")));
    QApplication::processEvents();
    w->grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/verify-board-marker.png"));

    // The update dialog names the entry and the reason before Start.
    ApplicationSettings settings;
    FlashDrive drive;
    KelvaraFunctionDialog update(site.params, settings, drive, KelvaraFunctionDialog::UpdateAccess,
                                 EntrySelection::allEntries(true), QString());
    QVERIFY2(update.checkLabel()->text().startsWith(
                 QStringLiteral("Entry 'Nowhere' cannot be updated: no reader")),
             qPrintable(update.checkLabel()->text()));
    QVERIFY(!update.checkLabel()->text().contains(QStringLiteral("'Door'")));
}

KX_TEST_GUI_MAIN(TestVerifyReader)
#include "tst_verifyreader.moc"
