#include "access/timeperiod.h"

#include <QStringList>

namespace {

const char *const kDayTokens[TimePeriod::DayCount] = {"sun", "mon", "tue", "wed",
                                                      "thu", "fri", "sat", "hol"};

// Kept as literals so the translation tools find them.
const char *const kDayNames[TimePeriod::DayCount] = {
    QT_TRANSLATE_NOOP("TimePeriod", "Sunday"),   QT_TRANSLATE_NOOP("TimePeriod", "Monday"),
    QT_TRANSLATE_NOOP("TimePeriod", "Tuesday"),  QT_TRANSLATE_NOOP("TimePeriod", "Wednesday"),
    QT_TRANSLATE_NOOP("TimePeriod", "Thursday"), QT_TRANSLATE_NOOP("TimePeriod", "Friday"),
    QT_TRANSLATE_NOOP("TimePeriod", "Saturday"), QT_TRANSLATE_NOOP("TimePeriod", "Holiday")};

const QLatin1String kAlwaysText("*-*-*");

} // namespace

TimePeriod::TimePeriod(qint32 days, int fromHour, int fromMinute, int toHour, int toMinute)
    : m_days(days), m_fromHour(fromHour), m_fromMinute(fromMinute), m_toHour(toHour),
      m_toMinute(toMinute)
{
}

bool TimePeriod::parse(const QString &text)
{
    *this = TimePeriod();
    if (text == kAlwaysText) {
        *this = always();
        return true;
    }
    const QStringList parts = text.split(QLatin1Char('-'), Qt::SkipEmptyParts);
    if (parts.size() != 3)
        return false;

    // Tokens are searched anywhere in the day part, so "monday" means Monday;
    // order and separators are not checked.
    const QString &dayPart = parts.at(0);
    for (int bit = 0; bit < DayCount; ++bit) {
        if (dayPart.contains(QLatin1String(kDayTokens[bit])))
            m_days |= (1 << bit);
    }
    m_unreadable = !readTime(parts.at(1), m_fromHour, m_fromMinute) ||
                   !readTime(parts.at(2), m_toHour, m_toMinute);
    return !m_unreadable;
}

TimePeriod TimePeriod::fromDefinition(const QString &text, bool *ok)
{
    TimePeriod period;
    const bool read = period.parse(text);
    if (ok)
        *ok = read;
    return period;
}

bool TimePeriod::readTime(const QString &text, qint32 &hour, qint32 &minute)
{
    // Fields that convert are stored as read (the log shows them); only a
    // clock time from 00:00 to 24:00 counts as read.
    const QStringList parts = text.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (parts.size() != 2)
        return false;
    bool hourOk = false;
    hour = parts.at(0).toInt(&hourOk, 10);
    if (!hourOk)
        return false;
    bool minuteOk = false;
    const int value = parts.at(1).toInt(&minuteOk, 10);
    if (minuteOk)
        minute = value;
    return minuteOk && isClockTime(hour, minute);
}

bool TimePeriod::isClockTime(qint64 hour, qint64 minute)
{
    return hour >= 0 && minute >= 0 && minute <= 59 && (hour < 24 || (hour == 24 && minute == 0));
}

bool TimePeriod::isNever() const
{
    // Fields set directly are not range-checked; a time off the clock never
    // reaches a reader.
    return m_unreadable || (m_days & 0xFF) == 0 || !isClockTime(m_fromHour, m_fromMinute) ||
           !isClockTime(m_toHour, m_toMinute) || startMinutes() >= endMinutes();
}

QString TimePeriod::toDefinition() const
{
    if (isNever())
        return QString();
    if (isAlways())
        return kAlwaysText;
    return dayTokens() + QLatin1Char('-') + startText() + QLatin1Char('-') + endText();
}

QString TimePeriod::toDisplay() const
{
    if (isNever())
        return tr("Never");
    if (isAlways())
        return tr("Always");
    return QStringLiteral("%1: %2-%3").arg(dayNames(), startText(), endText());
}

QString TimePeriod::dayTokens() const
{
    QStringList tokens;
    for (int bit = 0; bit < DayCount; ++bit) {
        if (m_days & (1 << bit))
            tokens << dayToken(bit);
    }
    return tokens.join(QLatin1Char(','));
}

QString TimePeriod::dayNames() const
{
    QStringList names;
    for (int bit = 0; bit < DayCount; ++bit) {
        if (m_days & (1 << bit))
            names << dayName(bit);
    }
    return names.join(QLatin1Char(','));
}

QString TimePeriod::dayToken(int bit)
{
    if (bit < 0 || bit >= DayCount)
        return QString();
    return QLatin1String(kDayTokens[bit]);
}

QString TimePeriod::dayName(int bit)
{
    if (bit < 0 || bit >= DayCount)
        return QString();
    return tr(kDayNames[bit]);
}

bool TimePeriod::setStartText(const QString &text)
{
    const bool ok = readTime(text, m_fromHour, m_fromMinute);
    if (ok)
        m_unreadable = false;
    return ok;
}

bool TimePeriod::setEndText(const QString &text)
{
    const bool ok = readTime(text, m_toHour, m_toMinute);
    if (ok)
        m_unreadable = false;
    return ok;
}

QString TimePeriod::timeText(int hour, int minute)
{
    return QStringLiteral("%1:%2")
        .arg(hour, 2, 10, QLatin1Char('0'))
        .arg(minute, 2, 10, QLatin1Char('0'));
}

void TimePeriod::setDays(qint32 days)
{
    // Only new times make an unreadable period readable.
    m_days = days;
}

void TimePeriod::setStart(int hour, int minute)
{
    m_unreadable = false;
    m_fromHour = hour;
    m_fromMinute = minute;
}

void TimePeriod::setEnd(int hour, int minute)
{
    m_unreadable = false;
    m_toHour = hour;
    m_toMinute = minute;
}

QString TimePeriod::periodKey(const QString &modelTag, const QString &definition)
{
    return QStringLiteral("%1#%2").arg(modelTag, definition);
}

QString TimePeriod::periodKey(const QString &modelTag, const TimePeriod &period)
{
    return periodKey(modelTag, period.toDefinition());
}

QString TimePeriod::definitionOfKey(const QString &key)
{
    const int hash = key.indexOf(QLatin1Char('#'));
    return hash < 0 ? QString() : key.mid(hash + 1);
}

bool TimePeriod::operator==(const TimePeriod &other) const
{
    return m_days == other.m_days && m_fromHour == other.m_fromHour &&
           m_fromMinute == other.m_fromMinute && m_toHour == other.m_toHour &&
           m_toMinute == other.m_toMinute && m_unreadable == other.m_unreadable;
}
