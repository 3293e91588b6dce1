#include "views/readerselection/kxtablenetinterfaces.h"

#include "views/readerselection/kxhelptext.h"

#include <QHeaderView>

#include <algorithm>

KxTableNetInterfaces::KxTableNetInterfaces(QWidget *parent) : QTableWidget(parent)
{
    setColumnCount(ColumnCount);
    setHorizontalHeaderLabels({tr("IP address"), tr("NET mask"), tr("MAC address"), tr("Name")});
    for (int c = 0; c < ColumnCount; ++c)
        setColumnWidth(c, 200);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setStretchLastSection(true);
    connect(this, &QTableWidget::currentCellChanged, this,
            &KxTableNetInterfaces::currentCellChanged);
    setHelp(false);
}

void KxTableNetInterfaces::setHelp(bool toolTips)
{
    kxSetHelpText(this,
                  tr("This table shows all available LAN interfaces of your PC for IPV4.\nIn case "
                     "of multiple interfaces you have to select one for discovering."),
                  toolTips);
}

void KxTableNetInterfaces::listInterfaces()
{
    const bool loopbackTarget = KxNetInterfaces::discoveryTargetsLoopback();
    QList<KxNetInterfaces::Row> rows =
        KxNetInterfaces::select(KxNetInterfaces::systemCandidates(), loopbackTarget);
    if (loopbackTarget) {
        std::stable_sort(rows.begin(), rows.end(),
                         [](const KxNetInterfaces::Row &a, const KxNetInterfaces::Row &b) {
                             return a.ip.startsWith(QLatin1String("127.")) &&
                                    !b.ip.startsWith(QLatin1String("127."));
                         });
    }
    setRows(rows);
}

void KxTableNetInterfaces::setRows(const QList<KxNetInterfaces::Row> &rows)
{
    setCurrentCell(-1, -1);
    clearContents();
    setRowCount(0);
    if (rows.isEmpty()) {
        setRowCount(1);
        setCell(0, NameColumn, tr("No LAN interface available"));
        return;
    }
    // The rows go in without signals; making the first current starts the discovery once.
    blockSignals(true);
    setRowCount(rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        setCell(i, IpColumn, rows.at(i).ip);
        setCell(i, NetMaskColumn, rows.at(i).netmask);
        setCell(i, MacColumn, rows.at(i).mac);
        setCell(i, NameColumn, rows.at(i).name);
    }
    blockSignals(false);
    if (currentRow() == 0)
        emit currentInterfaceChanged();
    else
        setCurrentCell(0, 0);
}

void KxTableNetInterfaces::setCell(int row, int column, const QString &text)
{
    auto *cell = new QTableWidgetItem(text);
    cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    setItem(row, column, cell);
}

QString KxTableNetInterfaces::currentText(int column) const
{
    const QTableWidgetItem *cell = item(currentRow(), column);
    return cell ? cell->text() : QString();
}

QString KxTableNetInterfaces::currentAddress() const
{
    return currentText(IpColumn);
}

QString KxTableNetInterfaces::currentNetMask() const
{
    return currentText(NetMaskColumn);
}

void KxTableNetInterfaces::currentCellChanged(int currentRow, int, int previousRow, int)
{
    if (currentRow != previousRow && item(currentRow, IpColumn))
        emit currentInterfaceChanged();
}
