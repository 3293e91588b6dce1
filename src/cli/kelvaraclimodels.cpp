// kelvara-cli models: the time models, by their tags.
#include "cli/kelvaracli.h"

#include "access/timemodel.h"
#include "db/timemodelrecords.h"

int KelvaraCli::models(QStringList arguments)
{
    const QString command = arguments.isEmpty() ? QString() : arguments.takeFirst();
    if (!recordCommands().contains(command))
        return usageError(tr("models takes a subcommand: list, show, add, change or remove."));
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    const bool adding = command == QLatin1String("add");
    QString tag;
    TimeModelRow model;
    if (!adding && command != QLatin1String("list") &&
        (!takeName(arguments, tr("time model (its tag)"), tag, exitCode) ||
         !findModel(tag, model, exitCode)))
        return exitCode;

    if (command == QLatin1String("list") || command == QLatin1String("show")) {
        CliTable::Format format = CliTable::Text;
        if (!takeFormat(arguments, format, exitCode) || !noneLeft(arguments, exitCode))
            return exitCode;
        QList<TimeModelRow> rows;
        const QSqlError error = TimeModelRecords::listTimeModels(m_project.databasePath,
                                                                 TimeModelRecords::SortByTag, rows);
        if (error.isValid())
            return databaseFailure(error);
        CliTable table(QStringLiteral("models"), QStringLiteral("model"),
                       {{QStringLiteral("tag"), tr("Tag")},
                        {QStringLiteral("name"), tr("Name")},
                        {QStringLiteral("definition"), tr("Definition")},
                        {QStringLiteral("periods"), tr("Periods")}});
        for (const TimeModelRow &row : qAsConst(rows)) {
            if (command == QLatin1String("show") && row.pkTimes != model.pkTimes)
                continue;
            table.addRow({row.modelTag, row.modelName, row.modelDefinition,
                          TimeModel(row.modelDefinition).toDisplay()});
        }
        return command == QLatin1String("show") ? printRecord(table, format)
                                                : printList(table, format);
    }
    if (command == QLatin1String("remove")) {
        if (!noneLeft(arguments, exitCode))
            return exitCode;
        QSet<int> marked;
        const QSqlError error =
            TimeModelRecords::removeTimeModel(m_project.databasePath, model.pkTimes, &marked);
        if (error.isValid())
            return saveFailure(error);
        return done(tr("Time model '%1' removed with its rights.").arg(model.modelTag),
                    marked.size());
    }

    QString newTag, name, definition;
    bool hasTag = false, hasName = false, hasDefinition = false;
    if (!takeOption(arguments, QStringLiteral("--tag"), newTag, hasTag, exitCode) ||
        !takeOption(arguments, QStringLiteral("--name"), name, hasName, exitCode) ||
        !takeOption(arguments, QStringLiteral("--definition"), definition, hasDefinition,
                    exitCode) ||
        !noneLeft(arguments, exitCode))
        return exitCode;
    if (hasTag)
        model.modelTag = newTag.trimmed();
    if (hasName)
        model.modelName = name.trimmed();
    if (adding || hasDefinition) {
        QString canonical;
        const QString problem = TimeModel::parseDefinition(definition, &canonical);
        if (!problem.isEmpty())
            return refused(tr("--definition: %1").arg(problem));
        model.modelDefinition = canonical;
    }
    const RecordProblem problem = TimeModelRecords::problem(model);
    if (!problem.isEmpty())
        return refused(problem.field == TimeModelRecords::TagField
                           ? tr("--tag: %1").arg(problem.text)
                           : tr("--name: %1").arg(problem.text));
    // Tags and names are unique; say which one is taken.
    QList<TimeModelRow> rows;
    QSqlError error =
        TimeModelRecords::listTimeModels(m_project.databasePath, TimeModelRecords::SortByTag, rows);
    if (error.isValid())
        return databaseFailure(error);
    for (const TimeModelRow &row : qAsConst(rows)) {
        if (row.pkTimes == model.pkTimes)
            continue;
        if (row.modelTag == model.modelTag)
            return refused(
                tr("--tag: a time model with the tag '%1' exists already.").arg(model.modelTag));
        if (row.modelName == model.modelName)
            return refused(tr("--name: the time model '%1' is named '%2' already.")
                               .arg(row.modelTag, model.modelName));
    }
    QSet<int> marked;
    error = adding ? TimeModelRecords::addTimeModel(m_project.databasePath, model)
                   : TimeModelRecords::editTimeModel(m_project.databasePath, model, &marked);
    if (error.isValid())
        return saveFailure(error);
    return done((adding ? tr("Time model '%1' added.") : tr("Time model '%1' changed."))
                    .arg(model.modelTag),
                marked.size());
}
