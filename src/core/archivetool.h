#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The outside zip and unzip programs: "tools/zip" and "tools/unzip" beside the
// program when present, else the ones on PATH. They run with an argument list
// (no shell), so blanks, quotes and non-Latin letters in paths are safe. Every
// call waits (bounded) for the program and answers its exit code; 0 is success.
class ArchiveTool
{
public:
    // Answers of our own, outside the range of the tools' exit codes.
    enum Code : int {
        NoWorkingFolder = -99, // the folder to pack cannot be made current
        NotStarted = -98,      // the program is missing or could not be run
        Crashed = -97,
        NotReplaced = -96, // the finished archive could not take the chosen name
        TimedOut = -95,    // the program ran past the time limit and was stopped
    };

    struct Entry
    {
        QString name;
        bool isSymLink = false;
    };

    static QString zipProgram();
    static QString unzipProgram();
    // Tests point this at a folder of their own; empty means "tools" beside the program.
    static void setToolsFolder(const QString &folder);
    // How long one program may run before it is stopped (TimedOut); a hung
    // tool on a dead network share must not hold the caller for ever.
    static int timeLimitMs();
    static void setTimeLimitMs(int ms); // tests; 0 restores the default

    // Runs the program in the working folder (an empty one keeps the current
    // folder), stdin closed; stdout and stderr go to `output` when given.
    static int run(const QString &program, const QStringList &arguments,
                   const QString &workingFolder, QByteArray *output = nullptr);

    // Packs the folder's contents recursively into the archive (the folder
    // itself is not stored); an existing archive is added to. Files directly
    // in the folder whose names are in `leaveOut` are not packed.
    static int zipFolder(const QString &archive, const QString &folder,
                         const QStringList &leaveOut = QStringList());

    // Like zipFolder, but packs into a temporary name beside the archive and
    // only then replaces the archive, so a failure leaves any old archive as
    // it was and no half-written file behind.
    static int writeArchive(const QString &archive, const QString &folder,
                            const QStringList &leaveOut = QStringList());

    // Unpacks into the target folder. Files that already exist there are
    // kept, never overwritten.
    static int unzip(const QString &archive, const QString &targetFolder);

    // The total size of the archive's files once unpacked, as its directory says.
    static int uncompressedSize(const QString &archive, qint64 *bytes);

    // The archive's entry names in stored order, with symbolic links marked.
    static int listEntries(const QString &archive, QList<Entry> *entries);

    // The first entry that would be written outside the target folder when
    // unpacked there: absolute names, ".." components, backslashes, symbolic
    // links, and names passing through a symbolic link that already exists in
    // the target (not looked for when the target is empty). Empty when every
    // entry stays inside.
    static QString unsafeEntry(const QList<Entry> &entries, const QString &targetFolder);

    // Names of the entries directly at the top of the archive that end in the
    // suffix (e.g. ".sqlite3"), folders excluded.
    static QStringList topLevelFiles(const QList<Entry> &entries, const QString &suffix);
};
