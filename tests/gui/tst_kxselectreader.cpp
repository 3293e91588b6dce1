// The reader selection and network setup dialogs driven offscreen against
// virtual readers on loopback UDP, TCP and a private simulated USB bus.
#include "core/applicationsettings.h"
#include "discovery/kxdiscoverudp.h"
#include "discovery/kxnetaddress.h"
#include "simfixture.h"
#include "simudpresponder.h"
#include "views/readerselection/kxdialognetsetup.h"
#include "views/readerselection/kxdiscovernetworkreader.h"
#include "views/readerselection/kxdiscoverusbreader.h"
#include "views/readerselection/kxinputipaddr.h"
#include "views/readerselection/kxselectreader.h"
#include "views/readerselection/kxtablenetinterfaces.h"
#include "views/readerselection/kxtablenetreaders.h"
#include "views/readerselection/kxtableusbreaders.h"
#include "views/readerselection/kxwidgetnetsetup.h"
#include "widgets/kxmessagebox.h"

#include <kxtcp.h>
#include <kxudp.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

namespace {

struct Message
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

// A virtual reader on loopback TCP whose discovery answer names the port it listens on.
struct LanReader : SimFixture
{
    LanReader(int type, quint32 id, kxsim::SimUdpResponder *responder, bool onUsb = false)
        : SimFixture(setupOf(type, id), onUsb)
    {
        kxsim::SimNetworkConfig config = device->networkConfig();
        config.port = sim->tcp().port();
        device->setNetworkConfig(config);
        if (responder)
            sim->attachUdp(responder);
    }
    ~LanReader() { sim->detachUdp(); }
    int port() const { return sim->tcp().port(); }
};

void save(QWidget *widget, const QString &name)
{
    widget->grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/%1.png").arg(name));
}

} // namespace

class TestKxSelectReader : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void titleAndInitialValues_data();
    void titleAndInitialValues();
    void lanTabShowsNewChangedGone();
    void lanDiscoveryRefusedOffLoopback();
    void usbTabAppearsSelectsAndGoes();
    void ipTabIdentifies_data();
    void ipTabIdentifies();
    void entryPointSavesGeometry();
    void smallStoredSizeStillShowsTheAddress();
    void udpSetupMovesReader();
    void udpSetupRefusals_data();
    void udpSetupRefusals();
    void protocolSetupFromIpTab();
    void protocolSetupOverUsb();
    void setupFormDhcpAndBadFields();

private:
    QList<Message> m_messages;
    QMessageBox::StandardButton m_answer = QMessageBox::Yes;
    std::unique_ptr<KxMessageBox::ScopedAnswerer> m_answerer;
    std::unique_ptr<ReaderTestEnvironment> m_env;
    std::unique_ptr<kxsim::SimUdpResponder> m_responder;
};

void TestKxSelectReader::init()
{
    m_messages.clear();
    m_answer = QMessageBox::Yes;
    m_answerer = std::make_unique<KxMessageBox::ScopedAnswerer>(
        [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
            m_messages << Message{icon, title, text};
            return icon == QMessageBox::Question ? m_answer : QMessageBox::Ok;
        });
    m_env = std::make_unique<ReaderTestEnvironment>();
    m_responder = std::make_unique<kxsim::SimUdpResponder>();
    QVERIFY(m_responder->start("127.0.0.1", 0));
    qputenv("KXUDP_TARGET", QByteArray("127.0.0.1:") + QByteArray::number(m_responder->port()));
}

void TestKxSelectReader::cleanup()
{
    KxDialogNetSetup::setAnswerer({});
    KxSelectReader::setAnswerer({});
    m_responder.reset();
    m_env.reset();
    m_answerer.reset();
    qunsetenv("KXUDP_TARGET");
}

void TestKxSelectReader::titleAndInitialValues_data()
{
    QTest::addColumn<QList<int>>("filter");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("shownPort");
    QTest::newRow("no filter, no host")
        << QList<int>() << "" << 0 << "Select reader" << 1 << 0 << 10001;
    QTest::newRow("access readers, address")
        << QList<int>{101, 100} << "192.168.3.10" << 10005
        << "Select reader   [ ID TZ60 ; ID TZU700 ]" << 0 << 0 << 10005;
    QTest::newRow("host name") << QList<int>{863} << "door.plant.example" << 70000
                               << "Select reader   [ ID TZU300 ]" << 2 << 1 << 10001;
}

void TestKxSelectReader::titleAndInitialValues()
{
    QFETCH(QList<int>, filter);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, title);
    QFETCH(int, tab);
    QFETCH(int, mode);
    QFETCH(int, shownPort);
    KxSelectReader dialog(QSet<int>(filter.begin(), filter.end()));
    dialog.setInitialHost(host);
    dialog.setInitialPort(port);
    dialog.setInitialTab(-1);
    QCOMPARE(dialog.windowTitle(), title);
    QCOMPARE(dialog.tabs()->currentIndex(), tab);
    QCOMPARE(dialog.ipPanel()->mode(), mode);
    QCOMPARE(dialog.ipPanel()->port(), shownPort);
    QCOMPARE(dialog.ipPanel()->ipEdit()->isEnabled(), mode == 0);
    QCOMPARE(dialog.ipPanel()->hostEdit()->isEnabled(), mode == 1);
    QCOMPARE(dialog.ipPanel()->host(), host);
}

void TestKxSelectReader::lanTabShowsNewChangedGone()
{
    LanReader gate(100, 0x00C0FFEE, m_responder.get());
    LanReader other(863, 0x00000863, m_responder.get());
    const QMap<quint32, QString> names{{0x00C0FFEE, QStringLiteral("Main gate")}};
    KxSelectReader dialog({100}, &names);
    dialog.resize(900, 520);
    dialog.setInitialTab(KxSelectReader::LanTab);
    dialog.show();
    KxTableNetReaders *table = dialog.lanPanel()->readerTable();
    QCOMPARE(dialog.lanPanel()->interfaceTable()->currentAddress(), QStringLiteral("127.0.0.1"));
    QTRY_COMPARE(table->rowCount(), 1);
    QTest::qWait(1100); // two more rounds: the reader outside the filter stays away
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, KxTableNetReaders::TypeColumn)->text(), QStringLiteral("ID TZ60"));
    QCOMPARE(table->item(0, KxTableNetReaders::DeviceIdColumn)->text(), QStringLiteral("00C0FFEE"));
    QCOMPARE(table->item(0, KxTableNetReaders::DescriptionColumn)->text(),
             QStringLiteral("Main gate"));
    QCOMPARE(table->item(0, KxTableNetReaders::AddressColumn)->text(),
             QStringLiteral("127.0.0.1:%1").arg(gate.port()));
    QCOMPARE(table->item(0, KxTableNetReaders::NetworkColumn)->text(),
             QStringLiteral("Static IP-Address"));
    QVERIFY(dialog.lanPanel()->statusText().isEmpty());

    // Only the gateway changes: address and port stay as shown.
    kxsim::SimNetworkConfig config = gate.device->networkConfig();
    config.gateway = "127.0.0.77";
    gate.device->setNetworkConfig(config);
    QTRY_COMPARE(table->item(0, KxTableNetReaders::GatewayColumn)->text(),
                 QStringLiteral("127.0.0.77"));
    QCOMPARE(table->item(0, KxTableNetReaders::AddressColumn)->text(),
             QStringLiteral("127.0.0.1:%1").arg(gate.port()));
    save(&dialog, QStringLiteral("selectreader-lan"));

    QTest::mouseClick(dialog.selectButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const KxReaderSelection s = dialog.selection();
    QCOMPARE(s.kind, int(KxReaderSelection::Lan));
    QCOMPARE(s.readerType, 100);
    QCOMPARE(s.deviceId, 0x00C0FFEEu);
    QCOMPARE(s.mac, QStringLiteral("02:4B:58:00:00:01"));
    QCOMPARE(s.host, QStringLiteral("127.0.0.1"));
    QCOMPARE(s.port, gate.port());

    // The reader leaves the LAN: its row goes after the library's silence time.
    m_responder->setSilent(gate.device.get(), true);
    QTRY_COMPARE_WITH_TIMEOUT(table->rowCount(), 0, 8000);
    dialog.setResult(0);
    QTest::mouseClick(dialog.selectButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.last().text, QStringLiteral("No reader via LAN available"));
}

void TestKxSelectReader::lanDiscoveryRefusedOffLoopback()
{
    // Without a loopback target the discovery would go to the LAN: refused, and said so.
    qunsetenv("KXUDP_TARGET");
    KxDiscoverNetworkReader panel({}, nullptr);
    panel.resize(800, 300);
    const KxNetInterfaces::Row lan{QStringLiteral("192.0.2.7"), QStringLiteral("255.255.255.0"),
                                   QStringLiteral("02:00:00:00:00:07"), QStringLiteral("eth9")};
    panel.interfaceTable()->setRows({lan});
    QTRY_VERIFY(panel.statusText().contains(QLatin1String("192.0.2.7")));
    QVERIFY(panel.statusText().contains(QString::number(KXUDP_ERR_NOT_LOOPBACK)));
    QVERIFY(!panel.readerTable()->discovery()->isRunning());
    save(&panel, QStringLiteral("discovery-refused"));
    panel.interfaceTable()->setRows({});
    QCOMPARE(panel.interfaceTable()->rowCount(), 1);
    QCOMPARE(panel.interfaceTable()->item(0, KxTableNetInterfaces::NameColumn)->text(),
             QStringLiteral("No LAN interface available"));
    QVERIFY(panel.interfaceTable()->currentAddress().isEmpty());
}

void TestKxSelectReader::usbTabAppearsSelectsAndGoes()
{
    LanReader gate(101, 0x0000ABCD, nullptr, true);
    KxSelectReader dialog({});
    dialog.resize(600, 500);
    dialog.setInitialHost(QString());
    dialog.show();
    QCOMPARE(dialog.tabs()->currentIndex(), int(KxSelectReader::UsbTab));
    KxTableUsbReaders *table = dialog.usbPanel()->readerTable();
    QVERIFY(table->isColumnHidden(KxTableUsbReaders::DescriptionColumn));
    QTRY_COMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("ID TZU700"));
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("0000ABCD"));
    save(&dialog, QStringLiteral("selectreader-usb"));

    const QPoint cell = table->visualItemRect(table->item(0, 0)).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell);
    QVERIFY(readersDone());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.selection().kind, int(KxReaderSelection::Usb));
    QCOMPARE(dialog.selection().readerType, 101);
    QCOMPARE(dialog.selection().deviceId, 0x0000ABCDu);
    QCOMPARE(dialog.selection().mac, QStringLiteral("02:4B:58:00:00:01"));
    QVERIFY(dialog.selection().host.isEmpty());
    QCOMPARE(dialog.selection().port, 0);

    gate.sim->unplugUsb();
    QTRY_COMPARE(table->rowCount(), 0);
    dialog.setResult(0);
    QTest::mouseClick(dialog.selectButton(), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(m_messages.last().text, QStringLiteral("No reader via USB available"));
}

void TestKxSelectReader::ipTabIdentifies_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("filter");
    QTest::addColumn<QString>("messageTitle");
    QTest::newRow("address") << 0 << "127.000.000.001" << QList<int>{100} << "";
    QTest::newRow("localhost") << 1 << "localhost" << QList<int>() << "";
    QTest::newRow("type outside filter")
        << 0 << "127.000.000.001" << QList<int>{54, 86} << "Reader Type Mismatch";
    QTest::newRow("number above 255")
        << 0 << "127.000.000.300" << QList<int>() << "Application Error";
    QTest::newRow("name that does not resolve")
        << 1 << "door-north.plant.invalid" << QList<int>() << "Library Error";
}

void TestKxSelectReader::ipTabIdentifies()
{
    QFETCH(int, mode);
    QFETCH(QString, text);
    QFETCH(QList<int>, filter);
    QFETCH(QString, messageTitle);
    LanReader gate(100, 0x00C0FFEE, nullptr);
    KxSelectReader dialog(QSet<int>(filter.begin(), filter.end()));
    dialog.setInitialTab(KxSelectReader::IpTab);
    dialog.setInitialPort(gate.port());
    KxInputIpAddr *input = dialog.ipPanel();
    input->modeBox()->setCurrentIndex(mode);
    input->modeActivated(mode);
    QLineEdit *edit = mode == 0 ? input->ipEdit() : input->hostEdit();
    edit->clear();
    QTest::keyClicks(edit, text);
    dialog.show();
    if (mode == 1 && text.startsWith(QLatin1String("door")))
        save(&dialog, QStringLiteral("selectreader-ip"));
    QTest::mouseClick(dialog.selectButton(), Qt::LeftButton);
    QVERIFY(readersDone());
    if (messageTitle.isEmpty()) {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.selection().kind, int(KxReaderSelection::IpAddress));
        QCOMPARE(dialog.selection().readerType, 100);
        QCOMPARE(dialog.selection().deviceId, 0x00C0FFEEu);
        QCOMPARE(dialog.selection().mac, QStringLiteral("02:4B:58:00:00:01"));
        QCOMPARE(dialog.selection().host, mode == 0 ? QStringLiteral("127.0.0.1") : text);
        QCOMPARE(dialog.selection().port, gate.port());
        QVERIFY(m_messages.isEmpty());
    } else {
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(m_messages.first().title, messageTitle);
        QCOMPARE(m_messages.first().icon, QMessageBox::Critical);
        if (messageTitle == QLatin1String("Reader Type Mismatch"))
            QVERIFY(m_messages.first().text.contains(QLatin1String("Device ID: 00C0FFEE")));
    }
}

void TestKxSelectReader::entryPointSavesGeometry()
{
    LanReader gate(863, 0x00000863, nullptr);
    ApplicationSettings settings;
    settings.selectReaderDialogGeometry = QRect(40, 50, 700, 520);
    KxSelectReader::setAnswerer([&](KxSelectReader *dialog) {
        // Tooltips follow the settings.
        if (dialog->selectButton()->toolTip().isEmpty())
            return int(QDialog::Rejected);
        dialog->resize(720, 540);
        dialog->okClicked();
        readersDone();
        return int(QDialog::Rejected); // accepted through the button all the same
    });
    KxReaderSelection s;
    QVERIFY(KxSelectReader::selectReader(nullptr, settings, {863}, nullptr,
                                         QStringLiteral("localhost"), gate.port(), &s));
    QCOMPARE(s.kind, int(KxReaderSelection::IpAddress));
    QCOMPARE(s.readerType, 863);
    QCOMPARE(s.host, QStringLiteral("localhost"));
    QCOMPARE(settings.selectReaderDialogGeometry.size(), QSize(720, 540));
}

void TestKxSelectReader::smallStoredSizeStillShowsTheAddress()
{
    ApplicationSettings settings;
    settings.selectReaderDialogGeometry = QRect(40, 50, 300, 200);
    const QMap<quint32, QString> names{{0x863, QStringLiteral("Gate / North")}};
    int hiddenPixels = -1;
    KxSelectReader::setAnswerer([&](KxSelectReader *dialog) {
        dialog->show();
        const KxTableNetReaders *table = dialog->lanPanel()->readerTable();
        const int column = KxTableNetReaders::AddressColumn;
        hiddenPixels = table->columnViewportPosition(column) + table->columnWidth(column) -
                       table->viewport()->width();
        return int(QDialog::Rejected);
    });
    QVERIFY(!KxSelectReader::selectReader(nullptr, settings, {863}, &names, QString(), 0, nullptr,
                                          KxSelectReader::LanTab));
    QVERIFY2(hiddenPixels <= 0, qPrintable(QString::number(hiddenPixels)));
}

void TestKxSelectReader::udpSetupMovesReader()
{
    LanReader gate(101, 0x00012345, m_responder.get());
    KxSelectReader dialog({});
    dialog.setInitialTab(KxSelectReader::LanTab);
    dialog.resize(900, 520);
    dialog.show();
    KxTableNetReaders *table = dialog.lanPanel()->readerTable();
    QTRY_COMPARE(table->rowCount(), 1);
    const int newPort = TestSupport::unusedLoopbackPort();
    QString shownIp;
    bool enabledBefore = true, enabledAfter = false;
    KxDialogNetSetup::setAnswerer([&](KxDialogNetSetup *setup) {
        KxWidgetNetSetup *form = setup->form();
        shownIp = form->ipEdit()->text();
        enabledBefore = form->portBox()->isEnabled();
        form->changePortBox()->setChecked(true);
        enabledAfter = form->portBox()->isEnabled();
        form->portBox()->setValue(newPort);
        setup->show();
        save(setup, QStringLiteral("netsetup-dialog"));
        QTest::mouseClick(setup->okButton(), Qt::LeftButton);
        return setup->result();
    });
    QTest::mouseClick(dialog.setupButton(), Qt::LeftButton);
    QVERIFY(readersDone());
    QCOMPARE(shownIp, QStringLiteral("127.000.000.001"));
    QVERIFY(!enabledBefore);
    QVERIFY(enabledAfter);
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().icon, QMessageBox::Information);
    QCOMPARE(gate.sim->networkChangesApplied(), 1);
    QCOMPARE(gate.sim->tcp().port(), newPort);
    // The table shows what the reader reports after its restart.
    QTRY_COMPARE(table->item(0, KxTableNetReaders::AddressColumn)->text(),
                 QStringLiteral("127.0.0.1:%1").arg(newPort));
    const int handle = KXTCP_Connect("127.0.0.1", newPort);
    QVERIFY(handle > 0);
    KXTCP_DisConnect(handle);
}

void TestKxSelectReader::udpSetupRefusals_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("expected");
    QTest::newRow("mask with a hole")
        << ""
        << "255.000.255.000" << false << int(QMessageBox::Critical) << "not contiguous";
    QTest::newRow("outside the interface's subnet")
        << "010.000.000.005"
        << "" << false << int(QMessageBox::Question) << "outside the subnet";
    QTest::newRow("address of another reader")
        << "127.000.000.001"
        << "" << false << int(QMessageBox::Question) << "already answers";
    QTest::newRow("reader falls silent")
        << ""
        << "255.255.000.000" << true << int(QMessageBox::Critical) << "was not applied";
}

void TestKxSelectReader::udpSetupRefusals()
{
    QFETCH(QString, ip);
    QFETCH(QString, mask);
    QFETCH(bool, silent);
    QFETCH(int, icon);
    QFETCH(QString, expected);
    LanReader gate(100, 0x00000100, m_responder.get());
    // The second reader stands elsewhere, so the first one's address is free for it to keep.
    LanReader neighbour(100, 0x00000200, m_responder.get());
    kxsim::SimNetworkConfig elsewhere = gate.device->networkConfig();
    elsewhere.ip = "127.0.0.5";
    gate.device->setNetworkConfig(elsewhere);
    KxSelectReader dialog({});
    dialog.setInitialTab(KxSelectReader::LanTab);
    KxTableNetReaders *table = dialog.lanPanel()->readerTable();
    QTRY_COMPARE(table->rowCount(), 2);
    QTRY_VERIFY(table->rowOfDevice(0x100) >= 0 &&
                table->item(table->rowOfDevice(0x100), KxTableNetReaders::AddressColumn)
                    ->text()
                    .startsWith(QLatin1String("127.0.0.5:")));
    table->setCurrentCell(table->rowOfDevice(0x100), 0);
    KxDialogNetSetup::setAnswerer([&](KxDialogNetSetup *setup) {
        KxWidgetNetSetup *form = setup->form();
        if (!ip.isEmpty()) {
            form->changeIpBox()->setChecked(true);
            form->ipEdit()->setText(ip);
        }
        if (!mask.isEmpty()) {
            form->changeNetMaskBox()->setChecked(true);
            form->netMaskEdit()->setText(mask);
        }
        setup->accept();
        return setup->result();
    });
    if (silent)
        m_responder->setSilent(gate.device.get(), true);
    m_answer = QMessageBox::No;
    dialog.setupNetConfiguration();
    QVERIFY(readersDone());
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(int(m_messages.first().icon), icon);
    QVERIFY2(m_messages.first().text.contains(expected), qPrintable(m_messages.first().text));
    QCOMPARE(m_responder->setupsApplied(), uint64_t(0));
    QCOMPARE(gate.sim->networkChangesApplied(), 0);
    QCOMPARE(gate.device->networkConfig().ip, std::string("127.0.0.5"));
}

void TestKxSelectReader::protocolSetupFromIpTab()
{
    LanReader gate(863, 0x00000863, m_responder.get());
    KxSelectReader dialog({});
    dialog.setInitialHost(QStringLiteral("127.0.0.1"));
    dialog.setInitialPort(gate.port());
    dialog.setInitialTab(KxSelectReader::IpTab);
    const int newPort = TestSupport::unusedLoopbackPort();
    KxDialogNetSetup::setAnswerer([&](KxDialogNetSetup *setup) {
        setup->form()->changePortBox()->setChecked(true);
        setup->form()->portBox()->setValue(newPort);
        setup->accept();
        return setup->result();
    });
    dialog.show();
    QTest::mouseClick(dialog.setupButton(), Qt::LeftButton);
    // Closed while the panel talks to the reader: the dialog waits for the end.
    dialog.reject();
    QVERIFY(dialog.isVisible());
    QVERIFY(readersDone());
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().icon, QMessageBox::Information);
    QCOMPARE(dialog.ipPanel()->port(), newPort);
    QCOMPARE(gate.sim->networkChangesApplied(), 1);
    // The discovery shows the reader where it now is, after its restart.
    KxTableNetReaders *table = dialog.lanPanel()->readerTable();
    QTRY_COMPARE(table->rowCount(), 1);
    QTRY_COMPARE(table->item(0, KxTableNetReaders::AddressColumn)->text(),
                 QStringLiteral("127.0.0.1:%1").arg(newPort));
    // The reader answers at its new port; selecting it there works at once.
    QTest::mouseClick(dialog.selectButton(), Qt::LeftButton);
    QVERIFY(readersDone());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.selection().port, newPort);
}

void TestKxSelectReader::protocolSetupOverUsb()
{
    LanReader gate(100, 0x00000777, nullptr, true);
    KxSelectReader dialog({});
    dialog.setInitialHost(QString());
    KxTableUsbReaders *table = dialog.usbPanel()->readerTable();
    QTRY_COMPARE(table->rowCount(), 1);
    KxDialogNetSetup::setAnswerer([&](KxDialogNetSetup *setup) {
        setup->form()->changeGatewayBox()->setChecked(true);
        setup->form()->gatewayEdit()->setText(QStringLiteral("127.000.000.254"));
        setup->accept();
        return setup->result();
    });
    // The reader is pulled out while the setup is read: a message, no hang.
    gate.sim->faults().dropAfterFrames(1);
    dialog.setupNetConfiguration();
    QVERIFY(readersDone());
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().icon, QMessageBox::Critical);
    gate.sim->faults().clear();

    // An address another reader answers the discovery with is asked about; No sends nothing.
    LanReader neighbour(100, 0x00000888, m_responder.get());
    kxsim::SimNetworkConfig elsewhere = neighbour.device->networkConfig();
    elsewhere.ip = "127.0.0.6";
    neighbour.device->setNetworkConfig(elsewhere);
    QTRY_VERIFY(dialog.lanPanel()->readerTable()->addressesExcept(0).contains(
        QHostAddress(QStringLiteral("127.0.0.6"))));
    KxDialogNetSetup::setAnswerer([&](KxDialogNetSetup *setup) {
        setup->form()->changeIpBox()->setChecked(true);
        setup->form()->ipEdit()->setText(QStringLiteral("127.000.000.006"));
        setup->accept();
        return setup->result();
    });
    m_messages.clear();
    m_answer = QMessageBox::No;
    dialog.setupNetConfiguration();
    QVERIFY(readersDone());
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().icon, QMessageBox::Question);
    QVERIFY(m_messages.first().text.contains(QLatin1String("already answers")));
    QCOMPARE(gate.sim->networkChangesApplied(), 0);

    KxDialogNetSetup::setAnswerer([&](KxDialogNetSetup *setup) {
        setup->form()->changeGatewayBox()->setChecked(true);
        setup->form()->gatewayEdit()->setText(QStringLiteral("127.000.000.254"));
        setup->accept();
        return setup->result();
    });
    m_messages.clear();
    dialog.setupNetConfiguration();
    QVERIFY(readersDone());
    QCOMPARE(m_messages.size(), 1);
    QCOMPARE(m_messages.first().icon, QMessageBox::Information);
    QCOMPARE(gate.device->networkConfig().gateway, std::string("127.0.0.254"));
}

void TestKxSelectReader::setupFormDhcpAndBadFields()
{
    KxNetConfig current;
    current.readerType = 100;
    current.deviceId = 0x1234;
    current.mac = QStringLiteral("02:4B:58:00:00:01");
    current.ip = QHostAddress(QStringLiteral("192.168.3.20"));
    current.netmask = QHostAddress(QStringLiteral("255.255.255.0"));
    current.gateway = QHostAddress(QStringLiteral("192.168.3.1"));
    current.port = 10001;
    KxDialogNetSetup dialog(current);
    KxWidgetNetSetup *form = dialog.form();
    form->changeIpBox()->setChecked(true);
    form->ipEdit()->setText(QStringLiteral("192.168.003.300"));
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(m_messages.size(), 1);
    QVERIFY(m_messages.first().text.contains(QLatin1String("192.168.003.300")));

    QTest::mouseClick(form->dhcpBox(), Qt::LeftButton);
    QVERIFY(form->dhcpBox()->isChecked());
    for (QCheckBox *box : {form->changeIpBox(), form->changeNetMaskBox(), form->changeGatewayBox(),
                           form->changePortBox()}) {
        QVERIFY(!box->isChecked());
        QVERIFY(!box->isEnabled());
    }
    QVERIFY(!form->ipEdit()->isEnabled());
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(dialog.config().ip.isNull());
    QVERIFY(dialog.config().netmask.isNull());
    QVERIFY(dialog.config().gateway.isNull());
    QCOMPARE(dialog.config().port, -1);
    QVERIFY(dialog.config().dhcp);
    QTest::mouseClick(form->dhcpBox(), Qt::LeftButton);
    QVERIFY(form->changeIpBox()->isEnabled());
}

KX_TEST_GUI_MAIN(TestKxSelectReader)
#include "tst_kxselectreader.moc"
