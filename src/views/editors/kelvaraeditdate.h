#pragma once

#include "db/recordrows.h"

#include <QDate>
#include <QDialog>
#include <QList>
#include <QString>

class QCalendarWidget;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSqlError;

// Adds a holiday, or several days at once (a closure), or edits one. The
// dialog closes only after a successful save.
class KelvaraEditDate : public QDialog
{
    Q_OBJECT

public:
    explicit KelvaraEditDate(const QString &databasePath, QWidget *parent = nullptr);

    // Edits the stored holiday; a date that does not read keeps today's.
    void setHoliday(int pkHolidays, const QDate &date, const QString &comment);
    bool isNewHoliday() const { return m_pkHolidays == 0; }

    // The dates the dialog would store: the selected one, or every day up to
    // the last day when a range is asked for (empty when it ends before it starts).
    QList<QDate> selectedDates() const;

    void setHelp(bool isToolTips);

    QCalendarWidget *calendar() const { return m_calendar; }
    QLineEdit *commentEdit() const { return m_comment; }
    QCheckBox *rangeBox() const { return m_range; }
    QDateEdit *lastDayEdit() const { return m_lastDay; }
    QLabel *summaryLabel() const { return m_summary; }

public slots:
    void selectToday();
    void accept() override;

private:
    void updateSummary();
    bool saveNew(const QList<QDate> &dates);
    bool saveEdit(const QDate &date);
    void showSaveError(const QSqlError &error, const QString &title);

    QString m_databasePath;
    int m_pkHolidays = 0;
    QDate m_originalDate;
    QCalendarWidget *m_calendar = nullptr;
    QLineEdit *m_comment = nullptr;
    QCheckBox *m_range = nullptr;
    QDateEdit *m_lastDay = nullptr;
    QLabel *m_summary = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_today = nullptr;
};
