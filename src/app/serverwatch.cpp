#include "app/serverwatch.h"

#include "db/serverconnection.h"
#include "db/serverschema.h"

#include <QSqlDatabase>
#include <QSqlQuery>

ServerWatch::ServerWatch(QObject *parent) : QObject(parent)
{
    m_name = QStringLiteral("kelvara-listen-%1").arg(reinterpret_cast<quintptr>(this), 0, 16);
    m_debounce.setSingleShot(true);
    m_debounce.setInterval(150);
    connect(&m_debounce, &QTimer::timeout, this, &ServerWatch::changed);
    m_check.setInterval(3000);
    connect(&m_check, &QTimer::timeout, this, &ServerWatch::check);
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &ServerWatch::retry);
}

ServerWatch::~ServerWatch()
{
    stop();
}

void ServerWatch::setIntervals(int checkMs, int firstRetryMs)
{
    m_check.setInterval(checkMs);
    m_firstRetryMs = firstRetryMs;
}

void ServerWatch::follow(const QString &databasePath)
{
    stop();
    if (!ServerConnection::isConnectionFile(databasePath))
        return;
    m_path = databasePath;
    m_attempts = 0;
    m_check.start();
    if (!connectNow()) {
        emit connectionLost(tr("Changes of other workstations are not followed: the server does "
                               "not answer. Connecting again…"));
        m_retry.start(m_firstRetryMs);
    }
}

void ServerWatch::stop()
{
    m_check.stop();
    m_retry.stop();
    m_debounce.stop();
    m_path.clear();
    disconnectNow();
}

bool ServerWatch::connectNow()
{
    disconnectNow();
    QString error;
    const ServerConnection connection = ServerConnection::read(m_path, &error);
    if (!connection.isValid())
        return false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        connection.applyTo(db);
        if (!db.open() || !db.driver()->subscribeToNotification(ServerSchema::Channel))
            return false;
        connect(db.driver(),
                QOverload<const QString &, QSqlDriver::NotificationSource, const QVariant &>::of(
                    &QSqlDriver::notification),
                this, &ServerWatch::notified);
    }
    m_listening = true;
    return true;
}

void ServerWatch::disconnectNow()
{
    m_listening = false;
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.driver())
            disconnect(db.driver(), nullptr, this, nullptr);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

void ServerWatch::notified(const QString &name, QSqlDriver::NotificationSource, const QVariant &)
{
    // This window's own changes come back too: the payload's application
    // name cannot tell this window from another on the same computer, and
    // a rebuild after its own change only costs time.
    if (name == ServerSchema::Channel)
        m_debounce.start();
}

void ServerWatch::check()
{
    if (!m_listening)
        return;
    bool alive = false;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        QSqlQuery query(db);
        alive = db.isOpen() && query.exec(QStringLiteral("select 1"));
    }
    if (alive)
        return;
    disconnectNow();
    m_attempts = 0;
    emit connectionLost(tr("The connection to the server was lost: changes of other "
                           "workstations are not shown. Connecting again…"));
    m_retry.start(m_firstRetryMs);
}

void ServerWatch::retry()
{
    if (m_path.isEmpty())
        return;
    if (connectNow()) {
        m_attempts = 0;
        emit connectionRestored();
        emit changed();
        return;
    }
    if (++m_attempts >= MaxReconnects) {
        emit gaveUp(tr("The server did not answer again: changes of other workstations are not "
                       "shown. Open the project again to follow them."));
        return;
    }
    m_retry.start(m_firstRetryMs << qMin(m_attempts, 4));
}
