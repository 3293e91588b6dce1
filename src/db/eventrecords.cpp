#include "db/eventrecords.h"

#include "db/accessrights.h"
#include "db/projectdatabase.h"
#include "db/recordstatement.h"
#include "db/sqlitestatement.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QHash>
#include <QRegularExpression>

#include <sqlite3.h>

#include <charconv>
#include <memory>

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
                      ? QStringLiteral("1=0")
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

namespace {

void appendNumber(QByteArray &to, qint64 value)
{
    char digits[24];
    const char *end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    to.append(digits, int(end - digits));
}

// "|antenna|granted|error|input", the end of the fingerprint text.
QByteArray tail(const ReaderEventData &event)
{
    QByteArray text;
    text.reserve(32);
    for (const int value :
         {event.antenna, event.granted ? 1 : 0, event.errorNumber, event.inputState}) {
        text += '|';
        appendNumber(text, value);
    }
    return text;
}

// The fingerprint: the first 31 bits of the SHA-1 of
// "device|IDD|antenna|granted|error|input|occurrence" in UTF-8. Stored
// identities depend on these exact bytes.
class FingerprintText
{
public:
    explicit FingerprintText(quint32 deviceId) : m_hash(QCryptographicHash::Sha1)
    {
        appendNumber(m_text, deviceId);
        m_text += '|';
        m_device = m_text.size();
    }

    qint64 of(const QString &upperIdd, const QByteArray &iddText, const QByteArray &tail,
              const ReaderEventData &event, int occurrence)
    {
        // The text was first made by a chain of QString::arg, which also
        // replaced a "%n" inside the identifier: such a rare one is made that
        // way still, so its stored identity holds.
        if (upperIdd.contains(QLatin1Char('%')))
            return firstBits(QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                                 .arg(QString::fromLatin1(m_text.left(m_device - 1)))
                                 .arg(upperIdd)
                                 .arg(event.antenna)
                                 .arg(event.granted ? 1 : 0)
                                 .arg(event.errorNumber)
                                 .arg(event.inputState)
                                 .arg(occurrence)
                                 .toUtf8());
        m_text.truncate(m_device);
        m_text += iddText;
        m_text += tail;
        m_text += '|';
        appendNumber(m_text, occurrence);
        return firstBits(m_text);
    }

private:
    qint64 firstBits(const QByteArray &text)
    {
        m_hash.reset();
        m_hash.addData(text);
        const QByteArray hash = m_hash.result();
        qint64 value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << 8) | quint8(hash.at(i));
        return value & 0x7fffffff;
    }

    QCryptographicHash m_hash;
    QByteArray m_text;
    int m_device = 0;
};

const char InsertEvent[] =
    "insert into events (FKdoors,readerTime,fingerprint,deviceId,idd,antenna,granted,"
    "errorNumber,inputState,flags,readAt,FKeventUsers) values (?,?,?,?,?,?,?,?,?,?,?,?) "
    "on conflict do nothing";
const char InsertUserCopy[] = "insert into eventUsers (userKey,familyName,firstName,groupName) "
                              "values (?,?,?,?) on conflict do nothing";
const char SelectUserCopy[] = "select PKeventUsers from eventUsers where userKey=? and "
                              "familyName=? and firstName=? and groupName=?";

// One row of the events table; idd is UTF-8, userCopy 0 stores null.
struct EventColumns
{
    qint64 pkDoors, readerTime, fingerprint, deviceId;
    QByteArray idd;
    qint64 antenna, granted, errorNumber, inputState, flags, readAt, userCopy;
};

// Stores events and user copies. Where the connection is SQLite, through
// its own interface with statements prepared once: binding a read of
// 65,535 events through QSqlQuery costs more than storing them.
class EventWriter
{
public:
    explicit EventWriter(QSqlQuery &query)
        : m_query(query), m_copy(query.driver()->createResult()),
          m_connection(SqliteStatement::connectionOf(query))
    {
    }

    bool prepare()
    {
        if (!m_connection)
            return m_query.prepare(QString::fromLatin1(InsertEvent)) || fail(m_query);
        m_insert.reset(new SqliteStatement(m_connection, InsertEvent));
        m_insertCopy.reset(new SqliteStatement(m_connection, InsertUserCopy));
        m_selectCopy.reset(new SqliteStatement(m_connection, SelectUserCopy));
        for (const auto *statement : {&m_insert, &m_insertCopy, &m_selectCopy}) {
            if (!(*statement)->isValid())
                return fail(**statement);
        }
        return true;
    }

    // The key of the copy of the holder's names, made when there is none.
    bool userCopy(const ImportedTransponderRow &holder, qint64 &key)
    {
        if (!m_connection) {
            const QVariantList values{holder.pkUsers, holder.familyName, holder.firstName,
                                      holder.groupName};
            bool there = false;
            if (!ProjectDatabase::exec(m_copy, QString::fromLatin1(InsertUserCopy), values) ||
                !ProjectDatabase::exec(m_copy, QString::fromLatin1(SelectUserCopy), values) ||
                !RecordStatement::fetchOne(m_copy, there) || !there)
                return fail(m_copy);
            key = m_copy.value(0).toLongLong();
            return true;
        }
        const QByteArray names[] = {holder.familyName.toUtf8(), holder.firstName.toUtf8(),
                                    holder.groupName.toUtf8()};
        for (SqliteStatement *statement : {m_insertCopy.get(), m_selectCopy.get()}) {
            statement->reset();
            if (!statement->bind(1, holder.pkUsers) || !statement->bindText(2, names[0]) ||
                !statement->bindText(3, names[1]) || !statement->bindText(4, names[2]) ||
                !statement->step())
                return fail(*statement);
        }
        // The copy was just made or was there: no row is a fault.
        if (!m_selectCopy->hasRow())
            return fail(*m_selectCopy);
        key = m_selectCopy->columnInt64(0);
        m_selectCopy->reset();
        return true;
    }

    // Stores the event unless it is there; added tells which.
    bool insert(const EventColumns &row, bool &added)
    {
        const qint64 numbers[] = {
            row.pkDoors, row.readerTime,  row.fingerprint, row.deviceId, 0,         row.antenna,
            row.granted, row.errorNumber, row.inputState,  row.flags,    row.readAt};
        if (!m_connection) {
            for (int i = 0; i < 11; ++i)
                m_query.bindValue(i, i == 4 ? QVariant(QString::fromUtf8(row.idd))
                                            : QVariant(numbers[i]));
            m_query.bindValue(11,
                              row.userCopy ? QVariant(row.userCopy) : QVariant(QVariant::LongLong));
            if (!m_query.exec())
                return fail(m_query);
            added = m_query.numRowsAffected() == 1;
            return true;
        }
        SqliteStatement &insert = *m_insert;
        insert.reset();
        bool ok = true;
        for (int i = 0; ok && i < 11; ++i)
            ok = i == 4 ? insert.bindText(5, row.idd) : insert.bind(i + 1, numbers[i]);
        ok = ok && (row.userCopy ? insert.bind(12, row.userCopy) : insert.bindNull(12)) &&
             insert.step() && insert.code() == SQLITE_DONE;
        if (!ok)
            return fail(insert);
        added = insert.changes() == 1;
        return true;
    }

    // The server's way: the rows of a read in one statement, each column
    // bound as one array, so a read costs one round trip rather than one an
    // event. added[i] tells whether rows[i] was new; of equal identities in
    // the rows the first one is stored, as one by one.
    bool insertAll(const QVector<EventColumns> &rows, QVector<bool> &added)
    {
        added.fill(false, rows.size());
        if (rows.isEmpty())
            return true;
        QVector<QString> columns(12);
        const auto append = [](QString &to, const QString &value) {
            to += to.isEmpty() ? QLatin1Char('{') : QLatin1Char(',');
            to += value;
        };
        QHash<QPair<qint64, qint64>, int> firstOf; // identity -> first row
        firstOf.reserve(rows.size());
        for (int i = 0; i < rows.size(); ++i) {
            const EventColumns &row = rows.at(i);
            const qint64 numbers[] = {row.pkDoors, row.readerTime, row.fingerprint, row.deviceId,
                                      row.antenna, row.granted,    row.errorNumber, row.inputState,
                                      row.flags,   row.readAt};
            for (int c = 0; c < 10; ++c)
                append(columns[c < 4 ? c : c + 1], QString::number(numbers[c]));
            // Array elements in quotes, with quote and backslash escaped.
            QString idd = QString::fromUtf8(row.idd);
            idd.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
            idd.replace(QLatin1Char('"'), QStringLiteral("\\\""));
            append(columns[4], QLatin1Char('"') + idd + QLatin1Char('"'));
            append(columns[11],
                   row.userCopy ? QString::number(row.userCopy) : QStringLiteral("NULL"));
            if (!firstOf.contains({row.readerTime, row.fingerprint}))
                firstOf.insert({row.readerTime, row.fingerprint}, i);
        }
        QVariantList values;
        for (QString &column : columns)
            values << QVariant(column + QLatin1Char('}'));
        if (!ProjectDatabase::exec(
                m_copy,
                QStringLiteral("insert into events (FKdoors,readerTime,fingerprint,deviceId,idd,"
                               "antenna,granted,errorNumber,inputState,flags,readAt,FKeventUsers) "
                               "select * from unnest(?::bigint[],?::bigint[],?::bigint[],"
                               "?::bigint[],?::text[],?::bigint[],?::bigint[],?::bigint[],"
                               "?::bigint[],?::bigint[],?::bigint[],?::bigint[]) on conflict do "
                               "nothing returning readerTime,fingerprint"),
                values))
            return fail(m_copy);
        while (m_copy.next()) {
            const auto first =
                firstOf.constFind({m_copy.value(0).toLongLong(), m_copy.value(1).toLongLong()});
            if (first != firstOf.cend())
                added[first.value()] = true;
        }
        if (!RecordStatement::rowsEnded(m_copy))
            return fail(m_copy);
        m_copy.finish();
        return true;
    }

    QSqlError error() const { return m_error; }

private:
    bool fail(const QSqlQuery &query)
    {
        m_error = RecordStatement::failure(query);
        return false;
    }
    bool fail(const SqliteStatement &statement)
    {
        m_error = statement.error(QStringLiteral("Unable to store the events"));
        return false;
    }

    QSqlQuery &m_query;
    QSqlQuery m_copy;
    sqlite3 *m_connection = nullptr;
    std::unique_ptr<SqliteStatement> m_insert;
    std::unique_ptr<SqliteStatement> m_insertCopy;
    std::unique_ptr<SqliteStatement> m_selectCopy;
    QSqlError m_error;
};

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
    FingerprintText text(deviceId);
    const QString idd = event.idd.toUpper();
    return text.of(idd, idd.toUtf8(), tail(event), event, occurrence);
}

QSqlError store(QSqlQuery &query, int pkDoors, quint32 deviceId,
                const QList<ReaderEventData> &events, const QDateTime &readAt, QList<int> &fresh)
{
    fresh.clear();
    // A read of thousands of events touches the same index pages again and
    // again: a larger page cache for this connection keeps them rather than
    // spilling them to the file in mid-transaction. (A server has its own;
    // a statement it refuses would abort the caller's transaction.)
    const bool server = ProjectDatabase::isServer(query);
    if (!server)
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

    EventWriter writer(query);
    if (!writer.prepare())
        return writer.error();

    QHash<int, qint64> copies;        // user key -> eventUsers row
    QHash<QString, qint64> copyOfIdd; // identifier -> eventUsers row, 0 for none
    const qint64 readAtSeconds = readAt.toSecsSinceEpoch();
    FingerprintText text(deviceId);
    QHash<QByteArray, int> seen; // equal events so far in this read
    seen.reserve(events.size());
    QByteArray same;
    QVector<EventColumns> batch; // the server's rows, stored together
    for (int i = 0; i < events.size(); ++i) {
        const ReaderEventData &event = events.at(i);
        const qint64 seconds = toSeconds(event.readerTime);
        const QString idd = event.idd.toUpper();
        const QByteArray iddText = idd.toUtf8();
        const QByteArray rest = tail(event);
        // Equal in all but the device: seconds|IDD|antenna|granted|error|input,
        // the identifier in Latin-1 (the same bytes when it is ASCII).
        same.clear();
        appendNumber(same, seconds);
        same += '|';
        same += iddText.size() == idd.size() ? iddText : idd.toLatin1();
        same += rest;
        int &count = seen[same];
        const int occurrence = count++;

        // A read holds few identifiers many times over: each is looked up once.
        auto userCopy = copyOfIdd.find(event.idd);
        if (userCopy == copyOfIdd.end()) {
            qint64 key = 0;
            const auto holder = owners.constFind(AccessRights::transponderKey(event.idd));
            if (holder != owners.constEnd() && !holder->isEmpty()) {
                const ImportedTransponderRow &row = holder->first();
                const auto known = copies.constFind(row.pkUsers);
                if (known != copies.constEnd()) {
                    key = *known;
                } else {
                    if (!writer.userCopy(row, key))
                        return writer.error();
                    copies.insert(row.pkUsers, key);
                }
            }
            userCopy = copyOfIdd.insert(event.idd, key);
        }
        const EventColumns row{pkDoors,
                               seconds,
                               text.of(idd, iddText, rest, event, occurrence),
                               qint64(deviceId),
                               iddText,
                               event.antenna,
                               event.granted ? 1 : 0,
                               event.errorNumber,
                               event.inputState,
                               seconds == 0 ? 1 : 0,
                               readAtSeconds,
                               *userCopy};
        if (server) {
            batch << row;
            continue;
        }
        bool added = false;
        if (!writer.insert(row, added))
            return writer.error();
        if (added)
            fresh << i;
    }
    QVector<bool> added;
    if (!writer.insertAll(batch, added))
        return writer.error();
    for (int i = 0; i < added.size(); ++i) {
        if (added.at(i))
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
            QStringLiteral("select count(*),coalesce(sum(e.granted),0),coalesce(sum(case when "
                           "e.FKeventUsers is null then 1 else 0 end),0) from events e where ") +
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
