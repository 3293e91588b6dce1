#include "views/readerselection/kxinputipaddr.h"

#include "discovery/kxnetaddress.h"
#include "views/functions/kxreaderrun.h"
#include "views/readerselection/kxhelptext.h"
#include "views/readerselection/kxnetsetupflow.h"
#include "widgets/kxmessagebox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace {

const char kDefaultIp[] = "192.168.3.";

} // namespace

KxInputIpAddr::KxInputIpAddr(QWidget *parent)
    : QWidget(parent), m_mode(new QComboBox(this)), m_addressLabel(new QLabel(this)),
      m_ip(new QLineEdit(this)), m_hostName(new QLineEdit(this)), m_port(new QSpinBox(this)),
      m_run(new KxReaderRun(this))
{
    setFixedSize(660, 100);
    m_mode->addItem(tr("Use IP Address"));
    m_mode->addItem(tr("Use Hostname.Domain"));
    m_ip->setInputMask(QStringLiteral("000.000.000.000;_"));
    m_ip->setText(QLatin1String(kDefaultIp));
    m_port->setRange(1, 65535);
    m_port->setSingleStep(1);
    m_port->setValue(DefaultPort);

    // The label stands beside the field of the current mode, the port beside the address.
    m_grid = new QGridLayout(this);
    m_grid->setContentsMargins(8, 6, 8, 6);
    m_grid->setVerticalSpacing(4);
    m_grid->addWidget(m_mode, 0, 0, 1, 2, Qt::AlignLeft);
    m_grid->addWidget(m_ip, 1, 1);
    m_grid->addWidget(new QLabel(tr("Port"), this), 1, 2, Qt::AlignRight);
    m_grid->addWidget(m_port, 1, 3);
    m_grid->addWidget(m_hostName, 2, 1);
    m_grid->setColumnMinimumWidth(1, 200);
    m_port->setMinimumWidth(80);
    m_grid->setColumnStretch(4, 1);
    connect(m_mode, QOverload<int>::of(&QComboBox::activated), this, &KxInputIpAddr::modeActivated);
    setMode(IpMode);
}

void KxInputIpAddr::setMode(int mode)
{
    const bool ip = mode != HostNameMode;
    m_mode->setCurrentIndex(ip ? IpMode : HostNameMode);
    m_addressLabel->setText(ip ? tr("IP Address") : tr("Hostname.Domain"));
    m_grid->addWidget(m_addressLabel, ip ? 1 : 2, 0);
    m_ip->setEnabled(ip);
    m_hostName->setEnabled(!ip);
}

void KxInputIpAddr::modeActivated(int index)
{
    setMode(index);
}

int KxInputIpAddr::mode() const
{
    return m_mode->currentIndex();
}

void KxInputIpAddr::setHost(const QString &host)
{
    const QString address = KxNetAddress::normalizedIpv4(host);
    if (host.isEmpty() || !address.isEmpty()) {
        m_ip->setText(host.isEmpty() ? QLatin1String(kDefaultIp)
                                     : KxNetAddress::paddedIpv4(QHostAddress(address)));
        m_hostName->clear();
        setMode(IpMode);
    } else {
        m_hostName->setText(host);
        m_ip->setText(QLatin1String(kDefaultIp));
        setMode(HostNameMode);
    }
}

QString KxInputIpAddr::host() const
{
    if (mode() == HostNameMode)
        return m_hostName->text();
    return KxNetAddress::normalizedIpv4(m_ip->text());
}

void KxInputIpAddr::setPort(int port)
{
    m_port->setValue(port >= 1 && port <= 65535 ? port : DefaultPort);
}

int KxInputIpAddr::port() const
{
    return m_port->value();
}

void KxInputIpAddr::setAddressesInUse(std::function<QList<QHostAddress>()> provider)
{
    m_addressesInUse = std::move(provider);
}

void KxInputIpAddr::setHelp(bool toolTips)
{
    m_toolTips = toolTips;
    kxSetHelpText(m_mode, tr("Switch between IP address or hostname input"), toolTips);
    kxSetHelpText(m_ip, tr("Input for an IPV4 address"), toolTips);
    kxSetHelpText(m_hostName,
                  tr("Input for the hostname of the reader\nEnter the fully qualified domain name "
                     "(FQDN), i.e. host name and domain,\ne.g. door-north.plant.example.com"),
                  toolTips);
    kxSetHelpText(m_port, tr("Input the port number\n(default is 10001)"), toolTips);
}

void KxInputIpAddr::setupNetConfiguration()
{
    const QString target = host();
    KxNetSetupCheck::Context context;
    if (m_addressesInUse)
        context.addressesInUse = m_addressesInUse();
    // The reader's own address answers the discovery too; that is no conflict.
    context.addressesInUse.removeAll(KxNetAddress::parseIpv4(target));
    KxNetSetupFlow::setupOverProtocol(
        m_run, this, target, port(), 0xFFFFFFFFu, m_toolTips, context,
        [this](const KxNetConfig &written) {
            if (mode() == IpMode && KxNetAddress::isIpv4(written.ip))
                m_ip->setText(KxNetAddress::paddedIpv4(written.ip));
            if (written.port >= 1 && written.port <= 65535)
                m_port->setValue(written.port);
            if (mode() == HostNameMode)
                KxMessageBox::information(this, tr("LAN Setup"),
                                          tr("The reader's LAN configuration is changed.\nPlease "
                                             "change your DNS configuration before you continue!"));
            else
                KxMessageBox::information(this, tr("LAN Setup"),
                                          tr("The new network configuration was written; the "
                                             "reader restarts with it."));
        });
}
