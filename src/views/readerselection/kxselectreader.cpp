#include "views/readerselection/kxselectreader.h"

#include "core/applicationsettings.h"
#include "discovery/kxnetaddress.h"
#include "discovery/kxnetsetupreader.h"
#include "reader/readertypes.h"
#include "views/functions/kxreaderrun.h"
#include "views/readerselection/kxdiscovernetworkreader.h"
#include "views/readerselection/kxdiscoverusbreader.h"
#include "views/readerselection/kxhelptext.h"
#include "views/readerselection/kxinputipaddr.h"
#include "views/readerselection/kxnetsetupflow.h"
#include "views/readerselection/kxtablenetreaders.h"
#include "views/readerselection/kxtableusbreaders.h"
#include "widgets/guimessages.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxsizing.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

KxSelectReader::Answerer &answerer()
{
    static KxSelectReader::Answerer instance;
    return instance;
}

} // namespace

KxSelectReader::KxSelectReader(const QSet<int> &filter, const QMap<quint32, QString> *descriptions,
                               QWidget *parent)
    : QDialog(parent), m_filter(filter), m_tabs(new QTabWidget(this)),
      m_lan(new KxDiscoverNetworkReader(filter, descriptions, this)),
      m_usb(new KxDiscoverUsbReader(filter, descriptions, this)), m_ip(new KxInputIpAddr(this)),
      m_select(new QPushButton(tr("Select"), this)), m_cancel(new QPushButton(tr("Cancel"), this)),
      m_setup(new QPushButton(tr("LAN Setup"), this)), m_run(new KxReaderRun(this))
{
    setWindowTitle(titleFor(filter));
    // Wide enough that a found reader shows up to its address, whatever size
    // the dialog had when it was last used.
    const KxTableNetReaders *lan = m_lan->readerTable();
    int columns = 0;
    for (int c = 0; c <= KxTableNetReaders::AddressColumn; ++c)
        columns += lan->isColumnHidden(c) ? 0 : lan->columnWidth(c);
    setMinimumSize(qMax(400, columns + 60), 500);
    m_tabs->addTab(m_lan, tr("Scan LAN"));
    m_tabs->addTab(m_usb, tr("Scan USB"));
    // The input keeps its fixed size in the top left corner of its tab.
    auto *ipPage = new QWidget(this);
    auto *ipLayout = new QVBoxLayout(ipPage);
    ipLayout->addWidget(m_ip, 0, Qt::AlignLeft | Qt::AlignTop);
    ipLayout->addStretch(1);
    m_tabs->addTab(ipPage, tr("IP Address / Hostname"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(m_tabs, 1);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {m_select, m_cancel, m_setup}) {
        button->setFixedHeight(24);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    m_select->setDefault(true);
    // A new address is checked against the readers the LAN discovery sees.
    const auto addressesInUse = [this] { return m_lan->readerTable()->addressesExcept(0); };
    m_ip->setAddressesInUse(addressesInUse);
    m_usb->readerTable()->setAddressesInUse(addressesInUse);

    connect(m_tabs, &QTabWidget::currentChanged, this, &KxSelectReader::currentTabChanghed);
    connect(m_select, &QPushButton::clicked, this, &KxSelectReader::okClicked);
    connect(m_cancel, &QPushButton::clicked, this, &KxSelectReader::cancelClicked);
    connect(m_setup, &QPushButton::clicked, this, &KxSelectReader::setupNetConfiguration);
    connect(m_lan, &KxDiscoverNetworkReader::readerDoubleClicked, this, &KxSelectReader::okClicked);
    connect(m_usb, &KxDiscoverUsbReader::readerDoubleClicked, this, &KxSelectReader::okClicked);
    setHelp(false);
}

QString KxSelectReader::titleFor(const QSet<int> &filter)
{
    QString title = tr("Select reader");
    if (filter.isEmpty())
        return title;
    QList<int> codes = filter.values();
    std::sort(codes.begin(), codes.end());
    QStringList names;
    for (int code : codes)
        names << QLatin1Char(' ') + ReaderTypes::readerTypeName(code) + QLatin1Char(' ');
    return title + QStringLiteral("   [%1]").arg(names.join(QLatin1Char(';')));
}

int KxSelectReader::tabForHost(const QString &host)
{
    if (host.isEmpty())
        return UsbTab;
    QHostAddress address;
    if (address.setAddress(host) && address.protocol() == QAbstractSocket::IPv4Protocol)
        return LanTab;
    return IpTab;
}

void KxSelectReader::setHelp(bool toolTips)
{
    kxSetHelpText(m_select, tr("Close the dialog and use the selected reader"), toolTips);
    kxSetHelpText(m_cancel, tr("Cancel the reader selection dialog"), toolTips);
    kxSetHelpText(m_setup,
                  tr("Change the LAN configuration of the selected reader.\nAfter successfully "
                     "configuration change the reader will perform a system reset."),
                  toolTips);
    m_lan->setHelp(toolTips);
    m_usb->setHelp(toolTips);
    m_ip->setHelp(toolTips);
}

void KxSelectReader::setInitialHost(const QString &host)
{
    m_initialHost = host;
    m_ip->setHost(host);
    m_tabs->setCurrentIndex(tabForHost(host));
}

void KxSelectReader::setInitialPort(int port)
{
    m_ip->setPort(port);
}

void KxSelectReader::setInitialTab(int tab)
{
    m_tabs->setCurrentIndex(tab >= LanTab && tab <= IpTab ? tab : tabForHost(m_initialHost));
}

void KxSelectReader::currentTabChanghed(int) {}

bool KxSelectReader::typeFits(int type) const
{
    return m_filter.isEmpty() || m_filter.contains(type);
}

void KxSelectReader::okClicked()
{
    const QString title = tr("Select Reader");
    switch (m_tabs->currentIndex()) {
    case LanTab: {
        const KxLanReaderRecord r = m_lan->readerTable()->currentReader();
        if (r.readerType == 0 || r.deviceId == 0) {
            KxMessageBox::critical(this, title, tr("No reader via LAN available"));
            return;
        }
        m_selection = KxReaderSelection();
        m_selection.kind = KxReaderSelection::Lan;
        m_selection.readerType = int(r.readerType);
        m_selection.deviceId = r.deviceId;
        m_selection.mac = r.mac;
        m_selection.host = r.ip.toString();
        m_selection.port = r.port;
        accept();
        return;
    }
    case UsbTab: {
        const KxUsbReaderRecord r = m_usb->readerTable()->currentReader();
        if (r.readerType == 0 || r.deviceId == 0) {
            KxMessageBox::critical(this, title, tr("No reader via USB available"));
            return;
        }
        const auto worker = std::make_shared<KxNetSetupReader>();
        worker->setConnection(QString(), 0, r.deviceId);
        KxNetSetupFlow::run(m_run, this, worker, KxNetSetupReader::ReadMac,
                            [this, r, worker](const ErrorInfo &e) {
                                if (!e.ok()) {
                                    showError(this, e);
                                    return;
                                }
                                m_selection = KxReaderSelection();
                                m_selection.kind = KxReaderSelection::Usb;
                                m_selection.readerType = r.readerType;
                                m_selection.deviceId = r.deviceId;
                                m_selection.mac = worker->config().mac;
                                accept();
                            });
        return;
    }
    case IpTab: {
        const QString host = m_ip->host();
        const int port = m_ip->port();
        const auto worker = std::make_shared<KxNetSetupReader>();
        worker->setConnection(host, port);
        KxNetSetupFlow::run(m_run, this, worker, KxNetSetupReader::Identify,
                            [this, host, port, worker](const ErrorInfo &e) {
                                if (!e.ok())
                                    showError(this, e);
                                else
                                    selectIdentified(host, port, worker->config());
                            });
        return;
    }
    default:
        return;
    }
}

void KxSelectReader::selectIdentified(const QString &host, int port, const KxNetConfig &c)
{
    if (!typeFits(c.readerType)) {
        KxMessageBox::critical(
            this, tr("Reader Type Mismatch"),
            tr("The selected IP address / hostname points to reader:\n   %1\n   Device ID: "
               "%2\n   MAC address: %3\n\nThis does not fit to the reader type filter (see "
               "dialog titlebar).")
                .arg(ReaderTypes::readerTypeName(c.readerType),
                     QStringLiteral("%1").arg(c.deviceId, 8, 16, QLatin1Char('0')).toUpper(),
                     c.mac));
        return;
    }
    m_selection = KxReaderSelection();
    m_selection.kind = KxReaderSelection::IpAddress;
    m_selection.readerType = c.readerType;
    m_selection.deviceId = c.deviceId;
    m_selection.mac = c.mac;
    m_selection.host = host;
    m_selection.port = port;
    accept();
}

void KxSelectReader::cancelClicked()
{
    m_selection = KxReaderSelection();
    reject();
}

void KxSelectReader::reject()
{
    // The command goes on; the dialog closes when the operator can see its end.
    if (KxReaderRun::runningBelow(this))
        return;
    QDialog::reject();
}

void KxSelectReader::setupNetConfiguration()
{
    switch (m_tabs->currentIndex()) {
    case LanTab:
        m_lan->readerTable()->setupNetConfiguration();
        break;
    case UsbTab:
        m_usb->readerTable()->setupNetConfiguration();
        break;
    case IpTab:
        m_ip->setupNetConfiguration();
        break;
    default:
        break;
    }
}

bool KxSelectReader::selectReader(QWidget *parent, ApplicationSettings &settings,
                                  const QSet<int> &filter,
                                  const QMap<quint32, QString> *descriptions, const QString &host,
                                  int port, KxReaderSelection *result, int tab)
{
    KxSelectReader dialog(filter, descriptions, parent);
    dialog.setHelp(settings.areToolTipsOn);
    dialog.setInitialHost(host);
    dialog.setInitialPort(port);
    dialog.setInitialTab(tab);
    kxPlaceDialog(&dialog, settings.selectReaderDialogGeometry.size(), true);
    int answer;
    if (answerer()) {
        answer = answerer()(&dialog);
        if (dialog.result() == QDialog::Accepted)
            answer = QDialog::Accepted;
    } else {
        answer = dialog.exec();
    }
    settings.selectReaderDialogGeometry = dialog.geometry();
    if (answer != QDialog::Accepted)
        return false;
    if (result)
        *result = dialog.selection();
    return true;
}

KxSelectReader::Answerer KxSelectReader::setAnswerer(Answerer newAnswerer)
{
    Answerer previous = answerer();
    answerer() = std::move(newAnswerer);
    return previous;
}
