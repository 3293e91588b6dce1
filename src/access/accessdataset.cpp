#include "access/accessdataset.h"

#include "access/readeraccesstables.h"
#include "access/timemodel.h"
#include "access/timeperiod.h"

#include <QHash>

namespace {

constexpr int ShortRangeType = 100;
constexpr int LongRangeType = 101;
constexpr int LongRangeType2 = 863;

// The keys of one time model's periods. A period on weekdays and holidays
// becomes two, because the reader marks holiday windows with Days 0. Never
// periods get no key: as keys they would take an index and end the timezone
// table there, while users still carried the bits of the windows after it.
QStringList periodKeysOf(const QString &modelTag, const QString &definition)
{
    QStringList keys;
    TimeModel model(definition);
    TimePeriod period;
    for (bool more = model.first(period); more; more = model.next(period)) {
        if (period.isNever())
            continue;
        QList<TimePeriod> parts;
        const qint32 days = period.days();
        if (days != TimePeriod::AlwaysDays && (days & TimePeriod::Holiday) &&
            (days & ~qint32(TimePeriod::Holiday)) != 0) {
            TimePeriod weekdays = period;
            weekdays.setDays(days & ~qint32(TimePeriod::Holiday));
            TimePeriod holidays = period;
            holidays.setDays(TimePeriod::Holiday);
            parts << weekdays << holidays;
        } else {
            parts << period;
        }
        for (const TimePeriod &part : qAsConst(parts))
            keys << TimePeriod::periodKey(modelTag, part);
    }
    return keys;
}

} // namespace

const QString &AccessDataSet::alwaysTag()
{
    static const QString tag = QStringLiteral("***");
    return tag;
}

const QString &AccessDataSet::alwaysKey()
{
    static const QString key = TimePeriod::periodKey(alwaysTag(), TimePeriod::always());
    return key;
}

QStringList AccessDataSet::periodKeys(const QString &modelTag, const QString &definition)
{
    return periodKeysOf(modelTag, definition);
}

bool AccessDataSet::isAccessReaderType(int readerType)
{
    return readerType == ShortRangeType || readerType == LongRangeType ||
           readerType == LongRangeType2;
}

QString AccessDataSet::identifierOf(const EntryAccessRow &row, int readerType)
{
    if (readerType == ShortRangeType)
        return row.iddIso14443;
    if (readerType == LongRangeType || readerType == LongRangeType2)
        return row.iddClass1Gen2;
    return QString();
}

int AccessDataSet::iddLengthFor(int readerType, int hfIddLength, int uhfIddLength)
{
    if (readerType == ShortRangeType)
        return hfIddLength;
    if (readerType == LongRangeType || readerType == LongRangeType2)
        return uhfIddLength;
    return 0;
}

void AccessDataSet::clear()
{
    m_entries.clear();
    m_leftOut.clear();
    m_periodIndex.clear();
    m_holidays.clear();
    m_overflowKeys.clear();
    m_valid = true;
}

bool AccessDataSet::compile(const QList<EntryAccessRow> &rows, const QList<HolidayRow> &holidays,
                            int readerType, int iddLength)
{
    if (iddLength <= 0)
        iddLength = ReaderAccessTables::MaxIddLength;
    clear();
    for (const HolidayRow &row : holidays) {
        const QDate date = QDate::fromString(row.date, QStringLiteral("yyyy.MM.dd"));
        if (date.isValid())
            m_holidays << date;
    }

    // Rows of one time model share their keys; parse each definition once.
    QHash<QString, QStringList> keysByModel;
    for (const EntryAccessRow &row : rows) {
        const QString idd = identifierOf(row, readerType);
        if (idd.isEmpty())
            continue;
        AccessEntry entry;
        entry.idd = idd.toLatin1();
        entry.lastName = row.familyName;
        entry.firstName = row.firstName;
        entry.modelTag = row.modelTag;
        if (ReaderAccessTables::readerIdd(entry.idd, iddLength).isEmpty()) {
            m_leftOut << entry;
            continue;
        }
        const QString modelKey = row.modelTag + QLatin1Char('#') + row.modelDefinition;
        if (!keysByModel.contains(modelKey))
            keysByModel.insert(modelKey, periodKeysOf(row.modelTag, row.modelDefinition));
        entry.periods = keysByModel.value(modelKey);
        m_entries << entry;
    }

    // Indices in order of first appearance. The always-period is granted
    // through bit 15, whatever tag it came under: as an ordinary window its
    // day word (all bits, the holiday bit among them) would write as Days 0
    // and open on holidays only.
    int nextIndex = 0;
    for (AccessEntry &entry : m_entries) {
        for (const QString &key : qAsConst(entry.periods)) {
            int index = m_periodIndex.value(key, -1);
            if (index < 0) {
                if (key == alwaysKey() ||
                    TimePeriod::definitionOfKey(key) == TimePeriod::always().toDefinition()) {
                    index = AlwaysIndex;
                } else if (nextIndex < MaxTimezones) {
                    index = nextIndex++;
                } else {
                    // No index beyond the fifteen: bit 15 would grant always.
                    if (!m_overflowKeys.contains(key))
                        m_overflowKeys << key;
                    continue;
                }
                m_periodIndex.insert(key, index);
            }
            entry.flags |= 1u << index;
        }
    }
    m_valid = m_overflowKeys.isEmpty();
    return m_valid;
}

QString AccessDataSet::keyOfIndex(int index) const
{
    for (auto it = m_periodIndex.constBegin(); it != m_periodIndex.constEnd(); ++it) {
        if (it.value() == index)
            return it.key();
    }
    return QString();
}

QString AccessDataSet::indexList(quint32 flags)
{
    QStringList indices;
    for (int i = 0; i <= AlwaysIndex; ++i) {
        if (flags & (1u << i))
            indices << QString::number(i);
    }
    return indices.join(QLatin1Char(','));
}

QString AccessDataSet::periodLog() const
{
    QString text = QStringLiteral("Periods (ModelID#Days-From-To):");
    for (int i = 0; i <= AlwaysIndex; ++i) {
        const QString key = keyOfIndex(i);
        if (!key.isNull())
            text += QStringLiteral("\r\n%1: %2").arg(i, 4).arg(key);
    }
    return text;
}

QString AccessDataSet::userLog() const
{
    QString text = QStringLiteral("Users (IDD;Periods;LastName;FirstName;ModelID):");
    for (int i = 0; i < m_entries.size(); ++i) {
        const AccessEntry &entry = m_entries.at(i);
        text += QStringLiteral("\r\n%1: %2;%3;%4;%5;%6")
                    .arg(i, 4)
                    .arg(QString::fromLatin1(entry.idd), indexList(entry.flags), entry.lastName,
                         entry.firstName, entry.modelTag);
    }
    return text;
}

QString AccessDataSet::leftOutLog() const
{
    if (m_leftOut.isEmpty())
        return QString();
    QString text = QStringLiteral("Left out, identifier unreadable or blank (IDD;LastName;"
                                  "FirstName;ModelID):");
    for (const AccessEntry &entry : m_leftOut) {
        text += QStringLiteral("\r\n      %1;%2;%3;%4")
                    .arg(QString::fromLatin1(entry.idd), entry.lastName, entry.firstName,
                         entry.modelTag);
    }
    return text;
}
