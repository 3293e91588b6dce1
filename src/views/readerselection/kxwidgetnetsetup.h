#pragma once

#include "discovery/kxdiscoveryrecords.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// The form of the network setup: the reader's identity and the four values
// that can be changed, each behind its own "change" box, plus DHCP.
class KxWidgetNetSetup : public QWidget
{
    Q_OBJECT
public:
    explicit KxWidgetNetSetup(QWidget *parent = nullptr);

    void setConfig(const KxNetConfig &config);
    void setHelp(bool toolTips);

    QCheckBox *changeIpBox() const { return m_changeIp; }
    QCheckBox *changeNetMaskBox() const { return m_changeMask; }
    QCheckBox *changeGatewayBox() const { return m_changeGateway; }
    QCheckBox *changePortBox() const { return m_changePort; }
    QCheckBox *dhcpBox() const { return m_dhcp; }
    QLineEdit *ipEdit() const { return m_ip; }
    QLineEdit *netMaskEdit() const { return m_mask; }
    QLineEdit *gatewayEdit() const { return m_gateway; }
    QSpinBox *portBox() const { return m_port; }

public slots:
    void changeIdAddr(int state);
    void changeNetMask(int state);
    void changeGateway(int state);
    void changePort(int state);
    void changeDHCP(int state);

private:
    QLabel *m_type;
    QLabel *m_mac;
    QLabel *m_deviceId;
    QCheckBox *m_changeIp;
    QCheckBox *m_changeMask;
    QCheckBox *m_changeGateway;
    QCheckBox *m_changePort;
    QLineEdit *m_ip;
    QLineEdit *m_mask;
    QLineEdit *m_gateway;
    QSpinBox *m_port;
    QCheckBox *m_dhcp;
};
