// What the record commands share: options, output, refusals and lookups.
#include "cli/kelvaracli.h"

#include "access/accessexplainer.h"
#include "db/entryrecords.h"
#include "db/timemodelrecords.h"
#include "db/userrecords.h"

const QStringList &KelvaraCli::recordCommands()
{
    static const QStringList commands = {QStringLiteral("list"), QStringLiteral("show"),
                                         QStringLiteral("add"), QStringLiteral("change"),
                                         QStringLiteral("remove")};
    return commands;
}

bool KelvaraCli::takeFlag(QStringList &arguments, const QString &name)
{
    return arguments.removeAll(name) > 0;
}

bool KelvaraCli::takeOption(QStringList &arguments, const QString &name, QString &value,
                            bool &present, int &exitCode)
{
    if (takeValue(arguments, name, value, present))
        return true;
    exitCode = usageError(tr("%1 needs one value.").arg(name));
    return false;
}

bool KelvaraCli::takeFormat(QStringList &arguments, CliTable::Format &format, int &exitCode)
{
    QString name;
    bool present = false;
    format = CliTable::Text;
    if (!takeOption(arguments, QStringLiteral("--format"), name, present, exitCode))
        return false;
    if (present && !CliTable::parseFormat(name, &format)) {
        exitCode = usageError(tr("--format takes text, csv or json, not '%1'.").arg(name));
        return false;
    }
    return true;
}

bool KelvaraCli::noneLeft(const QStringList &arguments, int &exitCode)
{
    if (arguments.isEmpty())
        return true;
    exitCode = usageError(tr("Unexpected argument '%1'.").arg(arguments.first()));
    return false;
}

bool KelvaraCli::takeName(QStringList &arguments, const QString &what, QString &name, int &exitCode)
{
    // The name comes first, before any option: a name may begin with "-".
    if (arguments.isEmpty() || arguments.first().startsWith(QLatin1String("--"))) {
        exitCode = usageError(tr("Name the %1.").arg(what));
        return false;
    }
    name = arguments.takeFirst();
    return true;
}

bool KelvaraCli::print(const QString &text, CliTable::Format format)
{
    m_out.flush();
    // csv and json are UTF-8 whatever this computer's language setting.
    QIODevice *device = m_out.device();
    if (format != CliTable::Text && device) {
        const QByteArray bytes = text.toUtf8();
        if (device->write(bytes) == bytes.size())
            return true;
        failure(tr("The output could not be written."));
        return false;
    }
    m_out << text;
    m_out.flush();
    return true;
}

int KelvaraCli::printList(const CliTable &table, CliTable::Format format)
{
    if (!print(table.list(format), format))
        return Failure;
    // Nothing found, as for "who": a script can tell without reading.
    return table.rowCount() > 0 ? Success : Failure;
}

int KelvaraCli::printRecord(const CliTable &table, CliTable::Format format)
{
    return print(table.record(format), format) ? Success : Failure;
}

int KelvaraCli::saveFailure(const QSqlError &error, const QStringList &conflicts)
{
    if (!conflicts.isEmpty())
        return refused(conflicts.join(QLatin1Char(' ')));
    // Our own refusals carry no database code.
    if (error.nativeErrorCode().isEmpty() && error.type() == QSqlError::StatementError)
        return refused(error.databaseText());
    return databaseFailure(error);
}

int KelvaraCli::done(const QString &what, int markedEntries)
{
    m_out << what;
    if (markedEntries > 0)
        m_out << ' ' << tr("%n entries need an update.", nullptr, markedEntries);
    m_out << '\n';
    m_out.flush();
    return Success;
}

bool KelvaraCli::findUser(const QString &name, UserRow &user, int &exitCode)
{
    QList<UserRow> all;
    const QSqlError error =
        UserRecords::listUsers(m_project.databasePath, UserRecords::SortByName, true, all);
    if (error.isValid()) {
        exitCode = databaseFailure(error);
        return false;
    }
    const QList<UserRow> found = AccessExplainer::usersNamed(all, name);
    if (found.size() != 1) {
        exitCode = refused(found.isEmpty() ? tr("There is no user '%1'.").arg(name)
                                           : tr("Several users are called '%1'.").arg(name));
        return false;
    }
    user = found.first();
    return true;
}

bool KelvaraCli::findEntry(const QString &name, EntryRow &entry, int &exitCode)
{
    QList<EntryRow> all;
    const QSqlError error =
        EntryRecords::listEntries(m_project.databasePath, EntryRecords::SortByName, true, all);
    if (error.isValid()) {
        exitCode = databaseFailure(error);
        return false;
    }
    const QList<EntryRow> found = EntryRecords::entriesNamed(all, name);
    if (found.size() != 1) {
        exitCode =
            refused(found.isEmpty()
                        ? tr("There is no entry named '%1'.").arg(name)
                        : tr("Several entries are named '%1': give it as AREA/NAME.").arg(name));
        return false;
    }
    entry = found.first();
    return true;
}

bool KelvaraCli::findModel(const QString &tag, TimeModelRow &model, int &exitCode)
{
    QList<TimeModelRow> all;
    const QSqlError error =
        TimeModelRecords::listTimeModels(m_project.databasePath, TimeModelRecords::SortByTag, all);
    if (error.isValid()) {
        exitCode = databaseFailure(error);
        return false;
    }
    for (const TimeModelRow &row : qAsConst(all)) {
        if (row.modelTag == tag) {
            model = row;
            return true;
        }
    }
    exitCode = refused(tr("There is no time model with the tag '%1'.").arg(tag));
    return false;
}
