#include "db/audithistory.h"

#include "db/projectdatabase.h"
#include "db/recordstatement.h"
#include "db/serverschema.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVariantList>

namespace AuditHistory {

namespace {

const QString kColumns = QStringLiteral(
    "seq,recordedAt,operatorName,program,programVersion,action,objectKind,objectName,%1,%2,"
    "reverses,userNames,entryNames,hash");

QString tr(const char *text)
{
    return QCoreApplication::translate("AuditHistory", text);
}

// A LIKE pattern that matches the text literally.
QString literal(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    text.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return text;
}

// The text between two parts of a LIKE pattern.
QVariant pattern(const char *before, const QString &text, const char *after)
{
    return QString(QLatin1String(before) + literal(text) + QLatin1String(after));
}

QString stamp(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

// The filter as a condition with its values.
QString condition(const Filter &filter, bool server, QVariantList &values)
{
    QStringList parts;
    // SQLite's like ignores the case of ASCII letters; the server's does not.
    const QString like =
        server ? QStringLiteral(" ilike ? escape '\\'") : QStringLiteral(" like ? escape '\\'");
    if (filter.from.isValid()) {
        parts << QStringLiteral("recordedAt>=?");
        values << stamp(filter.from);
    }
    if (filter.to.isValid()) {
        parts << QStringLiteral("recordedAt<=?");
        values << stamp(filter.to);
    }
    if (!filter.operatorName.isEmpty()) {
        parts << QStringLiteral("(operatorName=? or operatorName") + like + QLatin1Char(')');
        values << filter.operatorName
               << QString(literal(filter.operatorName) + QLatin1String("@%"));
    }
    if (!filter.kind.isEmpty()) {
        parts << QStringLiteral("objectKind=?");
        values << filter.kind;
    }
    if (!filter.objectName.isEmpty()) {
        parts << QStringLiteral("objectName") + like;
        values << pattern("%", filter.objectName, "%");
    }
    if (!filter.user.isEmpty()) {
        parts << QStringLiteral("userNames") + like;
        values << pattern("%\n", filter.user, "\n%");
    }
    if (!filter.entry.isEmpty()) {
        parts << QStringLiteral("(entryNames") + like + QStringLiteral(" or entryNames") + like +
                     QLatin1Char(')');
        values << pattern("%\n", filter.entry, "\n%") << pattern("%/", filter.entry, "\n%");
    }
    if (!filter.text.isEmpty()) {
        QStringList any;
        for (const char *column : {"objectName", "valuesBefore", "valuesAfter", "operatorName",
                                   "program", "userNames", "entryNames"}) {
            any << QLatin1String(column) + like;
            values << pattern("%", filter.text, "%");
        }
        parts << QLatin1Char('(') + any.join(QStringLiteral(" or ")) + QLatin1Char(')');
    }
    return parts.join(QStringLiteral(" and "));
}

void cutValues(AuditRecord &record, int valueLength)
{
    if (valueLength <= 0)
        return;
    for (QString *value : {&record.valuesBefore, &record.valuesAfter}) {
        if (value->size() > valueLength) {
            value->truncate(valueLength);
            *value += QChar(0x2026);
        }
    }
}

AuditRecord readRow(const QSqlQuery &query)
{
    AuditRecord record;
    record.sequence = query.value(0).toLongLong();
    record.recordedAt = QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs);
    record.operatorName = query.value(2).toString();
    record.program = query.value(3).toString();
    record.programVersion = query.value(4).toString();
    record.action = query.value(5).toString();
    record.objectKind = query.value(6).toString();
    record.objectName = query.value(7).toString();
    record.valuesBefore = query.value(8).toString();
    record.valuesAfter = query.value(9).toString();
    record.reverses = query.value(10).toLongLong();
    record.users = AuditTrail::namesOf(query.value(11).toString());
    record.entries = AuditTrail::namesOf(query.value(12).toString());
    record.hash = query.value(13).toString();
    return record;
}

// The index of the model a rights cell names at `at`, -1 for no right,
// -2 unchanged; `at` moves past it.
int cellModel(const QString &cells, int &at)
{
    if (at >= cells.size())
        return -2;
    const QChar c = cells.at(at++);
    if (c == QLatin1Char('.'))
        return -2;
    if (c == QLatin1Char('-'))
        return -1;
    if (c == QLatin1Char('{')) {
        const int end = cells.indexOf(QLatin1Char('}'), at);
        const int index = cells.mid(at, end - at).toInt();
        at = end < 0 ? cells.size() : end + 1;
        return index;
    }
    static const QString digits =
        QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return digits.indexOf(c);
}

} // namespace

namespace {

// The cell of the user and entry in one side of a rights record ("users",
// "entries", "models", "cells"): false when it did not change; the model's
// tag in *model, empty for no right.
bool cellOf(const QJsonObject &side, const QString &user, const QString &entry, QString *model)
{
    const QJsonArray users = side.value(QStringLiteral("users")).toArray();
    const QJsonArray entries = side.value(QStringLiteral("entries")).toArray();
    const QJsonArray rows = side.value(QStringLiteral("cells")).toArray();
    int row = -1;
    for (int i = 0; i < users.size() && row < 0; ++i) {
        if (users.at(i).toString() == user)
            row = i;
    }
    if (row < 0 || row >= rows.size())
        return false;
    const QString cells = rows.at(row).toString();
    int at = 0;
    for (int column = 0; column < entries.size(); ++column) {
        const int index = cellModel(cells, at);
        const QString name = entries.at(column).toString();
        if (name != entry && !name.endsWith(QLatin1Char('/') + entry))
            continue;
        if (index == -2)
            return false;
        if (model)
            *model = index < 0
                         ? QString()
                         : side.value(QStringLiteral("models")).toArray().at(index).toString();
        return true;
    }
    return false;
}

} // namespace

bool rightsOfPair(const AuditRecord &record, const QString &user, const QString &entry,
                  QString *before, QString *after)
{
    if (record.objectKind != AuditTrail::Kind::Rights)
        return false;
    const QJsonObject was = QJsonDocument::fromJson(record.valuesBefore.toUtf8()).object();
    if (!cellOf(was, user, entry, before))
        return false;
    const QJsonObject is = QJsonDocument::fromJson(record.valuesAfter.toUtf8()).object();
    if (is.contains(QStringLiteral("cells")))
        return cellOf(is, user, entry, after);
    if (after)
        *after = is.value(QStringLiteral("model")).toString();
    return true;
}

QSqlError readPage(const QString &databasePath, const Filter &filter, qint64 before, int limit,
                   int valueLength, QList<AuditRecord> &records, bool *more)
{
    records.clear();
    if (more)
        *more = false;
    // A rights record names users and entries; whether it changed the very
    // pair shows only in its cells, so those are read whole.
    const bool pair = !filter.user.isEmpty() && !filter.entry.isEmpty();
    const bool cut = valueLength > 0 && !pair;
    const QString sized = QStringLiteral("substr(%1,1,%2)");
    const QString columns =
        kColumns.arg(cut ? sized.arg(QStringLiteral("valuesBefore")).arg(valueLength + 1)
                         : QStringLiteral("valuesBefore"),
                     cut ? sized.arg(QStringLiteral("valuesAfter")).arg(valueLength + 1)
                         : QStringLiteral("valuesAfter"));
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        query.setForwardOnly(true);
        qint64 below = before;
        for (;;) {
            QVariantList bound;
            QString where = condition(filter, ProjectDatabase::isServer(query), bound);
            if (below > 0) {
                where = where.isEmpty() ? QStringLiteral("seq<?")
                                        : where + QStringLiteral(" and seq<?");
                bound << below;
            }
            const int wanted = limit - records.size();
            bound << wanted + 1;
            if (!ProjectDatabase::exec(
                    query,
                    QStringLiteral("select ") + columns + QStringLiteral(" from auditTrail") +
                        (where.isEmpty() ? QString() : QStringLiteral(" where ") + where) +
                        QStringLiteral(" order by seq desc limit ?"),
                    bound))
                return query.lastError();
            int read = 0;
            while (query.next()) {
                if (++read > wanted) {
                    if (more)
                        *more = true;
                    break;
                }
                AuditRecord record = readRow(query);
                below = record.sequence;
                if (pair && record.objectKind == AuditTrail::Kind::Rights &&
                    !rightsOfPair(record, filter.user, filter.entry))
                    continue;
                cutValues(record, valueLength);
                records << record;
            }
            if (!RecordStatement::rowsEnded(query))
                return query.lastError();
            query.finish();
            // Records left out by their cells: read on until the page is full.
            if (read <= wanted || records.size() >= limit)
                return QSqlError();
        }
    });
}

QSqlError forEach(const QString &databasePath, const Filter &filter,
                  const std::function<bool(const AuditRecord &)> &take)
{
    qint64 before = 0;
    for (;;) {
        QList<AuditRecord> page;
        bool more = false;
        const QSqlError error = readPage(databasePath, filter, before, 500, 0, page, &more);
        if (error.isValid())
            return error;
        for (const AuditRecord &record : qAsConst(page)) {
            if (!take(record))
                return QSqlError();
            before = record.sequence;
        }
        if (!more || page.isEmpty())
            return QSqlError();
    }
}

QSqlError readRecord(const QString &databasePath, qint64 sequence, AuditRecord &record)
{
    record = AuditRecord();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        if (!ProjectDatabase::exec(
                query,
                QStringLiteral("select ") +
                    kColumns.arg(QStringLiteral("valuesBefore"), QStringLiteral("valuesAfter")) +
                    QStringLiteral(" from auditTrail where seq=?"),
                {sequence}))
            return query.lastError();
        bool found = false;
        if (!RecordStatement::fetchOne(query, found))
            return query.lastError();
        if (found)
            record = readRow(query);
        return QSqlError();
    });
}

QSqlError operators(const QString &databasePath, QStringList &names)
{
    names.clear();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        // From one operator to the next along the index: as fast on a
        // million records as on ten.
        if (!query.exec(QStringLiteral(
                "with recursive named(name) as (select min(operatorName) from auditTrail "
                "union all select (select min(operatorName) from auditTrail where "
                "operatorName>named.name) from named where named.name is not null) "
                "select name from named where name is not null")))
            return query.lastError();
        while (query.next())
            names << query.value(0).toString();
        if (!RecordStatement::rowsEnded(query))
            return query.lastError();
        return QSqlError();
    });
}

QSqlError verify(const QString &databasePath, Verification &result)
{
    result = Verification();
    return RecordStatement::run(databasePath, [&](QSqlQuery &query) {
        query.setForwardOnly(true);
        if (!query.exec(
                QStringLiteral("select ") +
                kColumns.arg(QStringLiteral("valuesBefore"), QStringLiteral("valuesAfter")) +
                QStringLiteral(" from auditTrail order by seq")))
            return query.lastError();
        qint64 expected = 1;
        QString previous;
        while (query.next()) {
            ++result.records;
            const qint64 sequence = query.value(0).toLongLong();
            QStringList fields;
            // A null number reads as 0 from the server: as written, it is none.
            for (int column = 0; column < 13; ++column)
                fields << (query.isNull(column) ? QString() : query.value(column).toString());
            if (result.firstBroken == 0 && sequence != expected) {
                result.firstBroken = expected;
                result.problem =
                    expected == 1
                        ? tr("Record 1 is missing: the trail begins with record %1.").arg(sequence)
                        : tr("Record %1 is missing: record %2 follows record %3.")
                              .arg(expected)
                              .arg(sequence)
                              .arg(expected - 1);
            } else if (result.firstBroken == 0 &&
                       AuditTrail::hashOf(fields, previous) != query.value(13).toString()) {
                result.firstBroken = sequence;
                result.problem = tr("Record %1 does not match its hash: it was changed or moved "
                                    "after it was written.")
                                     .arg(sequence);
            }
            previous = query.value(13).toString();
            expected = sequence + 1;
        }
        if (!RecordStatement::rowsEnded(query))
            return query.lastError();
        query.finish();
        // The guards of the table: without them the program itself could
        // change records unnoticed until the next check.
        const bool server = ProjectDatabase::isServer(query);
        result.missingGuards = AuditTrail::guardTriggers(server);
        if (server) {
            bool inForce = false;
            if (!ServerSchema::auditGuardInForce(query, &inForce))
                return query.lastError();
            if (inForce)
                result.missingGuards.clear();
            return QSqlError();
        }
        if (!query.exec(QStringLiteral("select name from sqlite_master where type='trigger'")))
            return query.lastError();
        while (query.next())
            result.missingGuards.removeAll(query.value(0).toString());
        if (!RecordStatement::rowsEnded(query))
            return query.lastError();
        return QSqlError();
    });
}

} // namespace AuditHistory
