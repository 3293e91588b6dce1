#include "core/applicationsettings.h"
#include "db/entryrecords.h"
#include "reader/readertypes.h"
#include "support/testsupport.h"
#include "views/editors/kelvaraedituser.h"
#include "views/readerselection/kxinputipaddr.h"
#include "views/readerselection/kxselectreader.h"
#include "views/settings/kelvarageneralsettingsdialog.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"

#include <QApplication>
#include <QDate> // simfixture.h dates the reader logs
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include "e2e/simfixture.h"

using Dialog = KelvaraGeneralSettingsDialog;

namespace {

struct Box
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

kxsim::SimTag tag(int type, const QByteArray &hex)
{
    kxsim::SimTag t;
    t.type = type;
    const QByteArray bytes = QByteArray::fromHex(hex);
    t.uid.assign(bytes.begin(), bytes.end());
    return t;
}

QByteArray blockOf(const kxsim::VirtualReader &reader, int number)
{
    const auto block = reader.block(number);
    return QByteArray(reinterpret_cast<const char *>(block.data()), int(block.size()));
}

// Pixels that are clearly red: the "Not Connected" caption.
int redPixels(const QPixmap &pixmap)
{
    const QImage image = pixmap.toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
                ++count;
        }
    return count;
}

} // namespace

class TestKelvaraGeneralSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void programmerPicture_data();
    void programmerPicture();
    void chooseSaveReopenAndRead_data();
    void chooseSaveReopenAndRead();
    void accessReaderAsksFirst_data();
    void accessReaderAsksFirst();
    void lostReaderKeepsOldSettings();
    void oldFirmwareRefused();
    void regionTexts_data();
    void regionTexts();
    void referenceRoundTrip_data();
    void referenceRoundTrip();
    void savedAndShownAgain();
    void unknownRegionKept();

private:
    // The reader selection answers with the reader at this loopback port.
    int m_selectPort = 0;
    QList<Box> m_boxes;
    QMessageBox::StandardButton m_questionAnswer = QMessageBox::Yes;
};

void TestKelvaraGeneralSettingsDialog::initTestCase()
{
    kxInitResources();
    KxMessageBox::setAnswerer(
        [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
            m_boxes.append({icon, title, text});
            return icon == QMessageBox::Question ? m_questionAnswer : QMessageBox::Ok;
        });
    // As a user would: the IP tab, the reader's address, "Select".
    KxSelectReader::setAnswerer([this](KxSelectReader *dialog) {
        if (m_selectPort == 0)
            return int(QDialog::Rejected);
        dialog->tabs()->setCurrentIndex(KxSelectReader::IpTab);
        dialog->ipPanel()->setHost(QStringLiteral("127.0.0.1"));
        dialog->ipPanel()->setPort(m_selectPort);
        dialog->okClicked();
        readersDone();
        return dialog->result();
    });
}

void TestKelvaraGeneralSettingsDialog::init()
{
    m_boxes.clear();
    m_selectPort = 0;
    m_questionAnswer = QMessageBox::Yes;
}

void TestKelvaraGeneralSettingsDialog::cleanupTestCase()
{
    KxMessageBox::setAnswerer({});
    KxSelectReader::setAnswerer({});
}

void TestKelvaraGeneralSettingsDialog::programmerPicture_data()
{
    QTest::addColumn<QSize>("picture"); // empty: the type has no picture
    QTest::addColumn<bool>("placeholder");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("red");
    QTest::newRow("picture, connected") << QSize(80, 200) << true << true << true << false;
    QTest::newRow("picture, not connected") << QSize(80, 200) << true << false << true << true;
    QTest::newRow("no picture, connected") << QSize() << false << true << false << false;
    QTest::newRow("placeholder, connected") << QSize() << true << true << true << false;
    QTest::newRow("no picture, not connected") << QSize() << true << false << true << true;
}

void TestKelvaraGeneralSettingsDialog::programmerPicture()
{
    QFETCH(QSize, picture);
    QFETCH(bool, placeholder);
    QFETCH(bool, connected);
    QFETCH(bool, shown);
    QFETCH(bool, red);
    QPixmap reader;
    if (picture.isValid()) {
        reader = QPixmap(picture);
        reader.fill(Qt::darkGray);
    }
    QPixmap standIn;
    if (placeholder) {
        standIn = QPixmap(150, 150);
        standIn.fill(Qt::blue);
    }
    const QPixmap result = Dialog::programmerPicture(reader, connected, standIn);
    QCOMPARE(!result.isNull(), shown);
    if (!shown)
        return;
    QCOMPARE(result.height(), 100);
    // The caption never gets cut: the picture is at least as wide as it.
    QVERIFY(result.width() >= (picture.isValid() ? picture.width() * 100 / picture.height() : 0));
    QCOMPARE(redPixels(result) > 0, red);
}

void TestKelvaraGeneralSettingsDialog::chooseSaveReopenAndRead_data()
{
    QTest::addColumn<int>("region");
    QTest::addColumn<bool>("regionWritten"); // the long-range desk reader knows the code
    QTest::newRow("FCC: Japan") << 84 << true;
    QTest::newRow("FCC: Malaysia") << 100 << false;
}

void TestKelvaraGeneralSettingsDialog::chooseSaveReopenAndRead()
{
    QFETCH(int, region);
    QFETCH(bool, regionWritten);
    ReaderTestEnvironment env;
    SimFixture hf(SimFixture::setupOf(ReaderTypes::PQ20, 0x00C0FFEE));
    SimFixture uhf(SimFixture::setupOf(ReaderTypes::LRX7, 0x0BADF00D));
    QVERIFY(hf.isValid() && uhf.isValid());
    hf.dirtyBlock(3, 0xEE);
    const int hfResets = hf.device->cpuResets();
    TestSupport::TempProject project;
    ProjectParameters params;
    params.projectPath = project.folder();
    params.databasePath = project.databasePath();
    QVERIFY(params.loadProjectParameters());
    params.haveHfReader = params.haveUhfReader = true;

    ApplicationSettings settings;
    {
        Dialog dialog(settings, params, project.databasePath());
        m_selectPort = hf.sim->tcp().port();
        dialog.selectButton(false)->click();
        QVERIFY(readersDone());
        m_selectPort = uhf.sim->tcp().port();
        dialog.selectButton(true)->click();
        QVERIFY(readersDone());
        QCOMPARE(dialog.nameLabel(false)->text(), QStringLiteral("ID PQ20"));
        QCOMPARE(dialog.nameLabel(true)->text(), QStringLiteral("ID LRX7"));
        QVERIFY(dialog.isConnected(false) && dialog.isConnected(true));
        QVERIFY(dialog.regionBox()->setRegion(region));
        dialog.show();
        dialog.okButton()->click();
        // Cancelled while the readers are configured: the dialog waits for the end.
        QVERIFY(dialog.isReaderBusy());
        dialog.reject();
        QVERIFY(dialog.isVisible());
        QVERIFY(readersDone());
        QVERIFY2(m_boxes.isEmpty(), qPrintable(m_boxes.value(0).text));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    const QString hfReference =
        QStringLiteral("82;00C0FFEE;127.0.0.1:%1").arg(hf.sim->tcp().port());
    const QString uhfReference =
        QStringLiteral("54;0BADF00D;127.0.0.1:%1").arg(uhf.sim->tcp().port());
    QCOMPARE(settings.hfProgrammerReader, hfReference);
    QCOMPARE(settings.uhfProgrammerReader, uhfReference);
    QCOMPARE(settings.uhfRegion, region);

    // What the readers received: the short-range reader its two blocks (the
    // dirt left in block 3 is gone) and a restart; the long-range reader the
    // region in block 36, unless it does not know the code.
    QCOMPARE(blockOf(*hf.device, 1).at(13), char(0));
    QCOMPARE(blockOf(*hf.device, 3).left(2), QByteArray::fromHex("0010"));
    QCOMPARE(blockOf(*hf.device, 3).at(2),
             blockOf(kxsim::VirtualReader(SimFixture::setupOf(82)), 3).at(2));
    QCOMPARE(hf.device->cpuResets(), hfResets + 1);
    QCOMPARE(blockOf(*uhf.device, 1).mid(12, 2), QByteArray::fromHex("9500"));
    QCOMPARE(blockOf(*uhf.device, 16).mid(2, 2), QByteArray::fromHex("0028"));
    QCOMPARE(blockOf(*uhf.device, 20).at(9), char(1));
    const QByteArray factory36 = blockOf(kxsim::VirtualReader(SimFixture::setupOf(54)), 36);
    QByteArray expected36 = factory36;
    expected36.replace(0, 3, QByteArray::fromHex("001014"));
    if (regionWritten)
        expected36[3] = char(region);
    QCOMPARE(blockOf(*uhf.device, 36).toHex(), expected36.toHex());

    // Opened again, the dialog shows both.
    Dialog again(settings, params, project.databasePath());
    QVERIFY(readersDone());
    QCOMPARE(again.nameLabel(false)->text(), QStringLiteral("ID PQ20"));
    QCOMPARE(again.readerEdit(true)->text(),
             QStringLiteral("Device-ID '0BADF00D' via '127.0.0.1:%1'").arg(uhf.sim->tcp().port()));
    QVERIFY(again.isConnected(false) && again.isConnected(true));
    QCOMPARE(again.regionBox()->region(), region);
    if (region == 84) {
        again.resize(again.sizeHint());
        again.show();
        QVERIFY(
            again.grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/generalsettings-readers.png")));
    }

    // A tag read in the user dialog goes through them.
    hf.device->placeTag(tag(4, "04a1b2c3d4e5f6"));
    uhf.device->placeTag(tag(0x84, "3000e2003412b802011a2b3c4d5e"));
    KelvaraEditUser user(-1, settings, params);
    user.readIddIso14443();
    QVERIFY(readersDone());
    user.readIddClass1Gen2();
    QVERIFY(readersDone());
    QVERIFY2(m_boxes.isEmpty(), qPrintable(m_boxes.value(0).text));
    QCOMPARE(user.iddIso14443().toHex(), QStringLiteral("04A1B2C3D4E5F6"));
    QCOMPARE(user.iddClass1Gen2().toHex(), QStringLiteral("E2003412B802011A2B3C4D5E"));
}

void TestKelvaraGeneralSettingsDialog::accessReaderAsksFirst_data()
{
    QTest::addColumn<QString>("entryReader"); // the serial number an entry holds
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("configured");
    QTest::newRow("not an entry's reader") << "0000BEEF" << int(QMessageBox::No) << false << true;
    QTest::newRow("entry's reader, yes") << "c0ffee" << int(QMessageBox::Yes) << true << true;
    QTest::newRow("entry's reader, no") << "00C0FFEE" << int(QMessageBox::No) << true << false;
}

void TestKelvaraGeneralSettingsDialog::accessReaderAsksFirst()
{
    QFETCH(QString, entryReader);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(bool, configured);
    ReaderTestEnvironment env;
    SimFixture hf(SimFixture::setupOf(ReaderTypes::PQ10, 0x00C0FFEE));
    QVERIFY(hf.isValid());
    const int resets = hf.device->cpuResets();
    TestSupport::TempProject project;
    EntryRow entry;
    entry.doorName = QStringLiteral("Gate");
    entry.areaName = QStringLiteral("Yard");
    entry.readerType = ReaderTypes::PQ10;
    entry.readerSerNo = entryReader;
    QVERIFY(!EntryRecords::addEntry(project.databasePath(), entry).isValid());
    ProjectParameters params;
    params.projectPath = project.folder();
    params.databasePath = project.databasePath();
    QVERIFY(params.loadProjectParameters());

    ApplicationSettings settings;
    settings.hfProgrammerReader =
        QStringLiteral("86;00C0FFEE;127.0.0.1:%1").arg(hf.sim->tcp().port());
    m_questionAnswer = QMessageBox::StandardButton(answer);
    Dialog dialog(settings, params, project.databasePath());
    QVERIFY(readersDone());
    dialog.okButton()->click();
    QVERIFY(readersDone());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(m_boxes.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(m_boxes.at(0).title, QStringLiteral("Configure Programmer Reader 'ID PQ10'"));
        QCOMPARE(m_boxes.at(0).text,
                 QStringLiteral("The reader\n\n'ID PQ10' with device ID '00C0FFEE'\n\nis "
                                "registered as access control reader.\nIf the reader is already "
                                "configured for access control you should skip here!\n\nDo you "
                                "want to configure it?"));
    }
    QCOMPARE(hf.device->cpuResets(), resets + (configured ? 1 : 0));
}

void TestKelvaraGeneralSettingsDialog::lostReaderKeepsOldSettings()
{
    ReaderTestEnvironment env;
    SimFixture hf(SimFixture::setupOf(ReaderTypes::PQ20, 0x00C0FFEE));
    SimFixture uhf(SimFixture::setupOf(ReaderTypes::LRX7, 0x0BADF00D));
    QVERIFY(hf.isValid() && uhf.isValid());
    ApplicationSettings settings;
    settings.uhfRegion = 6;
    Dialog dialog(settings);
    m_selectPort = hf.sim->tcp().port();
    dialog.selectButton(false)->click();
    QVERIFY(readersDone());
    m_selectPort = uhf.sim->tcp().port();
    dialog.selectButton(true)->click();
    QVERIFY(readersDone());
    QVERIFY(dialog.isConnected(true));
    dialog.regionBox()->setRegion(84);
    // Gone between the test and "Ok".
    uhf.sim->closeTcp();
    dialog.okButton()->click();
    QVERIFY(readersDone());
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).icon, QMessageBox::Critical);
    QCOMPARE(m_boxes.at(0).title, QStringLiteral("Configure Programmer Reader 'ID LRX7'"));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(settings.hfProgrammerReader, QString());
    QCOMPARE(settings.uhfProgrammerReader, QString());
    QCOMPARE(settings.uhfRegion, 6);
}

void TestKelvaraGeneralSettingsDialog::oldFirmwareRefused()
{
    ReaderTestEnvironment env;
    kxsim::VirtualReaderSetup setup = SimFixture::setupOf(ReaderTypes::TZ60);
    setup.firmware[0] = 2;
    setup.firmware[1] = 7;
    setup.firmware[2] = 9;
    SimFixture hf(setup);
    QVERIFY(hf.isValid());
    const int resets = hf.device->cpuResets();
    const QByteArray block3 = blockOf(*hf.device, 3);
    ApplicationSettings settings;
    settings.hfProgrammerReader =
        QStringLiteral("100;00C0FFEE;127.0.0.1:%1").arg(hf.sim->tcp().port());
    Dialog dialog(settings);
    QVERIFY(readersDone());
    QVERIFY(dialog.isConnected(false));
    settings.hfProgrammerReader.clear();
    dialog.okButton()->click();
    QVERIFY(readersDone());
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.at(0).title, QStringLiteral("Wrong Firmware Version"));
    QVERIFY(dialog.result() != QDialog::Accepted);
    QCOMPARE(settings.hfProgrammerReader, QString());
    QCOMPARE(hf.device->cpuResets(), resets);
    QCOMPARE(blockOf(*hf.device, 3), block3);
}

void TestKelvaraGeneralSettingsDialog::regionTexts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("offered");
    QTest::newRow("6") << 6 << "EU: Europe" << true;
    QTest::newRow("86") << 86 << "EU: Morocco" << true;
    QTest::newRow("36") << 36 << "FCC: Australia / New Zealand" << true;
    QTest::newRow("116") << 116 << "FCC: Korea" << true;
    QTest::newRow("254") << 254 << "EU: Manual" << false;
    QTest::newRow("255") << 255 << "FCC: Manual" << false;
    QTest::newRow("7") << 7 << "Unknown region" << false;
}

void TestKelvaraGeneralSettingsDialog::regionTexts()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(bool, offered);
    QCOMPARE(KelvaraRegion::regionText(code), text);
    KelvaraRegion box;
    QCOMPARE(box.count(), 14);
    QCOMPARE(box.setRegion(code), offered);
    if (offered)
        QCOMPARE(box.currentText(), text);
}

void TestKelvaraGeneralSettingsDialog::referenceRoundTrip_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("shown");
    QTest::newRow("network") << "54;00ab12cd;reader.local:10001"
                             << "54;00AB12CD;reader.local:10001"
                             << "Device-ID '00AB12CD' via 'reader.local:10001'";
    QTest::newRow("usb") << "100;1F;...:0"
                         << "100;0000001F;:0"
                         << "Device-ID '0000001F' via 'USB'";
    QTest::newRow("empty") << QString() << "0;00000000;:0" << QString();
    QTest::newRow("port out of range") << "82;1;127.0.0.1:65536"
                                       << "82;00000001;127.0.0.1:0"
                                       << "Device-ID '00000001' via '127.0.0.1:0'";
}

void TestKelvaraGeneralSettingsDialog::referenceRoundTrip()
{
    QFETCH(QString, stored);
    QFETCH(QString, written);
    QFETCH(QString, shown);
    const auto reader = ReaderFactory::parseProgrammerReader(stored);
    QCOMPARE(Dialog::referenceText(reader), written);
    QCOMPARE(Dialog::connectionText(reader), shown);
    QCOMPARE(Dialog::referenceText(ReaderFactory::parseProgrammerReader(written)), written);
}

void TestKelvaraGeneralSettingsDialog::savedAndShownAgain()
{
    ApplicationSettings settings;
    settings.hfProgrammerReader = QStringLiteral("100;0000001F;:0");
    // A loopback port nobody listens on: the reader is not there.
    const QString uhf = QStringLiteral("127.0.0.1:%1").arg(TestSupport::unusedLoopbackPort());
    settings.uhfProgrammerReader = QStringLiteral("54;00000002;") + uhf;
    settings.uhfRegion = 6;
    {
        Dialog dialog(settings);
        QVERIFY(readersDone());
        QCOMPARE(dialog.readerEdit(false)->text(),
                 QStringLiteral("Device-ID '0000001F' via 'USB'"));
        // Neither reader answers: shown as not connected, kept but not
        // configured on "Ok", without a message.
        QVERIFY(!dialog.isConnected(false) && !dialog.isConnected(true));
        QVERIFY(redPixels(dialog.pictureLabel(true)->pixmap(Qt::ReturnByValue)) > 0);
        dialog.regionBox()->setRegion(84);
        QCOMPARE(dialog.parallelBox()->value(), 4);
        dialog.parallelBox()->setValue(8);
        dialog.okButton()->click();
        QCOMPARE(dialog.result(), QDialog::Accepted);
        QVERIFY(m_boxes.isEmpty());
    }
    QCOMPARE(settings.uhfRegion, 84);
    QCOMPARE(settings.parallelEntries, 8);
    QCOMPARE(settings.uhfProgrammerReader, QStringLiteral("54;00000002;") + uhf);
    Dialog again(settings);
    QVERIFY(readersDone());
    QCOMPARE(again.regionBox()->currentText(), QStringLiteral("FCC: Japan"));
    QCOMPARE(again.parallelBox()->value(), 8);
    QCOMPARE(again.readerEdit(true)->text(),
             QStringLiteral("Device-ID '00000002' via '%1'").arg(uhf));
    again.resize(again.sizeHint());
    again.show();
    QVERIFY(again.grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/generalsettings.png")));
}

void TestKelvaraGeneralSettingsDialog::unknownRegionKept()
{
    ApplicationSettings settings;
    settings.uhfRegion = 7;
    Dialog dialog(settings);
    QCOMPARE(dialog.regionBox()->currentIndex(), -1);
    dialog.okButton()->click();
    QCOMPARE(settings.uhfRegion, 7);
}

KX_TEST_GUI_MAIN(TestKelvaraGeneralSettingsDialog)
#include "tst_kelvarageneralsettingsdialog.moc"
