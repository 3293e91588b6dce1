#pragma once

#include <QObject>
#include <QSqlDriver>
#include <QString>
#include <QTimer>

// Follows the changes other workstations commit to a server project: one
// listening connection on the window's thread, subscribed to the channel
// every table's triggers notify on. A burst of notifications becomes one
// changed() about 150 ms after the last. A dropped connection is noticed by a
// periodic check and connected again, waiting longer each time, a bounded
// number of times; after a reconnect changed() follows, since notifications
// may have been missed meanwhile.
class ServerWatch : public QObject
{
    Q_OBJECT

public:
    explicit ServerWatch(QObject *parent = nullptr);
    ~ServerWatch() override;

    // Follows the database of the connection file; an empty path or a folder
    // project's database stops following.
    void follow(const QString &databasePath);
    void stop();
    bool isListening() const { return m_listening; }
    // The listening connection's name, for tests that drop it.
    QString connectionName() const { return m_name; }

    // How often the connection is checked and the first wait before
    // connecting again (doubling up to 16 times that, MaxReconnects times).
    void setIntervals(int checkMs, int firstRetryMs);
    static constexpr int MaxReconnects = 12;

signals:
    void changed();
    // The listening connection dropped (text: what the status bar says), is
    // back, or could not be got back within the bound.
    void connectionLost(const QString &text);
    void connectionRestored();
    void gaveUp(const QString &text);

private:
    bool connectNow();
    void disconnectNow();
    void notified(const QString &name, QSqlDriver::NotificationSource source,
                  const QVariant &payload);
    void check();
    void retry();

    QString m_path;
    QString m_name;
    bool m_listening = false;
    int m_attempts = 0;
    int m_firstRetryMs = 1000;
    QTimer m_debounce;
    QTimer m_check;
    QTimer m_retry;
};
