// kelvara-cli areas and groups: the heads of the access board, and renaming them.
#include "cli/kelvaracli.h"

#include "db/boardrename.h"
#include "db/entryrecords.h"
#include "db/userrecords.h"

#include <QMap>

int KelvaraCli::areasOrGroups(QStringList arguments, bool areas)
{
    const QString command = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (command != QLatin1String("list") && command != QLatin1String("show") &&
        command != QLatin1String("rename"))
        return usageError(areas ? tr("areas takes a subcommand: list, show or rename.")
                                : tr("groups takes a subcommand: list, show or rename."));
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    const QString what = areas ? tr("area") : tr("group");
    // The members of each area (group), and how many of its entries wait for an update.
    QMap<QString, QPair<int, int>> heads;
    QSqlError error;
    if (areas) {
        QList<EntryBoardRow> rows;
        error = EntryRecords::listEntriesForBoard(m_project.databasePath, rows);
        for (const EntryBoardRow &row : qAsConst(rows)) {
            ++heads[row.areaName].first;
            heads[row.areaName].second += row.needsUpdate ? 1 : 0;
        }
    } else {
        QList<UserRow> rows;
        error = UserRecords::listUsersForBoard(m_project.databasePath, rows);
        for (const UserRow &row : qAsConst(rows))
            ++heads[row.groupName].first;
    }
    if (error.isValid())
        return databaseFailure(error);

    QString name;
    if (command == QLatin1String("rename")) {
        QString newName;
        const bool merge = takeFlag(arguments, QStringLiteral("--merge"));
        if (!takeName(arguments, what, name, exitCode) ||
            !takeName(arguments, tr("new name"), newName, exitCode) ||
            !noneLeft(arguments, exitCode))
            return exitCode;
        if (!heads.contains(name))
            return refused(areas ? tr("There is no area '%1'.").arg(name)
                                 : tr("There is no group '%1'.").arg(name));
        // Joining two heads is not undone by renaming back: say so first.
        if (heads.contains(newName) && newName != name && !merge)
            return refused(areas ? tr("The area '%1' exists already: --merge joins the entries "
                                      "of '%2' to it.")
                                       .arg(newName, name)
                                 : tr("The group '%1' exists already: --merge joins the users "
                                      "of '%2' to it.")
                                       .arg(newName, name));
        BoardRename rename;
        error = BoardRename::rename(m_project.databasePath,
                                    areas ? BoardRename::Area : BoardRename::Group, name, newName,
                                    rename);
        if (error.isValid())
            return saveFailure(error);
        return done(areas ? tr("Area '%1' renamed to '%2' (%n entries).", nullptr, rename.count())
                                .arg(name, newName)
                          : tr("Group '%1' renamed to '%2' (%n users).", nullptr, rename.count())
                                .arg(name, newName));
    }

    CliTable::Format format = CliTable::Text;
    if (!takeFormat(arguments, format, exitCode) ||
        (command == QLatin1String("show") && !takeName(arguments, what, name, exitCode)) ||
        !noneLeft(arguments, exitCode))
        return exitCode;
    if (command == QLatin1String("show") && !heads.contains(name))
        return refused(areas ? tr("There is no area '%1'.").arg(name)
                             : tr("There is no group '%1'.").arg(name));
    QList<CliTable::Column> columns = {{QStringLiteral("name"), areas ? tr("Area") : tr("Group")}};
    if (areas)
        columns << CliTable::Column{QStringLiteral("entries"), tr("Entries")}
                << CliTable::Column{QStringLiteral("needingUpdate"), tr("Needing update")};
    else
        columns << CliTable::Column{QStringLiteral("users"), tr("Users")};
    CliTable table(areas ? QStringLiteral("areas") : QStringLiteral("groups"),
                   areas ? QStringLiteral("area") : QStringLiteral("group"), columns);
    for (auto head = heads.cbegin(); head != heads.cend(); ++head) {
        if (command == QLatin1String("show") && head.key() != name)
            continue;
        QVariantList values = {head.key(), head.value().first};
        if (areas)
            values << head.value().second;
        table.addRow(values);
    }
    return command == QLatin1String("show") ? printRecord(table, format) : printList(table, format);
}
