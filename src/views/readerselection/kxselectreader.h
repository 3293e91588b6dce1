#pragma once

#include "discovery/kxdiscoveryrecords.h"

#include <QDialog>
#include <QMap>
#include <QSet>
#include <QString>

#include <functional>

class ApplicationSettings;
class KxDiscoverNetworkReader;
class KxDiscoverUsbReader;
class KxInputIpAddr;
class KxReaderRun;
class QPushButton;
class QTabWidget;

// What the reader selection gives back.
struct KxReaderSelection
{
    enum Kind { Cancelled = -1, Lan = 0, Usb = 1, IpAddress = 2 };
    int kind = Cancelled;
    int readerType = 0;
    quint32 deviceId = 0;
    QString mac;
    QString host; // empty for USB
    int port = 0; // 0 for USB
};

// The modal dialog in which the user picks one reader: found on the LAN,
// found on USB, or addressed by IP address or host name.
class KxSelectReader : public QDialog
{
    Q_OBJECT
public:
    enum Tab { LanTab = 0, UsbTab = 1, IpTab = 2 };

    // filter: the reader types that fit (empty: any); descriptions: names of
    // known readers by device ID, null hides that column.
    explicit KxSelectReader(const QSet<int> &filter,
                            const QMap<quint32, QString> *descriptions = nullptr,
                            QWidget *parent = nullptr);

    // The one call the views use: builds the dialog, restores and saves its
    // geometry, follows the tooltip setting and fills *result when a reader
    // was chosen. tab < 0 chooses the tab from the host.
    static bool selectReader(QWidget *parent, ApplicationSettings &settings,
                             const QSet<int> &filter, const QMap<quint32, QString> *descriptions,
                             const QString &host, int port, KxReaderSelection *result,
                             int tab = -1);

    void setHelp(bool toolTips);
    void setInitialHost(const QString &host);
    void setInitialPort(int port);
    // LanTab, UsbTab or IpTab; anything else chooses by the initial host.
    void setInitialTab(int tab);
    const KxReaderSelection &selection() const { return m_selection; }

    // "Select reader", with "   [ name ; name ]" for a filter.
    static QString titleFor(const QSet<int> &filter);
    // The tab an initial host points to.
    static int tabForHost(const QString &host);

    QTabWidget *tabs() const { return m_tabs; }
    KxDiscoverNetworkReader *lanPanel() const { return m_lan; }
    KxDiscoverUsbReader *usbPanel() const { return m_usb; }
    KxInputIpAddr *ipPanel() const { return m_ip; }
    QPushButton *selectButton() const { return m_select; }
    QPushButton *cancelButton() const { return m_cancel; }
    QPushButton *setupButton() const { return m_setup; }

    // Tests answer the dialog instead of a person: the answerer drives it and
    // returns Accepted or Rejected (accepting it through its buttons counts too).
    using Answerer = std::function<int(KxSelectReader *dialog)>;
    static Answerer setAnswerer(Answerer answerer);

public slots:
    void currentTabChanghed(int index);
    void okClicked();
    void cancelClicked();
    void setupNetConfiguration();
    // Refused while a reader command of the dialog runs.
    void reject() override;

private:
    bool typeFits(int type) const;
    // The reader at the address answered as c: chosen when its type fits.
    void selectIdentified(const QString &host, int port, const KxNetConfig &c);

    QSet<int> m_filter;
    QTabWidget *m_tabs;
    KxDiscoverNetworkReader *m_lan;
    KxDiscoverUsbReader *m_usb;
    KxInputIpAddr *m_ip;
    QPushButton *m_select;
    QPushButton *m_cancel;
    QPushButton *m_setup;
    QString m_initialHost;
    KxReaderSelection m_selection;
    KxReaderRun *m_run;
};
