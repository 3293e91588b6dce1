#include "db/eventrecords.h"

#include "db/accessrights.h"
#include "db/projectdatabase.h"
#include "db/recordstatement.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QHash>
#include <QRegularExpression>

namespace {

const QString Columns = QStringLiteral(
    "e.PKevents,e.readerTime,e.flags,e.FKdoors,d.doorName,d.areaName,e.deviceId,e.idd,"
    "e.antenna,e.granted,e.errorNumber,e.inputState,e.readAt,u.userKey,u.familyName,"
    "u.firstName,u.groupName from events e left join doors d on (d.PKdoors=e.FKdoors) "
    "left join eventUsers u on (u.PKeventUsers=e.FKeventUsers)");

EventRow rowOf(const QSqlQuery &query)
{
    EventRow row;
    row.key = query.value(0).toLongLong();
    row.readerTime = query.value(1).toLongLong();
    row.invalidTime = (query.value(2).toInt() & 1) != 0;
    row.pkDoors = query.value(3).toInt();
    row.doorName = query.value(4).toString();
    row.areaName = query.value(5).toString();
    row.deviceId = quint32(query.value(6).toLongLong());
    row.idd = query.value(7).toString();
    row.antenna = query.value(8).toInt();
    row.granted = query.value(9).toInt() != 0;
    row.errorNumber = query.value(10).toInt();
    row.inputState = query.value(11).toInt();
    row.readAt = query.value(12).toLongLong();
    row.userKey = query.value(13).toInt();
    row.familyName = query.value(14).toString();
    row.firstName = query.value(15).toString();
    row.groupName = query.value(16).toString();
    return row;
}

QString likeText(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    escaped.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

} // namespace

QDateTime EventRow::time() const
{
    return invalidTime ? QDateTime() : EventRecords::fromSeconds(readerTime);
}

QString EventFilter::clause(QVariantList &values) const
{
    QStringList parts{QStringLiteral("1=1")};
    if (from > 0) {
        parts << QStringLiteral("e.readerTime>=?");
        values << from;
    }
    if (to > 0) {
        parts << QStringLiteral("e.readerTime<?");
        values << to;
    }
    if (pkDoors > 0) {
        parts << QStringLiteral("e.FKdoors=?");
        values << pkDoors;
    }
    if (!area.isEmpty()) {
        parts << QStringLiteral("e.FKdoors in (select PKdoors from doors where areaName=?)");
        values << area;
    }
    // Names and groups select user copies first, so the events come by
    // the index on the copy and time rather than by a walk through all.
    if (!familyName.isEmpty() || !firstName.isEmpty()) {
        parts << QStringLiteral("e.FKeventUsers in (select PKeventUsers from eventUsers where "
                                "familyName=? and firstName=?)");
        values << familyName << firstName;
    }
    if (!groupName.isEmpty()) {
        parts << QStringLiteral(
            "e.FKeventUsers in (select PKeventUsers from eventUsers where groupName=?)");
        values << groupName;
    }
    if (!idd.isEmpty()) {
        parts << QStringLiteral("e.idd=?");
        values << idd.toUpper();
    }
    if (result == Granted)
        parts << QStringLiteral("e.granted=1");
    else if (result == Denied)
        parts << QStringLiteral("e.granted=0");
    else if (result == Unknown)
        parts << QStringLiteral("e.FKeventUsers is null");
    if (!text.isEmpty()) {
        // The names and places the text is in were found beforehand (their
        // keys are integers); an identifier is hex, so only a hex text can be
        // in one. Each period is then walked in its index, not row by row.
        QStringList any;
        static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]+$"));
        if (hex.match(text).hasMatch()) {
            any << QStringLiteral("e.idd like ?");
            values << QString(QLatin1Char('%') + text.toUpper() + QLatin1Char('%'));
        }
        if (!textUsers.isEmpty())
            any << QStringLiteral("e.FKeventUsers in (%1)").arg(textUsers);
        if (!textDoors.isEmpty())
            any << QStringLiteral("e.FKdoors in (%1)").arg(textDoors);
        parts << (any.isEmpty()
                      ? QStringLiteral("0")
                      : QLatin1Char('(') + any.join(QStringLiteral(" or ")) + QLatin1Char(')'));
    }
    return parts.join(QStringLiteral(" and "));
}

namespace {

// The user copies and entries whose names hold the filter's text, as key lists.
QSqlError resolveText(QSqlQuery &query, EventFilter &filter)
{
    filter.textUsers.clear();
    filter.textDoors.clear();
    if (filter.text.isEmpty())
        return QSqlError();
    const QString like = likeText(filter.text);
    const auto keys = [&](const QString &statement, int likes, QString &list) {
        QVariantList values;
        for (int i = 0; i < likes; ++i)
            values << like;
        if (!ProjectDatabase::exec(query, statement, values))
            return false;
        QSet<int> found;
        while (query.next())
            found.insert(query.value(0).toInt());
        list = RecordStatement::keyList(found);
        return RecordStatement::rowsEnded(query);
    };
    if (!keys(QStringLiteral("select PKeventUsers from eventUsers where familyName like ? escape "
                             "'\\' or firstName like ? escape '\\' or groupName like ? escape "
                             "'\\'"),
              3, filter.textUsers) ||
        !keys(QStringLiteral("select PKdoors from doors where doorName like ? escape '\\' or "
                             "areaName like ? escape '\\'"),
              2, filter.textDoors))
        return RecordStatement::failure(query);
    return QSqlError();
}

} // namespace

namespace EventRecords {

bool isReaderDate(const QDateTime &wallClock)
{
    return wallClock.isValid() && wallClock.date().year() >= 2000 &&
           wallClock.date().year() <= 2099;
}

qint64 toSeconds(const QDateTime &wallClock)
{
    if (!isReaderDate(wallClock))
        return 0;
    return QDateTime(wallClock.date(), wallClock.time(), Qt::UTC).toSecsSinceEpoch();
}

QDateTime fromSeconds(qint64 seconds)
{
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
    return QDateTime(utc.date(), utc.time());
}

QString resultKey(bool granted, int errorNumber, bool onHoliday)
{
    if (granted)
        return QStringLiteral("granted");
    switch (errorNumber) {
    case 1:
        return QStringLiteral("unknown-identifier");
    case 2:
        return onHoliday ? QStringLiteral("holiday") : QStringLiteral("outside-time-window");
    case 3:
        return QStringLiteral("anti-passback");
    default:
        return QStringLiteral("denied-%1").arg(errorNumber);
    }
}

QString resultText(bool granted, int errorNumber, bool onHoliday)
{
    const auto tr = [](const char *text) {
        return QCoreApplication::translate("EventRecords", text);
    };
    if (granted)
        return tr("granted");
    switch (errorNumber) {
    case 1:
        return tr("denied: no right (identifier unknown to the reader)");
    case 2:
        return onHoliday ? tr("denied: holiday") : tr("denied: outside time window");
    case 3:
        return tr("denied: anti-passback");
    default:
        return tr("denied: error %1").arg(errorNumber);
    }
}

qint64 fingerprint(quint32 deviceId, const ReaderEventData &event, int occurrence)
{
    const QByteArray text = QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                                .arg(deviceId)
                                .arg(event.idd.toUpper())
                                .arg(event.antenna)
                                .arg(event.granted ? 1 : 0)
                                .arg(event.errorNumber)
                                .arg(event.inputState)
                                .arg(occurrence)
                                .toUtf8();
    const QByteArray hash = QCryptographicHash::hash(text, QCryptographicHash::Sha1);
    qint64 value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | quint8(hash.at(i));
    return value & 0x7fffffff;
}

QSqlError store(QSqlQuery &query, int pkDoors, quint32 deviceId,
                const QList<ReaderEventData> &events, const QDateTime &readAt, QList<int> &fresh)
{
    fresh.clear();
    // A read of thousands of events touches the same index pages again and
    // again: a larger page cache for this connection keeps them rather than
    // spilling them to the file in mid-transaction.
    query.exec(QStringLiteral("pragma cache_size=-65536"));
    bool found = false;
    if (!ProjectDatabase::exec(query, QStringLiteral("select 1 from doors where PKdoors=?"),
                               {pkDoors}) ||
        !RecordStatement::fetchOne(query, found))
        return RecordStatement::failure(query);
    if (!found)
        return RecordStatement::refusal(
            QStringLiteral("The entry was removed while its events were read; they were not "
                           "stored."));

    // Who holds which identifier now, as the event files name them.
    AccessRights::TransponderOwners owners;
    if (!AccessRights::transponderOwners(query, pkDoors, owners))
        return RecordStatement::failure(query);

    QHash<int, qint64> copies; // user key -> eventUsers row
    QSqlQuery copy(query.driver()->createResult());
    const auto copyOf = [&](const ImportedTransponderRow &holder, qint64 &key) {
        if (copies.contains(holder.pkUsers)) {
            key = copies.value(holder.pkUsers);
            return true;
        }
        const QVariantList values{holder.pkUsers, holder.familyName, holder.firstName,
                                  holder.groupName};
        bool there = false;
        if (!ProjectDatabase::exec(copy,
                                   QStringLiteral("insert into eventUsers (userKey,familyName,"
                                                  "firstName,groupName) values (?,?,?,?) on "
                                                  "conflict do nothing"),
                                   values) ||
            !ProjectDatabase::exec(copy,
                                   QStringLiteral("select PKeventUsers from eventUsers where "
                                                  "userKey=? and familyName=? and firstName=? "
                                                  "and groupName=?"),
                                   values) ||
            !RecordStatement::fetchOne(copy, there) || !there)
            return false;
        key = copy.value(0).toLongLong();
        copies.insert(holder.pkUsers, key);
        return true;
    };

    if (!query.prepare(QStringLiteral(
            "insert into events (FKdoors,readerTime,fingerprint,deviceId,idd,antenna,granted,"
            "errorNumber,inputState,flags,readAt,FKeventUsers) values (?,?,?,?,?,?,?,?,?,?,?,?) "
            "on conflict do nothing")))
        return RecordStatement::failure(query);
    const qint64 readAtSeconds = readAt.toSecsSinceEpoch();
    QHash<QByteArray, int> seen; // equal events so far in this read
    for (int i = 0; i < events.size(); ++i) {
        const ReaderEventData &event = events.at(i);
        const qint64 seconds = toSeconds(event.readerTime);
        const QByteArray same = QByteArray::number(seconds) + '|' + event.idd.toUpper().toLatin1() +
                                '|' + QByteArray::number(event.antenna) + '|' +
                                QByteArray::number(event.granted ? 1 : 0) + '|' +
                                QByteArray::number(event.errorNumber) + '|' +
                                QByteArray::number(event.inputState);
        const int occurrence = seen.value(same, 0);
        seen.insert(same, occurrence + 1);

        QVariant userCopy(QVariant::LongLong);
        const auto holder = owners.constFind(AccessRights::transponderKey(event.idd));
        if (holder != owners.constEnd() && !holder->isEmpty()) {
            qint64 key = 0;
            if (!copyOf(holder->first(), key))
                return RecordStatement::failure(copy);
            userCopy = key;
        }
        query.bindValue(0, pkDoors);
        query.bindValue(1, seconds);
        query.bindValue(2, fingerprint(deviceId, event, occurrence));
        query.bindValue(3, qint64(deviceId));
        query.bindValue(4, event.idd.toUpper());
        query.bindValue(5, event.antenna);
        query.bindValue(6, event.granted ? 1 : 0);
        query.bindValue(7, event.errorNumber);
        query.bindValue(8, event.inputState);
        query.bindValue(9, seconds == 0 ? 1 : 0);
        query.bindValue(10, readAtSeconds);
        query.bindValue(11, userCopy);
        if (!query.exec())
            return RecordStatement::failure(query);
        if (query.numRowsAffected() == 1)
            fresh << i;
    }
    return QSqlError();
}

QSqlError removeOlderThan(QSqlQuery &query, int days, const QDateTime &now, int &removed)
{
    removed = 0;
    if (days <= 0)
        return QSqlError();
    const qint64 limit = toSeconds(now.addDays(-days));
    if (limit <= 0)
        return QSqlError();
    if (!ProjectDatabase::exec(
            query, QStringLiteral("delete from events where readerTime<? and (flags&1)=0"),
            {limit}))
        return RecordStatement::failure(query);
    removed = query.numRowsAffected();
    if (!query.exec(QStringLiteral("delete from eventUsers where PKeventUsers not in (select "
                                   "FKeventUsers from events where FKeventUsers is not null)")))
        return RecordStatement::failure(query);
    return QSqlError();
}

QSqlError list(QSqlQuery &query, const EventFilter &filter, const EventCursor &after, int limit,
               QList<EventRow> &rows)
{
    rows.clear();
    EventFilter resolved = filter;
    const QSqlError textError = resolveText(query, resolved);
    if (textError.isValid())
        return textError;
    QVariantList values;
    QString where = resolved.clause(values);
    if (after.valid) {
        // The first term bounds the index range; an "or" alone would not.
        where += QStringLiteral(" and e.readerTime<=? and (e.readerTime<? or e.PKevents<?)");
        values << after.readerTime << after.readerTime << after.key;
    }
    values << limit;
    query.setForwardOnly(true);
    if (!ProjectDatabase::exec(query,
                               QStringLiteral("select ") + Columns + QStringLiteral(" where ") +
                                   where +
                                   QStringLiteral(" order by e.readerTime desc,e.PKevents desc "
                                                  "limit ?"),
                               values))
        return RecordStatement::failure(query);
    while (query.next())
        rows << rowOf(query);
    return RecordStatement::rowsEnded(query) ? QSqlError() : RecordStatement::failure(query);
}

QSqlError count(QSqlQuery &query, const EventFilter &filter, EventCounts &counts)
{
    counts = EventCounts();
    EventFilter resolved = filter;
    const QSqlError textError = resolveText(query, resolved);
    if (textError.isValid())
        return textError;
    QVariantList values;
    const QString where = resolved.clause(values);
    bool found = false;
    if (!ProjectDatabase::exec(
            query,
            QStringLiteral("select count(*),total(e.granted),total(e.FKeventUsers is null) from "
                           "events e where ") +
                where,
            values) ||
        !RecordStatement::fetchOne(query, found))
        return RecordStatement::failure(query);
    if (found) {
        counts.total = query.value(0).toLongLong();
        counts.granted = qint64(query.value(1).toDouble());
        counts.unknown = qint64(query.value(2).toDouble());
    }
    return QSqlError();
}

QSqlError holidayDates(QSqlQuery &query, QSet<QDate> &dates)
{
    dates.clear();
    if (!query.exec(QStringLiteral("select date from holidays")))
        return RecordStatement::failure(query);
    while (query.next())
        dates.insert(QDate::fromString(query.value(0).toString(), QStringLiteral("yyyy.MM.dd")));
    return RecordStatement::rowsEnded(query) ? QSqlError() : RecordStatement::failure(query);
}

QSqlError choices(QSqlQuery &query, EventChoices &choices)
{
    choices = EventChoices();
    if (!query.exec(QStringLiteral("select PKdoors,areaName,doorName from doors order by "
                                   "areaName,doorName")))
        return RecordStatement::failure(query);
    while (query.next()) {
        choices.entries.append(
            {query.value(0).toInt(), query.value(1).toString(), query.value(2).toString()});
        if (!choices.areas.contains(query.value(1).toString()))
            choices.areas << query.value(1).toString();
    }
    if (!RecordStatement::rowsEnded(query) ||
        !query.exec(QStringLiteral("select distinct groupName from eventUsers order by 1")))
        return RecordStatement::failure(query);
    while (query.next())
        choices.groups << query.value(0).toString();
    if (!RecordStatement::rowsEnded(query) ||
        !query.exec(QStringLiteral("select distinct familyName,firstName from eventUsers order "
                                   "by 1,2")))
        return RecordStatement::failure(query);
    while (query.next())
        choices.users.append({query.value(0).toString(), query.value(1).toString()});
    return RecordStatement::rowsEnded(query) ? QSqlError() : RecordStatement::failure(query);
}

QSqlError lastSeen(QSqlQuery &query, QHash<int, EventRow> &rows)
{
    rows.clear();
    // Per user copy the latest granted event: the index on (FKeventUsers,
    // readerTime) answers each max() with one step.
    if (!query.exec(QStringLiteral("select ") + Columns +
                    QStringLiteral(" join (select FKeventUsers as k,max(readerTime) as t from "
                                   "events where granted=1 and FKeventUsers is not null group "
                                   "by FKeventUsers) m on (m.k=e.FKeventUsers and "
                                   "m.t=e.readerTime) where e.granted=1 order by e.readerTime,"
                                   "e.PKevents")))
        return RecordStatement::failure(query);
    while (query.next()) {
        const EventRow row = rowOf(query);
        rows.insert(row.userKey, row); // later rows win
    }
    return RecordStatement::rowsEnded(query) ? QSqlError() : RecordStatement::failure(query);
}

QSqlError seenInArea(QSqlQuery &query, const QString &area, qint64 since, QList<EventRow> &rows)
{
    rows.clear();
    EventFilter filter;
    filter.area = area;
    filter.from = since;
    filter.result = EventFilter::Granted;
    QVariantList values;
    const QString where = filter.clause(values);
    if (!ProjectDatabase::exec(query,
                               QStringLiteral("select ") + Columns + QStringLiteral(" where ") +
                                   where +
                                   QStringLiteral(" and e.FKeventUsers is not null order by "
                                                  "e.readerTime desc,e.PKevents desc"),
                               values))
        return RecordStatement::failure(query);
    QSet<int> users;
    while (query.next()) {
        const int user = query.value(13).toInt();
        if (users.contains(user))
            continue;
        users.insert(user);
        rows << rowOf(query);
    }
    return RecordStatement::rowsEnded(query) ? QSqlError() : RecordStatement::failure(query);
}

} // namespace EventRecords
