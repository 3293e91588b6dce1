#pragma once

#include "access/timeperiod.h"

#include <QFrame>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;

// One period field of the time model editor: a box per day (Monday first,
// Holiday last), "From" and "To" as HH:MM, and beside them the period as the
// model list will show it. Times the reader cannot keep (past 24:00, minutes
// past 59) or a "From" not before "To" are flagged at once: such a period
// would silently never grant access.
class KelvaraTimePeriod : public QFrame
{
    Q_OBJECT

public:
    explicit KelvaraTimePeriod(int number, QWidget *parent = nullptr);

    int number() const { return m_number; }

    // The day bits of the checked boxes with the times read from the edits.
    TimePeriod period() const;
    // Boxes from the day bits (the always-period checks every day), times as HH:MM.
    void setPeriod(const TimePeriod &period);

    // Why the field would not mean what it shows, or an empty text. A field
    // without any day is a deliberate "never" and has no problem.
    QString problem() const;
    bool hasProblem() const { return !problem().isEmpty(); }

    void setHelp(bool isToolTips);

    // Day boxes by day bit (0 Sunday .. 7 Holiday).
    QCheckBox *dayBox(int bit) const { return m_days[bit]; }
    QLineEdit *fromEdit() const { return m_from; }
    QLineEdit *toEdit() const { return m_to; }
    QLabel *displayLabel() const { return m_display; }

signals:
    void changed();

private:
    // Reads "HH:MM": false when incomplete; hours and minutes as typed.
    static bool readTime(const QLineEdit *edit, int &hour, int &minute);
    // Empty when the edit holds a time of day from 00:00 to 24:00.
    QString timeProblem(const QLineEdit *edit, const QString &name) const;
    void userChanged();
    void refresh();

    int m_number;
    bool m_always = false;
    QCheckBox *m_days[TimePeriod::DayCount] = {};
    QLineEdit *m_from = nullptr;
    QLineEdit *m_to = nullptr;
    QLabel *m_display = nullptr;
};
