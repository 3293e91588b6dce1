#include "discovery/kxdiscoverusb2.h"

#include "reader/readertypes.h"

#include <kxusb.h>

#include <QMutexLocker>

KxDiscoverUsb2::KxDiscoverUsb2(const QSet<int> &filter, QObject *parent)
    : QThread(parent), m_filter(filter)
{
}

KxDiscoverUsb2::~KxDiscoverUsb2()
{
    requestStop();
    wait();
}

bool KxDiscoverUsb2::takeNext(KxUsbReaderRecord *record)
{
    QMutexLocker lock(&m_mutex);
    if (m_pending.isEmpty())
        return false;
    *record = m_pending.takeFirst();
    return true;
}

void KxDiscoverUsb2::queue(const KxUsbReaderRecord &record)
{
    {
        QMutexLocker lock(&m_mutex);
        m_pending.append(record);
    }
    emit newDiscoverItem();
}

void KxDiscoverUsb2::scanOnce()
{
    // A bus that cannot be read says nothing about the readers on it.
    if (KXUSB_Scan(ScanRequest, 0) < 0 || m_stop.loadAcquire())
        return;
    for (Known &k : m_known)
        k.seen = false;
    const int count = KXUSB_GetScanListSize();
    for (int i = 0; i < count; ++i) {
        char text[1024] = {0};
        if (KXUSB_GetScanListPara(i, "Device-ID", text) != 0)
            continue;
        bool ok = false;
        const quint32 deviceId = QString::fromLatin1(text).trimmed().toUInt(&ok, 16);
        if (!ok || deviceId == 0)
            continue;
        char name[1024] = {0};
        if (KXUSB_GetScanListPara(i, "DeviceName", name) != 0)
            continue;
        const int type = ReaderTypes::readerTypeByName(QString::fromLatin1(name).trimmed());
        if (type == 0 || (!m_filter.isEmpty() && !m_filter.contains(type)))
            continue;
        auto it = m_known.find(deviceId);
        if (it == m_known.end()) {
            KxUsbReaderRecord record;
            record.eventKind = KxUsbReaderRecord::New;
            record.readerType = type;
            record.deviceId = deviceId;
            m_known.insert(deviceId, Known{record, true});
            queue(record);
        } else {
            it->seen = true;
        }
    }
    for (auto it = m_known.begin(); it != m_known.end();) {
        if (it->seen) {
            ++it;
            continue;
        }
        KxUsbReaderRecord gone = it->record;
        gone.eventKind = KxUsbReaderRecord::Gone;
        it = m_known.erase(it);
        queue(gone);
    }
}

void KxDiscoverUsb2::run()
{
    while (!m_stop.loadAcquire()) {
        scanOnce();
        for (int i = 0; i < SleepSteps && !m_stop.loadAcquire(); ++i)
            QThread::msleep(SleepStepMs);
    }
}
