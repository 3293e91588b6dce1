#pragma once

#include "discovery/kxdiscoveryrecords.h"

#include <QHostAddress>
#include <QMap>
#include <QSet>
#include <QTableWidget>

class KxDiscoverUdp;
class KxReaderRun;

// The readers the UDP discovery finds on one interface, kept current while
// they appear, change and go away.
class KxTableNetReaders : public QTableWidget
{
    Q_OBJECT
public:
    enum Column {
        TypeColumn,
        DeviceIdColumn,
        DescriptionColumn,
        AddressColumn,
        GatewayColumn,
        NetMaskColumn,
        MacColumn,
        NetworkColumn,
        ColumnCount
    };
    enum Role {
        TypeRole = Qt::UserRole,
        DeviceIdRole = Qt::UserRole + 1,
        PortRole = Qt::UserRole + 2,
        MarkerRole = Qt::UserRole + 3,
        NetFlagsRole = Qt::UserRole + 4,
    };

    // descriptions: null hides the description column.
    explicit KxTableNetReaders(const QSet<int> &filter, const QMap<quint32, QString> *descriptions,
                               QWidget *parent = nullptr);
    ~KxTableNetReaders() override;

    KxDiscoverUdp *discovery() const { return m_discover; }
    // The interface the discovery runs on; the setup checks new addresses against it.
    void setInterface(const QString &address, const QString &netmask);
    void setHelp(bool toolTips);

    // The reader of the current row (zero type and ID without one).
    KxLanReaderRecord currentReader() const;
    KxLanReaderRecord readerAt(int row) const;
    int rowOfDevice(quint32 deviceId) const;
    // The IP addresses of every reader except the one given.
    QList<QHostAddress> addressesExcept(quint32 deviceId) const;

    // "DHCP" or "Static IP-Address", with ", Security Mode On" and ", DNS On".
    static QString networkDescription(quint32 networkFlags);

signals:
    void readerClicked();
    void readerDoubleClicked();

public slots:
    void setupNetConfiguration();
    void newDiscoverItem();
    void itemClicked(QTableWidgetItem *item);
    void itemDoubleClicked(QTableWidgetItem *item);

private:
    void showContextMenu(const QPoint &position);
    void appendReader(const KxLanReaderRecord &record);
    void updateReader(int row, const KxLanReaderRecord &record);
    void setCell(int row, int column, const QString &text);

    KxDiscoverUdp *m_discover;
    QMap<quint32, QString> m_descriptions;
    bool m_hasDescriptions;
    bool m_toolTips = false;
    QString m_interfaceAddress;
    QString m_interfaceMask;
    KxReaderRun *m_run;
};
