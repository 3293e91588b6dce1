#include "views/readerselection/kxtableusbreaders.h"

#include "discovery/kxdiscoverusb2.h"
#include "reader/readertypes.h"
#include "views/functions/kxreaderrun.h"
#include "views/readerselection/kxhelptext.h"
#include "views/readerselection/kxnetsetupflow.h"
#include "widgets/kxmessagebox.h"

#include <QHeaderView>
#include <QMenu>

KxTableUsbReaders::KxTableUsbReaders(const QSet<int> &filter,
                                     const QMap<quint32, QString> *descriptions, QWidget *parent)
    : QTableWidget(parent), m_discover(new KxDiscoverUsb2(filter, this)),
      m_run(new KxReaderRun(this))
{
    if (descriptions)
        m_descriptions = *descriptions;
    setColumnCount(ColumnCount);
    setHorizontalHeaderLabels({tr("Reader Type"), tr("Device ID"), tr("Description")});
    setColumnWidth(TypeColumn, 200);
    setColumnWidth(DeviceIdColumn, 150);
    setColumnWidth(DescriptionColumn, 200);
    setColumnHidden(DescriptionColumn, descriptions == nullptr);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setStretchLastSection(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &KxTableUsbReaders::showContextMenu);
    connect(m_discover, &KxDiscoverUsb2::newDiscoverItem, this, &KxTableUsbReaders::newDiscoverItem,
            Qt::QueuedConnection);
    connect(this, &QTableWidget::itemClicked, this, &KxTableUsbReaders::itemClicked);
    connect(this, &QTableWidget::itemDoubleClicked, this, &KxTableUsbReaders::itemDoubleClicked);
    setHelp(false);
    m_discover->start(QThread::InheritPriority);
}

KxTableUsbReaders::~KxTableUsbReaders()
{
    delete m_discover; // stops and waits for the scan thread
    m_discover = nullptr;
}

void KxTableUsbReaders::setHelp(bool toolTips)
{
    m_toolTips = toolTips;
    kxSetHelpText(this,
                  tr("This table shows the discovered readers on the USB interface.\nIn the dialog "
                     "titlebar you see the reader type filter for discovering. This filter depends "
                     "on the application context.\nPlease close all applications which keep a USB "
                     "connection to the readers open!\nVia the context menu you can change the "
                     "LAN configuration of the selected reader."),
                  toolTips);
}

void KxTableUsbReaders::setCell(int row, int column, const QString &text)
{
    auto *cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    setItem(row, column, cell);
}

int KxTableUsbReaders::rowOfDevice(quint32 deviceId) const
{
    for (int row = 0; row < rowCount(); ++row) {
        const QTableWidgetItem *cell = item(row, DeviceIdColumn);
        if (cell && cell->data(DeviceIdRole).toUInt() == deviceId)
            return row;
    }
    return -1;
}

void KxTableUsbReaders::newDiscoverItem()
{
    KxUsbReaderRecord r;
    while (m_discover && m_discover->takeNext(&r)) {
        const int found = rowOfDevice(r.deviceId);
        if (r.eventKind == KxUsbReaderRecord::New && found < 0) {
            const int row = rowCount();
            setRowCount(row + 1);
            setCell(row, TypeColumn, ReaderTypes::readerTypeName(r.readerType));
            item(row, TypeColumn)->setData(TypeRole, r.readerType);
            setCell(row, DeviceIdColumn,
                    QStringLiteral("%1").arg(r.deviceId, 8, 16, QLatin1Char('0')).toUpper());
            item(row, DeviceIdColumn)->setData(DeviceIdRole, r.deviceId);
            setCell(row, DescriptionColumn, m_descriptions.value(r.deviceId));
            if (row == 0)
                setCurrentCell(0, 0);
        } else if (r.eventKind == KxUsbReaderRecord::Gone && found >= 0) {
            removeRow(found);
        }
    }
}

KxUsbReaderRecord KxTableUsbReaders::currentReader() const
{
    KxUsbReaderRecord r;
    const int row = currentRow();
    if (row < 0 || !item(row, TypeColumn) || !item(row, DeviceIdColumn))
        return r;
    r.readerType = item(row, TypeColumn)->data(TypeRole).toInt();
    r.deviceId = item(row, DeviceIdColumn)->data(DeviceIdRole).toUInt();
    return r;
}

void KxTableUsbReaders::showContextMenu(const QPoint &position)
{
    if (currentRow() < 0)
        return;
    QMenu menu(this);
    connect(menu.addAction(tr("LAN Setup")), &QAction::triggered, this,
            &KxTableUsbReaders::setupNetConfiguration);
    menu.exec(viewport()->mapToGlobal(position));
}

void KxTableUsbReaders::setAddressesInUse(std::function<QList<QHostAddress>()> provider)
{
    m_addressesInUse = std::move(provider);
}

void KxTableUsbReaders::setupNetConfiguration()
{
    const KxUsbReaderRecord r = currentReader();
    if (r.readerType == 0 || r.deviceId == 0)
        return;
    KxNetSetupCheck::Context context;
    if (m_addressesInUse)
        context.addressesInUse = m_addressesInUse();
    KxNetSetupFlow::setupOverProtocol(
        m_run, this, QString(), 0, r.deviceId, m_toolTips, context, [this](const KxNetConfig &) {
            KxMessageBox::information(this, tr("LAN Setup"),
                                      tr("The new network configuration was written; the reader "
                                         "restarts with it."));
        });
}

void KxTableUsbReaders::itemClicked(QTableWidgetItem *)
{
    emit readerClicked();
}

void KxTableUsbReaders::itemDoubleClicked(QTableWidgetItem *)
{
    emit readerDoubleClicked();
}
