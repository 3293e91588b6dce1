#pragma once

#include <QMap>
#include <QSet>
#include <QWidget>

class KxTableUsbReaders;

// The USB panel: the readers a scan of the USB bus finds.
class KxDiscoverUsbReader : public QWidget
{
    Q_OBJECT
public:
    explicit KxDiscoverUsbReader(const QSet<int> &filter,
                                 const QMap<quint32, QString> *descriptions,
                                 QWidget *parent = nullptr);

    KxTableUsbReaders *readerTable() const { return m_readers; }
    void setHelp(bool toolTips);

signals:
    void readerClicked();
    void readerDoubleClicked();

public slots:
    void currentReaderClicked();
    void currentReaderDoubleClicked();

private:
    KxTableUsbReaders *m_readers;
};
