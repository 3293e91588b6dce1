#include "access/timemodel.h"

#include <QRegularExpression>

TimeModel::TimeModel(const QString &definition)
    : m_definition(definition), m_periodStrings(definition.split(QLatin1Char('|')))
{
}

bool TimeModel::first(TimePeriod &period)
{
    m_next = 0;
    return next(period);
}

bool TimeModel::next(TimePeriod &period)
{
    if (m_next >= m_periodStrings.size())
        return false;
    period.parse(m_periodStrings.at(m_next++));
    return true;
}

QList<TimePeriod> TimeModel::periods() const
{
    QList<TimePeriod> result;
    result.reserve(m_periodStrings.size());
    for (const QString &text : m_periodStrings)
        result << TimePeriod::fromDefinition(text);
    return result;
}

QString TimeModel::toDisplay() const
{
    QStringList displays;
    for (const TimePeriod &period : periods())
        displays << period.toDisplay();
    return displays.join(QStringLiteral(" | "));
}

QString TimeModel::definitionFromPeriods(const QList<TimePeriod> &periods)
{
    QString text;
    for (const TimePeriod &period : periods) {
        if (!text.isEmpty())
            text += QLatin1Char('|');
        text += period.toDefinition();
    }
    return text;
}

QString TimeModel::parseDefinition(const QString &text, QString *canonical)
{
    if (text.trimmed().isEmpty())
        return tr("No model definition given");
    const QStringList parts = text.split(QLatin1Char('|'));
    if (parts.size() > MaxPeriods)
        return tr("A time model has at most %1 periods; '%2' has %3.")
            .arg(MaxPeriods)
            .arg(text)
            .arg(parts.size());
    static const QRegularExpression form(
        QStringLiteral("^([a-z,]+)-(\\d{1,2}):(\\d{2})-(\\d{1,2}):(\\d{2})$"));
    QList<TimePeriod> periods;
    bool active = false;
    for (int i = 0; i < parts.size(); ++i) {
        const QString part = parts.at(i).trimmed();
        if (part.isEmpty()) {
            periods << TimePeriod::never();
            continue;
        }
        const QRegularExpressionMatch match = form.match(part.toLower());
        const QString refusal = tr("Period %1 '%2' is not of the form mon,tue-07:00-19:00 "
                                   "(days sun mon tue wed thu fri sat hol, times 00:00 to 24:00).")
                                    .arg(i + 1)
                                    .arg(part);
        if (!match.hasMatch())
            return refusal;
        qint32 days = 0;
        for (const QString &token : match.captured(1).split(QLatin1Char(','))) {
            int bit = 0;
            while (bit < TimePeriod::DayCount && TimePeriod::dayToken(bit) != token)
                ++bit;
            if (bit == TimePeriod::DayCount || (days & (1 << bit)))
                return refusal;
            days |= 1 << bit;
        }
        const int numbers[4] = {match.captured(2).toInt(), match.captured(3).toInt(),
                                match.captured(4).toInt(), match.captured(5).toInt()};
        if (!TimePeriod::isClockTime(numbers[0], numbers[1]) ||
            !TimePeriod::isClockTime(numbers[2], numbers[3]))
            return refusal;
        const TimePeriod period(days, numbers[0], numbers[1], numbers[2], numbers[3]);
        if (period.isNever())
            return tr("Period %1 '%2' ends before it begins.").arg(i + 1).arg(part);
        periods << period;
        active = true;
    }
    if (!active)
        return tr("No access at any time: the definition needs a period with days.");
    *canonical = definitionFromPeriods(periods);
    return QString();
}
