#include "functions/kelvarafunctionthread.h"

#include "access/readereventlog.h"
#include "core/errortext.h"
#include "core/logfile.h"
#include "core/paths.h"
#include "db/audittrail.h"
#include "db/entryrecords.h"
#include "db/entryserverlock.h"
#include "db/projectdatabase.h"
#include "functions/functionrunlock.h"
#include "functions/readerobjectsreader.h"
#include "reader/readertypes.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QMutexLocker>
#include <QWaitCondition>

#include <vector>

namespace {

// The lines of the entry this thread works on, while entries run at once.
thread_local QStringList *t_entryLines = nullptr;

} // namespace

// Hands out the entries to the workers in list order; an entry on the flash
// drive waits while another one is on it.
struct KelvaraFunctionThread::Scheduler
{
    QMutex mutex;
    QWaitCondition changed;
    QList<EntryTarget> pending;
    bool driveBusy = false;
    bool ended = false;
};

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
    connection.readerType = int(entry.readerType);
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
    if (t_entryLines) {
        t_entryLines->append(line);
        return true;
    }
    QMutexLocker lock(&m_logLock);
    return writeLine(line);
}

bool KelvaraFunctionThread::writeLine(const QString &line)
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

void KelvaraFunctionThread::writeBlock(const QStringList &lines, const QString &key, int code)
{
    // Emitted under the lock: no other entry's line comes in between, and
    // receivers connected directly are called from one thread at a time.
    QMutexLocker lock(&m_logLock);
    for (const QString &line : lines)
        writeLine(line);
    if (code != NoState)
        emit state(key, code);
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

int KelvaraFunctionThread::keepEvents(const EntryTarget &entry, const QList<ReaderEvent> &events)
{
    const QString db = databasePath();
    const int pkDoors = entry.pkDoors;
    const QString key = folderKeyOf(entry);
    bool isHex = false;
    const quint32 deviceId = entry.readerSerNo.toUInt(&isHex, 16);
    ReaderEventLog::Result result;
    {
        // Entries served at once write their events one after another.
        QMutexLocker writeLock(&databaseWriteLock());
        result = ReaderEventLog::keep(db, entryDataPath(m_project.projectPath, key), key, pkDoors,
                                      isHex ? deviceId : 0, events, m_project.siteNow());
    }
    if (result.status == ReaderEventLog::Result::DatabaseError)
        return databaseFailure(result.databaseError);
    if (result.status == ReaderEventLog::Result::FileError) {
        log(QStringLiteral("Write file error: %1").arg(QDir::toNativeSeparators(result.path)));
        return Failed;
    }
    log(QStringLiteral("Events read: %1, new: %2").arg(events.size()).arg(result.fresh));
    if (result.removed > 0)
        log(QStringLiteral("Events older than %1 days removed: %2")
                .arg(result.keepDays)
                .arg(result.removed));
    return Done;
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
    m_runLockRefusal = QString();
    std::unique_ptr<FunctionRunLock> runLock;
    if (!m_project.projectPath.isEmpty()) {
        runLock = std::make_unique<FunctionRunLock>(m_project.projectPath);
        bool locked = runLock->tryLock();
        if (!locked && runLock->heldByAnother()) {
            QString holder = runLock->holder();
            if (holder.isEmpty())
                holder = QStringLiteral("another program");
            log(QStringLiteral("Another function run uses this project: %1 (lock file '%2'). "
                               "Waiting up to %3 s.")
                    .arg(holder, QDir::toNativeSeparators(runLock->lockFile()))
                    .arg((m_runLockWait + 999) / 1000));
            const QDeadlineTimer deadline(m_runLockWait);
            while (!locked && !stopRequested() && !deadline.hasExpired() &&
                   runLock->heldByAnother())
                locked = runLock->tryLock(int(qMin<qint64>(200, deadline.remainingTime())));
        }
        if (!locked) {
            m_runLockRefusal = runLock->refusal();
            log(QStringLiteral("Nothing was run: %1").arg(m_runLockRefusal));
            return;
        }
    }
    // One sign-in per thread rather than one per operation on a server.
    ProjectDatabase::Reuse reuse;
    // Entry folders are named as the whole project's entries allow; without
    // the database each entry's own safe name stands in.
    QHash<int, QString> folderKeys;
    if (!m_project.databasePath.isEmpty())
        EntryRecords::folderKeys(m_project.databasePath, folderKeys);
    const int workers = entriesIndependent() ? qMin(m_parallel, m_entries.size()) : 1;
    m_outcomes.clear();
    if (workers <= 1)
        runOneByOne(folderKeys);
    else
        runAtOnce(folderKeys, workers);
    recordRun();
}

void KelvaraFunctionThread::noteOutcome(const EntryTarget &entry, int code)
{
    QMutexLocker lock(&m_outcomeLock);
    m_outcomes.insert(entry.pkDoors, code);
}

void KelvaraFunctionThread::recordRun()
{
    if (m_project.databasePath.isEmpty() || m_entries.isEmpty())
        return;
    QList<AuditTrail::RunOutcome> outcomes;
    for (const EntryTarget &entry : qAsConst(m_entries)) {
        const int code = m_outcomes.value(entry.pkDoors, NoState);
        static const char *const names[] = {"done", "noConnection", "failed", "differs"};
        outcomes.append({entry.pkDoors, entry.doorName,
                         QLatin1String(code >= Done && code <= Differs ? names[code] : "notRun")});
    }
    const QSqlError error =
        AuditTrail::recordRun(m_project.databasePath, logFolderName(), outcomes);
    if (error.isValid())
        log(QStringLiteral("The audit record of this run could not be written: %1")
                .arg(databaseErrorText(error)));
}

bool KelvaraFunctionThread::usesFlashDrive(const EntryTarget &entry)
{
    return !hasNoReader(entry) && connectionOf(entry).kind() == ReaderConnection::NoConnection;
}

int KelvaraFunctionThread::runEntry(EntryTarget entry, const QHash<int, QString> &folderKeys)
{
    if (entry.folderKey.isEmpty())
        entry.folderKey = folderKeys.value(entry.pkDoors);
    {
        QMutexLocker lock(&m_logLock);
        emit entryStarted(entryKey(entry));
    }
    log(entryHeader(entry, QDateTime::currentDateTime()));
    // Without any reader there is nobody to talk to and no drive folder to fill.
    if (hasNoReader(entry))
        return noReaderFailure();
    std::unique_ptr<EntryServerLock> serverLock;
    if (ProjectDatabase::isServerProject(m_project.projectPath)) {
        serverLock = std::make_unique<EntryServerLock>(databasePath(), entry.pkDoors);
        const int refused = lockEntryOnServer(*serverLock);
        if (refused != NoState)
            return refused;
    }
    return processEntry(entry);
}

int KelvaraFunctionThread::lockEntryOnServer(EntryServerLock &lock)
{
    EntryServerLock::Result result = lock.tryLock();
    if (result == EntryServerLock::Result::Busy) {
        QString holder = lock.holder();
        if (holder.isEmpty())
            holder = QStringLiteral("another workstation");
        log(QStringLiteral("This entry's reader is being served by %1. Waiting up to %2 s.")
                .arg(holder)
                .arg((m_runLockWait + 999) / 1000));
        const QDeadlineTimer deadline(m_runLockWait);
        while (result == EntryServerLock::Result::Busy && !stopRequested() &&
               !deadline.hasExpired()) {
            QThread::msleep(quint32(qMin<qint64>(200, deadline.remainingTime())));
            result = lock.tryLock();
        }
        if (result == EntryServerLock::Result::Busy) {
            holder = lock.holder();
            log(QStringLiteral("Nothing was sent to this reader: it is being served by %1.")
                    .arg(holder.isEmpty() ? QStringLiteral("another workstation") : holder));
            return Failed;
        }
    }
    if (result == EntryServerLock::Result::Failed) {
        log(QStringLiteral("Nothing was sent to this reader: the server's lock on the entry "
                           "cannot be taken: %1")
                .arg(lock.error()));
        return Failed;
    }
    return NoState;
}

void KelvaraFunctionThread::runOneByOne(const QHash<int, QString> &folderKeys)
{
    for (const EntryTarget &entry : qAsConst(m_entries)) {
        if (stopRequested())
            return;
        const int code = runEntry(entry, folderKeys);
        noteOutcome(entry, code);
        if (code == NoState)
            return;
        emit state(entryKey(entry), code);
    }
}

void KelvaraFunctionThread::runAtOnce(const QHash<int, QString> &folderKeys, int workers)
{
    Scheduler scheduler;
    scheduler.pending = m_entries;
    std::vector<std::unique_ptr<QThread>> threads;
    for (int i = 0; i < workers; ++i) {
        threads.emplace_back(
            QThread::create([this, &scheduler, &folderKeys] { workOn(scheduler, folderKeys); }));
        threads.back()->start(QThread::InheritPriority);
    }
    // Each worker ends after its entry in progress; every reader command has its own bound.
    for (const std::unique_ptr<QThread> &thread : threads)
        thread->wait();
}

void KelvaraFunctionThread::workOn(Scheduler &scheduler, const QHash<int, QString> &folderKeys)
{
    ProjectDatabase::Reuse reuse;
    for (;;) {
        EntryTarget entry;
        bool onDrive = false;
        {
            QMutexLocker lock(&scheduler.mutex);
            int next = -1;
            while (next < 0) {
                if (scheduler.ended || stopRequested() || scheduler.pending.isEmpty())
                    return;
                for (int i = 0; i < scheduler.pending.size() && next < 0; ++i) {
                    if (!scheduler.driveBusy || !usesFlashDrive(scheduler.pending.at(i)))
                        next = i;
                }
                // Only drive entries left and the drive in use: wait for it, looking
                // at the stop request now and then.
                if (next < 0)
                    scheduler.changed.wait(&scheduler.mutex, 200);
            }
            entry = scheduler.pending.takeAt(next);
            onDrive = usesFlashDrive(entry);
            scheduler.driveBusy = scheduler.driveBusy || onDrive;
        }
        QStringList lines;
        t_entryLines = &lines;
        const int code = runEntry(entry, folderKeys);
        t_entryLines = nullptr;
        noteOutcome(entry, code);
        {
            QMutexLocker lock(&scheduler.mutex);
            if (onDrive)
                scheduler.driveBusy = false;
            // As one by one: an entry without a state ends the run.
            if (code == NoState)
                scheduler.ended = true;
            scheduler.changed.wakeAll();
        }
        writeBlock(lines, entryKey(entry), code);
    }
}
