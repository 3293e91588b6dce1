#include "views/editors/kelvaraeditdate.h"

#include "access/timeperiod.h"
#include "db/holidayrecords.h"
#include "views/project/databaseopen.h"
#include "widgets/guimessages.h"
#include "widgets/kxdateformat.h"
#include "widgets/kxmessagebox.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QTextCharFormat>
#include <QVBoxLayout>

namespace {

QString shownDate(const QDate &date)
{
    // The weekday beside the date: a holiday on the wrong day is a typing slip.
    return QStringLiteral("%1 %2").arg(TimePeriod::dayName(date.dayOfWeek() % 7),
                                       date.toString(kxDateFormat()));
}

} // namespace

KelvaraEditDate::KelvaraEditDate(const QString &databasePath, QWidget *parent)
    : QDialog(parent), m_databasePath(databasePath)
{
    setWindowTitle(tr("Add Holiday Date"));
    setModal(true);

    m_calendar = new QCalendarWidget(this);
    m_calendar->setGridVisible(true);
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setSelectedDate(QDate::currentDate());
    connect(m_calendar, &QCalendarWidget::selectionChanged, this, &KelvaraEditDate::updateSummary);
    // The holidays there are already stand out; the list is only a help here,
    // so a failure to read it shows nothing.
    QList<HolidayRow> holidays;
    if (!databasePath.isEmpty() &&
        !HolidayRecords::listHolidays(databasePath, holidays).isValid()) {
        QTextCharFormat marked;
        marked.setBackground(QColor(255, 225, 0));
        marked.setFontWeight(QFont::Bold);
        for (const HolidayRow &row : qAsConst(holidays)) {
            // A null date would clear every format.
            const QDate date = QDate::fromString(row.date, HolidayRecords::DateFormat);
            if (date.isValid())
                m_calendar->setDateTextFormat(date, marked);
        }
    }

    m_range = new QCheckBox(tr("Several days, up to"), this);
    m_lastDay = new QDateEdit(QDate::currentDate(), this);
    m_lastDay->setDisplayFormat(kxDateFormat());
    m_lastDay->setCalendarPopup(true);
    m_lastDay->setEnabled(false);
    connect(m_range, &QCheckBox::toggled, m_lastDay, &QWidget::setEnabled);
    connect(m_range, &QCheckBox::toggled, this, &KelvaraEditDate::updateSummary);
    connect(m_lastDay, &QDateEdit::dateChanged, this, &KelvaraEditDate::updateSummary);
    auto *range = new QHBoxLayout;
    range->addWidget(m_range);
    range->addWidget(m_lastDay);
    range->addStretch(1);

    m_summary = new QLabel(this);
    m_comment = new QLineEdit(this);
    m_comment->setMaxLength(255);
    auto *form = new QFormLayout;
    form->addRow(QString(), m_summary);
    form->addRow(tr("Comment"), m_comment);

    m_ok = new QPushButton(tr("Ok"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setAutoDefault(false);
    m_today = new QPushButton(tr("Today"), this);
    m_today->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &KelvaraEditDate::accept);
    connect(m_cancel, &QPushButton::clicked, this, &KelvaraEditDate::reject);
    connect(m_today, &QPushButton::clicked, this, &KelvaraEditDate::selectToday);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_today);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_calendar, 1);
    layout->addLayout(range);
    layout->addLayout(form);
    layout->addLayout(buttons);

    updateSummary();
    setHelp(false);
}

void KelvaraEditDate::setHoliday(int pkHolidays, const QDate &date, const QString &comment)
{
    m_pkHolidays = pkHolidays;
    m_originalDate = date;
    setWindowTitle(tr("Edit Holiday Date"));
    if (date.isValid())
        m_calendar->setSelectedDate(date);
    m_comment->setText(comment);
    // A range is for adding; an edit moves one date.
    m_range->setChecked(false);
    m_range->setVisible(false);
    m_lastDay->setVisible(false);
    updateSummary();
}

void KelvaraEditDate::selectToday()
{
    m_calendar->setSelectedDate(QDate::currentDate());
    m_calendar->showToday();
}

QList<QDate> KelvaraEditDate::selectedDates() const
{
    const QDate first = m_calendar->selectedDate();
    if (!m_range->isChecked())
        return {first};
    return HolidayRecords::rangeDates(first, m_lastDay->date());
}

void KelvaraEditDate::updateSummary()
{
    const QList<QDate> dates = selectedDates();
    if (dates.isEmpty())
        m_summary->setText(tr("The last day lies before the first day."));
    else if (dates.size() == 1)
        m_summary->setText(shownDate(dates.first()));
    else
        m_summary->setText(tr("%1 days: %2 to %3")
                               .arg(dates.size())
                               .arg(shownDate(dates.first()), shownDate(dates.last())));
}

void KelvaraEditDate::accept()
{
    const QList<QDate> dates = selectedDates();
    const QString problem = HolidayRecords::datesProblem(dates);
    if (!problem.isEmpty()) {
        KxMessageBox::critical(this, tr("Missing information"), problem);
        return;
    }
    if (!openDatabaseOrShowError(this, m_databasePath))
        return;
    if (isNewHoliday() ? saveNew(dates) : saveEdit(dates.first()))
        QDialog::accept();
}

void KelvaraEditDate::showSaveError(const QSqlError &error, const QString &title)
{
    showDatabaseError(this, title, error);
}

bool KelvaraEditDate::saveNew(const QList<QDate> &dates)
{
    const QString title = tr("DB add holiday");
    QStringList texts;
    for (const QDate &date : qAsConst(dates))
        texts << date.toString(HolidayRecords::DateFormat);
    QStringList existing;
    QSqlError error = HolidayRecords::existingDates(m_databasePath, texts, existing);
    if (error.isValid()) {
        showSaveError(error, title);
        return false;
    }
    if (!existing.isEmpty()) {
        QStringList shown;
        for (const QString &text : qAsConst(existing))
            shown << shownDate(QDate::fromString(text, HolidayRecords::DateFormat));
        if (existing.size() == dates.size()) {
            KxMessageBox::critical(this, title,
                                   dates.size() == 1
                                       ? tr("%1 is a holiday already.").arg(shown.first())
                                       : tr("Every one of these days is a holiday already."));
            return false;
        }
        const int others = dates.size() - existing.size();
        const QMessageBox::StandardButton answer = KxMessageBox::question(
            this, title,
            tr("These days are holidays already:\n%1\n\nAdd the other %2 days?")
                .arg(shown.join(QLatin1Char('\n')))
                .arg(others));
        if (answer != QMessageBox::Yes)
            return false;
    }
    QList<HolidayRow> rows;
    for (const QString &text : qAsConst(texts)) {
        if (!existing.contains(text))
            rows.append({0, text, m_comment->text()});
    }
    error = HolidayRecords::addHolidays(m_databasePath, rows);
    if (error.isValid()) {
        showSaveError(error, title);
        return false;
    }
    return true;
}

bool KelvaraEditDate::saveEdit(const QDate &date)
{
    const QString title = tr("DB edit holiday");
    const QString text = date.toString(HolidayRecords::DateFormat);
    if (date != m_originalDate) {
        QStringList existing;
        const QSqlError error = HolidayRecords::existingDates(m_databasePath, {text}, existing);
        if (error.isValid()) {
            showSaveError(error, title);
            return false;
        }
        if (!existing.isEmpty()) {
            KxMessageBox::critical(this, title,
                                   tr("%1 is a holiday already.").arg(shownDate(date)));
            return false;
        }
    }
    const QSqlError error =
        HolidayRecords::editHoliday(m_databasePath, {m_pkHolidays, text, m_comment->text()});
    if (error.isValid()) {
        showSaveError(error, title);
        return false;
    }
    return true;
}

void KelvaraEditDate::setHelp(bool isToolTips)
{
    const auto help = [isToolTips](QWidget *w, const QString &text) {
        w->setWhatsThis(text);
        w->setToolTip(isToolTips ? text : QString());
    };
    help(m_calendar, tr("Select the date of the holiday."));
    help(m_range, tr("Add every day from the selected date up to this day, for example a "
                     "company closure. Each day becomes a holiday of its own."));
    help(m_lastDay, tr("The last day of the closure."));
    help(m_comment, tr("A comment on the holiday, for example its name."));
    help(m_today, tr("Select today's date."));
}
