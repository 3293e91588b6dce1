#pragma once

#include "cli/kelvaracliformat.h"
#include "db/projectparameters.h"
#include "db/recordrows.h"
#include "db/serverconnection.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QIODevice>
#include <QList>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <atomic>

// The headless front end: project creation, the entry list, the reader
// functions and the user list transfer from a terminal or a scheduled job.
class KelvaraFunctionThread;

class KelvaraCli
{
    Q_DECLARE_TR_FUNCTIONS(KelvaraCli)

public:
    enum ExitCode { Success = 0, Failure = 1, UsageError = 2 };

    KelvaraCli(QTextStream &out, QTextStream &err);

    // The arguments without the program name.
    int run(const QStringList &arguments);

    // Where --password-stdin reads from (standard input unless set).
    void setInput(QIODevice *input) { m_input = input; }

    // A flag (set by a signal handler) that asks a running function to stop
    // after the entry in progress.
    void setInterruptFlag(const std::atomic<bool> *flag) { m_interrupt = flag; }

    static QString usage();
    // "update" -> 0 ... "write-config" -> 5; -1 for any other name.
    static int functionCode(const QString &name);

    // Removes "--name VALUE" from the arguments; false when the value is
    // missing or the option is given twice.
    static bool takeValue(QStringList &arguments, const QString &name, QString &value,
                          bool &present);
    // Removes every "--name"; true when there was one.
    static bool takeFlag(QStringList &arguments, const QString &name);

private:
    int usageError(const QString &reason);
    int failure(const QString &message);
    // A locked database is reported as a project in use, not by its driver text.
    int databaseFailure(const QSqlError &error);
    static QString busyText();
    // Refused input that needs no usage text: the message and exit status 2.
    int refused(const QString &message);
    // Takes "--project DIR" (or the settings' current project) as a clean absolute path.
    bool takeProjectFolder(QStringList &arguments, QString &folder, int &exitCode);
    // As takeProjectFolder, then loads the project when it is at this
    // program's schema version.
    bool openProject(QStringList &arguments, int &exitCode);
    int upgradeProject(QStringList arguments);
    int holidays(QStringList arguments);

    int createProject(const QStringList &arguments);
    int createDemo(const QStringList &arguments);
    int runFunction(QStringList arguments);
    int verifyReaders(QStringList arguments);
    int checkUpdates(QStringList arguments);

    // The entry scope of the reader functions: --all, --area, --entry,
    // --short-range, --long-range and --only-pending.
    struct Scope
    {
        QString area;
        bool hasArea = false;
        QStringList entryNames;
        bool all = false;
        bool shortRange = false;
        bool longRange = false;
        bool onlyPending = false;
    };
    bool takeScope(QStringList &arguments, Scope &scope, int &exitCode);
    // Success, or the exit code after the error was shown.
    int selectEntries(const Scope &scope, QList<EntryTarget> &targets);
    // Runs the thread with the general settings' readers to its end (an
    // interrupt stops it after the entries in progress); the entries' states.
    // jobs: entries served at once, 0 for the general setting.
    QHash<QString, int> runThread(KelvaraFunctionThread &thread, bool echoLog, int jobs = 0);

    // The record commands: one group a file (kelvaracli<group>.cpp).
    int users(QStringList arguments);
    int exportUsers(QStringList arguments);
    int importUsers(QStringList arguments);
    int syncUsers(QStringList arguments);
    int entries(QStringList arguments);
    int areasOrGroups(QStringList arguments, bool areas);
    int models(QStringList arguments);
    int rights(QStringList arguments);
    int projectSettings(QStringList arguments);
    int holidayRecords(const QString &command, QStringList arguments);

    // Shared by the record commands (kelvaraclirecords.cpp).
    // list, show, add, change and remove.
    static const QStringList &recordCommands();
    // As takeValue, with a usage error naming the option when its value is missing.
    bool takeOption(QStringList &arguments, const QString &name, QString &value, bool &present,
                    int &exitCode);
    // "--format text|csv|json"; text without it.
    bool takeFormat(QStringList &arguments, CliTable::Format &format, int &exitCode);
    // A usage error for the first argument left over.
    bool noneLeft(const QStringList &arguments, int &exitCode);
    // The one positional argument a show, change or remove names its record by.
    bool takeName(QStringList &arguments, const QString &what, QString &name, int &exitCode);
    // csv and json as UTF-8; false (told) when the output cannot be written.
    bool print(const QString &text, CliTable::Format format);
    // Failure (status 1) when the list is empty.
    int printList(const CliTable &table, CliTable::Format format);
    int printRecord(const CliTable &table, CliTable::Format format);
    // A change the engine refused: a collision (conflicts) or a refusal of
    // ours is refused input (status 2), anything else a failed operation (1).
    int saveFailure(const QSqlError &error, const QStringList &conflicts = QStringList());
    // Done: one line, with the entries now waiting for an update.
    int done(const QString &what, int markedEntries = 0);
    // Records named on the command line; refused (status 2) when none or several match.
    bool findUser(const QString &name, UserRow &user, int &exitCode);
    bool findEntry(const QString &name, EntryRow &entry, int &exitCode);
    bool findModel(const QString &tag, TimeModelRow &model, int &exitCode);
    int timeZone(QStringList arguments);
    int printPaths(const QStringList &arguments);
    // The audit trail (kelvaraclihistory.cpp).
    int history(QStringList arguments);
    // explain and who (kelvaracliexplain.cpp).
    int explain(QStringList arguments);
    int who(QStringList arguments);
    // The event log (kelvaraclievents.cpp).
    int events(QStringList arguments);
    int seen(QStringList arguments);
    // Takes "--name yyyy-MM-dd[THH:mm[:ss]]" as event seconds; a date alone
    // as the end of a span counts to the end of that day.
    bool takeSpan(QStringList &arguments, const QString &name, bool end, qint64 &seconds,
                  int &exitCode);
    // Server projects (servercommands.cpp): server init, server add-operator
    // and project copy.
    int server(QStringList arguments);
    int copyProject(QStringList arguments);
    // --host, --port, --db, --user and --sslmode.
    bool takeConnection(QStringList &arguments, ServerConnection &connection, int &exitCode);
    // SERVER, an optional "--project NEWDIR" (absolute; refused when it
    // exists; empty without it) and nothing else.
    bool takeServerTarget(QStringList &arguments, ServerConnection &connection, QString &newFolder,
                          int &exitCode);
    int serverInit(QStringList arguments);
    int serverConnect(QStringList arguments);
    int addOperator(QStringList arguments);

    // Takes "--at yyyy-MM-ddTHH:mm"; the current minute without it.
    bool takeMoment(QStringList &arguments, QDateTime &at, int &exitCode);

    QTextStream &m_out;
    QTextStream &m_err;
    ProjectParameters m_project;
    const std::atomic<bool> *m_interrupt = nullptr;
    QIODevice *m_input = nullptr;
};
