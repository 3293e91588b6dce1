#pragma once

#include "discovery/kxnetinterfaces.h"

#include <QTableWidget>

// The computer's IPv4 interfaces; the current row is the one the discovery runs on.
class KxTableNetInterfaces : public QTableWidget
{
    Q_OBJECT
public:
    enum Column { IpColumn, NetMaskColumn, MacColumn, NameColumn, ColumnCount };

    explicit KxTableNetInterfaces(QWidget *parent = nullptr);

    // Lists the computer's interfaces (sends nothing). With KXUDP_TARGET on
    // loopback the loopback interface comes first, as the discovery goes there.
    void listInterfaces();
    // Fills the table from given rows; none gives the "No LAN interface available" row.
    void setRows(const QList<KxNetInterfaces::Row> &rows);
    QString currentAddress() const;
    QString currentNetMask() const;
    void setHelp(bool toolTips);

signals:
    void currentInterfaceChanged();

public slots:
    void currentCellChanged(int currentRow, int currentColumn, int previousRow, int previousColumn);

private:
    void setCell(int row, int column, const QString &text);
    QString currentText(int column) const;
};
