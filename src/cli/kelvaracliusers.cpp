// kelvara-cli users: the users one by one, and the user list transfer.
#include "cli/kelvaracli.h"

#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "userlist/myexportusers.h"
#include "userlist/myimportusers.h"
#include "userlist/userlistsync.h"

namespace {

// The columns of the user export, so that a csv list is a user list the
// import and "users sync" read back.
QList<CliTable::Column> userColumns()
{
    const QStringList csv = MyExportUsers::standardHeader();
    return {{QStringLiteral("lastName"), KelvaraCli::tr("Last name"), csv.at(0)},
            {QStringLiteral("firstName"), KelvaraCli::tr("First name"), csv.at(1)},
            {QStringLiteral("group"), KelvaraCli::tr("Group"), csv.at(2)},
            {QStringLiteral("comment"), KelvaraCli::tr("Comment"), csv.at(3)},
            {QStringLiteral("hfIdentifier"), KelvaraCli::tr("HF identifier"), csv.at(4)},
            {QStringLiteral("hfComment"), KelvaraCli::tr("HF comment"), csv.at(5)},
            {QStringLiteral("uhfIdentifier"), KelvaraCli::tr("UHF identifier"), csv.at(6)},
            {QStringLiteral("uhfComment"), KelvaraCli::tr("UHF comment"), csv.at(7)}};
}

QVariantList userValues(const UserRow &user)
{
    return {user.familyName,
            user.firstName,
            user.groupName,
            user.commentUser,
            MyExportUsers::identifierText(user.iddIso14443),
            user.commentIso14443,
            MyExportUsers::identifierText(user.iddClass1Gen2),
            user.commentClass1Gen2};
}

} // namespace

int KelvaraCli::users(QStringList arguments)
{
    const QString command = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (command == QLatin1String("sync"))
        return syncUsers(arguments);
    if (!recordCommands().contains(command))
        return usageError(tr("users needs a subcommand: list, show, add, change, remove or sync."));
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    CliTable::Format format = CliTable::Text;
    QString name;
    UserRow user;
    if (command == QLatin1String("list") || command == QLatin1String("show")) {
        QString group;
        bool hasGroup = false;
        if (!takeFormat(arguments, format, exitCode) ||
            (command == QLatin1String("list") &&
             !takeOption(arguments, QStringLiteral("--group"), group, hasGroup, exitCode)) ||
            (command == QLatin1String("show") &&
             (!takeName(arguments, tr("user (\"LAST, FIRST\")"), name, exitCode) ||
              !findUser(name, user, exitCode))) ||
            !noneLeft(arguments, exitCode))
            return exitCode;
        CliTable table(QStringLiteral("users"), QStringLiteral("user"), userColumns());
        if (command == QLatin1String("show")) {
            table.addRow(userValues(user));
            return printRecord(table, format);
        }
        QList<UserRow> rows;
        const QSqlError error =
            UserRecords::listUsers(m_project.databasePath, UserRecords::SortByGroup, true, rows);
        if (error.isValid())
            return databaseFailure(error);
        for (const UserRow &row : qAsConst(rows)) {
            if (!hasGroup || row.groupName == group)
                table.addRow(userValues(row));
        }
        return printList(table, format);
    }

    const bool adding = command == QLatin1String("add");
    if (!adding && (!takeName(arguments, tr("user (\"LAST, FIRST\")"), name, exitCode) ||
                    !findUser(name, user, exitCode)))
        return exitCode;
    if (command == QLatin1String("remove")) {
        if (!noneLeft(arguments, exitCode))
            return exitCode;
        QSet<int> marked;
        const QSqlError error =
            UserRecords::removeUser(m_project.databasePath, user.pkUsers, &marked);
        if (error.isValid())
            return saveFailure(error);
        return done(tr("User '%1' removed.").arg(UserListSync::nameOf(user)), marked.size());
    }

    // The fields as the user dialog takes them: names trimmed, identifiers
    // typed in hex and fitted to the project length.
    struct Text
    {
        const char *option;
        QString UserRow::*member;
        bool trimmed;
    };
    static const Text texts[] = {{"--last", &UserRow::familyName, true},
                                 {"--first", &UserRow::firstName, true},
                                 {"--group", &UserRow::groupName, true},
                                 {"--comment", &UserRow::commentUser, false},
                                 {"--hf-comment", &UserRow::commentIso14443, false},
                                 {"--uhf-comment", &UserRow::commentClass1Gen2, false}};
    for (const Text &text : texts) {
        QString value;
        bool present = false;
        if (!takeOption(arguments, QLatin1String(text.option), value, present, exitCode))
            return exitCode;
        if (present)
            user.*text.member = text.trimmed ? value.trimmed() : value;
    }
    for (const bool longRange : {false, true}) {
        const QString option = longRange ? QStringLiteral("--uhf") : QStringLiteral("--hf");
        QString value;
        bool present = false;
        if (!takeOption(arguments, option, value, present, exitCode))
            return exitCode;
        if (!present)
            continue;
        const bool used = longRange ? m_project.haveUhfReader : m_project.haveHfReader;
        if (!used && !value.trimmed().isEmpty())
            return refused(
                longRange ? tr("%1: the project uses no long range transponders.").arg(option)
                          : tr("%1: the project uses no short range transponders.").arg(option));
        QString &stored = longRange ? user.iddClass1Gen2 : user.iddIso14443;
        TransponderIdd idd = TransponderIdd::fromStored(stored);
        qint32 type = idd.type();
        if (!TransponderIdd::isValidType(type))
            type = longRange ? TransponderIdd::EpcClass1Gen2 : TransponderIdd::Iso14443A;
        if (!TransponderIdd::fromTyped(
                value, longRange ? m_project.uhfIddLength : m_project.hfIddLength, type, &idd))
            return refused(tr("%1: '%2' is no identifier: hexadecimal digits (0-9, A-F) only.")
                               .arg(option, value));
        stored = idd.toStored();
    }
    if (!noneLeft(arguments, exitCode))
        return exitCode;
    const RecordProblem problem = UserRecords::problem(user);
    if (!problem.isEmpty())
        return refused(problem.text);
    QSet<int> marked;
    const QSqlError error = adding ? UserRecords::addUser(m_project.databasePath, user)
                                   : UserRecords::editUser(m_project.databasePath, user, &marked);
    if (error.isValid())
        return saveFailure(error, UserRecords::conflicts(m_project.databasePath, user));
    return done((adding ? tr("User '%1' added.") : tr("User '%1' changed."))
                    .arg(UserListSync::nameOf(user)),
                marked.size());
}

int KelvaraCli::syncUsers(QStringList arguments)
{
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    const bool removeMissing = takeFlag(arguments, QStringLiteral("--remove-missing"));
    const bool dryRun = takeFlag(arguments, QStringLiteral("--dry-run"));
    if (arguments.size() != 1)
        return usageError(tr("users sync needs exactly one file."));
    const QString path = arguments.first();
    MyImportUsers file(path);
    file.assignStandardColumns(file.readHeader());
    QList<MyImportUsers::LineUser> listed;
    QString problem;
    if (!file.readUsers(m_project.hfIddLength, m_project.uhfIddLength, listed, &problem)) {
        if (!problem.isEmpty())
            return refused(tr("%1: %2").arg(path, problem));
        return failure(file.notRegularFile()
                           ? tr("'%1' is not a regular file; only a file is read.").arg(path)
                           : tr("Cannot open the file '%1'.").arg(path));
    }
    QList<UserListSync::Step> steps;
    QSet<int> marked;
    const QSqlError error =
        dryRun ? UserListSync::plan(m_project.databasePath, listed, removeMissing, steps)
               : UserListSync::apply(m_project.databasePath, listed, removeMissing, steps, &marked,
                                     path);
    if (error.isValid())
        return saveFailure(error);
    int counts[3] = {0, 0, 0};
    for (const UserListSync::Step &step : qAsConst(steps)) {
        ++counts[step.kind];
        const QString name = UserListSync::nameOf(step.user);
        switch (step.kind) {
        case UserListSync::Add:
            m_out << (dryRun ? tr("would add") : tr("added")) << '\t' << name << '\n';
            break;
        case UserListSync::Change:
            m_out << (dryRun ? tr("would change") : tr("changed")) << '\t' << name << '\t'
                  << step.fields.join(QStringLiteral(", ")) << '\n';
            break;
        case UserListSync::Remove:
            m_out << (dryRun ? tr("would remove") : tr("removed")) << '\t' << name << '\n';
            break;
        }
    }
    return done((dryRun ? tr("%1 users in the list: %2 to add, %3 to change, %4 to remove.")
                        : tr("%1 users in the list: %2 added, %3 changed, %4 removed."))
                    .arg(listed.size())
                    .arg(counts[UserListSync::Add])
                    .arg(counts[UserListSync::Change])
                    .arg(counts[UserListSync::Remove]),
                marked.size());
}

int KelvaraCli::exportUsers(QStringList arguments)
{
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    if (arguments.size() != 1)
        return usageError(tr("export-users needs exactly one file."));
    MyExportUsers file(arguments.first());
    int count = 0;
    const QSqlError error = file.exportUsers(m_project.databasePath, count);
    if (error.isValid())
        return databaseFailure(error);
    if (count < 0)
        return failure(tr("Cannot write the file '%1'.").arg(arguments.first()));
    m_out << tr("%1 user entries exported to file").arg(count) << '\n';
    m_out.flush();
    return Success;
}

int KelvaraCli::importUsers(QStringList arguments)
{
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    if (arguments.size() != 1)
        return usageError(tr("import-users needs exactly one file."));
    MyImportUsers file(arguments.first());
    file.assignStandardColumns(file.readHeader());
    file.setStopFlag(m_interrupt);
    int count = 0;
    const QSqlError error = file.importUsers(m_project.databasePath, m_project.hfIddLength,
                                             m_project.uhfIddLength, count);
    if (error.isValid())
        return databaseFailure(error);
    if (file.stopped())
        return failure(tr("The import was stopped; nothing was imported."));
    if (count < 0)
        return failure(
            file.notRegularFile()
                ? tr("'%1' is not a regular file; only a file is imported.").arg(arguments.first())
                : tr("Cannot open import file"));
    const QString text = file.resultText(count, MyImportUsers::MaxListedLines);
    if (count == 0)
        return failure(text);
    m_out << text << '\n';
    m_out.flush();
    // Anything left out (a line, an identifier) or nothing imported at all is a failure.
    const bool complete =
        count > 0 && file.skippedLines() == 0 && file.refusedIdentifierCount() == 0;
    return complete ? Success : Failure;
}
