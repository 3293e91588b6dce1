#include "core/applicationsettings.h"
#include "support/testsupport.h"
#include "views/kelvarageneralsettingsdialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

using Dialog = KelvaraGeneralSettingsDialog;

class TestKelvaraGeneralSettingsDialog : public QObject
{
    Q_OBJECT

private slots:
    void regionTexts_data();
    void regionTexts();
    void referenceRoundTrip_data();
    void referenceRoundTrip();
    void savedAndShownAgain();
    void unknownRegionKept();
};

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
    settings.uhfProgrammerReader = QStringLiteral("54;00000002;127.0.0.1:10001");
    settings.uhfRegion = 6;
    {
        Dialog dialog(settings);
        QCOMPARE(dialog.readerEdit(false)->text(),
                 QStringLiteral("Device-ID '0000001F' via 'USB'"));
        dialog.regionBox()->setRegion(84);
        QCOMPARE(dialog.parallelBox()->value(), 4);
        dialog.parallelBox()->setValue(8);
        dialog.okButton()->click();
        QCOMPARE(dialog.result(), QDialog::Accepted);
    }
    QCOMPARE(settings.uhfRegion, 84);
    QCOMPARE(settings.parallelEntries, 8);
    QCOMPARE(settings.uhfProgrammerReader, QStringLiteral("54;00000002;127.0.0.1:10001"));
    Dialog again(settings);
    QCOMPARE(again.regionBox()->currentText(), QStringLiteral("FCC: Japan"));
    QCOMPARE(again.parallelBox()->value(), 8);
    QCOMPARE(again.readerEdit(true)->text(),
             QStringLiteral("Device-ID '00000002' via '127.0.0.1:10001'"));
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
