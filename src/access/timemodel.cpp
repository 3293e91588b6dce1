#include "access/timemodel.h"

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
