#pragma once

#include "access/timeperiod.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

// Reads a time model definition ("period|period|...") period by period.
// Splitting keeps empty parts, so a trailing "|" yields a last, never period
// and the empty definition yields one never period.
class TimeModel
{
    Q_DECLARE_TR_FUNCTIONS(TimeModel)

public:
    // The periods a model holds at most, as the time model dialog offers them.
    static constexpr int MaxPeriods = 8;

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

    // Reads a definition as an operator writes it ("mon,tue-07:00-19:00|sat-
    // 08:00-12:00"): per period day tokens (sun ... sat, hol) separated by
    // ",", a start and an end from 00:00 to 24:00, the start before the end;
    // at most MaxPeriods periods, at least one of them active. An empty
    // period stands for one that never applies. Returns why it does not read
    // (one line), or an empty text with *canonical the definition as the
    // time model dialog writes it.
    static QString parseDefinition(const QString &text, QString *canonical);

private:
    QString m_definition;
    QStringList m_periodStrings;
    int m_next = 0;
};
