#include "functions/kelvaraverifythread.h"

#include "core/errortext.h"
#include "db/accessrights.h"
#include "functions/readertablesdrift.h"
#include "functions/readertablesreadback.h"
#include "reader/readertypes.h"

namespace {

// Names looked up for identifiers the database does not grant; enough for
// the first few a summary shows.
constexpr int ExtraNamesLooked = 5;

} // namespace

KelvaraVerifyThread::KelvaraVerifyThread(const ProjectParameters &project, bool mark,
                                         QObject *parent)
    : KelvaraFunctionThread(project, parent), m_mark(mark)
{
}

QString KelvaraVerifyThread::reasonOf(const QString &entryKey) const
{
    QMutexLocker lock(&m_mutex);
    return m_reasons.value(entryKey);
}

void KelvaraVerifyThread::keepReason(const EntryTarget &entry, const QString &reason)
{
    QMutexLocker lock(&m_mutex);
    m_reasons.insert(entryKey(entry), reason);
}

int KelvaraVerifyThread::processEntry(const EntryTarget &entry)
{
    if (!ReaderTypes::isAccessReader(int(entry.readerType))) {
        const QString reason = QStringLiteral("Not an access reader: nothing to verify");
        keepReason(entry, reason);
        log(reason);
        return Failed;
    }
    if (connectionOf(entry).kind() == ReaderConnection::NoConnection) {
        const QString reason =
            QStringLiteral("Served by USB flash drive: the reader cannot be read from here");
        keepReason(entry, reason);
        log(reason);
        return Failed;
    }
    const QDate today = m_today.isValid() ? m_today : m_project.siteToday();
    ReaderTableContent expected;
    bool compiled = false;
    QString problem;
    const QSqlError error =
        ReaderTablesReadBack::compileEntry(m_project, entry, today, expected, &compiled, &problem);
    if (error.isValid()) {
        keepReason(entry, databaseErrorText(error));
        return databaseFailure(error);
    }

    ReaderTableContent reader;
    ReaderOutcome outcome;
    {
        std::unique_ptr<FunctionReader> connection = createReader();
        outcome = ReaderTablesReadBack::read(*connection, entry, reader);
    }
    if (stopRequested())
        return NoState;
    if (!outcome.ok()) {
        keepReason(entry, errorText(outcome.error));
        return readerFailure(outcome);
    }
    // Tables the database cannot give are not on the reader either.
    if (!compiled)
        return differs(entry,
                       QStringLiteral("the database's tables cannot be sent: %1").arg(problem));

    nameExtras(entry, reader, expected);
    const ReaderTablesDrift drift = ReaderTablesDrift::compare(reader, expected, today);
    if (!drift.inSync())
        return differs(entry, drift.summary());
    keepReason(entry, QString());
    log(QStringLiteral("Verify Reader: IN SYNC"));
    return Done;
}

int KelvaraVerifyThread::differs(const EntryTarget &entry, const QString &reason)
{
    keepReason(entry, reason);
    log(QStringLiteral("Verify Reader: DIFFERS: %1").arg(reason));
    if (m_mark && !entry.needsUpdate) {
        const QSqlError error =
            AccessRights::setNeedsUpdateOfEntry(databasePath(), entry.pkDoors, true);
        if (error.isValid())
            return databaseFailure(error);
        log(QStringLiteral("Marked as needing an update"));
    }
    return Differs;
}

void KelvaraVerifyThread::nameExtras(const EntryTarget &entry, ReaderTableContent &reader,
                                     const ReaderTableContent &expected) const
{
    int looked = 0;
    for (auto it = reader.access.constBegin();
         it != reader.access.constEnd() && looked < ExtraNamesLooked; ++it) {
        if (expected.access.contains(it.key()))
            continue;
        ++looked;
        QList<ImportedTransponderRow> rows;
        if (AccessRights::findImportedTransponder(databasePath(), it.key(), entry.pkDoors, rows)
                .isValid() ||
            rows.isEmpty())
            continue;
        reader.holders.insert(it.key(), QStringLiteral("%1, %2").arg(rows.first().familyName,
                                                                     rows.first().firstName));
    }
}
