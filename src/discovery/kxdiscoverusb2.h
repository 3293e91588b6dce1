#pragma once

#include "discovery/kxdiscoveryrecords.h"

#include <QAtomicInt>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QSet>
#include <QThread>

// Scans the USB bus every 1.5 s and queues the readers that appeared and went
// away; a table drains the queue on the GUI thread after newDiscoverItem().
class KxDiscoverUsb2 : public QThread
{
    Q_OBJECT
public:
    static constexpr int ScanRequest = 15;
    static constexpr int SleepSteps = 15;
    static constexpr int SleepStepMs = 100;

    explicit KxDiscoverUsb2(const QSet<int> &filter = QSet<int>(), QObject *parent = nullptr);
    // Sets the stop flag and waits for the thread, which ends after the
    // current scan or within 100 ms of its pause.
    ~KxDiscoverUsb2() override;

    void requestStop() { m_stop.storeRelease(1); }
    bool takeNext(KxUsbReaderRecord *record);

    // One pass over the bus (the thread body runs it in a loop).
    void scanOnce();

signals:
    void newDiscoverItem();

protected:
    void run() override;

private:
    void queue(const KxUsbReaderRecord &record);

    QSet<int> m_filter;
    QAtomicInt m_stop;
    QMutex m_mutex;
    QList<KxUsbReaderRecord> m_pending;
    struct Known
    {
        KxUsbReaderRecord record;
        bool seen = false;
    };
    QMap<quint32, Known> m_known; // only the scanning thread touches it
};
