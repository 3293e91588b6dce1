// kelvara-cli rights: the cells of the access board, set and removed as the
// board does it.
#include "cli/kelvaracli.h"

#include "access/accessexplainer.h"
#include "db/boardchange.h"
#include "db/entryrecords.h"
#include "db/userrecords.h"

#include <algorithm>

int KelvaraCli::rights(QStringList arguments)
{
    const QString command = arguments.isEmpty() ? QString() : arguments.takeFirst();
    const bool listing = command == QLatin1String("list");
    const bool setting = command == QLatin1String("set");
    if (!listing && !setting && command != QLatin1String("remove"))
        return usageError(tr("rights takes a subcommand: list, set or remove."));
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    QString names[5];
    bool given[5] = {};
    const char *options[5] = {"--user", "--group", "--entry", "--area", "--model"};
    for (int i = 0; i < 5; ++i) {
        if (!takeOption(arguments, QLatin1String(options[i]), names[i], given[i], exitCode))
            return exitCode;
    }
    CliTable::Format format = CliTable::Text;
    if ((listing && !takeFormat(arguments, format, exitCode)) || !noneLeft(arguments, exitCode))
        return exitCode;
    if ((given[0] && given[1]) || (given[2] && given[3]))
        return usageError(tr("Name users by --user or --group, entries by --entry or --area."));
    if (!listing && (!(given[0] || given[1]) || !(given[2] || given[3])))
        return usageError(
            tr("rights %1 needs --user or --group, and --entry or --area.").arg(command));
    if (setting != given[4])
        return usageError(setting ? tr("rights set needs --model TAG.")
                                  : tr("Only rights set takes --model."));

    QList<UserRow> users;
    QList<EntryBoardRow> entries;
    QSqlError error = UserRecords::listUsersForBoard(m_project.databasePath, users);
    if (!error.isValid())
        error = EntryRecords::listEntriesForBoard(m_project.databasePath, entries);
    if (error.isValid())
        return databaseFailure(error);
    // The block of the board the command means.
    QSet<int> userKeys;
    QSet<int> entryKeys;
    UserRow user;
    EntryRow entry;
    if (given[0] && !findUser(names[0], user, exitCode))
        return exitCode;
    if (given[2] && !findEntry(names[2], entry, exitCode))
        return exitCode;
    for (const UserRow &row : qAsConst(users)) {
        if ((given[0] && row.pkUsers == user.pkUsers) || (given[1] && row.groupName == names[1]) ||
            (!given[0] && !given[1]))
            userKeys.insert(row.pkUsers);
    }
    for (const EntryBoardRow &row : qAsConst(entries)) {
        if ((given[2] && row.pkDoors == entry.pkDoors) || (given[3] && row.areaName == names[3]) ||
            (!given[2] && !given[3]))
            entryKeys.insert(row.pkDoors);
    }
    if (given[1] && userKeys.isEmpty())
        return refused(tr("There is no group '%1'.").arg(names[1]));
    if (given[3] && entryKeys.isEmpty())
        return refused(tr("There is no area '%1'.").arg(names[3]));

    if (!listing) {
        TimeModelRow model;
        if (setting && !findModel(names[4], model, exitCode))
            return exitCode;
        BoardChange change;
        error = BoardChange::prepare(m_project.databasePath, userKeys, entryKeys, model.pkTimes,
                                     change);
        QSet<int> changed;
        if (!error.isValid() && change.rightCount() > 0)
            error = change.apply(m_project.databasePath, &changed);
        if (error.isValid())
            return saveFailure(error);
        const QString count = tr("%n rights", nullptr, change.rightCount());
        return done(setting ? tr("%1 set to the time model '%2'.").arg(count, model.modelTag)
                            : tr("%1 removed.").arg(count),
                    changed.size());
    }

    QList<AccessRow> rights;
    error = AccessRights::listAccess(m_project.databasePath, rights);
    if (error.isValid())
        return databaseFailure(error);
    // In board order: users by group and name, entries by area and name.
    QHash<int, int> userOrder;
    QHash<int, int> entryOrder;
    for (int i = 0; i < users.size(); ++i)
        userOrder.insert(users.at(i).pkUsers, i);
    for (int i = 0; i < entries.size(); ++i)
        entryOrder.insert(entries.at(i).pkDoors, i);
    QList<QPair<QPair<int, int>, QString>> cells;
    for (const AccessRow &right : qAsConst(rights)) {
        if (userKeys.contains(right.pkUsers) && entryKeys.contains(right.pkDoors))
            cells.append({{userOrder.value(right.pkUsers), entryOrder.value(right.pkDoors)},
                          right.modelTag});
    }
    std::sort(cells.begin(), cells.end());
    CliTable table(QStringLiteral("rights"), QStringLiteral("right"),
                   {{QStringLiteral("lastName"), tr("Last name")},
                    {QStringLiteral("firstName"), tr("First name")},
                    {QStringLiteral("group"), tr("Group")},
                    {QStringLiteral("area"), tr("Area")},
                    {QStringLiteral("entry"), tr("Entry")},
                    {QStringLiteral("model"), tr("Time model")}});
    for (const auto &cell : qAsConst(cells)) {
        const UserRow &u = users.at(cell.first.first);
        const EntryBoardRow &e = entries.at(cell.first.second);
        table.addRow({u.familyName, u.firstName, u.groupName, e.areaName, e.doorName, cell.second});
    }
    return printList(table, format);
}
