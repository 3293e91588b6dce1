#pragma once

#include <QMap>
#include <QSet>
#include <QWidget>

class KxTableNetInterfaces;
class KxTableNetReaders;
class QLabel;

// The LAN panel: the computer's interfaces and the readers the UDP discovery
// finds on the chosen one.
class KxDiscoverNetworkReader : public QWidget
{
    Q_OBJECT
public:
    // descriptions: null hides the description column.
    explicit KxDiscoverNetworkReader(const QSet<int> &filter,
                                     const QMap<quint32, QString> *descriptions,
                                     QWidget *parent = nullptr);

    KxTableNetInterfaces *interfaceTable() const { return m_interfaces; }
    KxTableNetReaders *readerTable() const { return m_readers; }
    // The reason the discovery does not run, empty while it runs.
    QString statusText() const;
    void setHelp(bool toolTips);

    // Title labels of both discovery panels.
    static QLabel *titleLabel(const QString &text, QWidget *parent);

signals:
    void readerClicked();
    void readerDoubleClicked();

public slots:
    void currentInterfaceChanged();
    void currentReaderClicked();
    void currentReaderDoubleClicked();

private:
    void startDiscovery(int generation);
    void showStatus(const QString &text);

    KxTableNetInterfaces *m_interfaces;
    KxTableNetReaders *m_readers;
    QLabel *m_status;
    int m_generation = 0;
};
