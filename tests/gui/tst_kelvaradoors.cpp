// The entry view and the entry dialog driven offscreen against virtual
// readers: adding an entry through the reader selection and configuring its
// reader, the flash-drive route, refusals, folder actions and reader commands.
#include "access/accessdataset.h"
#include "app/kelvaraman.h"
#include "core/applicationsettings.h"
#include "core/paths.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "functions/flashdrive.h"
#include "reader/myrdrkelvara.h"
#include "reader/myrdrtzu700.h"
#include "reader/readerfactory.h"
#include <QDate> // simfixture.h dates the reader logs

#include "e2e/simfixture.h"
#include "reader/readertypes.h"
#include "support/testsupport.h"
#include "views/editors/kelvaraeditdoor.h"
#include "views/lists/kelvaradoors.h"
#include "views/readerforms/kelvaracfgform.h"
#include "views/readerselection/kxinputipaddr.h"
#include "views/readerselection/kxselectreader.h"
#include "viewtestfixture.h"
#include "widgets/guimessages.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"
#include "widgets/kxtablewidget.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <functional>
#include <memory>

using namespace kxsim;

namespace {

EntryRow entryRow(const QString &area, const QString &door, int type = 0,
                  const QString &serNo = QString(), const QString &ip = QString(), int port = 0)
{
    EntryRow e;
    e.areaName = area;
    e.doorName = door;
    e.readerType = type;
    e.readerSerNo = serNo;
    e.ipAddr = ip;
    e.port = port;
    return e;
}

QString blocksOf(const VirtualReader &reader, bool permanent = true)
{
    QStringList lines;
    for (int b = 0; b < 64; ++b) {
        const auto block = reader.block(b, permanent);
        lines << QString::fromLatin1(
            QByteArray(reinterpret_cast<const char *>(block.data()), 16).toHex(' '));
    }
    return lines.join(QLatin1Char('\n'));
}

double settingValue(const QString &settings, const QString &key)
{
    for (const QString &entry : settings.split(QLatin1Char(';'))) {
        const QStringList parts = entry.split(QLatin1Char('='));
        if (parts.size() == 2 && parts.at(0).trimmed() == key)
            return parts.at(1).trimmed().toDouble();
    }
    return -1;
}

} // namespace

class TestKelvaraDoors : public ViewTestFixture
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void addEntryConfiguresReader_data();
    void addEntryConfiguresReader();
    void flashDriveRouteWritesConfigAndJob();
    void firmwareRefusal();
    void linkDropKeepsEntryAndOldConfiguration();
    void otherReaderAtTheAddressIsNotConfigured();
    void badInput_data();
    void badInput();
    void deviceIdMismatchQuestion();
    void readerSelectionOpensOnTheEntrysTab_data();
    void readerSelectionOpensOnTheEntrysTab();
    void readInfoAndPairing();
    void readerCommandLocksTheDialog();
    void editMarksPendingOnlyOnChange();
    void listSortSearchAndRemove();
    void folderActionsUseTheFolderKeys();
    void resetAntiPassbackOnLongRangeReader();
    void mainWindowShowsEntries();

private:
    std::unique_ptr<KelvaraDoors> makeView();
    // The reader selection answers with the reader on loopback TCP.
    void selectOnIpTab(int port);
    int addEntry(const EntryRow &row);

    std::unique_ptr<ReaderTestEnvironment> m_env;
    FlashDrive m_drive;
    QList<QUrl> m_opened;
};

void TestKelvaraDoors::initTestCase()
{
    kxInitResources();
    setUrlOpener([this](const QUrl &url) {
        m_opened << url;
        return true;
    });
    answerMessageBoxes();
}

void TestKelvaraDoors::init()
{
    m_opened.clear();
    m_env = std::make_unique<ReaderTestEnvironment>();
    QVERIFY(newProject());
    m_drive.clear();
}

void TestKelvaraDoors::cleanup()
{
    KxSelectReader::setAnswerer({});
    m_project.reset();
    m_env.reset();
}

std::unique_ptr<KelvaraDoors> TestKelvaraDoors::makeView()
{
    return shown(std::make_unique<KelvaraDoors>(m_settings, m_params, m_drive), QSize(1500, 500));
}

void TestKelvaraDoors::selectOnIpTab(int port)
{
    KxSelectReader::setAnswerer([port](KxSelectReader *d) {
        d->tabs()->setCurrentIndex(KxSelectReader::IpTab);
        d->ipPanel()->setHost(QStringLiteral("127.0.0.1"));
        d->ipPanel()->setPort(port);
        d->okClicked();
        readersDone();
        return int(QDialog::Rejected); // accepted through the button all the same
    });
}

int TestKelvaraDoors::addEntry(const EntryRow &row)
{
    int key = -1;
    const QSqlError error = EntryRecords::addEntry(db(), row, &key);
    return error.isValid() ? -1 : key;
}

// ---------------------------------------------------------------- configuration

void TestKelvaraDoors::addEntryConfiguresReader_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QStringList>("boxes");
    const QString ask = QStringLiteral("Reader Configuration");
    const QString done = QStringLiteral("Write reader configuration");
    // The short-range reader's external board is not paired: asked, and continued.
    QTest::newRow("short range") << 100
                                 << QStringList{ask, QStringLiteral("PQ.I/O Board Pairing"), done};
    QTest::newRow("long range") << 101 << QStringList{ask, done};
    QTest::newRow("long range with LEDs") << 863 << QStringList{ask, done};
}

void TestKelvaraDoors::addEntryConfiguresReader()
{
    QFETCH(int, type);
    QFETCH(QStringList, boxes);
    SimFixture reader(SimFixture::setupOf(type, 0x00C0FFEE));
    QVERIFY(reader.isValid());
    // Left over from earlier work; the configuration starts from factory values.
    reader.dirtyBlock(12, 0xEE);
    const int port = reader.sim->tcp().port();
    selectOnIpTab(port);
    auto view = makeView();
    QString stored;
    onNextDialog<KelvaraEditDoor>([&](KelvaraEditDoor *d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Add Entry"));
        d->findChild<QLineEdit *>(QStringLiteral("areaName"))->setText(QStringLiteral("Hall"));
        d->findChild<QLineEdit *>(QStringLiteral("doorName"))->setText(QStringLiteral(" Gate 1 "));
        QTest::mouseClick(d->findChild<QPushButton *>(QStringLiteral("selectReader")),
                          Qt::LeftButton);
        QCOMPARE(d->findChild<QLineEdit *>(QStringLiteral("readerSerNo"))->text(),
                 QStringLiteral("00C0FFEE"));
        QCOMPARE(d->findChild<QLineEdit *>(QStringLiteral("readerConnect"))->text(),
                 QStringLiteral("127.0.0.1:%1").arg(port));
        QVERIFY(d->form());
        QCOMPARE(d->form()->readerType(), type);
        QVERIFY(!d->findChild<QLabel *>(QStringLiteral("readerPicture"))
                     ->pixmap(Qt::ReturnByValue)
                     .isNull());
        stored = d->form()->settingsText();
        screenshot(d, QStringLiteral("doors-dialog-%1").arg(type));
        QTest::mouseClick(d->findChild<QPushButton *>(QStringLiteral("save")), Qt::LeftButton);
        QVERIFY(readersDone());
        QVERIFY(!d->isVisible());
    });
    QSignalSpy changed(view.get(), &KelvaraDoors::doorsChanged);
    QTest::keyClick(view->table(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(titles(), boxes);
    // What was written to which reader.
    QCOMPARE(m_boxes.last().text,
             QStringLiteral("The configuration of entry 'Gate 1' was written to the %1 with the "
                            "device ID 00C0FFEE at 127.0.0.1:%2.")
                 .arg(ReaderTypes::readerTypeName(type))
                 .arg(port));

    // Stored as chosen, pending for its access data.
    QCOMPARE(view->entries().size(), 1);
    const EntryRow e = view->entries().first();
    QCOMPARE(e.doorName, QStringLiteral("Gate 1"));
    QCOMPARE(e.readerType, type);
    QCOMPARE(e.ipAddr, QStringLiteral("127.0.0.1"));
    QCOMPARE(e.port, port);
    QCOMPARE(e.readerMacAddr, QStringLiteral("02:4B:58:00:00:01"));
    QVERIFY(!stored.isEmpty());
    QCOMPARE(e.readerConfig, stored);
    QCOMPARE(scalar(db(), QStringLiteral("select needsUpdate from doors")), 1);

    // The reader holds exactly what the stored settings make of its factory blocks.
    SimFixture reference(SimFixture::setupOf(type, 0x00C0FFEE));
    QVERIFY(ReaderFactory::writeAccessConfiguration(m_env->settings, type, reference.tcp(), stored,
                                                    nullptr)
                .ok());
    QCOMPARE(reader.device->cpuResets(), 1);
    QCOMPARE(blocksOf(*reader.device), blocksOf(*reference.device));
    const int tenths = qRound(settingValue(stored, QStringLiteral("ValidTime")) * 10);
    QCOMPARE(int(reader.device->block(12)[0]), tenths >> 8);
    QCOMPARE(int(reader.device->block(12)[1]), tenths & 0xFF);
    QCOMPARE(int(reader.device->block(1)[12]), type == 101 ? 0x95 : 0x80);
    // The reader log went to the entry's folder.
    QVERIFY(QFileInfo::exists(entryLogPath(m_project->folder(), QStringLiteral("Gate 1"))));
    screenshot(view.get(), QStringLiteral("doors-view"));
}

void TestKelvaraDoors::flashDriveRouteWritesConfigAndJob()
{
    QTemporaryDir stick;
    m_drive.setDrivePath(stick.path());
    KelvaraEditDoor d(-1, m_settings, m_params, m_drive);
    d.findChild<QLineEdit *>(QStringLiteral("areaName"))->setText(QStringLiteral("Yard"));
    d.findChild<QLineEdit *>(QStringLiteral("doorName"))->setText(QStringLiteral("Barrier"));
    auto *type = d.findChild<QComboBox *>(QStringLiteral("readerType"));
    type->setCurrentIndex(type->findData(101));
    d.findChild<QLineEdit *>(QStringLiteral("readerSerNo"))->setText(QStringLiteral("abcd"));
    d.findChild<QCheckBox *>(QStringLiteral("flashDrive"))->setChecked(true);
    QCOMPARE(d.findChild<QLineEdit *>(QStringLiteral("readerConnect"))->text(),
             QStringLiteral("USB flash drive"));
    const QString settings = d.form()->settingsText();
    d.show();
    d.accept();
    QCOMPARE(titles(), QStringList({QStringLiteral("Reader Configuration"),
                                    QStringLiteral("Save reader configuration")}));
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(scalar(db(), QStringLiteral("select port from doors where readerSerNo='ABCD'")),
             0x10000);

    // The same file the reader class writes, and the job to take it.
    QTemporaryDir other;
    MyRdrTZU700 rdr(m_env->settings);
    QVERIFY(rdr.saveConfigurationFile(other.filePath(QStringLiteral("CONFIG.INI")),
                                      QStringLiteral("Barrier"), settings));
    QFile expected(other.filePath(QStringLiteral("CONFIG.INI")));
    QFile written(stick.filePath(QStringLiteral("0000ABCD/CONFIG.INI")));
    QVERIFY(expected.open(QIODevice::ReadOnly) && written.open(QIODevice::ReadOnly));
    const QByteArray content = written.readAll();
    QCOMPARE(content, expected.readAll());
    QVERIFY(content.startsWith("cfg(P01B12S01)=95\n"));
    QFile job(stick.filePath(QStringLiteral("JOB")));
    QVERIFY(job.open(QIODevice::ReadOnly));
    QCOMPARE(job.readAll(), QByteArray("write-config\n"));
}

void TestKelvaraDoors::firmwareRefusal()
{
    VirtualReaderSetup setup = SimFixture::setupOf(101, 0x00000101);
    setup.firmware[0] = 1;
    setup.firmware[1] = 0;
    setup.firmware[2] = 0;
    SimFixture reader(setup);
    const QString before = blocksOf(*reader.device);
    selectOnIpTab(reader.sim->tcp().port());
    KelvaraEditDoor d(-1, m_settings, m_params, m_drive);
    d.findChild<QLineEdit *>(QStringLiteral("areaName"))->setText(QStringLiteral("Yard"));
    d.findChild<QLineEdit *>(QStringLiteral("doorName"))->setText(QStringLiteral("Gate"));
    d.selectReader();
    d.show();
    d.accept();
    QVERIFY(readersDone());
    QCOMPARE(titles(), QStringList({QStringLiteral("Reader Configuration"),
                                    QStringLiteral("Wrong Firmware Version")}));
    QCOMPARE(reader.device->cpuResets(), 0);
    QCOMPARE(blocksOf(*reader.device), before);
    // The entry is saved all the same, its settings waiting for a later write.
    QCOMPARE(scalar(db(), QStringLiteral("select count(*) from doors where readerType=101")), 1);
}

void TestKelvaraDoors::linkDropKeepsEntryAndOldConfiguration()
{
    SimFixture reader(SimFixture::setupOf(100, 0x00000100));
    const QString inForce = blocksOf(*reader.device, false);
    selectOnIpTab(reader.sim->tcp().port());
    KelvaraEditDoor d(-1, m_settings, m_params, m_drive);
    d.findChild<QLineEdit *>(QStringLiteral("areaName"))->setText(QStringLiteral("Hall"));
    d.findChild<QLineEdit *>(QStringLiteral("doorName"))->setText(QStringLiteral("Door"));
    d.selectReader();
    // The information read passes; the link goes in the middle of the resets.
    reader.sim->faults().dropAfterFrames(8);
    d.show();
    d.accept();
    QVERIFY(readersDone());
    QCOMPARE(m_boxes.first().title, QStringLiteral("Reader Configuration"));
    QCOMPARE(m_boxes.last().icon, QMessageBox::Critical);
    QVERIFY2(m_boxes.last().text.contains(QStringLiteral("The entry and its settings are saved")),
             qPrintable(m_boxes.last().text));
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(d.isSaved());
    QCOMPARE(scalar(db(), QStringLiteral("select needsUpdate from doors where doorName='Door'")),
             1);
    // No restart was sent: the configuration in force is the old one.
    QCOMPARE(reader.device->cpuResets(), 0);
    QCOMPARE(blocksOf(*reader.device, false), inForce);
}

void TestKelvaraDoors::otherReaderAtTheAddressIsNotConfigured()
{
    // The address now leads to another reader than the one the entry names.
    SimFixture reader(SimFixture::setupOf(100, 0x00000100));
    const QString before = blocksOf(*reader.device);
    KelvaraEditDoor d(-1, m_settings, m_params, m_drive);
    d.setEntry(entryRow(QStringLiteral("Hall"), QStringLiteral("Door"), 100,
                        QStringLiteral("00000999"), QStringLiteral("127.0.0.1"),
                        reader.sim->tcp().port()));
    d.show();
    d.accept();
    QVERIFY(readersDone());
    QCOMPARE(titles(), QStringList({QStringLiteral("Reader Configuration"),
                                    QStringLiteral("Reader Configuration")}));
    QCOMPARE(m_boxes.last().icon, QMessageBox::Critical);
    QVERIFY2(m_boxes.last().text.contains(QStringLiteral("device ID 00000100")),
             qPrintable(m_boxes.last().text));
    QCOMPARE(reader.device->cpuResets(), 0);
    QCOMPARE(blocksOf(*reader.device), before);
    QVERIFY(d.isSaved());
}

void TestKelvaraDoors::badInput_data()
{
    QTest::addColumn<QString>("area");
    QTest::addColumn<QString>("door");
    QTest::addColumn<QString>("serNo");
    QTest::addColumn<QString>("mac");
    QTest::addColumn<bool>("drive");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("says");
    QTest::newRow("no entry name") << "Hall"
                                   << "  "
                                   << ""
                                   << "" << false << "Missing information"
                                   << "No entry name given";
    QTest::newRow("no area") << ""
                             << "Door"
                             << ""
                             << "" << false << "Missing information"
                             << "No area name given";
    QTest::newRow("name leaves its folder") << "Hall"
                                            << "../../etc"
                                            << ""
                                            << "" << false << "Invalid input"
                                            << "cannot name the entry's log and data folders";
    QTest::newRow("name too long for a folder") << "Hall" << QString(126, QChar(0x00E4)) << ""
                                                << "" << false << "Invalid input"
                                                << "too long";
    QTest::newRow("pair exists") << "Taken"
                                 << "Door"
                                 << ""
                                 << "" << false << "DB add entry"
                                 << "The area 'Taken' already has an entry named 'Door'.";
    QTest::newRow("reader taken") << "Hall"
                                  << "Other"
                                  << "1234abcd"
                                  << "" << false << "DB add entry"
                                  << "device ID 1234ABCD already controls the entry 'Taken / Door'";
    QTest::newRow("device id not hexadecimal") << "Hall"
                                               << "Door"
                                               << "12G4"
                                               << "" << false << "Invalid input"
                                               << "not a hexadecimal number";
    QTest::newRow("mac address short") << "Hall"
                                       << "Door"
                                       << ""
                                       << "02:4B:58:00:00" << false << "Invalid input"
                                       << "is not of the form";
    QTest::newRow("mac address mixed separators") << "Hall"
                                                  << "Door"
                                                  << ""
                                                  << "02:4B-58:00:00:01" << false << "Invalid input"
                                                  << "is not of the form";
    QTest::newRow("flash drive without device id") << "Hall"
                                                   << "Door"
                                                   << ""
                                                   << "" << true << "Missing information"
                                                   << "No reader device ID given";
}

void TestKelvaraDoors::badInput()
{
    QFETCH(QString, area);
    QFETCH(QString, door);
    QFETCH(QString, serNo);
    QFETCH(QString, mac);
    QFETCH(bool, drive);
    QFETCH(QString, title);
    QFETCH(QString, says);
    EntryRow taken =
        entryRow(QStringLiteral("Taken"), QStringLiteral("Door"), 100, QStringLiteral("1234ABCD"));
    QVERIFY(addEntry(taken) > 0);
    KelvaraEditDoor d(-1, m_settings, m_params, m_drive);
    d.findChild<QLineEdit *>(QStringLiteral("areaName"))->setText(area);
    d.findChild<QLineEdit *>(QStringLiteral("doorName"))->setText(door);
    d.findChild<QLineEdit *>(QStringLiteral("readerSerNo"))->setText(serNo);
    d.findChild<QLineEdit *>(QStringLiteral("readerMacAddr"))->setText(mac);
    d.findChild<QCheckBox *>(QStringLiteral("flashDrive"))->setChecked(drive);
    d.show();
    d.accept();
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes[0].title, title);
    QVERIFY2(m_boxes[0].text.contains(says), qPrintable(m_boxes[0].text));
    QVERIFY(d.isVisible());
    QVERIFY(!d.isSaved());
    QCOMPARE(scalar(db(), QStringLiteral("select count(*) from doors")), 1);
}

void TestKelvaraDoors::deviceIdMismatchQuestion()
{
    SimFixture reader(SimFixture::setupOf(863, 0x00000863));
    const int key = addEntry(
        entryRow(QStringLiteral("Yard"), QStringLiteral("Gate"), 863, QStringLiteral("11111111")));
    QList<EntryRow> rows;
    QVERIFY(!EntryRecords::listEntries(db(), 0, true, rows).isValid());
    selectOnIpTab(reader.sim->tcp().port());
    KelvaraEditDoor d(key, m_settings, m_params, m_drive);
    d.setEntry(rows.first());
    auto *serNo = d.findChild<QLineEdit *>(QStringLiteral("readerSerNo"));
    m_answer = QMessageBox::No;
    d.selectReader();
    QCOMPARE(titles(), QStringList{QStringLiteral("Device ID mismatch")});
    QCOMPARE(serNo->text(), QStringLiteral("11111111"));
    m_answer = QMessageBox::Yes;
    d.selectReader();
    QCOMPARE(serNo->text(), QStringLiteral("00000863"));
    QCOMPARE(d.entry().ipAddr, QStringLiteral("127.0.0.1"));
}

void TestKelvaraDoors::readerSelectionOpensOnTheEntrysTab_data()
{
    QTest::addColumn<QString>("serNo");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<int>("tab");
    QTest::newRow("no reader yet: LAN") << ""
                                        << "" << int(KxSelectReader::LanTab);
    QTest::newRow("USB reader") << "00000863"
                                << "" << int(KxSelectReader::UsbTab);
    QTest::newRow("LAN reader") << "00000863"
                                << "127.0.0.1" << int(KxSelectReader::LanTab);
}

void TestKelvaraDoors::readerSelectionOpensOnTheEntrysTab()
{
    QFETCH(QString, serNo);
    QFETCH(QString, ip);
    QFETCH(int, tab);
    KelvaraEditDoor d(-1, m_settings, m_params, m_drive);
    d.setEntry(entryRow(QStringLiteral("Yard"), QStringLiteral("Gate"), serNo.isEmpty() ? 0 : 863,
                        serNo, ip, ip.isEmpty() ? 0 : 10001));
    int opened = -1;
    KxSelectReader::setAnswerer([&opened](KxSelectReader *dialog) {
        opened = dialog->tabs()->currentIndex();
        return int(QDialog::Rejected);
    });
    d.selectReader();
    QCOMPARE(opened, tab);
}

void TestKelvaraDoors::readInfoAndPairing()
{
    VirtualReaderSetup setup = SimFixture::setupOf(100, 0x00000100);
    setup.extIoSerial = 4660;
    SimFixture reader(setup);
    selectOnIpTab(reader.sim->tcp().port());
    KelvaraEditDoor d(-1, m_settings, m_params, m_drive);
    d.findChild<QLineEdit *>(QStringLiteral("doorName"))->setText(QStringLiteral("Door"));
    d.selectReader();
    d.show();
    QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("readInfo")), Qt::LeftButton);
    QVERIFY(readersDone());
    QVERIFY(m_boxes.isEmpty());
    QCOMPARE(d.findChild<QLineEdit *>(QStringLiteral("firmwareVersion"))->text(),
             QStringLiteral("02.08.00"));
    auto *board = d.findChild<QCheckBox *>(QStringLiteral("extIo"));
    QCOMPARE(board->text(), QStringLiteral("PQ.I/O board is not paired"));
    QVERIFY(d.form()->settingsText().contains(QStringLiteral("HasPqio=1")));
    // The number printed on the board, typed in decimal.
    auto *serial = d.findChild<QLineEdit *>(QStringLiteral("serialNumber"));
    serial->setText(QStringLiteral("4660"));
    QTest::mouseClick(d.findChild<QPushButton *>(QStringLiteral("pairingButton")), Qt::LeftButton);
    QVERIFY(readersDone());
    QCOMPARE(titles(), QStringList{QStringLiteral("PQ.I/O Board Pairing")});
    QVERIFY(reader.device->extIoPaired());
    QCOMPARE(board->text(), QStringLiteral("PQ.I/O board is paired"));
    screenshot(&d, QStringLiteral("doors-dialog-paired"));
}

void TestKelvaraDoors::readerCommandLocksTheDialog()
{
    SimFixture reader(SimFixture::setupOf(100, 0x00000100));
    reader.sim->faults().setDelayMs(150);
    selectOnIpTab(reader.sim->tcp().port());
    auto d = std::make_unique<KelvaraEditDoor>(-1, m_settings, m_params, m_drive);
    d->findChild<QLineEdit *>(QStringLiteral("doorName"))->setText(QStringLiteral("Door"));
    d->selectReader();
    d->show();
    auto *readInfo = d->findChild<QPushButton *>(QStringLiteral("readInfo"));
    QTest::mouseClick(readInfo, Qt::LeftButton);
    QVERIFY(d->isReaderBusy());
    // A second click, cancelling and closing neither start a second command nor end the dialog.
    QVERIFY(!readInfo->isEnabled());
    QTest::mouseClick(readInfo, Qt::LeftButton);
    d->readInfo();
    d->reject();
    QVERIFY(!d->close());
    QVERIFY(d->isVisible());
    QVERIFY(readersDone());
    QVERIFY(readInfo->isEnabled());
    QVERIFY2(m_boxes.isEmpty(), qPrintable(titles().join(QLatin1Char(','))));
    QCOMPARE(d->findChild<QLineEdit *>(QStringLiteral("firmwareVersion"))->text(),
             QStringLiteral("02.08.00"));
    QFile log(entryLogPath(m_project->folder(), QStringLiteral("Door")) + QLatin1Char('/') +
              dailyLogFileName());
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.readAll().count("*** Read Info ***"), 1);
    // Gone while a command runs: the command ends, nothing is shown.
    QTest::mouseClick(readInfo, Qt::LeftButton);
    QVERIFY(d->isReaderBusy());
    d.reset();
    QCOMPARE(ReaderTask::busyCount(), 0);
    QVERIFY(readersDone());
    QVERIFY(m_boxes.isEmpty());
}

void TestKelvaraDoors::editMarksPendingOnlyOnChange()
{
    EntryRow e = entryRow(QStringLiteral("Hall"), QStringLiteral("Door"), 100,
                          QStringLiteral("00000100"), QString(), 0x10000);
    const int key = addEntry(e);
    QVERIFY(key > 0);
    QList<EntryRow> rows;
    QVERIFY(!EntryRecords::listEntries(db(), 0, true, rows).isValid());
    // What the form writes for the stored settings: saving it again changes nothing.
    {
        KelvaraEditDoor probe(key, m_settings, m_params, m_drive);
        probe.setEntry(rows.first());
        rows.first().readerConfig = probe.form()->settingsText();
    }
    QVERIFY(!EntryRecords::editEntry(db(), rows.first()).isValid());
    const QString pending = QStringLiteral("select needsUpdate from doors");
    m_answer = QMessageBox::No;
    {
        KelvaraEditDoor d(key, m_settings, m_params, m_drive);
        QCOMPARE(d.windowTitle(), QStringLiteral("Edit Entry"));
        d.setEntry(rows.first());
        d.findChild<QLineEdit *>(QStringLiteral("commentDoor"))->setText(QStringLiteral("side"));
        d.show();
        d.accept();
        QVERIFY(d.isSaved());
    }
    QCOMPARE(scalar(db(), pending), 0);
    QCOMPARE(scalar(db(), QStringLiteral("select count(*) from doors where commentDoor='side'")),
             1);
    // Another reader serial number marks the entry.
    {
        KelvaraEditDoor d(key, m_settings, m_params, m_drive);
        d.setEntry(rows.first());
        d.findChild<QLineEdit *>(QStringLiteral("readerSerNo"))->setText(QStringLiteral("101"));
        d.show();
        d.accept();
    }
    QCOMPARE(scalar(db(), pending), 1);
}

// ---------------------------------------------------------------- view

void TestKelvaraDoors::listSortSearchAndRemove()
{
    QVERIFY(addEntry(entryRow(QStringLiteral("B-Yard"), QStringLiteral("Barrier"), 101,
                              QStringLiteral("0000ABCD"), QString(), 0x10000)) > 0);
    const int hall =
        addEntry(entryRow(QStringLiteral("A-Hall"), QStringLiteral("Main"), 100,
                          QStringLiteral("00C0FFEE"), QStringLiteral("127.0.0.1"), 10001));
    QVERIFY(addEntry(entryRow(QStringLiteral("A-Hall"), QStringLiteral("Side"), 863,
                              QStringLiteral("00000863"))) > 0);
    ProjectDatabase d(db());
    QVERIFY(d.open());
    QSqlQuery q = d.query();
    QVERIFY(q.exec(QStringLiteral(
        "insert into users (familyName,firstName,groupName) values ('Roe','Al','G')")));
    QVERIFY(q.exec(QStringLiteral("insert into times (modelName,modelTag,modelDefinition) "
                                  "values ('Day','A','mon-07:00-18:00')")));
    QVERIFY(q.exec(
        QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) values (1,%1,1)").arg(hall)));
    m_settings.doorsTableColWidth = {120, 150};
    auto view = makeView();
    QTableWidget *t = view->table();
    QCOMPARE(t->columnWidth(0), 120);
    QCOMPARE(t->columnWidth(2), 200);
    QCOMPARE(t->rowCount(), 3);
    QCOMPARE(t->item(0, 1)->text(), QStringLiteral("Main"));
    QCOMPARE(t->item(0, 3)->text(), QStringLiteral("127.0.0.1:10001"));
    QCOMPARE(t->item(0, 4)->text(), QStringLiteral("ID TZ60"));
    QCOMPARE(t->item(1, 3)->text(), QStringLiteral("USB cable"));
    QCOMPARE(t->item(2, 3)->text(), QStringLiteral("USB flash drive"));
    t->setColumnWidth(1, 170);
    QCOMPARE(m_settings.doorsTableColWidth.value(1), 170);

    // Direction, then another key.
    QTest::mouseClick(view->findChild<QToolButton *>(QStringLiteral("sortDirection")),
                      Qt::LeftButton);
    QCOMPARE(t->item(0, 1)->text(), QStringLiteral("Barrier"));
    view->findChild<QComboBox *>(QStringLiteral("sortKey"))->setCurrentIndex(2);
    QCOMPARE(t->item(0, 4)->text(), QStringLiteral("ID TZU300"));

    // Search moves to the hit cell.
    view->findChild<QLineEdit *>(QStringLiteral("searchField"))->setText(QStringLiteral("C0FF"));
    QVERIFY(t->currentItem());
    QCOMPARE(t->currentItem()->text(), QStringLiteral("00C0FFEE"));

    // Remove two: the rows and their access rows go.
    view->findChild<QLineEdit *>(QStringLiteral("searchField"))->clear();
    t->clearSelection();
    t->setRangeSelected(QTableWidgetSelectionRange(1, 0, 2, 6), true);
    QSignalSpy changed(view.get(), &KelvaraDoors::doorsChanged);
    QTest::keyClick(t, Qt::Key_Delete);
    QCOMPARE(titles(), QStringList{QStringLiteral("Remove entry")});
    QCOMPARE(changed.count(), 1);
    QCOMPARE(t->rowCount(), 1);
    QCOMPARE(scalar(db(), QStringLiteral("select count(*) from access")), 0);
}

void TestKelvaraDoors::folderActionsUseTheFolderKeys()
{
    // Two entries share a name; an old one carries a name that points upward.
    QVERIFY(addEntry(entryRow(QStringLiteral("Hall"), QStringLiteral("Gate"))) > 0);
    QVERIFY(addEntry(entryRow(QStringLiteral("Yard"), QStringLiteral("Gate"))) > 0);
    QVERIFY(addEntry(entryRow(QStringLiteral("Roof"), QStringLiteral("../../x"))) > 0);
    const QString folder = m_project->folder();
    const QString roof = safeFolderName(QStringLiteral("../../x")) + QStringLiteral(" (Roof)");
    for (const QString &key : {QStringLiteral("Gate (Yard)"), roof})
        QVERIFY(QDir().mkpath(entryDataPath(folder, key)));
    QVERIFY(QDir().mkpath(entryLogPath(folder, QStringLiteral("Gate (Hall)"))));
    // A link in place of an entry folder is not followed.
    QVERIFY(QFile::link(QDir::tempPath(), entryLogPath(folder, QStringLiteral("Gate (Yard)"))));
    auto view = makeView();
    QTableWidget *t = view->table();
    const auto rowOf = [&](const QString &area) {
        for (int r = 0; r < t->rowCount(); ++r)
            if (t->item(r, 0)->text() == area)
                return r;
        return -1;
    };
    t->setCurrentCell(rowOf(QStringLiteral("Yard")), 0);
    view->openDataPath();
    t->setCurrentCell(rowOf(QStringLiteral("Roof")), 0);
    view->openDataPath();
    t->setCurrentCell(rowOf(QStringLiteral("Hall")), 0);
    view->openLogPath();
    QVERIFY2(m_boxes.isEmpty(), qPrintable(titles().join(QLatin1Char(','))));
    t->setCurrentCell(rowOf(QStringLiteral("Yard")), 0);
    view->openLogPath();
    QCOMPARE(titles(), QStringList{QStringLiteral("Open path")});
    QCOMPARE(m_opened.size(), 3);
    QCOMPARE(m_opened.at(0).toLocalFile(), entryDataPath(folder, QStringLiteral("Gate (Yard)")));
    QCOMPARE(m_opened.at(1).toLocalFile(), entryDataPath(folder, roof));
    QVERIFY(m_opened.at(1).toLocalFile().startsWith(projectDataPath(folder) + QLatin1Char('/')));
    QCOMPARE(m_opened.at(2).toLocalFile(), entryLogPath(folder, QStringLiteral("Gate (Hall)")));
}

void TestKelvaraDoors::resetAntiPassbackOnLongRangeReader()
{
    SimFixture reader(SimFixture::setupOf(101, 0x00000101));
    const std::vector<uint8_t> id = reader.admitWithAntiPassback(m_env->settings, 101);
    QVERIFY(!id.empty());
    QVERIFY(reader.device->insideAntiPassback(id));

    QVERIFY(addEntry(entryRow(QStringLiteral("Yard"), QStringLiteral("Lane"), 101,
                              QStringLiteral("00000101"), QStringLiteral("127.0.0.1"),
                              reader.sim->tcp().port())) > 0);
    auto view = makeView();
    // The menu of a long-range reader's row offers the reset.
    bool offered = false;
    QTimer::singleShot(0, view.get(), [&] {
        offered = view->resetAntiPassbackAction()->isVisible() &&
                  view->resetAntiPassbackAction()->isEnabled();
        view->contextMenu()->close();
    });
    view->tableContextMenuRequested(
        view->table()->visualItemRect(view->table()->item(0, 0)).center());
    QVERIFY(offered);
    view->table()->setCurrentCell(0, 0);
    view->resetAntiPassback();
    QVERIFY(readersDone());
    QCOMPARE(titles(), QStringList{QStringLiteral("Ok")});
    QVERIFY(!reader.device->insideAntiPassback(id));
    QVERIFY(QFileInfo::exists(entryLogPath(m_project->folder(), QStringLiteral("Lane"))));
    const int resets = reader.device->cpuResets();
    view->resetCpu();
    QVERIFY(readersDone());
    QCOMPARE(reader.device->cpuResets(), resets + 1);
}

void TestKelvaraDoors::mainWindowShowsEntries()
{
    QVERIFY(addEntry(entryRow(QStringLiteral("Hall"), QStringLiteral("Main"))) > 0);
    QVERIFY(saveMainWindowSettings());
    KelvaraMan w;
    w.show();
    QToolButton *entries = nullptr;
    for (QToolButton *b : w.findChild<QToolBar *>()->findChildren<QToolButton *>())
        if (b->whatsThis() == QLatin1String("Entry Administration"))
            entries = b;
    QVERIFY(entries && entries->isEnabled());
    QTest::mouseClick(entries, Qt::LeftButton);
    QVERIFY(w.doorsView()->isVisible());
    QVERIFY(!w.board()->isVisible());
    QCOMPARE(w.doorsView()->table()->rowCount(), 1);
    // Ready for the keyboard: a row selected, the list focused.
    QCOMPARE(w.doorsView()->table()->currentRow(), 0);
    QCOMPARE(w.focusWidget(), w.doorsView()->table());
}

KX_TEST_GUI_MAIN(TestKelvaraDoors)
#include "tst_kelvaradoors.moc"
