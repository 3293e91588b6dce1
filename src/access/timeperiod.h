#pragma once

#include <QCoreApplication>
#include <QString>
#include <QtGlobal>

// One weekly access interval on a set of days. Day bits: bit 0 Sunday to
// bit 6 Saturday, bit 7 the project's holidays; days -1 is the always-period.
// A period is active when it has a day among the low eight bits, both times
// are clock times (00:00 to 24:00, minutes up to 59) and its start lies
// strictly before its end; every other period is never.
class TimePeriod
{
    Q_DECLARE_TR_FUNCTIONS(TimePeriod)

public:
    enum DayBit : qint32 {
        Sunday = 0x01,
        Monday = 0x02,
        Tuesday = 0x04,
        Wednesday = 0x08,
        Thursday = 0x10,
        Friday = 0x20,
        Saturday = 0x40,
        Holiday = 0x80,
    };
    static constexpr qint32 AlwaysDays = -1;
    static constexpr int DayCount = 8;

    // A fresh period is never: no days, 00:00 to 24:00.
    TimePeriod() = default;
    TimePeriod(qint32 days, int fromHour, int fromMinute, int toHour, int toMinute);

    static TimePeriod never() { return TimePeriod(); }
    static TimePeriod always() { return TimePeriod(AlwaysDays, 0, 0, 24, 0); }

    // Reads one period string of a definition. Returns true when both times
    // were read; the period is reset to never before reading. A period whose
    // times could not be read is never, whatever fields were stored: a
    // garbled time must not turn into a whole-day window.
    bool parse(const QString &text);
    static TimePeriod fromDefinition(const QString &text, bool *ok = nullptr);

    // Definition form: "" for never, "*-*-*" for always, else "mon,tue-06:00-20:00".
    QString toDefinition() const;
    // Operator form: "Never", "Always" or "Monday,Tuesday: 06:00-20:00".
    QString toDisplay() const;

    bool isNever() const;
    bool isActive() const { return !isNever(); }
    bool isAlways() const { return m_days == AlwaysDays; }

    // Tokens ("sun,mon") and translated names ("Sunday,Monday") of the low eight day bits.
    QString dayTokens() const;
    QString dayNames() const;
    static QString dayToken(int bit);
    static QString dayName(int bit);

    QString startText() const { return timeText(m_fromHour, m_fromMinute); }
    QString endText() const { return timeText(m_toHour, m_toMinute); }
    // Reads "HH:MM" into the start or end; false leaves the hours or minutes
    // that did not convert as they were.
    bool setStartText(const QString &text);
    bool setEndText(const QString &text);
    static QString timeText(int hour, int minute);

    // 64-bit: the fields hold whatever was read, hours in the millions among it.
    qint64 startMinutes() const { return qint64(m_fromHour) * 60 + m_fromMinute; }
    qint64 endMinutes() const { return qint64(m_toHour) * 60 + m_toMinute; }
    // 00:00 to 23:59, and 24:00.
    static bool isClockTime(qint64 hour, qint64 minute);

    qint32 days() const { return m_days; }
    int fromHour() const { return m_fromHour; }
    int fromMinute() const { return m_fromMinute; }
    int toHour() const { return m_toHour; }
    int toMinute() const { return m_toMinute; }
    void setDays(qint32 days);
    // Setting a time clears the mark of times that could not be read.
    void setStart(int hour, int minute);
    void setEnd(int hour, int minute);

    // Reader-table key of a period under a time model: "tag#definition".
    static QString periodKey(const QString &modelTag, const QString &definition);
    static QString periodKey(const QString &modelTag, const TimePeriod &period);
    // The definition part of a key: everything after the first "#".
    static QString definitionOfKey(const QString &key);

    bool operator==(const TimePeriod &other) const;
    bool operator!=(const TimePeriod &other) const { return !(*this == other); }

private:
    static bool readTime(const QString &text, qint32 &hour, qint32 &minute);

    qint32 m_days = 0;
    qint32 m_fromHour = 0;
    qint32 m_fromMinute = 0;
    qint32 m_toHour = 24;
    qint32 m_toMinute = 0;
    bool m_unreadable = false;
};
