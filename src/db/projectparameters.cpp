#include "db/projectparameters.h"

#include "db/accessrights.h"
#include "db/audittrail.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/recordstatement.h"

#include <QFileInfo>
#include <QJsonObject>

namespace ProjectTags {

namespace {

bool readBool(QSqlQuery &q, const QString &tag)
{
    return ProjectSchema::readProjectTag(q, tag) == QLatin1String("true");
}

bool writeBool(QSqlQuery &q, const QString &tag, bool value)
{
    return ProjectSchema::writeProjectTag(q, tag,
                                          value ? QStringLiteral("true") : QStringLiteral("false"));
}

int readInt(QSqlQuery &q, const QString &tag, int missing)
{
    bool ok = false;
    const int value = ProjectSchema::readProjectTag(q, tag).trimmed().toInt(&ok);
    return ok ? value : missing;
}

QString maskTag(int index)
{
    return QStringLiteral("UhfSelectionMask%1").arg(index);
}

} // namespace

bool isSecureProject(QSqlQuery &q)
{
    return readBool(q, QStringLiteral("IsSecureProject"));
}
bool setIsSecureProject(QSqlQuery &q, bool value)
{
    return writeBool(q, QStringLiteral("IsSecureProject"), value);
}
bool haveHfReader(QSqlQuery &q)
{
    return readBool(q, QStringLiteral("HaveHfReader"));
}
bool setHaveHfReader(QSqlQuery &q, bool value)
{
    return writeBool(q, QStringLiteral("HaveHfReader"), value);
}
bool supportIso15693(QSqlQuery &q)
{
    return readBool(q, QStringLiteral("SupportIso15693"));
}
bool setSupportIso15693(QSqlQuery &q, bool value)
{
    return writeBool(q, QStringLiteral("SupportIso15693"), value);
}
int hfIddLength(QSqlQuery &q)
{
    return readInt(q, QStringLiteral("HfIddLength"), 7);
}
bool setHfIddLength(QSqlQuery &q, int value)
{
    return ProjectSchema::writeProjectTag(q, QStringLiteral("HfIddLength"), QString::number(value));
}
bool haveUhfReader(QSqlQuery &q)
{
    return readBool(q, QStringLiteral("HaveUhfReader"));
}
bool setHaveUhfReader(QSqlQuery &q, bool value)
{
    return writeBool(q, QStringLiteral("HaveUhfReader"), value);
}
int uhfIddLength(QSqlQuery &q)
{
    return readInt(q, QStringLiteral("UhfIddLength"), 12);
}
bool setUhfIddLength(QSqlQuery &q, int value)
{
    return ProjectSchema::writeProjectTag(q, QStringLiteral("UhfIddLength"),
                                          QString::number(value));
}
SelectionMask uhfSelectionMask(QSqlQuery &q, int index)
{
    return SelectionMask::fromStored(ProjectSchema::readProjectTag(q, maskTag(index)));
}
bool setUhfSelectionMask(QSqlQuery &q, int index, const SelectionMask &mask)
{
    return ProjectSchema::writeProjectTag(q, maskTag(index), mask.toStored());
}
double defaultRelaisHoldTime(QSqlQuery &q)
{
    bool ok = false;
    const double value = ProjectSchema::readProjectTag(q, QStringLiteral("DefaultRelaisHoldTime"))
                             .trimmed()
                             .toDouble(&ok);
    return ok ? value : 1.0;
}
bool setDefaultRelaisHoldTime(QSqlQuery &q, double value)
{
    return ProjectSchema::writeProjectTag(q, QStringLiteral("DefaultRelaisHoldTime"),
                                          holdTimeText(value));
}

QString siteTimeZone(QSqlQuery &q)
{
    const QString name = ProjectSchema::readProjectTag(q, QStringLiteral("SiteTimeZone")).trimmed();
    return ProjectParameters::isTimeZoneName(name) ? name : QString();
}
bool setSiteTimeZone(QSqlQuery &q, const QString &name)
{
    // This computer's zone is an empty name; a null one would break the
    // table's "not null" rule and leave the former zone in place.
    return ProjectSchema::writeProjectTag(q, QStringLiteral("SiteTimeZone"),
                                          name.isNull() ? QLatin1String("") : name);
}

int keepEventsDays(QSqlQuery &q)
{
    bool ok = false;
    const int days = ProjectSchema::readProjectTag(q, QStringLiteral("KeepEventsDays")).toInt(&ok);
    return ok && days > 0 ? days : 0;
}
bool setKeepEventsDays(QSqlQuery &q, int days)
{
    return ProjectSchema::writeProjectTag(q, QStringLiteral("KeepEventsDays"),
                                          QString::number(qMax(0, days)));
}

QString holdTimeText(double value)
{
    return QString::number(value, 'f', 1);
}

bool writeAll(QSqlQuery &q, const ProjectParameters &p)
{
    return setIsSecureProject(q, p.isSecureProject) && setHaveHfReader(q, p.haveHfReader) &&
           setSupportIso15693(q, p.supportIso15693) && setHfIddLength(q, p.hfIddLength) &&
           setHaveUhfReader(q, p.haveUhfReader) && setUhfIddLength(q, p.uhfIddLength) &&
           setUhfSelectionMask(q, 1, p.uhfSelectionMask1) &&
           setUhfSelectionMask(q, 2, p.uhfSelectionMask2) &&
           setUhfSelectionMask(q, 3, p.uhfSelectionMask3) &&
           setDefaultRelaisHoldTime(q, p.defaultRelaisHoldTime) &&
           setSiteTimeZone(q, p.siteTimeZone) && setKeepEventsDays(q, p.keepEventsDays);
}

} // namespace ProjectTags

namespace {

QJsonObject auditValues(const ProjectParameters &p)
{
    return {{QStringLiteral("secure"), p.isSecureProject},
            {QStringLiteral("shortRange"), p.haveHfReader},
            {QStringLiteral("iso15693"), p.supportIso15693},
            {QStringLiteral("hfLength"), p.hfIddLength},
            {QStringLiteral("longRange"), p.haveUhfReader},
            {QStringLiteral("uhfLength"), p.uhfIddLength},
            {QStringLiteral("uhfMask1"), p.uhfSelectionMask1.toStored()},
            {QStringLiteral("uhfMask2"), p.uhfSelectionMask2.toStored()},
            {QStringLiteral("uhfMask3"), p.uhfSelectionMask3.toStored()},
            {QStringLiteral("relayHoldTime"), ProjectTags::holdTimeText(p.defaultRelaisHoldTime)},
            {QStringLiteral("timeZone"), p.siteTimeZone}};
}

// Writes every tag of next and records what changed since before (the tags
// as read at the start of the transaction).
bool writeSettings(QSqlQuery &q, const ProjectParameters &before, const ProjectParameters &next)
{
    // Settings written for the first time (a new project) are all new.
    const bool first = ProjectSchema::readProjectTag(q, QStringLiteral("HaveHfReader")).isNull();
    if (!ProjectTags::writeAll(q, next))
        return false;
    if (!AuditTrail::isRecording())
        return true;
    QJsonObject was = first ? QJsonObject() : auditValues(before);
    QJsonObject is = auditValues(next);
    AuditTrail::keepDifferences(was, is);
    if (was.isEmpty() && is.isEmpty())
        return true;
    AuditRecord record;
    record.action = AuditTrail::Action::Change;
    record.objectKind = AuditTrail::Kind::Settings;
    record.objectName = QFileInfo(next.databasePath).completeBaseName();
    record.valuesBefore = AuditTrail::json(was);
    record.valuesAfter = AuditTrail::json(is);
    return AuditTrail::record(q, record);
}

} // namespace

bool ProjectParameters::loadProjectParameters()
{
    ProjectDatabase db(databasePath);
    if (!db.open())
        return false;
    QSqlQuery q = db.query();
    readTags(q);
    return true;
}

void ProjectParameters::readTags(QSqlQuery &q)
{
    isSecureProject = ProjectTags::isSecureProject(q);
    haveHfReader = ProjectTags::haveHfReader(q);
    supportIso15693 = ProjectTags::supportIso15693(q);
    hfIddLength = ProjectTags::hfIddLength(q);
    haveUhfReader = ProjectTags::haveUhfReader(q);
    uhfIddLength = ProjectTags::uhfIddLength(q);
    uhfSelectionMask1 = ProjectTags::uhfSelectionMask(q, 1);
    uhfSelectionMask2 = ProjectTags::uhfSelectionMask(q, 2);
    uhfSelectionMask3 = ProjectTags::uhfSelectionMask(q, 3);
    defaultRelaisHoldTime = ProjectTags::defaultRelaisHoldTime(q);
    siteTimeZone = ProjectTags::siteTimeZone(q);
    keepEventsDays = ProjectTags::keepEventsDays(q);
}

bool ProjectParameters::saveProjectParameters() const
{
    // A tag that cannot be written (a busy or read-only database) is a failed
    // save, with none of the others changed either.
    return !RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &q) {
                ProjectParameters before;
                before.readTags(q);
                return RecordStatement::outcome(writeSettings(q, before, *this), q);
            }).isValid();
}

bool ProjectParameters::isTimeZoneName(const QString &name)
{
    return !name.isEmpty() && QTimeZone::isTimeZoneIdAvailable(name.toUtf8());
}

QTimeZone ProjectParameters::siteZone() const
{
    return isTimeZoneName(siteTimeZone) ? QTimeZone(siteTimeZone.toUtf8())
                                        : QTimeZone::systemTimeZone();
}

QDateTime ProjectParameters::siteNow() const
{
    return QDateTime::currentDateTimeUtc().toTimeZone(siteZone());
}

QDateTime ProjectParameters::siteMoment(const QDate &date, const QTime &time) const
{
    const QDateTime moment(date, time, siteZone());
    // Qt moves a time the clocks skip past the gap; such a time does not exist there.
    if (!moment.isValid() || moment.date() != date || moment.time() != time)
        return QDateTime();
    return moment;
}

QSqlError ProjectParameters::changeHfIddLength(int newLength)
{
    const QSqlError error = AccessRights::widenShortRangeIdentifiers(databasePath, newLength);
    if (!error.isValid())
        hfIddLength = newLength;
    return error;
}

void ProjectParameters::completeSettings(ProjectParameters &next)
{
    if (next.supportIso15693 && next.hfIddLength < 8)
        next.hfIddLength = 8;
}

QString ProjectParameters::settingsProblem(const ProjectParameters &next, int entries) const
{
    if (!next.haveHfReader && !next.haveUhfReader)
        return tr("A project uses short range or long range transponders, or both: switch one "
                  "on.");
    if (next.supportIso15693 && !next.haveHfReader)
        return tr("ISO 15693 is a short range technology: switch short range on for it.");
    // The readers of the entries hold tables of their technology.
    if (entries > 0 &&
        ((haveHfReader && !next.haveHfReader) || (haveUhfReader && !next.haveUhfReader) ||
         (supportIso15693 && !next.supportIso15693)))
        return tr("The project has entries: a technology it uses cannot be switched off.");
    if (next.hfIddLength < hfIddLength)
        return tr("The short range identifier length cannot shrink below %1 bytes: the "
                  "readers would no longer match the stored identifiers.")
            .arg(hfIddLength);
    if (next.hfIddLength > MaxIddLength || next.uhfIddLength < MinIddLength ||
        next.uhfIddLength > MaxIddLength)
        return tr("An identifier length is %1 to %2 bytes.").arg(MinIddLength).arg(MaxIddLength);
    if (next.supportIso15693 && next.hfIddLength < 8)
        return tr("ISO 15693 identifiers have 8 bytes: the short range length must be 8 or "
                  "more.");
    if (!(next.defaultRelaisHoldTime >= 0 && next.defaultRelaisHoldTime <= MaxRelaisHoldTime))
        return tr("The relay hold time is 0 to %1 seconds.")
            .arg(ProjectTags::holdTimeText(MaxRelaisHoldTime));
    if (!next.siteTimeZone.isEmpty() && !isTimeZoneName(next.siteTimeZone))
        return tr("'%1' is no time zone known here.").arg(next.siteTimeZone);
    if (next.keepEventsDays < 0 || next.keepEventsDays > MaxKeepEventsDays)
        return tr("Events are kept for 0 (for ever) to %1 days.").arg(MaxKeepEventsDays);
    return QString();
}

QSqlError ProjectParameters::saveSettings(const ProjectParameters &next, bool *widened)
{
    const bool widen = next.hfIddLength > hfIddLength;
    const QSqlError error = RecordStatement::runInTransaction(databasePath, [&](QSqlQuery &q) {
        ProjectParameters before;
        before.readTags(q);
        const int entries = EntryRecords::countEntries(q);
        if (entries < 0)
            return RecordStatement::failure(q);
        const QString problem = settingsProblem(next, entries);
        if (!problem.isEmpty())
            return RecordStatement::refusal(problem);
        if (widen && !AccessRights::widenShortRangeIdentifiers(q, next.hfIddLength))
            return RecordStatement::failure(q);
        if (next.uhfIddLength != uhfIddLength &&
            !AccessRights::setNeedsUpdateByTechnology(q, false, true, true))
            return RecordStatement::failure(q);
        return RecordStatement::outcome(writeSettings(q, before, next), q);
    });
    if (widened)
        *widened = !error.isValid() && widen;
    if (!error.isValid()) {
        const QString project = projectPath;
        const QString database = databasePath;
        *this = next;
        projectPath = project;
        databasePath = database;
    }
    return error;
}
