// The reader settings forms: the settings text they write and read back,
// the enabling of dependent controls and the pairing number.
#include "support/testsupport.h"
#include "views/readerforms/kelvaracfg_tz60.h"
#include "views/readerforms/kelvaracfg_tzu700.h"
#include "widgets/kxmessagebox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>

#include <memory>

namespace {

const char kTzu700Defaults[] =
    "ReaderType=101;ValidTime=5.5;AntiPassBack=0;AntennaCount=1;Antenna1.RfPower=1.0;"
    "Antenna2.RfPower=1.0;Out1.HoldTime=1.0;Out2.HoldTime=1.0;Trigger.Enable=0;Trigger.Edge=1;"
    "Trigger.HoldTime=5.0;Trigger.InputToAntenna=0";
const char kTzu300Defaults[] =
    "ReaderType=863;ValidTime=5.5;AntiPassBack=0;AntennaCount=1;Antenna1.RfPower=0.8;"
    "Antenna2.RfPower=1.0;Out1.HoldTime=1.0;Out2.HoldTime=1.0;Trigger.Enable=0;Trigger.Edge=1;"
    "Trigger.HoldTime=5.0;Trigger.InputToAntenna=0;AntennaSignal=3;Led.Idle.Color=0;"
    "Led.Valid.Color=1;Led.Valid.Mode=0;Led.Inval.Color=2;Led.Inval.Mode=0";

std::unique_ptr<KelvaraCfgForm> form(int type)
{
    return std::unique_ptr<KelvaraCfgForm>(KelvaraCfgForm::create(type));
}

// The defaults text with some entries replaced ("Key=value" each).
QString defaultsWith(int type, const QStringList &replacements)
{
    QStringList entries = form(type)->settingsText().split(QLatin1Char(';'));
    for (const QString &r : replacements) {
        const QString key = r.section(QLatin1Char('='), 0, 0) + QLatin1Char('=');
        for (QString &e : entries)
            if (e.startsWith(key))
                e = r;
    }
    return entries.join(QLatin1Char(';'));
}

} // namespace

class TestKelvaraCfgForms : public QObject
{
    Q_OBJECT

private slots:
    void defaults_data();
    void defaults();
    void loadAndSave_data();
    void loadAndSave();
    void blockingTimeEdits();
    void shortValidTimeLoadsUnchecked();
    void enabling_data();
    void enabling();
    void longRangeLabels_data();
    void longRangeLabels();
    void extIoBoard();
    void pairing_data();
    void pairing();
    void screenshots();
};

void TestKelvaraCfgForms::defaults_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("expected");
    QTest::newRow("100") << 100 << "ReaderType=100;HasPqio=0;ValidTime=5.5;Out1.HoldTime=1.0";
    QTest::newRow("101") << 101 << kTzu700Defaults;
    QTest::newRow("863") << 863 << kTzu300Defaults;
}

void TestKelvaraCfgForms::defaults()
{
    QFETCH(int, type);
    QFETCH(QString, expected);
    const auto f = form(type);
    QVERIFY(f);
    QCOMPARE(f->readerType(), type);
    QCOMPARE(f->settingsText(), expected);
    // An empty stored text loads the same defaults.
    f->loadSettings(QStringLiteral("ValidTime=900"));
    f->loadSettings(QString());
    QCOMPARE(f->settingsText(), expected);
}

void TestKelvaraCfgForms::loadAndSave_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("written"); // ";"-separated entries that differ from the defaults

    QTest::newRow("15 minutes") << 101 << "ValidTime=900"
                                << "ValidTime=900.0";
    QTest::newRow("minutes rounded") << 100 << "ValidTime=1000.0"
                                     << "ValidTime=1020.0";
    QTest::newRow("too long for the reader") << 101 << "ValidTime=99999"
                                             << "ValidTime=6540.0";
    QTest::newRow("tz60 all") << 100 << "HasPqio=1;ValidTime=120.0;Out1.HoldTime=2.5"
                              << "HasPqio=1;ValidTime=120.0;Out1.HoldTime=2.5";
    QTest::newRow("blanks and unknown keys") << 100 << " Out1.HoldTime = 0.3 ;Foo=1;ReaderType=5"
                                             << "Out1.HoldTime=0.3";
    QTest::newRow("two antennas") << 101 << "AntennaCount=2;Antenna2.RfPower=1.7"
                                  << "AntennaCount=2;Antenna2.RfPower=1.7";
    QTest::newRow("entry at ANT2") << 101 << "AntiPassBack=1"
                                   << "AntiPassBack=1";
    QTest::newRow("unknown direction takes the first") << 101 << "AntiPassBack=7"
                                                       << "AntiPassBack=2";
    QTest::newRow("trigger")
        << 101
        << "Trigger.Enable=1;Trigger.Edge=0;Trigger.HoldTime=12.3;"
           "Trigger.InputToAntenna=1"
        << "Trigger.Enable=1;Trigger.Edge=0;Trigger.HoldTime=12.3;Trigger.InputToAntenna=1";
    QTest::newRow("values clamped to the ranges")
        << 101 << "Antenna1.RfPower=5;Out2.HoldTime=0;Trigger.HoldTime=100"
        << "Antenna1.RfPower=2.0;Out2.HoldTime=0.1;Trigger.HoldTime=30.0";
    QTest::newRow("unreadable values keep the defaults")
        << 101 << "Out1.HoldTime=1,5;AntennaCount=x;AntiPassBack=;Trigger.Edge=9"
        << "";
    QTest::newRow("863 power limits") << 863 << "Antenna1.RfPower=1.0;Antenna2.RfPower=2.0"
                                      << "Antenna1.RfPower=0.8;Antenna2.RfPower=1.0";
    QTest::newRow("863 leds") << 863
                              << "AntennaSignal=1;Led.Idle.Color=3;Led.Valid.Color=2;"
                                 "Led.Valid.Mode=3;Led.Inval.Color=0;Led.Inval.Mode=1"
                              << "AntennaSignal=1;Led.Idle.Color=3;Led.Valid.Color=2;Led.Valid."
                                 "Mode=3;Led.Inval.Color=0;Led.Inval.Mode=1";
    QTest::newRow("101 ignores led keys") << 101 << "Led.Idle.Color=3;AntennaSignal=1"
                                          << "";
}

void TestKelvaraCfgForms::loadAndSave()
{
    QFETCH(int, type);
    QFETCH(QString, stored);
    QFETCH(QString, written);
    const auto f = form(type);
    f->loadSettings(stored);
    QCOMPARE(f->settingsText(),
             defaultsWith(type, written.split(QLatin1Char(';'), Qt::SkipEmptyParts)));
}

void TestKelvaraCfgForms::blockingTimeEdits()
{
    for (int type : {100, 101, 863}) {
        const auto f = form(type);
        auto *timed = f->findChild<QCheckBox *>(QStringLiteral("timedLogical"));
        auto *minutes = f->findChild<QSpinBox *>(QStringLiteral("blockingTime"));
        QVERIFY(timed && minutes);
        timed->setChecked(true);
        minutes->setValue(15);
        QVERIFY(f->settingsText().contains(QLatin1String(";ValidTime=900.0;")));
        timed->setChecked(false);
        QVERIFY(f->settingsText().contains(QLatin1String(";ValidTime=5.5;")));
        // The reader keeps at most 6553.5 s; the form cannot ask for more.
        minutes->setValue(100000);
        QCOMPARE(minutes->value() * 600, 65400);
    }
}

void TestKelvaraCfgForms::shortValidTimeLoadsUnchecked()
{
    const auto f = form(863);
    f->loadSettings(QStringLiteral("ValidTime=900.0;AntennaCount=2"));
    f->loadSettings(QStringLiteral("ValidTime=5.5;AntennaCount=2"));
    QVERIFY(!f->findChild<QCheckBox *>(QStringLiteral("timedLogical"))->isChecked());
    auto *minutes = f->findChild<QSpinBox *>(QStringLiteral("blockingTime"));
    QCOMPARE(minutes->value(), 1);
    QVERIFY(!minutes->isEnabled());
    QCOMPARE(f->findChild<QComboBox *>(QStringLiteral("antennaCount"))->currentText(),
             QStringLiteral("2 Antennas"));
}

void TestKelvaraCfgForms::enabling_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("dependents");
    QTest::newRow("blocking time 100") << 100 << "timedLogical"
                                       << "blockingTime";
    QTest::newRow("blocking time 863") << 863 << "timedLogical"
                                       << "blockingTime";
    QTest::newRow("in/out") << 101 << "logical"
                            << "inOut";
    QTest::newRow("trigger") << 863 << "triggerEnable"
                             << "triggerEdge;triggerHoldTime;triggerInputs";
}

void TestKelvaraCfgForms::enabling()
{
    QFETCH(int, type);
    QFETCH(QString, control);
    QFETCH(QString, dependents);
    const auto f = form(type);
    auto *box = f->findChild<QCheckBox *>(control);
    QVERIFY(box);
    for (bool on : {true, false, true}) {
        box->setChecked(on);
        for (const QString &name : dependents.split(QLatin1Char(';'))) {
            auto *w = f->findChild<QWidget *>(name);
            QVERIFY2(w, qPrintable(name));
            QCOMPARE(w->isEnabled(), on);
        }
    }
    // Loading applies the same rules.
    f->loadSettings(QStringLiteral("ValidTime=600;AntiPassBack=1;Trigger.Enable=1"));
    for (const QString &name : dependents.split(QLatin1Char(';')))
        QVERIFY(f->findChild<QWidget *>(name)->isEnabled());

    if (type != 100) {
        auto *count = f->findChild<QComboBox *>(QStringLiteral("antennaCount"));
        auto *power2 = f->findChild<QDoubleSpinBox *>(QStringLiteral("rfPower2"));
        count->setCurrentIndex(1);
        QVERIFY(power2->isEnabled());
        count->setCurrentIndex(0);
        QVERIFY(!power2->isEnabled());
    }
}

void TestKelvaraCfgForms::longRangeLabels_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("labels");
    QTest::addColumn<QString>("firstDirection");
    QTest::addColumn<bool>("leds");
    QTest::newRow("101") << 101 << "RF Power ANT1;RF Power ANT2"
                         << "Entry=ANT1, Exit=ANT2" << false;
    QTest::newRow("863") << 863 << "RF Power INT-ANT;RF Power EXT-ANT"
                         << "Entry=INT-ANT, Exit=EXT-ANT" << true;
}

void TestKelvaraCfgForms::longRangeLabels()
{
    QFETCH(int, type);
    QFETCH(QString, labels);
    QFETCH(QString, firstDirection);
    QFETCH(bool, leds);
    const auto f = form(type);
    QStringList texts;
    for (QLabel *l : f->findChildren<QLabel *>())
        texts << l->text();
    for (const QString &label : labels.split(QLatin1Char(';')))
        QVERIFY2(texts.contains(label), qPrintable(label));
    QCOMPARE(f->findChild<QComboBox *>(QStringLiteral("inOut"))->itemText(0), firstDirection);
    QCOMPARE(f->findChild<QComboBox *>(QStringLiteral("ledIdleColor")) != nullptr, leds);
    QCOMPARE(texts.contains(QStringLiteral("Idle Color")), leds);
}

void TestKelvaraCfgForms::extIoBoard()
{
    KelvaraCfg_TZ60 f;
    auto *group = f.findChild<QWidget *>(QStringLiteral("extIoGroup"));
    QVERIFY(!group->isEnabled());
    f.setExtIoSupported(true);
    QVERIFY(group->isEnabled());
    QVERIFY(f.settingsText().contains(QLatin1String("HasPqio=1")));
    f.setExtIoStateText(QStringLiteral("PQ.I/O board is paired"));
    QCOMPARE(f.findChild<QCheckBox *>(QStringLiteral("extIo"))->text(),
             QStringLiteral("PQ.I/O board is paired"));
    f.setExtIoSupported(false);
    QVERIFY(!group->isEnabled());
    QVERIFY(f.settingsText().contains(QLatin1String("HasPqio=0")));
}

void TestKelvaraCfgForms::pairing_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("hex"); // empty: refused
    QTest::newRow("new board") << "0"
                               << "0";
    QTest::newRow("decimal") << " 3054 "
                             << "bee";
    QTest::newRow("largest") << "4294967295"
                             << "ffffffff";
    QTest::newRow("too large") << "4294967296"
                               << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("hex text") << "0x1f"
                              << "";
    QTest::newRow("negative") << "-1"
                              << "";
    QTest::newRow("sign") << "+5"
                          << "";
}

void TestKelvaraCfgForms::pairing()
{
    QFETCH(QString, serial);
    QFETCH(QString, hex);
    KelvaraCfg_TZ60 f;
    f.setExtIoSupported(true);
    QSignalSpy spy(&f, qOverload<const QString &>(&KelvaraCfg_TZ60::pairing));
    QStringList boxes;
    KxMessageBox::ScopedAnswerer answerer(
        [&](QMessageBox::Icon icon, const QString &title, const QString &text) {
            boxes << QStringLiteral("%1|%2|%3").arg(int(icon)).arg(title, text);
            return QMessageBox::Ok;
        });
    f.findChild<QLineEdit *>(QStringLiteral("serialNumber"))->setText(serial);
    f.findChild<QPushButton *>(QStringLiteral("pairingButton"))->click();
    if (hex.isEmpty()) {
        QCOMPARE(spy.count(), 0);
        QCOMPARE(boxes, QStringList{QStringLiteral("%1|Pairing|Invalid serial number")
                                        .arg(int(QMessageBox::Critical))});
    } else {
        QCOMPARE(boxes, QStringList());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), hex);
    }
}

// Each form as the entry dialog shows it, for looking at.
void TestKelvaraCfgForms::screenshots()
{
    for (int type : {100, 101, 863}) {
        const auto f = form(type);
        f->loadSettings(QStringLiteral("ValidTime=900;AntennaCount=2;AntiPassBack=2"));
        f->resize(f->sizeHint());
        QApplication::processEvents();
        QVERIFY(f->grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/cfgform-%1.png").arg(type)));
    }
}

KX_TEST_GUI_MAIN(TestKelvaraCfgForms)
#include "tst_kelvaracfgforms.moc"
