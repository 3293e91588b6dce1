#include "views/readerselection/kxtablenetreaders.h"

#include "discovery/kxdiscoverudp.h"
#include "discovery/kxnetaddress.h"
#include "reader/readertypes.h"
#include "views/functions/kxreaderrun.h"
#include "views/readerselection/kxhelptext.h"
#include "views/readerselection/kxnetsetupflow.h"

#include <QHeaderView>
#include <QMenu>

namespace {

QString deviceIdText(quint32 id)
{
    return QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0')).toUpper();
}

QString addressText(const QHostAddress &address)
{
    return address.isNull() ? QString() : address.toString();
}

} // namespace

KxTableNetReaders::KxTableNetReaders(const QSet<int> &filter,
                                     const QMap<quint32, QString> *descriptions, QWidget *parent)
    : QTableWidget(parent), m_discover(new KxDiscoverUdp(filter, this)),
      m_hasDescriptions(descriptions != nullptr), m_run(new KxReaderRun(this))
{
    if (descriptions)
        m_descriptions = *descriptions;
    setColumnCount(ColumnCount);
    setHorizontalHeaderLabels({tr("Reader Type"), tr("Device ID"), tr("Description"),
                               tr("IP-Address : Port"), tr("Gateway"), tr("NET-Mask"),
                               tr("MAC-Address"), tr("Description")});
    const int widths[ColumnCount] = {150, 100, 180, 160, 130, 130, 150, 200};
    for (int c = 0; c < ColumnCount; ++c)
        setColumnWidth(c, widths[c]);
    setColumnHidden(DescriptionColumn, !m_hasDescriptions);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setStretchLastSection(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &KxTableNetReaders::showContextMenu);
    connect(m_discover, &KxDiscoverUdp::newDiscoverItem, this, &KxTableNetReaders::newDiscoverItem,
            Qt::QueuedConnection);
    connect(this, &QTableWidget::itemClicked, this, &KxTableNetReaders::itemClicked);
    connect(this, &QTableWidget::itemDoubleClicked, this, &KxTableNetReaders::itemDoubleClicked);
    setHelp(false);
}

KxTableNetReaders::~KxTableNetReaders()
{
    // No report may arrive while the table goes away.
    m_discover->stop();
}

void KxTableNetReaders::setInterface(const QString &address, const QString &netmask)
{
    m_interfaceAddress = address;
    m_interfaceMask = netmask;
}

void KxTableNetReaders::setHelp(bool toolTips)
{
    m_toolTips = toolTips;
    kxSetHelpText(this,
                  tr("This table shows the discovered readers on the selected LAN interface.\nIn "
                     "the dialog titlebar you see the reader type filter for discovering. This "
                     "filter depends on the application context.\nMake sure that UDP is not "
                     "blocked by your firewall!\nVia the context menu you can change the LAN "
                     "configuration of the selected reader."),
                  toolTips);
}

QString KxTableNetReaders::networkDescription(quint32 networkFlags)
{
    QString text = (networkFlags & KxLanReaderRecord::Dhcp) ? tr("DHCP") : tr("Static IP-Address");
    if (networkFlags & KxLanReaderRecord::SecurityMode)
        text += tr(", Security Mode On");
    if (networkFlags & KxLanReaderRecord::Dns)
        text += tr(", DNS On");
    return text;
}

void KxTableNetReaders::setCell(int row, int column, const QString &text)
{
    QTableWidgetItem *cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        setItem(row, column, cell);
    }
    cell->setText(text);
}

void KxTableNetReaders::appendReader(const KxLanReaderRecord &r)
{
    const int row = rowCount();
    setRowCount(row + 1);
    setCell(row, TypeColumn, ReaderTypes::readerTypeName(int(r.readerType)));
    item(row, TypeColumn)->setData(TypeRole, r.readerType);
    setCell(row, DeviceIdColumn, deviceIdText(r.deviceId));
    item(row, DeviceIdColumn)->setData(DeviceIdRole, r.deviceId);
    setCell(row, DescriptionColumn, m_descriptions.value(r.deviceId));
    setCell(row, AddressColumn, QStringLiteral("%1:%2").arg(addressText(r.ip)).arg(r.port));
    item(row, AddressColumn)->setData(PortRole, r.port);
    item(row, AddressColumn)->setData(MarkerRole, r.marker);
    setCell(row, GatewayColumn, addressText(r.gateway));
    setCell(row, NetMaskColumn, addressText(r.netmask));
    setCell(row, MacColumn, r.mac);
    setCell(row, NetworkColumn, networkDescription(r.networkFlags));
    item(row, NetworkColumn)->setData(NetFlagsRole, r.networkFlags);
    if (row == 0)
        setCurrentCell(0, 0);
}

void KxTableNetReaders::updateReader(int row, const KxLanReaderRecord &r)
{
    QTableWidgetItem *address = item(row, AddressColumn);
    const QString shown = address->text();
    const QString ip = (r.validFlags & KxLanReaderRecord::ValidIp)
                           ? r.ip.toString()
                           : shown.left(shown.indexOf(QLatin1Char(':')));
    const uint port = (r.validFlags & KxLanReaderRecord::ValidPort)
                          ? uint(r.port)
                          : address->data(PortRole).toUInt();
    address->setText(QStringLiteral("%1:%2").arg(ip).arg(port));
    address->setData(PortRole, port);
    if (r.validFlags & KxLanReaderRecord::ValidNetmask)
        setCell(row, NetMaskColumn, r.netmask.toString());
    if (r.validFlags & KxLanReaderRecord::ValidGateway)
        setCell(row, GatewayColumn, r.gateway.toString());
    if (r.validFlags & KxLanReaderRecord::ValidMac)
        setCell(row, MacColumn, r.mac);
    setCell(row, NetworkColumn, networkDescription(r.networkFlags));
    item(row, NetworkColumn)->setData(NetFlagsRole, r.networkFlags);
}

int KxTableNetReaders::rowOfDevice(quint32 deviceId) const
{
    for (int row = 0; row < rowCount(); ++row) {
        const QTableWidgetItem *cell = item(row, DeviceIdColumn);
        if (cell && cell->data(DeviceIdRole).toUInt() == deviceId)
            return row;
    }
    return -1;
}

void KxTableNetReaders::newDiscoverItem()
{
    KxLanReaderRecord record;
    while (m_discover->takeNext(&record)) {
        const int row = rowOfDevice(record.deviceId);
        switch (record.eventKind) {
        case KxLanReaderRecord::New:
            // A reader seen again after a restart of the discovery is not listed twice.
            if (row < 0)
                appendReader(record);
            else
                updateReader(row, record);
            break;
        case KxLanReaderRecord::Gone:
            if (row >= 0)
                removeRow(row);
            break;
        case KxLanReaderRecord::Changed:
            if (row >= 0)
                updateReader(row, record);
            break;
        default:
            break;
        }
    }
}

KxLanReaderRecord KxTableNetReaders::readerAt(int row) const
{
    KxLanReaderRecord r;
    if (row < 0 || row >= rowCount() || !item(row, TypeColumn))
        return r;
    const auto text = [this, row](int column) {
        const QTableWidgetItem *cell = item(row, column);
        return cell ? cell->text() : QString();
    };
    r.readerType = item(row, TypeColumn)->data(TypeRole).toUInt();
    r.deviceId = item(row, DeviceIdColumn)->data(DeviceIdRole).toUInt();
    const QString address = text(AddressColumn);
    r.ip = KxNetAddress::parseIpv4(address.left(address.indexOf(QLatin1Char(':'))));
    r.port = quint16(item(row, AddressColumn)->data(PortRole).toUInt());
    r.marker = item(row, AddressColumn)->data(MarkerRole).toInt();
    r.gateway = KxNetAddress::parseIpv4(text(GatewayColumn));
    r.netmask = KxNetAddress::parseIpv4(text(NetMaskColumn));
    r.mac = text(MacColumn);
    r.networkFlags = item(row, NetworkColumn)->data(NetFlagsRole).toUInt();
    return r;
}

KxLanReaderRecord KxTableNetReaders::currentReader() const
{
    return readerAt(currentRow());
}

QList<QHostAddress> KxTableNetReaders::addressesExcept(quint32 deviceId) const
{
    QList<QHostAddress> list;
    for (int row = 0; row < rowCount(); ++row) {
        const KxLanReaderRecord r = readerAt(row);
        if (r.deviceId != deviceId && !r.ip.isNull())
            list << r.ip;
    }
    return list;
}

void KxTableNetReaders::showContextMenu(const QPoint &position)
{
    if (currentRow() < 0)
        return;
    QMenu menu(this);
    connect(menu.addAction(tr("LAN Setup")), &QAction::triggered, this,
            &KxTableNetReaders::setupNetConfiguration);
    menu.exec(viewport()->mapToGlobal(position));
}

void KxTableNetReaders::setupNetConfiguration()
{
    const KxLanReaderRecord r = currentReader();
    if (r.readerType == 0 || r.deviceId == 0)
        return;
    KxNetConfig current;
    current.readerType = int(r.readerType);
    current.deviceId = r.deviceId;
    current.mac = r.mac;
    current.ip = r.ip;
    current.port = r.port;
    current.gateway = r.gateway;
    current.netmask = r.netmask;
    current.dhcp = r.networkFlags & KxLanReaderRecord::Dhcp;
    KxNetSetupCheck::Context context;
    context.interfaceIp = KxNetAddress::parseIpv4(m_interfaceAddress);
    context.interfaceMask = KxNetAddress::parseIpv4(m_interfaceMask);
    context.addressesInUse = addressesExcept(r.deviceId);
    KxNetSetupFlow::setupOverUdp(m_run, this, m_interfaceAddress, current, m_toolTips, context);
}

void KxTableNetReaders::itemClicked(QTableWidgetItem *)
{
    emit readerClicked();
}

void KxTableNetReaders::itemDoubleClicked(QTableWidgetItem *)
{
    emit readerDoubleClicked();
}
