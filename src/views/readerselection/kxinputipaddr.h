#pragma once

#include <QHostAddress>
#include <QList>
#include <QWidget>

#include <functional>

class KxReaderRun;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSpinBox;

// A reader addressed directly: an IPv4 address or a host name, and a port.
class KxInputIpAddr : public QWidget
{
    Q_OBJECT
public:
    enum Mode { IpMode = 0, HostNameMode = 1 };
    static constexpr int DefaultPort = 10001;

    explicit KxInputIpAddr(QWidget *parent = nullptr);

    // Empty: IP mode with "192.168.3."; an IPv4 address: IP mode with it;
    // anything else: host-name mode with the text.
    void setHost(const QString &host);
    // In host-name mode the name as typed; in IP mode the normalised address,
    // empty when the field is not an address.
    QString host() const;
    // Outside 1..65535 gives 10001.
    void setPort(int port);
    int port() const;
    int mode() const;
    void setHelp(bool toolTips);
    // Addresses that answer the discovery, for the setup check.
    void setAddressesInUse(std::function<QList<QHostAddress>()> provider);

    QComboBox *modeBox() const { return m_mode; }
    QLineEdit *ipEdit() const { return m_ip; }
    QLineEdit *hostEdit() const { return m_hostName; }
    QSpinBox *portBox() const { return m_port; }

public slots:
    void setMode(int mode);
    void setupNetConfiguration();
    void modeActivated(int index);

private:
    QGridLayout *m_grid = nullptr;
    QComboBox *m_mode;
    QLabel *m_addressLabel;
    QLineEdit *m_ip;
    QLineEdit *m_hostName;
    QSpinBox *m_port;
    bool m_toolTips = false;
    std::function<QList<QHostAddress>()> m_addressesInUse;
    KxReaderRun *m_run;
};
