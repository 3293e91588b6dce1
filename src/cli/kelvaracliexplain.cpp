// The commands that answer who may pass where, and why.
#include "cli/kelvaracli.h"

#include "access/accessexplainer.h"
#include "core/errortext.h"
#include "db/entryrecords.h"
#include "db/userrecords.h"
#include "functions/readerdecisionreadback.h"
#include "reader/readersettings.h"

#include <algorithm>

namespace {

// Hexadecimal digits (blanks and colons allowed between bytes) as bytes; empty
// when the text is not a whole number of bytes or longer than a reader keeps.
QByteArray identifierBytes(QString text)
{
    text.remove(QLatin1Char(' '));
    text.remove(QLatin1Char(':'));
    if (text.isEmpty() || text.size() % 2 != 0 || text.size() > 128)
        return QByteArray();
    for (const QChar c : qAsConst(text)) {
        if (!isxdigit(c.toLatin1()))
            return QByteArray();
    }
    return QByteArray::fromHex(text.toLatin1());
}

} // namespace

bool KelvaraCli::takeMoment(QStringList &arguments, QDateTime &at, int &exitCode)
{
    QString text;
    bool present = false;
    if (!KelvaraCli::takeValue(arguments, QStringLiteral("--at"), text, present)) {
        exitCode = usageError(tr("--at needs one date and time (yyyy-MM-ddTHH:mm)."));
        return false;
    }
    if (!present) {
        const QDateTime now = m_project.siteNow();
        at = m_project.siteMoment(now.date(), QTime(now.time().hour(), now.time().minute()));
        return true;
    }
    // Times are the site's wall clock, whatever zone this computer runs in.
    const int split = text.indexOf(QLatin1Char('T'));
    const QDate date = QDate::fromString(text.left(split), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(text.mid(split + 1), QStringLiteral("HH:mm"));
    if (split < 0 || !date.isValid() || !time.isValid()) {
        exitCode =
            usageError(tr("'%1' is not a date and time of the form yyyy-MM-ddTHH:mm.").arg(text));
        return false;
    }
    at = m_project.siteMoment(date, time);
    if (!at.isValid()) {
        exitCode = usageError(tr("%1 does not exist in the site's time zone %2: the clocks skip "
                                 "it when daylight saving time begins.")
                                  .arg(text, QString::fromUtf8(m_project.siteZone().id())));
        return false;
    }
    return true;
}

int KelvaraCli::explain(QStringList arguments)
{
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    QString entryName, userName, hex;
    bool hasEntry = false, hasUser = false, hasIdentifier = false;
    if (!KelvaraCli::takeValue(arguments, QStringLiteral("--entry"), entryName, hasEntry) ||
        !hasEntry)
        return usageError(tr("explain needs --entry NAME."));
    if (!KelvaraCli::takeValue(arguments, QStringLiteral("--user"), userName, hasUser))
        return usageError(tr("--user needs one name (\"LAST, FIRST\")."));
    if (!KelvaraCli::takeValue(arguments, QStringLiteral("--identifier"), hex, hasIdentifier))
        return usageError(tr("--identifier needs one hexadecimal identifier."));
    if (hasUser == hasIdentifier)
        return usageError(tr("explain needs either --user or --identifier."));
    QDateTime at;
    if (!takeMoment(arguments, at, exitCode))
        return exitCode;
    const bool askReader = arguments.removeAll(QStringLiteral("--reader")) > 0;
    if (!arguments.isEmpty())
        return usageError(tr("Unexpected argument '%1'.").arg(arguments.first()));
    QByteArray identifier;
    if (hasIdentifier) {
        identifier = identifierBytes(hex);
        if (identifier.isEmpty())
            return usageError(tr("'%1' is not a hexadecimal identifier.").arg(hex));
    }

    AccessExplainer explainer;
    const QSqlError error =
        explainer.load(m_project, entryName, std::min(m_project.siteToday(), at.date()));
    if (error.isValid())
        return databaseFailure(error);
    if (!explainer.loadProblem().isEmpty())
        return usageError(explainer.loadProblem());
    AccessExplanation explanation;
    if (hasUser) {
        const QList<UserRow> users = explainer.usersNamed(userName);
        if (users.isEmpty())
            return usageError(tr("There is no user '%1'.").arg(userName));
        if (users.size() > 1)
            return usageError(tr("Several users are called '%1'.").arg(userName));
        explanation = explainer.explainUser(users.first(), at);
    } else {
        explanation = explainer.explainIdentifier(identifier, at);
    }

    bool permitted = explanation.permitted();
    if (askReader) {
        ReaderSettings settings;
        settings.project = m_project;
        DecisionTables readerTables;
        const ReaderOutcome outcome =
            ReaderDecisionReadBack::read(settings, explainer.entry(), readerTables);
        if (outcome.ok()) {
            explainer.compareWithReader(explanation, readerTables, at);
            permitted = explanation.readerDecision.permitted();
        } else {
            // One reason per line: the message's own lines joined.
            const QStringList message =
                errorText(outcome.error).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            explanation.add(AccessExplanation::ReaderUnread,
                            tr("Reader: its tables could not be read: %1")
                                .arg(message.join(QStringLiteral("; "))));
            permitted = false;
        }
    }
    for (const QString &line : explanation.texts())
        m_out << line << '\n';
    m_out.flush();
    return permitted ? Success : Failure;
}

int KelvaraCli::who(QStringList arguments)
{
    int exitCode = Success;
    if (!openProject(arguments, exitCode))
        return exitCode;
    QString entryName, userName;
    bool hasEntry = false, hasUser = false;
    if (!KelvaraCli::takeValue(arguments, QStringLiteral("--entry"), entryName, hasEntry))
        return usageError(tr("--entry needs one name."));
    if (!KelvaraCli::takeValue(arguments, QStringLiteral("--user"), userName, hasUser))
        return usageError(tr("--user needs one name (\"LAST, FIRST\")."));
    if (hasEntry == hasUser)
        return usageError(tr("who needs either --entry or --user."));
    QDateTime at;
    if (!takeMoment(arguments, at, exitCode))
        return exitCode;
    if (!arguments.isEmpty())
        return usageError(tr("Unexpected argument '%1'.").arg(arguments.first()));
    const QDate heldFrom = std::min(m_project.siteToday(), at.date());

    QStringList lines;
    if (hasEntry) {
        AccessExplainer explainer;
        const QSqlError error = explainer.load(m_project, entryName, heldFrom);
        if (error.isValid())
            return databaseFailure(error);
        if (!explainer.loadProblem().isEmpty())
            return usageError(explainer.loadProblem());
        for (const UserRow &user : explainer.usersPermitted(at))
            lines << AccessExplainer::userName(user);
    } else {
        QList<UserRow> allUsers;
        QList<EntryBoardRow> entries;
        QSqlError error = UserRecords::listUsers(m_project.databasePath, 0, true, allUsers);
        if (!error.isValid())
            error = EntryRecords::listEntriesForBoard(m_project.databasePath, entries);
        if (error.isValid())
            return databaseFailure(error);
        const QList<UserRow> users = AccessExplainer::usersNamed(allUsers, userName);
        if (users.isEmpty())
            return usageError(tr("There is no user '%1'.").arg(userName));
        if (users.size() > 1)
            return usageError(tr("Several users are called '%1'.").arg(userName));
        AccessExplainer explainer;
        for (const EntryBoardRow &entry : qAsConst(entries)) {
            error = explainer.load(m_project, entry.pkDoors, heldFrom);
            if (error.isValid())
                return databaseFailure(error);
            if (explainer.permits(users.first(), at))
                lines << QStringLiteral("%1\t%2").arg(entry.areaName, entry.doorName);
        }
    }
    for (const QString &line : qAsConst(lines))
        m_out << line << '\n';
    m_out.flush();
    return lines.isEmpty() ? Failure : Success;
}
