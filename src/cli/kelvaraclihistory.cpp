// kelvara-cli history: the audit trail, filtered, and the check of its chain.
#include "cli/kelvaracli.h"

#include "db/audithistory.h"
#include "db/audittrailmodel.h"

#include <QJsonDocument>

namespace {

// "yyyy-MM-dd", "yyyy-MM-ddTHH:mm" or "yyyy-MM-ddTHH:mm:ss" in this computer's
// time; a date alone is its first moment, or with `end` its last.
QDateTime localMoment(const QString &text, bool end)
{
    const QDate day = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (day.isValid())
        return end ? QDateTime(day.addDays(1), QTime(0, 0)).addMSecs(-1)
                   : QDateTime(day, QTime(0, 0));
    for (const char *form : {"yyyy-MM-ddTHH:mm", "yyyy-MM-ddTHH:mm:ss"}) {
        QDateTime moment = QDateTime::fromString(text, QLatin1String(form));
        if (moment.isValid())
            return end && text.size() == 16 ? moment.addSecs(60).addMSecs(-1) : moment;
    }
    return QDateTime();
}

QString cut(const QString &value)
{
    const int length = AuditTrailModel::ValueLength;
    return value.size() > length ? value.left(length) + QChar(0x2026) : value;
}

QVariant jsonValue(const QString &text)
{
    return text.isEmpty() ? QVariant() : QJsonDocument::fromJson(text.toUtf8()).toVariant();
}

} // namespace

int KelvaraCli::history(QStringList arguments)
{
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    const bool verify = takeFlag(arguments, QStringLiteral("--verify"));
    AuditHistory::Filter filter;
    QString from, to;
    bool hasFrom = false, hasTo = false, given = false;
    CliTable::Format format = CliTable::Text;
    if (!takeOption(arguments, QStringLiteral("--from"), from, hasFrom, exitCode) ||
        !takeOption(arguments, QStringLiteral("--to"), to, hasTo, exitCode) ||
        !takeOption(arguments, QStringLiteral("--user"), filter.user, given, exitCode) ||
        !takeOption(arguments, QStringLiteral("--entry"), filter.entry, given, exitCode) ||
        !takeOption(arguments, QStringLiteral("--operator"), filter.operatorName, given,
                    exitCode) ||
        !takeFormat(arguments, format, exitCode) || !noneLeft(arguments, exitCode))
        return exitCode;
    if (verify && (hasFrom || hasTo || !filter.user.isEmpty() || !filter.entry.isEmpty() ||
                   !filter.operatorName.isEmpty() || format != CliTable::Text))
        return usageError(tr("history --verify checks the whole trail and takes no other "
                             "option."));
    if (hasFrom && !(filter.from = localMoment(from, false)).isValid())
        return usageError(tr("--from: '%1' is no date (yyyy-MM-dd) or date and time "
                             "(yyyy-MM-ddTHH:mm).")
                              .arg(from));
    if (hasTo && !(filter.to = localMoment(to, true)).isValid())
        return usageError(tr("--to: '%1' is no date (yyyy-MM-dd) or date and time "
                             "(yyyy-MM-ddTHH:mm).")
                              .arg(to));

    if (verify) {
        AuditHistory::Verification result;
        const QSqlError error = AuditHistory::verify(m_project.databasePath, result);
        if (error.isValid())
            return databaseFailure(error);
        if (result.firstBroken != 0)
            m_out << result.problem << '\n';
        if (!result.missingGuards.isEmpty())
            m_out << tr("The triggers that keep the trail from being changed are gone: %1.")
                         .arg(result.missingGuards.join(QStringLiteral(", ")))
                  << '\n';
        if (result.intact())
            m_out << tr("The audit trail of %n records is intact.", nullptr, int(result.records))
                  << '\n';
        m_out.flush();
        return result.intact() ? Success : Failure;
    }

    // Asked for one right, a rights record shows that right's time models.
    const bool pair = !filter.user.isEmpty() && !filter.entry.isEmpty();
    CliTable table(QStringLiteral("records"), QStringLiteral("record"),
                   {{QStringLiteral("sequence"), tr("No.")},
                    {QStringLiteral("time"), tr("Time")},
                    {QStringLiteral("operator"), tr("Operator")},
                    {QStringLiteral("program"), tr("Program"), QString(), false},
                    {QStringLiteral("version"), tr("Version"), QString(), false},
                    {QStringLiteral("action"), tr("Action")},
                    {QStringLiteral("kind"), tr("Kind")},
                    {QStringLiteral("object"), tr("Object")},
                    {QStringLiteral("before"), tr("Before")},
                    {QStringLiteral("after"), tr("After")},
                    {QStringLiteral("reverses"), tr("Reverses"), QString(), false},
                    {QStringLiteral("users"), tr("Users"), QString(), false},
                    {QStringLiteral("entries"), tr("Entries"), QString(), false}});
    const QSqlError error =
        AuditHistory::forEach(m_project.databasePath, filter, [&](const AuditRecord &record) {
            QVariant before = record.valuesBefore;
            QVariant after = record.valuesAfter;
            QVariant action = record.action;
            QVariant kind = record.objectKind;
            QVariant time = AuditTrailModel::isoText(record.recordedAt);
            QVariant users = record.users;
            QVariant entries = record.entries;
            if (format == CliTable::Json) {
                before = jsonValue(record.valuesBefore);
                after = jsonValue(record.valuesAfter);
            } else {
                users = record.users.join(QStringLiteral("; "));
                entries = record.entries.join(QStringLiteral("; "));
            }
            if (format == CliTable::Text) {
                // For people: their words, their clock, one right's models.
                time = AuditTrailModel::timeText(record.recordedAt);
                action = AuditTrailModel::cellText(record, AuditTrailModel::ActionColumn);
                kind = AuditTrail::kindText(record.objectKind);
                QString was, is;
                if (pair &&
                    AuditHistory::rightsOfPair(record, filter.user, filter.entry, &was, &is)) {
                    before = was.isEmpty() ? tr("no right") : was;
                    after = is.isEmpty() ? tr("no right") : is;
                } else {
                    // A line a record: long values end in "…"; csv and json hold them whole.
                    before = cut(record.valuesBefore);
                    after = cut(record.valuesAfter);
                }
            }
            table.addRow({record.sequence, time, record.operatorName, record.program,
                          record.programVersion, action, kind,
                          format == CliTable::Text
                              ? AuditTrailModel::cellText(record, AuditTrailModel::ObjectColumn)
                              : record.objectName,
                          before, after,
                          record.reverses > 0 ? QVariant(record.reverses) : QVariant(), users,
                          entries});
            return true;
        });
    if (error.isValid())
        return databaseFailure(error);
    return printList(table, format);
}
