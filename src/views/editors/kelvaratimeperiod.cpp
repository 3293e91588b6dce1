#include "views/editors/kelvaratimeperiod.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

// Monday first, as an operator reads a week; Holiday last.
constexpr int kDayOrder[TimePeriod::DayCount] = {1, 2, 3, 4, 5, 6, 0, 7};

const QString kFlagged = QStringLiteral("QLineEdit { background: rgb(255,200,200); }");

} // namespace

KelvaraTimePeriod::KelvaraTimePeriod(int number, QWidget *parent) : QFrame(parent), m_number(number)
{
    setFrameShape(QFrame::StyledPanel);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(10);

    auto *title = new QLabel(tr("Period %1").arg(number), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    grid->addWidget(title, 0, 0);

    auto *days = new QHBoxLayout;
    days->setSpacing(10);
    for (int bit : kDayOrder) {
        m_days[bit] = new QCheckBox(TimePeriod::dayName(bit), this);
        connect(m_days[bit], &QCheckBox::toggled, this, &KelvaraTimePeriod::userChanged);
        days->addWidget(m_days[bit]);
    }
    days->addStretch(1);
    grid->addLayout(days, 0, 1);

    auto *times = new QHBoxLayout;
    auto makeEdit = [this](const QString &text) {
        auto *edit = new QLineEdit(this);
        edit->setInputMask(QStringLiteral("99:99"));
        edit->setText(text);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000:000")) + 12);
        connect(edit, &QLineEdit::textChanged, this, &KelvaraTimePeriod::userChanged);
        return edit;
    };
    m_from = makeEdit(QStringLiteral("00:00"));
    m_to = makeEdit(QStringLiteral("24:00"));
    // Labels and their fields apart, each label naming its field.
    times->setSpacing(6);
    auto *fromLabel = new QLabel(tr("From"), this);
    fromLabel->setBuddy(m_from);
    auto *toLabel = new QLabel(tr("To"), this);
    toLabel->setBuddy(m_to);
    times->addWidget(fromLabel);
    times->addWidget(m_from);
    times->addSpacing(6);
    times->addWidget(toLabel);
    times->addWidget(m_to);
    times->addSpacing(12);
    m_display = new QLabel(this);
    m_display->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_display->setWordWrap(true);
    times->addWidget(m_display, 1);
    grid->addLayout(times, 1, 1);
    grid->setColumnStretch(1, 1);

    refresh();
}

bool KelvaraTimePeriod::readTime(const QLineEdit *edit, int &hour, int &minute)
{
    // The mask leaves blanks where no digit was typed.
    const QString text = edit->displayText();
    if (!edit->hasAcceptableInput() || text.size() != 5)
        return false;
    bool hourOk = false;
    bool minuteOk = false;
    hour = text.left(2).toInt(&hourOk, 10);
    minute = text.mid(3, 2).toInt(&minuteOk, 10);
    return hourOk && minuteOk;
}

TimePeriod KelvaraTimePeriod::period() const
{
    if (m_always)
        return TimePeriod::always();
    qint32 days = 0;
    for (int bit = 0; bit < TimePeriod::DayCount; ++bit) {
        if (m_days[bit]->isChecked())
            days |= (1 << bit);
    }
    TimePeriod period;
    period.setDays(days);
    int hour = 0;
    int minute = 0;
    // A time not filled in leaves the period never, not 00:00 to 24:00.
    if (!readTime(m_from, hour, minute) || !readTime(m_to, hour, minute)) {
        period.setStart(0, 0);
        period.setEnd(0, 0);
        return period;
    }
    period.setStartText(m_from->text());
    period.setEndText(m_to->text());
    return period;
}

void KelvaraTimePeriod::setPeriod(const TimePeriod &period)
{
    // An untouched always-period is saved as it was read ("*-*-*"), not as
    // its eight days spelt out.
    m_always = period.isAlways();
    for (int bit = 0; bit < TimePeriod::DayCount; ++bit) {
        const QSignalBlocker block(m_days[bit]);
        m_days[bit]->setChecked(period.days() & (1 << bit));
    }
    {
        const QSignalBlocker blockFrom(m_from);
        const QSignalBlocker blockTo(m_to);
        // Times that could not be read leave a period with days that is
        // never all the same: the edits stay empty and flagged rather than
        // turning it into a whole-day window.
        const bool unreadable = period.isNever() && (period.days() & 0xFF) &&
                                period.startMinutes() < period.endMinutes();
        m_from->setText(unreadable ? QString() : period.startText());
        m_to->setText(unreadable ? QString() : period.endText());
    }
    refresh();
}

QString KelvaraTimePeriod::timeProblem(const QLineEdit *edit, const QString &name) const
{
    int hour = 0;
    int minute = 0;
    if (!readTime(edit, hour, minute))
        return tr("Enter '%1' as HH:MM.").arg(name);
    if (minute > 59 || hour > 24 || (hour == 24 && minute > 0))
        return tr("'%1' %2 is no time of day (00:00 to 24:00).").arg(name, edit->text());
    return QString();
}

QString KelvaraTimePeriod::problem() const
{
    if ((period().days() & 0xFF) == 0)
        return QString();
    QString text = timeProblem(m_from, tr("From"));
    if (text.isEmpty())
        text = timeProblem(m_to, tr("To"));
    if (!text.isEmpty())
        return text;
    int fromHour = 0, fromMinute = 0, toHour = 0, toMinute = 0;
    readTime(m_from, fromHour, fromMinute);
    readTime(m_to, toHour, toMinute);
    if (fromHour * 60 + fromMinute >= toHour * 60 + toMinute)
        return tr("'From' must be earlier than 'To'; a period cannot cross midnight "
                  "(use two periods).");
    return QString();
}

void KelvaraTimePeriod::userChanged()
{
    m_always = false;
    refresh();
}

void KelvaraTimePeriod::refresh()
{
    const bool anyDay = (period().days() & 0xFF) != 0;
    const bool fromBad = anyDay && !timeProblem(m_from, QString()).isEmpty();
    const bool toBad = anyDay && !timeProblem(m_to, QString()).isEmpty();
    const QString issue = problem();
    // Both edits are flagged for a reversed interval: either may be the wrong one.
    const bool reversed = !issue.isEmpty() && !fromBad && !toBad;
    m_from->setStyleSheet(fromBad || reversed ? kFlagged : QString());
    m_to->setStyleSheet(toBad || reversed ? kFlagged : QString());
    if (issue.isEmpty()) {
        m_display->setStyleSheet(QStringLiteral("color: rgb(0,26,55);"));
        m_display->setText(QStringLiteral("= ") + period().toDisplay());
    } else {
        m_display->setStyleSheet(QStringLiteral("color: rgb(200,0,0); font-weight: bold;"));
        m_display->setText(issue);
    }
    emit changed();
}

void KelvaraTimePeriod::setHelp(bool isToolTips)
{
    const QString help =
        tr("Here you define an access period.\nWe treat a period as a time interval related to "
           "one or more weekdays.\nA time model consists of up to 8 periods. It grants access "
           "when one of its periods says 'Yes' (Or wired).");
    setWhatsThis(help);
    setToolTip(isToolTips ? help : QString());
}
