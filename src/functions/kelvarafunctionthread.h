#pragma once

#include "db/projectparameters.h"
#include "db/recordrows.h"
#include "functions/flashdrive.h"
#include "functions/functionreader.h"
#include "reader/readerconnection.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QSqlError>
#include <QString>
#include <QThread>

#include <atomic>

// A reader function run over a list of entries on a worker thread. Each
// entry gets a header line in the function's daily log, the function's own
// steps and one state; log lines and states leave as signals.
//
// With more than one entry at a time, processEntry() runs on several threads
// at once: an entry's lines are kept back and written and emitted as one
// block when it finishes, entries on the flash drive still go one after
// another, and database changes that compare before they write take
// databaseWriteLock().
class EntryServerLock;

class KelvaraFunctionThread : public QThread
{
    Q_OBJECT

public:
    // Differs: the reader was read but holds other tables than the database gives.
    enum EntryState { NoState = -1, Done = 0, NoConnection = 1, Failed = 2, Differs = 3 };

    explicit KelvaraFunctionThread(const ProjectParameters &project, QObject *parent = nullptr);
    ~KelvaraFunctionThread() override;

    void setEntries(const QList<EntryTarget> &entries) { m_entries = entries; }
    QList<EntryTarget> entries() const { return m_entries; }
    void setFlashDrive(const FlashDrive &drive) { m_drive = drive; }
    // Replaces the readers the run talks to (tests, other transports).
    void setReaderFactory(const FunctionReaderFactory &factory) { m_readerFactory = factory; }
    // The programmer readers and UHF region of the general settings; the
    // project's parameters stay those given at construction.
    void setReaderSettings(const ReaderSettings &settings);

    // How many entries are served at the same time (1: one after another,
    // lines as they come). Set before the run starts.
    static constexpr int MaxParallelEntries = 32;
    void setParallelEntries(int count) { m_parallel = qBound(1, count, MaxParallelEntries); }
    int parallelEntries() const { return m_parallel; }

    // Safe from any thread; read before each entry.
    void setStop(bool stop) { m_stop.store(stop); }
    bool stopRequested() const { return m_stop.load(); }

    // How long a run waits for another run on the same project to end.
    void setRunLockWait(int milliseconds) { m_runLockWait = milliseconds; }
    // Set when the run ended without any entry because its run lock could
    // not be had; the text says why and names the lock file.
    bool runLockRefused() const { return !m_runLockRefusal.isNull(); }
    QString runLockRefusal() const { return m_runLockRefusal; }

    // Native separators; set when the run starts.
    QString logFilePath() const { return m_logFilePath; }
    // "%1/log/<function folder>"
    QString logFolder() const;

    // The key a state names its entry by. The device ID is not enough:
    // entries without a reader share an empty one.
    static QString entryKey(const EntryTarget &entry);
    static ReaderConnection connectionOf(const EntryTarget &entry);
    // No address, no device ID and not on the flash-drive route: nothing to send to.
    static bool hasNoReader(const EntryTarget &entry);
    // The entry's folder key: its folderKey, else the safe form of its name.
    static QString folderKeyOf(const EntryTarget &entry);
    static QString entryHeader(const EntryTarget &entry, const QDateTime &now);

signals:
    // The entry's header is about to be logged and its reader contacted.
    void entryStarted(const QString &entryKey);
    void state(const QString &entryKey, int state);
    void logMessage(const QString &message);

protected:
    void run() override;

    virtual QString logFolderName() const = 0;
    virtual bool needsDatabase() const { return true; }
    // The entry's state, or NoState to end the run without one.
    virtual int processEntry(const EntryTarget &entry) = 0;
    // False when one entry's work depends on what an earlier one wrote: the
    // run then goes one entry after another whatever was asked.
    virtual bool entriesIndependent() const { return true; }

    // Appends the line to the log file (with entries at once, when the entry
    // ends); only a written line is shown.
    bool log(const QString &line);
    std::unique_ptr<FunctionReader> createReader() const;
    // Logs the result's message and gives 1 for no connection, else 2.
    int readerFailure(const ReaderOutcome &outcome);
    int databaseFailure(const QSqlError &error);
    // Logs "No reader assigned" and gives Failed.
    int noReaderFailure();
    // Stores the events of a read in the database and appends those not
    // kept before to the entry's event files (ReaderEventLog); Done, or the
    // failure logged and Failed.
    int keepEvents(const EntryTarget &entry, const QList<ReaderEvent> &events);
    QString databasePath() const { return m_project.databasePath; }
    // Takes the server's lock on the entry, waiting up to the run lock's
    // wait; NoState when taken, else the entry's outcome (nothing sent).
    int lockEntryOnServer(EntryServerLock &lock);
    // Held around a database change that must see no other entry's change
    // between its reading and its writing.
    QMutex &databaseWriteLock() const { return m_databaseWriteLock; }

    ProjectParameters m_project;
    ReaderSettings m_readerSettings;
    FlashDrive m_drive;

private:
    struct Scheduler;
    // Logs the header, runs the entry and gives its state.
    int runEntry(EntryTarget entry, const QHash<int, QString> &folderKeys);
    void runOneByOne(const QHash<int, QString> &folderKeys);
    void runAtOnce(const QHash<int, QString> &folderKeys, int workers);
    void workOn(Scheduler &scheduler, const QHash<int, QString> &folderKeys);
    // Keeps the entry's state for the run's audit record, written at its end.
    void noteOutcome(const EntryTarget &entry, int code);
    void recordRun();
    // Writes the lines to the log file and shows those written, as one
    // block, followed by the entry's state unless it is NoState.
    void writeBlock(const QStringList &lines, const QString &key, int code);
    bool writeLine(const QString &line);
    static bool usesFlashDrive(const EntryTarget &entry);

    QList<EntryTarget> m_entries;
    int m_parallel = 1;
    QMutex m_logLock;
    mutable QMutex m_databaseWriteLock;
    QString m_logFilePath;
    bool m_logFailureShown = false;
    std::atomic<bool> m_stop{false};
    int m_runLockWait = 30000;
    QString m_runLockRefusal;
    FunctionReaderFactory m_readerFactory;
    QMutex m_outcomeLock;
    QHash<int, int> m_outcomes; // pkDoors -> state of the entries run
};
