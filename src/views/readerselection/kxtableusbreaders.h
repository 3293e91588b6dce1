#pragma once

#include "discovery/kxdiscoveryrecords.h"

#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QSet>
#include <QTableWidget>

#include <functional>

class KxDiscoverUsb2;
class KxReaderRun;

// The readers on the USB bus, kept current by a scan thread that the table
// starts when it is built and stops when it goes away.
class KxTableUsbReaders : public QTableWidget
{
    Q_OBJECT
public:
    enum Column { TypeColumn, DeviceIdColumn, DescriptionColumn, ColumnCount };
    enum Role { TypeRole = Qt::UserRole, DeviceIdRole = Qt::UserRole + 1 };

    explicit KxTableUsbReaders(const QSet<int> &filter, const QMap<quint32, QString> *descriptions,
                               QWidget *parent = nullptr);
    ~KxTableUsbReaders() override;

    KxDiscoverUsb2 *discovery() const { return m_discover; }
    void setHelp(bool toolTips);
    // The reader of the current row (zero type and ID without one).
    KxUsbReaderRecord currentReader() const;
    int rowOfDevice(quint32 deviceId) const;
    // Addresses that answer the discovery, for the setup check.
    void setAddressesInUse(std::function<QList<QHostAddress>()> provider);

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
    void setCell(int row, int column, const QString &text);

    KxDiscoverUsb2 *m_discover;
    QMap<quint32, QString> m_descriptions;
    bool m_toolTips = false;
    std::function<QList<QHostAddress>()> m_addressesInUse;
    KxReaderRun *m_run;
};
