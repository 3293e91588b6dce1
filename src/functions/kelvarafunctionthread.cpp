#include "functions/kelvarafunctionthread.h"

#include "core/errortext.h"
#include "core/logfile.h"
#include "core/paths.h"
#include "db/entryrecords.h"
#include "functions/functionrunlock.h"
#include "functions/readerobjectsreader.h"
#include "reader/readertypes.h"

#include <QDeadlineTimer>
#include <QDir>

KelvaraFunctionThread::KelvaraFunctionThread(const ProjectParameters &project, QObject *parent)
    : QThread(parent), m_project(project)
{
    m_readerSettings.project = project;
}

void KelvaraFunctionThread::setReaderSettings(const ReaderSettings &settings)
{
    m_readerSettings = settings;
    m_readerSettings.project = m_project;
}

KelvaraFunctionThread::~KelvaraFunctionThread()
{
    // A thread object must not go while its run is still on the way.
    setStop(true);
    wait();
}

QString KelvaraFunctionThread::logFolder() const
{
    return QStringLiteral("%1/log/%2").arg(m_project.projectPath, logFolderName());
}

QString KelvaraFunctionThread::entryKey(const EntryTarget &entry)
{
    return QString::number(entry.pkDoors);
}

ReaderConnection KelvaraFunctionThread::connectionOf(const EntryTarget &entry)
{
    ReaderConnection connection;
    connection.logKey = folderKeyOf(entry);
    connection.deviceId = FlashDrive::deviceIdOf(entry.readerSerNo);
    connection.host = entry.ipAddr;
    connection.portValue = entry.port;
    return connection;
}

bool KelvaraFunctionThread::hasNoReader(const EntryTarget &entry)
{
    return !(entry.port & EntryRecords::FlashDrivePortBit) && entry.ipAddr.isEmpty() &&
           FlashDrive::deviceIdOf(entry.readerSerNo) == 0;
}

QString KelvaraFunctionThread::folderKeyOf(const EntryTarget &entry)
{
    return entry.folderKey.isEmpty() ? safeFolderName(entry.doorName) : entry.folderKey;
}

QString KelvaraFunctionThread::entryHeader(const EntryTarget &entry, const QDateTime &now)
{
    return QStringLiteral("%1%2     ENTRY: '%3'     READER: '%4' ID=0x%5 via %6")
        .arg(QStringLiteral("\r\n"), now.toString(QStringLiteral("yyyy.MM.dd-HH:mm:ss.zzz")),
             entry.doorName, ReaderTypes::readerTypeName(int(entry.readerType)), entry.readerSerNo,
             connectionText(entry.readerSerNo, entry.ipAddr, entry.port));
}

bool KelvaraFunctionThread::log(const QString &line)
{
    if (!LogFile::appendLine(m_logFilePath, line)) {
        // Said once per run; a line that was not kept is not shown either.
        if (!m_logFailureShown) {
            m_logFailureShown = true;
            emit logMessage(
                QStringLiteral("Log file '%1' cannot be written; this run's log is not kept.")
                    .arg(m_logFilePath));
        }
        return false;
    }
    emit logMessage(line);
    return true;
}

std::unique_ptr<FunctionReader> KelvaraFunctionThread::createReader() const
{
    if (m_readerFactory)
        return m_readerFactory(m_readerSettings);
    return std::make_unique<ReaderObjectsReader>(m_readerSettings);
}

int KelvaraFunctionThread::readerFailure(const ReaderOutcome &outcome)
{
    log(errorText(outcome.error));
    return outcome.connectFailed ? NoConnection : Failed;
}

int KelvaraFunctionThread::databaseFailure(const QSqlError &error)
{
    log(QStringLiteral("DB error: %1").arg(databaseErrorText(error)));
    return Failed;
}

int KelvaraFunctionThread::noReaderFailure()
{
    log(QStringLiteral("No reader assigned"));
    return Failed;
}

void KelvaraFunctionThread::run()
{
    const QString folder = logFolder();
    QDir().mkpath(folder);
    m_logFilePath = QDir::toNativeSeparators(folder + QLatin1Char('/') + dailyLogFileName());
    m_logFailureShown = false;

    if (needsDatabase() && m_project.databasePath.isEmpty()) {
        log(QStringLiteral("Empty database name"));
        return;
    }
    m_runLockHolder = QString();
    std::unique_ptr<FunctionRunLock> runLock;
    if (!m_project.projectPath.isEmpty()) {
        runLock = std::make_unique<FunctionRunLock>(m_project.projectPath);
        if (!runLock->tryLock()) {
            QString holder = runLock->holder();
            if (holder.isEmpty())
                holder = QStringLiteral("another program");
            log(QStringLiteral("Another function run uses this project: %1. Waiting up to %2 s.")
                    .arg(holder)
                    .arg((m_runLockWait + 999) / 1000));
            const QDeadlineTimer deadline(m_runLockWait);
            bool locked = false;
            while (!locked && !stopRequested() && !deadline.hasExpired())
                locked = runLock->tryLock(int(qMin<qint64>(200, deadline.remainingTime())));
            if (!locked) {
                log(QStringLiteral("Nothing was run: the project is still in use by %1.")
                        .arg(holder));
                m_runLockHolder = holder;
                return;
            }
        }
    }
    // Entry folders are named as the whole project's entries allow; without
    // the database each entry's own safe name stands in.
    QHash<int, QString> folderKeys;
    if (!m_project.databasePath.isEmpty())
        EntryRecords::folderKeys(m_project.databasePath, folderKeys);
    for (EntryTarget entry : qAsConst(m_entries)) {
        if (stopRequested())
            return;
        if (entry.folderKey.isEmpty())
            entry.folderKey = folderKeys.value(entry.pkDoors);
        log(entryHeader(entry, QDateTime::currentDateTime()));
        // Without any reader there is nobody to talk to and no drive folder to fill.
        const int code = hasNoReader(entry) ? noReaderFailure() : processEntry(entry);
        if (code == NoState)
            return;
        emit state(entryKey(entry), code);
    }
}
