#include "views/board/kelvarawhydialog.h"

#include "access/accessexplainer.h"
#include "core/errortext.h"
#include "widgets/kxdateformat.h"
#include "widgets/kxdialogrun.h"

#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

KelvaraWhyDialog::Answerer &answerer()
{
    static KelvaraWhyDialog::Answerer instance;
    return instance;
}

} // namespace

void KelvaraWhyDialog::ask(const ProjectParameters &project, int pkUsers, int pkDoors,
                           bool isToolTips, QWidget *parent)
{
    KelvaraWhyDialog dialog(project, pkUsers, pkDoors, parent);
    dialog.setHelp(isToolTips);
    execOrAnswer(dialog, answerer());
}

KelvaraWhyDialog::Answerer KelvaraWhyDialog::setAnswerer(Answerer next)
{
    Answerer previous = answerer();
    answerer() = std::move(next);
    return previous;
}

KelvaraWhyDialog::KelvaraWhyDialog(const ProjectParameters &project, int pkUsers, int pkDoors,
                                   QWidget *parent)
    : QDialog(parent), m_project(project), m_pkUsers(pkUsers), m_pkDoors(pkDoors)
{
    setWindowTitle(tr("Why…?"));
    auto *layout = new QVBoxLayout(this);
    m_title = new QLabel(this);
    m_title->setWordWrap(true);
    layout->addWidget(m_title);

    auto *momentRow = new QHBoxLayout;
    auto *momentLabel = new QLabel(tr("&At:"), this);
    m_moment = new QDateTimeEdit(this);
    m_moment->setDisplayFormat(kxDateFormat() + QStringLiteral(" HH:mm"));
    m_moment->setCalendarPopup(true);
    momentLabel->setBuddy(m_moment);
    m_now = new QPushButton(tr("&Now"), this);
    momentRow->addWidget(momentLabel);
    momentRow->addWidget(m_moment, 1);
    momentRow->addWidget(m_now);
    layout->addLayout(momentRow);

    m_verdict = new QLabel(this);
    QFont big = m_verdict->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    m_verdict->setFont(big);
    m_verdict->setAutoFillBackground(true);
    m_verdict->setMargin(6);
    layout->addWidget(m_verdict);

    m_reasons = new QListWidget(this);
    m_reasons->setWordWrap(true);
    m_reasons->setSelectionMode(QAbstractItemView::NoSelection);
    m_reasons->setSpacing(3);
    m_reasons->setMinimumSize(640, 220);
    layout->addWidget(m_reasons, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_now, &QPushButton::clicked, this, &KelvaraWhyDialog::selectNow);
    connect(m_moment, &QDateTimeEdit::dateTimeChanged, this, &KelvaraWhyDialog::explain);

    setHelp(false);
    selectNow();
}

void KelvaraWhyDialog::setMoment(const QDateTime &at)
{
    m_moment->setDateTime(at);
}

QDateTime KelvaraWhyDialog::moment() const
{
    const QDateTime at = m_moment->dateTime();
    return QDateTime(at.date(), QTime(at.time().hour(), at.time().minute()));
}

void KelvaraWhyDialog::selectNow()
{
    // The site's clock: the dialog's moment is a time of the site.
    const QDateTime now = m_project.siteNow();
    const QDateTime minute(now.date(), QTime(now.time().hour(), now.time().minute()));
    if (m_moment->dateTime() == minute)
        explain();
    else
        m_moment->setDateTime(minute);
}

void KelvaraWhyDialog::explain()
{
    const QDateTime at = moment();
    m_reasons->clear();
    AccessExplainer explainer;
    const QSqlError error =
        explainer.load(m_project, m_pkDoors, std::min(m_project.siteToday(), at.date()));
    QPalette palette = m_verdict->palette();
    if (error.isValid() || !explainer.loadProblem().isEmpty()) {
        m_verdict->setText(tr("No answer"));
        palette.setColor(QPalette::Window, palette.color(QPalette::Button));
        m_verdict->setPalette(palette);
        m_reasons->addItem(error.isValid() ? databaseErrorText(error) : explainer.loadProblem());
        return;
    }
    const UserRow *user = nullptr;
    for (const UserRow &row : explainer.users()) {
        if (row.pkUsers == m_pkUsers)
            user = &row;
    }
    if (!user) {
        m_verdict->setText(tr("No answer"));
        m_reasons->addItem(tr("The user no longer exists."));
        return;
    }
    m_title->setText(tr("User: %1    Entry: %2")
                         .arg(AccessExplainer::userName(*user), explainer.entry().doorName));
    const AccessExplanation explanation = explainer.explainUser(*user, at);
    const bool permitted = explanation.permitted();
    m_verdict->setText(permitted ? tr("Permitted") : tr("Denied"));
    palette.setColor(QPalette::Window,
                     permitted ? QColor(0x2e, 0x9e, 0x4f) : QColor(0xd2, 0x3a, 0x32));
    palette.setColor(QPalette::WindowText, Qt::white);
    m_verdict->setPalette(palette);
    // The verdict line repeats the label above with names and moment.
    for (const AccessExplanation::Line &line : explanation.lines) {
        if (line.reason != AccessExplanation::Verdict)
            m_reasons->addItem(line.text);
    }
}

void KelvaraWhyDialog::setHelp(bool isToolTips)
{
    const auto help = [isToolTips](QWidget *w, const QString &text) {
        w->setWhatsThis(text);
        w->setToolTip(isToolTips ? text : QString());
    };
    help(m_moment, tr("The date and time to decide for. The reader decides by its own clock."));
    help(m_now, tr("Decide for the current minute."));
    help(m_reasons, tr("Why the reader permits or denies: the right and its time model, the "
                       "period that covers the moment or the model's periods, holidays, a "
                       "missing identifier or right, and whether the entry still waits for an "
                       "update."));
}
