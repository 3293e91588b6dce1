#include "db/projectparameters.h"

#include "db/accessrights.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"

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
    return ProjectSchema::writeProjectTag(q, QStringLiteral("SiteTimeZone"), name);
}

QString holdTimeText(double value)
{
    return QString::number(value, 'f', 1);
}

} // namespace ProjectTags

bool ProjectParameters::loadProjectParameters()
{
    ProjectDatabase db(databasePath);
    if (!db.open())
        return false;
    QSqlQuery q = db.query();
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
    return true;
}

bool ProjectParameters::saveProjectParameters() const
{
    ProjectDatabase db(databasePath);
    if (!db.open())
        return false;
    QSqlQuery q = db.query();
    ProjectTags::setIsSecureProject(q, isSecureProject);
    ProjectTags::setHaveHfReader(q, haveHfReader);
    ProjectTags::setSupportIso15693(q, supportIso15693);
    ProjectTags::setHfIddLength(q, hfIddLength);
    ProjectTags::setHaveUhfReader(q, haveUhfReader);
    ProjectTags::setUhfIddLength(q, uhfIddLength);
    ProjectTags::setUhfSelectionMask(q, 1, uhfSelectionMask1);
    ProjectTags::setUhfSelectionMask(q, 2, uhfSelectionMask2);
    ProjectTags::setUhfSelectionMask(q, 3, uhfSelectionMask3);
    ProjectTags::setDefaultRelaisHoldTime(q, defaultRelaisHoldTime);
    ProjectTags::setSiteTimeZone(q, siteTimeZone);
    return true;
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
