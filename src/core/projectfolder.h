#pragma once

#include <QString>
#include <QStringList>

// Steps on a project folder as a whole: its database files, renaming the
// folder with its database, and taking over the database of a restored backup.
class ProjectFolder
{
public:
    enum class RenameResult {
        Renamed,
        InvalidName,        // empty, "." or "..", or holding a path separator
        NameExists,         // a file or folder of the new name is already there
        FolderNotRenamed,   // the file system refused the rename
        NotOneDatabase,     // the folder does not hold exactly one database file
        DatabaseNotRenamed, // the database file could not follow the folder
    };
    enum class AdoptResult { Adopted, NotOneDatabase, DatabaseNotRenamed };

    // The files "*.sqlite3" directly in the folder (files only, sorted).
    static QStringList databaseFiles(const QString &folder);

    // Creates the folder with its "log" and "data" folders (and missing
    // parents); false when one of them cannot be made a folder.
    static bool createFolders(const QString &folder);

    // A name that stays a single folder inside its parent.
    static bool isValidName(const QString &name);

    // Renames the project folder inside its parent, then its database file to
    // the name the renamed folder calls for. When a later step fails the
    // folder gets its old name back, so the project stays as it was.
    // `newFolder` receives the renamed folder's path on success.
    static RenameResult rename(const QString &folder, const QString &newName,
                               QString *newFolder = nullptr);

    // Renames the folder's single database file after the folder itself (a
    // file of that name already is left as it is).
    static AdoptResult adoptDatabase(const QString &folder);

    // The entry names of an archive that do not exist in the target folder
    // yet: what unpacking it there would add.
    static QStringList missingEntries(const QString &target, const QStringList &names);
    // Takes back what a refused restore unpacked: the named files, the
    // database files (the target held none before), then the named folders
    // once empty.
    static void removeUnpacked(const QString &target, const QStringList &names);

    // The file a reader function run holds while it runs (FunctionRunLock).
    static QString runLockFileName() { return QStringLiteral(".kelvara-run.lock"); }

    // Packs the project folder into the archive (an ArchiveTool code, 0 on
    // success) without the run lock, which a restored copy must not inherit.
    static int writeBackup(const QString &archive, const QString &folder);
};
