#include "access/accessexplainer.h"

#include "access/timemodel.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/holidayrecords.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

QString hexOf(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QString indexText(quint32 flags)
{
    const QString list = AccessDataSet::indexList(flags);
    return list.isEmpty() ? QStringLiteral("-") : list;
}

} // namespace

bool AccessExplanation::has(Reason reason) const
{
    for (const Line &line : lines) {
        if (line.reason == reason)
            return true;
    }
    return false;
}

QStringList AccessExplanation::texts() const
{
    QStringList out;
    for (const Line &line : lines)
        out << line.text;
    return out;
}

QSqlError AccessExplainer::load(const ProjectParameters &project, const QString &entryName,
                                const QDate &heldFrom)
{
    m_loadProblem.clear();
    QList<EntryRow> entries;
    const QSqlError error =
        EntryRecords::listEntries(project.databasePath, EntryRecords::SortByName, true, entries);
    if (error.isValid())
        return error;
    const QList<EntryRow> found = EntryRecords::entriesNamed(entries, entryName);
    if (found.isEmpty()) {
        m_loadProblem = tr("There is no entry '%1'.").arg(entryName);
        return QSqlError();
    }
    if (found.size() > 1) {
        m_loadProblem =
            tr("Several areas have an entry '%1'; name it as AREA/ENTRY.").arg(entryName);
        return QSqlError();
    }
    return loadEntry(project, found.first().pkDoors, heldFrom);
}

QSqlError AccessExplainer::load(const ProjectParameters &project, int pkDoors,
                                const QDate &heldFrom)
{
    m_loadProblem.clear();
    return loadEntry(project, pkDoors, heldFrom);
}

QSqlError AccessExplainer::loadEntry(const ProjectParameters &project, int pkDoors,
                                     const QDate &heldFrom)
{
    m_project = project;
    const QString &db = project.databasePath;
    QList<EntryRow> entries;
    QSqlError error = EntryRecords::listEntries(db, EntryRecords::SortByName, true, entries);
    m_entry = EntryRow();
    for (const EntryRow &row : qAsConst(entries)) {
        if (row.pkDoors == pkDoors)
            m_entry = row;
    }
    if (!error.isValid() && m_entry.pkDoors == 0) {
        m_loadProblem = tr("There is no entry with key %1.").arg(pkDoors);
        return QSqlError();
    }
    QList<EntryBoardRow> board;
    if (!error.isValid())
        error = EntryRecords::listEntriesForBoard(db, board);
    m_pending = false;
    for (const EntryBoardRow &row : qAsConst(board)) {
        if (row.pkDoors == pkDoors)
            m_pending = row.needsUpdate;
    }
    if (!error.isValid())
        error = UserRecords::listUsers(db, 0, true, m_users);
    QList<AccessRow> rights;
    if (!error.isValid())
        error = AccessRights::listAccess(db, rights);
    m_rights.clear();
    for (const AccessRow &row : qAsConst(rights)) {
        if (row.pkDoors == pkDoors)
            m_rights << row;
    }
    if (!error.isValid())
        error = TimeModelRecords::listTimeModels(db, 0, m_models);
    if (!error.isValid())
        error = HolidayRecords::listHolidays(db, m_allHolidays);
    QList<HolidayRow> upcoming;
    if (!error.isValid())
        error = HolidayRecords::listUpcomingHolidays(db, heldFrom, upcoming);
    QList<EntryAccessRow> rows;
    if (!error.isValid())
        error = AccessRights::readEntryAccess(db, pkDoors, rows);
    if (error.isValid())
        return error;

    // The same compilation and filling an update runs, so the decision is
    // taken from the very tables the reader would receive.
    const int type = m_entry.readerType;
    m_iddLength = AccessDataSet::iddLengthFor(type, project.hfIddLength, project.uhfIddLength);
    m_dataSet.compile(rows, upcoming, type, m_iddLength);
    m_compiled.reset();
    if (AccessDataSet::isAccessReaderType(type)) {
        m_compiled.fillTimezones(m_dataSet);
        m_compiled.fillHolidays(m_dataSet);
        m_compiled.fillAccess(m_dataSet, m_iddLength);
    }
    m_tables = DecisionTables::fromCompiled(m_compiled);
    return QSqlError();
}

QString AccessExplainer::userName(const UserRow &user)
{
    return user.firstName.isEmpty() ? user.familyName
                                    : QStringLiteral("%1, %2").arg(user.familyName, user.firstName);
}

QList<UserRow> AccessExplainer::usersNamed(const QList<UserRow> &users, const QString &name)
{
    const int comma = name.indexOf(QLatin1Char(','));
    const QString family = (comma < 0 ? name : name.left(comma)).trimmed();
    const QString first = comma < 0 ? QString() : name.mid(comma + 1).trimmed();
    for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        QList<UserRow> found;
        for (const UserRow &user : users) {
            if (user.familyName.trimmed().compare(family, cs) == 0 &&
                user.firstName.trimmed().compare(first, cs) == 0)
                found << user;
        }
        if (!found.isEmpty())
            return found;
    }
    return {};
}

QString AccessExplainer::identifierOf(const UserRow &user) const
{
    EntryAccessRow row;
    row.iddIso14443 = user.iddIso14443;
    row.iddClass1Gen2 = user.iddClass1Gen2;
    return AccessDataSet::identifierOf(row, m_entry.readerType);
}

const AccessEntry *AccessExplainer::ownerOf(const QByteArray &key) const
{
    if (key.isEmpty() || !m_tables.access().contains(key))
        return nullptr;
    for (const AccessEntry &entry : m_dataSet.entries()) {
        if (ReaderAccessTables::readerIdd(entry.idd, m_iddLength) == key)
            return &entry;
    }
    return nullptr;
}

QString AccessExplainer::momentText(const QDateTime &at) const
{
    // Day names as the periods show them.
    return QStringLiteral("%1 %2").arg(TimePeriod::dayName(at.date().dayOfWeek() % 7),
                                       at.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

QString AccessExplainer::verdictText(const TableDecision &d, const QString &who,
                                     const QDateTime &at) const
{
    return d.permitted()
               ? tr("Permitted: %1 at %2 on %3").arg(who, m_entry.doorName, momentText(at))
               : tr("Denied: %1 at %2 on %3").arg(who, m_entry.doorName, momentText(at));
}

QString AccessExplainer::windowText(const DecisionTables &tables, int index) const
{
    if (index == AccessDataSet::AlwaysIndex)
        return TimePeriod::always().toDisplay();
    if (index < 0 || index >= tables.timezones().size())
        return tr("none");
    return tables.timezones().at(index).toPeriod().toDisplay();
}

AccessExplanation AccessExplainer::explainUser(const UserRow &user, const QDateTime &at) const
{
    AccessExplanation e;
    const QString who = userName(user);
    const QString stored = identifierOf(user);
    const TransponderIdd idd = TransponderIdd::fromStored(stored);
    e.add(AccessExplanation::Subject,
          stored.isEmpty() ? tr("User: %1").arg(who)
                           : tr("User: %1, identifier %2").arg(who, idd.toDisplay()));
    bool hasRight = false;
    for (const AccessRow &right : m_rights)
        hasRight = hasRight || right.pkUsers == user.pkUsers;

    if (!AccessDataSet::isAccessReaderType(m_entry.readerType)) {
        e.add(AccessExplanation::NotAccessReader,
              tr("The reader of %1 (type %2) holds no access tables.")
                  .arg(m_entry.doorName)
                  .arg(m_entry.readerType));
    } else if (stored.isEmpty()) {
        const bool longRange = m_entry.readerType != AccessRights::ShortRangeReader;
        e.add(AccessExplanation::NoIdentifier,
              longRange ? tr("%1 has no long-range identifier, which the reader of %2 reads.")
                              .arg(who, m_entry.doorName)
                        : tr("%1 has no short-range identifier, which the reader of %2 reads.")
                              .arg(who, m_entry.doorName));
    } else {
        const QByteArray key = ReaderAccessTables::readerIdd(stored.toLatin1(), m_iddLength);
        const QByteArray bytes = ReaderAccessTables::iddBytesOfStored(stored.toLatin1());
        e.decision.key = key;
        e.presented = bytes;
        if (!hasRight)
            e.add(AccessExplanation::NoRight,
                  tr("%1 has no right at %2.").arg(who, m_entry.doorName));
        if (!bytes.isEmpty() && bytes.size() < m_iddLength)
            e.add(AccessExplanation::ShortIdentifier,
                  tr("The identifier has %1 bytes, fewer than the project length of %2: the "
                     "reader holds it as %3 and does not match a tag that presents %2 bytes.")
                      .arg(bytes.size())
                      .arg(m_iddLength)
                      .arg(hexOf(key)));
        if (key.isEmpty()) {
            e.add(AccessExplanation::LeftOut,
                  tr("The identifier is blank or unreadable at the project length of %1 bytes: it "
                     "is never sent to a reader.")
                      .arg(m_iddLength));
        } else {
            e.decision = m_tables.decide(key, at);
            const AccessEntry *owner = ownerOf(key);
            if (owner && (owner->idd != stored.toLatin1() || owner->lastName != user.familyName ||
                          owner->firstName != user.firstName))
                e.add(AccessExplanation::SharedRecord,
                      tr("The reader holds this identifier for %1, whose identifier has the same "
                         "first %2 bytes: those rights apply.")
                          .arg(owner->firstName.isEmpty() ? owner->lastName
                                                          : QStringLiteral("%1, %2").arg(
                                                                owner->lastName, owner->firstName))
                          .arg(m_iddLength));
            if (hasRight || owner)
                explainRecord(e, key, at);
        }
    }
    addCommon(e);
    e.lines.prepend({AccessExplanation::Verdict, verdictText(e.decision, who, at)});
    return e;
}

AccessExplanation AccessExplainer::explainIdentifier(const QByteArray &identifier,
                                                     const QDateTime &at) const
{
    AccessExplanation e;
    const QString hex = hexOf(identifier);
    if (!AccessDataSet::isAccessReaderType(m_entry.readerType)) {
        e.add(AccessExplanation::NotAccessReader,
              tr("The reader of %1 (type %2) holds no access tables.")
                  .arg(m_entry.doorName)
                  .arg(m_entry.readerType));
        addCommon(e);
        e.lines.prepend({AccessExplanation::Verdict,
                         verdictText(e.decision, tr("identifier %1").arg(hex), at)});
        return e;
    }
    e.presented = identifier;
    e.decision = m_tables.decide(identifier, at);
    const QByteArray key = e.decision.key;

    // Whose identifier the reader takes it for.
    QStringList owners;
    for (const UserRow &user : m_users) {
        const QString stored = identifierOf(user);
        if (!stored.isEmpty() &&
            ReaderAccessTables::readerIdd(stored.toLatin1(), m_iddLength) == key)
            owners << userName(user);
    }
    e.add(AccessExplanation::Subject,
          owners.isEmpty()
              ? tr("Identifier %1 belongs to no user.").arg(hex)
              : tr("Identifier %1 belongs to %2.").arg(hex, owners.join(QStringLiteral("; "))));

    if (!ownerOf(key)) {
        e.add(AccessExplanation::UnknownIdentifier,
              tr("The reader of %1 holds no record for %2.").arg(m_entry.doorName, hexOf(key)));
        if (!owners.isEmpty())
            e.add(AccessExplanation::NoRight,
                  tr("%1 has no right at %2.")
                      .arg(owners.join(QStringLiteral("; ")), m_entry.doorName));
        // A tag read before the project length grew is stored shorter; the
        // reader extends it with zero bytes and no longer matches the tag.
        for (const UserRow &user : m_users) {
            const QString stored = identifierOf(user);
            const QByteArray bytes = ReaderAccessTables::iddBytesOfStored(stored.toLatin1());
            if (bytes.isEmpty() || bytes.size() >= m_iddLength ||
                bytes.size() >= identifier.size() || !identifier.startsWith(bytes))
                continue;
            e.add(AccessExplanation::ShortIdentifier,
                  tr("%1 holds the shorter identifier %2 (%3 of %4 bytes): the reader holds it as "
                     "%5 and does not match this tag.")
                      .arg(userName(user), hexOf(bytes))
                      .arg(bytes.size())
                      .arg(m_iddLength)
                      .arg(hexOf(ReaderAccessTables::readerIdd(stored.toLatin1(), m_iddLength))));
        }
    } else {
        explainRecord(e, key, at);
    }
    addCommon(e);
    e.lines.prepend({AccessExplanation::Verdict,
                     verdictText(e.decision,
                                 owners.isEmpty() ? tr("identifier %1").arg(hex)
                                                  : owners.join(QStringLiteral("; ")),
                                 at)});
    return e;
}

void AccessExplainer::explainRecord(AccessExplanation &e, const QByteArray &key,
                                    const QDateTime &at) const
{
    const AccessEntry *owner = ownerOf(key);
    if (!owner) {
        e.add(AccessExplanation::UnknownIdentifier,
              tr("The reader of %1 holds no record for %2.").arg(m_entry.doorName, hexOf(key)));
        return;
    }
    QString modelName;
    QString definition;
    for (const TimeModelRow &model : m_models) {
        if (model.modelTag == owner->modelTag) {
            modelName = TimeModelRecords::shownName(model);
            definition = model.modelDefinition;
        }
    }
    const QString periods = TimeModel(definition).toDisplay();
    e.add(AccessExplanation::Right,
          tr("Right: time model %1 (%2): %3").arg(owner->modelTag, modelName, periods));
    const TableDecision &d = e.decision;
    if (d.flags & AccessDataSet::AlwaysFlag) {
        e.add(AccessExplanation::Always,
              tr("Time model %1 grants at all times.").arg(owner->modelTag));
        return;
    }
    if (d.holiday) {
        QString comment;
        for (const HolidayRow &h : m_allHolidays) {
            if (QDate::fromString(h.date, HolidayRecords::DateFormat) == at.date())
                comment = h.comment;
        }
        e.add(AccessExplanation::Holiday,
              comment.isEmpty()
                  ? tr("%1 is a holiday: only holiday periods apply.")
                        .arg(at.date().toString(QStringLiteral("yyyy-MM-dd")))
                  : tr("%1 is a holiday (%2): only holiday periods apply.")
                        .arg(at.date().toString(QStringLiteral("yyyy-MM-dd")), comment));
    }
    if (d.permitted()) {
        e.add(AccessExplanation::CoveringPeriod,
              tr("The period %1 covers %2.")
                  .arg(windowText(m_tables, d.grantingIndex), momentText(at)));
    } else {
        e.add(AccessExplanation::NoCoveringPeriod,
              tr("No period of %1 covers %2; its periods: %3")
                  .arg(owner->modelTag, momentText(at), periods));
    }
}

void AccessExplainer::addCommon(AccessExplanation &e) const
{
    if (!m_dataSet.isValid())
        e.add(AccessExplanation::TooManyPeriods,
              tr("The rights at %1 need more than %2 time windows: an update fails and the "
                 "reader keeps its older tables.")
                  .arg(m_entry.doorName)
                  .arg(AccessDataSet::MaxTimezones));
    if (m_pending) {
        const QDateTime last = lastSuccessfulUpdate();
        e.add(AccessExplanation::Pending,
              last.isValid()
                  ? tr("%1 is waiting for an update: its reader decides from older tables, last "
                       "updated successfully at %2.")
                        .arg(m_entry.doorName, last.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                  : tr("%1 is waiting for an update: its reader decides from older tables; no "
                       "successful update is logged.")
                        .arg(m_entry.doorName));
    }
}

void AccessExplainer::compareWithReader(AccessExplanation &e, const DecisionTables &reader,
                                        const QDateTime &at) const
{
    const TableDecision &db = e.decision;
    const TableDecision rd = reader.decide(e.presented, at);
    e.readerAsked = true;
    e.readerDecision = rd;
    switch (rd.cause) {
    case TableDecision::Permitted:
        e.add(AccessExplanation::ReaderVerdict, tr("Reader: permitted"));
        break;
    case TableDecision::UnknownIdentifier:
        e.add(AccessExplanation::ReaderVerdict, tr("Reader: denied, identifier unknown"));
        break;
    case TableDecision::OutsideTimezones:
        e.add(AccessExplanation::ReaderVerdict, tr("Reader: denied, outside its time windows"));
        break;
    }
    const int before = e.lines.size();
    if (reader.iddLength() != m_tables.iddLength())
        e.add(AccessExplanation::ReaderDiffers,
              tr("The reader compares %1 bytes of an identifier, the project %2.")
                  .arg(reader.iddLength())
                  .arg(m_tables.iddLength()));
    const bool dbHas = m_tables.access().contains(db.key);
    const bool readerHas = reader.access().contains(rd.key);
    if (dbHas && !readerHas)
        e.add(AccessExplanation::ReaderDiffers,
              tr("The reader holds no record for this identifier; the database gives it windows "
                 "%1.")
                  .arg(indexText(db.flags)));
    else if (!dbHas && readerHas)
        e.add(AccessExplanation::ReaderDiffers,
              tr("The reader still holds a record for this identifier, with windows %1; the "
                 "database has none.")
                  .arg(indexText(rd.flags)));
    else if (dbHas && rd.flags != db.flags)
        e.add(AccessExplanation::ReaderDiffers,
              tr("The reader's record carries windows %1, the database's %2.")
                  .arg(indexText(rd.flags), indexText(db.flags)));
    if (rd.holiday != db.holiday)
        e.add(AccessExplanation::ReaderDiffers,
              rd.holiday ? tr("The reader holds %1 as a holiday, the database does not.")
                               .arg(at.date().toString(QStringLiteral("yyyy-MM-dd")))
                         : tr("The database holds %1 as a holiday, the reader does not.")
                               .arg(at.date().toString(QStringLiteral("yyyy-MM-dd"))));
    const quint32 used = (quint32(rd.flags) | quint32(db.flags)) & ~AccessDataSet::AlwaysFlag;
    for (int i = 0; i < AccessDataSet::MaxTimezones; ++i) {
        if (!(used & (1u << i)))
            continue;
        const QString mine = windowText(m_tables, i);
        const QString theirs = windowText(reader, i);
        if (mine != theirs)
            e.add(AccessExplanation::ReaderDiffers,
                  tr("Window %1 on the reader: %2; in the database: %3").arg(i).arg(theirs, mine));
    }
    if (rd.cause != db.cause && e.lines.size() == before)
        e.add(AccessExplanation::ReaderDiffers,
              tr("The reader's tables differ from the database's."));
    if (e.lines.size() == before)
        e.add(AccessExplanation::ReaderAgrees,
              tr("The reader decides from the same tables as the database."));
}

bool AccessExplainer::permits(const UserRow &user, const QDateTime &at) const
{
    if (!AccessDataSet::isAccessReaderType(m_entry.readerType))
        return false;
    const QByteArray key =
        ReaderAccessTables::readerIdd(identifierOf(user).toLatin1(), m_iddLength);
    return !key.isEmpty() && m_tables.decide(key, at).permitted();
}

QList<UserRow> AccessExplainer::usersPermitted(const QDateTime &at) const
{
    QList<UserRow> out;
    for (const UserRow &user : m_users) {
        if (permits(user, at))
            out << user;
    }
    return out;
}

QDateTime AccessExplainer::lastSuccessfulUpdate() const
{
    return lastSuccessfulUpdate(m_project.projectPath, m_entry.doorName, m_entry.readerSerNo);
}

QDateTime AccessExplainer::lastSuccessfulUpdate(const QString &projectPath, const QString &doorName,
                                                const QString &readerSerNo)
{
    // The update function's log: an entry header, then the entry's lines up
    // to the next header; "DONE" among them marks a success.
    static const QRegularExpression header(
        QStringLiteral("^(\\d{4}\\.\\d\\d\\.\\d\\d-\\d\\d:\\d\\d:\\d\\d)\\.\\d{3}     ENTRY: "
                       "'(.*)'     READER: '.*' "
                       "ID=0x(\\S*) via"));
    const QDir folder(QStringLiteral("%1/log/update-access-cfg").arg(projectPath));
    QDateTime last;
    const QStringList files =
        folder.entryList({QStringLiteral("log-*.log")}, QDir::Files, QDir::Name);
    for (const QString &name : files) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QStringList lines = QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'));
        QDateTime current;
        for (QString line : lines) {
            line.remove(QLatin1Char('\r'));
            const QRegularExpressionMatch m = header.match(line);
            if (m.hasMatch()) {
                current = m.captured(2) == doorName && m.captured(3) == readerSerNo
                              ? QDateTime::fromString(m.captured(1),
                                                      QStringLiteral("yyyy.MM.dd-HH:mm:ss"))
                              : QDateTime();
            } else if (current.isValid() &&
                       line.startsWith(QLatin1String("Update Access Configuration DONE"))) {
                if (!last.isValid() || current > last)
                    last = current;
            }
        }
    }
    return last;
}
