#include "views/readerselection/kxwidgetnetsetup.h"

#include "discovery/kxnetaddress.h"
#include "reader/readertypes.h"
#include "views/readerselection/kxhelptext.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace {

// Zero-padded, so the masked field shows the address without gaps.
QString addressText(const QHostAddress &address)
{
    return KxNetAddress::paddedIpv4(address);
}

} // namespace

KxWidgetNetSetup::KxWidgetNetSetup(QWidget *parent)
    : QWidget(parent), m_type(new QLabel(this)), m_mac(new QLabel(this)),
      m_deviceId(new QLabel(this)), m_changeIp(new QCheckBox(tr("change"), this)),
      m_changeMask(new QCheckBox(tr("change"), this)),
      m_changeGateway(new QCheckBox(tr("change"), this)),
      m_changePort(new QCheckBox(tr("change"), this)), m_ip(new QLineEdit(this)),
      m_mask(new QLineEdit(this)), m_gateway(new QLineEdit(this)), m_port(new QSpinBox(this)),
      m_dhcp(new QCheckBox(tr("Enable DHCP"), this))
{
    setFixedSize(415, 285);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(12);
    grid->setColumnStretch(2, 1);

    const auto identityRow = [this, grid](int row, const QString &label, QLabel *value) {
        grid->addWidget(new QLabel(label, this), row, 0, 1, 2);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(value, row, 2);
    };
    identityRow(0, tr("Reader Type:"), m_type);
    identityRow(1, tr("MAC-Address:"), m_mac);
    identityRow(2, tr("Device-ID:"), m_deviceId);
    grid->setRowMinimumHeight(3, 8);

    const QString mask = QStringLiteral("000.000.000.000;_");
    const auto valueRow = [this, grid](int row, QCheckBox *box, const QString &label,
                                       QWidget *field) {
        grid->addWidget(box, row, 0);
        grid->addWidget(new QLabel(label, this), row, 1);
        grid->addWidget(field, row, 2);
        field->setEnabled(false);
    };
    for (QLineEdit *edit : {m_ip, m_mask, m_gateway})
        edit->setInputMask(mask);
    m_ip->setObjectName(QStringLiteral("ipEdit"));
    m_mask->setObjectName(QStringLiteral("netMaskEdit"));
    m_gateway->setObjectName(QStringLiteral("gatewayEdit"));
    m_port->setObjectName(QStringLiteral("portBox"));
    m_port->setRange(1, 65535);
    m_port->setSingleStep(1);
    valueRow(4, m_changeIp, tr("IP-Address"), m_ip);
    valueRow(5, m_changeMask, tr("NET-Mask"), m_mask);
    valueRow(6, m_changeGateway, tr("Gateway"), m_gateway);
    valueRow(7, m_changePort, tr("Port"), m_port);
    grid->setRowMinimumHeight(8, 8);
    grid->addWidget(m_dhcp, 9, 0, 1, 3);
    grid->setRowStretch(10, 1);

    connect(m_changeIp, &QCheckBox::stateChanged, this, &KxWidgetNetSetup::changeIdAddr);
    connect(m_changeMask, &QCheckBox::stateChanged, this, &KxWidgetNetSetup::changeNetMask);
    connect(m_changeGateway, &QCheckBox::stateChanged, this, &KxWidgetNetSetup::changeGateway);
    connect(m_changePort, &QCheckBox::stateChanged, this, &KxWidgetNetSetup::changePort);
    connect(m_dhcp, &QCheckBox::stateChanged, this, &KxWidgetNetSetup::changeDHCP);
}

void KxWidgetNetSetup::setConfig(const KxNetConfig &config)
{
    m_type->setText(ReaderTypes::readerTypeName(config.readerType));
    m_mac->setText(config.mac);
    m_deviceId->setText(
        QStringLiteral("%1").arg(config.deviceId, 8, 16, QLatin1Char('0')).toUpper());
    m_ip->setText(addressText(config.ip));
    m_mask->setText(addressText(config.netmask));
    m_gateway->setText(addressText(config.gateway));
    m_port->setValue(config.port >= 1 && config.port <= 65535 ? config.port : 10001);
    m_dhcp->setChecked(config.dhcp);
    changeDHCP(m_dhcp->checkState());
}

void KxWidgetNetSetup::setHelp(bool toolTips)
{
    kxSetHelpText(m_changeIp, tr("Enable changing the IP address"), toolTips);
    kxSetHelpText(m_ip, tr("Enter the new IP address"), toolTips);
    kxSetHelpText(m_changeMask, tr("Enable changing the network mask"), toolTips);
    kxSetHelpText(m_mask, tr("Enter the new network mask"), toolTips);
    kxSetHelpText(m_changeGateway, tr("Enable changing the gateway (i.e. router IP address)"),
                  toolTips);
    kxSetHelpText(m_gateway, tr("Enter the new gateway (i.e. router IP address)"), toolTips);
    kxSetHelpText(m_changePort, tr("Enable changing the port number"), toolTips);
    kxSetHelpText(m_port, tr("Enter the new port number"), toolTips);
    kxSetHelpText(
        m_dhcp,
        tr("Enable DHCP\nThe reader will get its whole network configuration from a DHCP server."),
        toolTips);
}

void KxWidgetNetSetup::changeIdAddr(int state)
{
    m_ip->setEnabled(state == Qt::Checked);
}

void KxWidgetNetSetup::changeNetMask(int state)
{
    m_mask->setEnabled(state == Qt::Checked);
}

void KxWidgetNetSetup::changeGateway(int state)
{
    m_gateway->setEnabled(state == Qt::Checked);
}

void KxWidgetNetSetup::changePort(int state)
{
    m_port->setEnabled(state == Qt::Checked);
}

void KxWidgetNetSetup::changeDHCP(int state)
{
    const bool dhcp = state == Qt::Checked;
    for (QCheckBox *box : {m_changeIp, m_changeMask, m_changeGateway, m_changePort}) {
        if (dhcp)
            box->setChecked(false);
        box->setEnabled(!dhcp);
    }
}
