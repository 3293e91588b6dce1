#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

// Carries a project of an older schema version forward: a backup of the whole
// project folder first, then every step in one transaction, under the run
// lock and the database's exclusive lock. On any failure nothing changes and
// the backup stays. A server project is upgraded by an administrator only,
// with the project table locked; its backup is a copy into a folder project.
class ProjectUpgrade
{
    Q_DECLARE_TR_FUNCTIONS(ProjectUpgrade)

public:
    enum class Outcome {
        Upgraded,
        AlreadyCurrent,
        Refused, // not a project, newer, damaged, or a folder that cannot be written
        Busy,    // another program holds the project
        Failed,  // the backup or a step failed; the project is as it was
    };

    struct Result
    {
        Outcome outcome = Outcome::Failed;
        int from = 0;
        int to = 0;
        QString backup;  // the archive written before the steps ran
        QString message; // why it was refused or failed
    };

    static Result run(const QString &projectFolder);

    // Beside the project folder: "<parent>/<name>-schema<from>-<yyyyMMdd-HHmmss>.zip"; a
    // server project's backup is a folder project, without the suffix.
    static QString backupPath(const QString &projectFolder, int fromVersion, const QDateTime &when,
                              const QString &suffix = QStringLiteral(".zip"));
};
