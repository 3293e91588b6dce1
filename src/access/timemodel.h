#pragma once

#include "access/timeperiod.h"

#include <QList>
#include <QString>
#include <QStringList>

// Reads a time model definition ("period|period|...") period by period.
// Splitting keeps empty parts, so a trailing "|" yields a last, never period
// and the empty definition yields one never period.
class TimeModel
{
public:
    explicit TimeModel(const QString &definition = QString());

    QString definition() const { return m_definition; }
    QStringList periodStrings() const { return m_periodStrings; }
    int periodCount() const { return m_periodStrings.size(); }

    // Deliver the first and then each following period; false when there is
    // none left. The parse result of a single period is not reported here:
    // callers rely on the never test.
    bool first(TimePeriod &period);
    bool next(TimePeriod &period);

    QList<TimePeriod> periods() const;

    // The operator form of every period joined by " | ".
    QString toDisplay() const;

    // Writes periods in order, putting "|" before a period whenever text was
    // already written, even if that period writes as "" (a never period).
    static QString definitionFromPeriods(const QList<TimePeriod> &periods);

private:
    QString m_definition;
    QStringList m_periodStrings;
    int m_next = 0;
};
