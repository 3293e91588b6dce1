#pragma once

#include "core/errorinfo.h"
#include "discovery/kxdiscoveryrecords.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>

struct KXUDP_REPORT;

// UDP discovery of the readers on one local interface. The library reports on
// its own thread; the reports that pass the type filter are queued under the
// mutex and announced with newDiscoverItem(), which a table drains on the GUI
// thread through a queued connection.
class KxDiscoverUdp : public QObject
{
    Q_OBJECT
public:
    static constexpr int NotIpv4Error = -1450;
    static constexpr int RequestIntervalMs = 500;
    static constexpr int GoneTimeoutMs = 2000;

    explicit KxDiscoverUdp(const QSet<int> &filter = QSet<int>(), QObject *parent = nullptr);
    // Stops the library's discovery first, so no report arrives afterwards.
    ~KxDiscoverUdp() override;

    // 0, or the error code (also kept in errorCode()/errorText()).
    int start(const QString &interfaceAddress);
    void stop();
    bool isRunning() const { return m_running; }
    QString address() const { return m_address; }
    ErrorInfo error() const { return ErrorInfo(m_errorCode, m_errorText); }

    // Changed only while no discovery runs.
    bool setFilter(const QSet<int> &filter);
    QSet<int> filter() const { return m_filter; }

    bool takeNext(KxLanReaderRecord *record);
    void clearPending();

    // The setup request of a discovered reader through the UDP library: blocks
    // until the reader acknowledges or the library's 2 s time-out ends.
    static ErrorInfo setupReader(const QString &interfaceAddress, const KxNetConfig &config);
    static QString libraryErrorText(int code);
    // A report of the library as a record; false for a report without content.
    static bool recordFromReport(const KXUDP_REPORT *report, KxLanReaderRecord *record);

signals:
    void newDiscoverItem();

private:
    static void reportCallback(void *context, const KXUDP_REPORT *report);
    void report(const KXUDP_REPORT *report);

    QSet<int> m_filter;
    QString m_address;
    bool m_running = false;
    int m_errorCode = 0;
    QString m_errorText;
    QMutex m_mutex;
    QList<KxLanReaderRecord> m_pending;
};
