#include "views/editors/kelvaraedittimemodel.h"

#include "access/timemodel.h"
#include "db/timemodelrecords.h"
#include "views/editors/kelvaratimeperiod.h"
#include "views/project/databaseopen.h"
#include "widgets/guimessages.h"
#include "widgets/kxmessagebox.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSqlError>
#include <QTimer>
#include <QVBoxLayout>

KelvaraEditTimeModel::KelvaraEditTimeModel(const QString &databasePath, QWidget *parent)
    : QDialog(parent), m_databasePath(databasePath)
{
    setWindowTitle(tr("Add Time Model"));
    setModal(true);

    auto *form = new QFormLayout;
    m_tag = new QLineEdit(this);
    m_tag->setMaxLength(3);
    m_tag->setFixedWidth(m_tag->fontMetrics().horizontalAdvance(QStringLiteral("WWWW")) + 16);
    connect(m_tag, &QLineEdit::textEdited, this, &KelvaraEditTimeModel::modelTagEdited);
    m_name = new QLineEdit(this);
    form->addRow(tr("Model Identifier"), m_tag);
    form->addRow(tr("Model Name"), m_name);

    auto *fields = new QWidget;
    m_fieldLayout = new QVBoxLayout(fields);
    m_fieldLayout->setContentsMargins(0, 0, 0, 0);
    m_fieldLayout->addStretch(1);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidget(fields);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setMinimumHeight(180);
    // The fields inside take the focus; the area itself would be a stop that shows nothing.
    m_scroll->setFocusPolicy(Qt::NoFocus);

    m_add = new QPushButton(QIcon(QStringLiteral(":/plus-16.png")), tr("Add Period"), this);
    m_remove = new QPushButton(QIcon(QStringLiteral(":/minus-16.png")), tr("Remove Period"), this);
    m_add->setAutoDefault(false);
    m_remove->setAutoDefault(false);
    connect(m_add, &QPushButton::clicked, this, &KelvaraEditTimeModel::addPeriod);
    connect(m_remove, &QPushButton::clicked, this, &KelvaraEditTimeModel::removePeriod);
    auto *periodButtons = new QHBoxLayout;
    periodButtons->addWidget(m_add);
    periodButtons->addWidget(m_remove);
    periodButtons->addStretch(1);

    auto *summary = new QFrame(this);
    summary->setFrameShape(QFrame::StyledPanel);
    summary->setStyleSheet(QStringLiteral("QFrame { background: rgb(240,245,255); }"));
    auto *summaryLayout = new QFormLayout(summary);
    m_modelDisplay = new QLabel(summary);
    m_modelDisplay->setWordWrap(true);
    m_modelDisplay->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = m_modelDisplay->font();
    bold.setBold(true);
    m_modelDisplay->setFont(bold);
    m_definition = new QLabel(summary);
    m_definition->setWordWrap(true);
    m_definition->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_definition->setFont(QFont(QStringLiteral("Monospace")));
    summaryLayout->addRow(tr("Access times:"), m_modelDisplay);
    summaryLayout->addRow(tr("Definition:"), m_definition);

    m_save = new QPushButton(tr("Save"), this);
    m_save->setDefault(true);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setAutoDefault(false);
    connect(m_save, &QPushButton::clicked, this, &KelvaraEditTimeModel::accept);
    connect(m_cancel, &QPushButton::clicked, this, &KelvaraEditTimeModel::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_scroll, 1);
    layout->addLayout(periodButtons);
    layout->addWidget(summary);
    layout->addLayout(buttons);

    // Wide enough for a whole field, so that only the height scrolls.
    const KelvaraTimePeriod *first = appendField();
    m_scroll->setMinimumWidth(first->sizeHint().width() + 2 * m_scroll->frameWidth() +
                              m_scroll->verticalScrollBar()->sizeHint().width());
    updateSummary();
    setHelp(false);
}

void KelvaraEditTimeModel::setModel(const TimeModelRow &model)
{
    m_model = model;
    setWindowTitle(tr("Edit Time Model"));
    m_tag->setText(model.modelTag);
    m_name->setText(model.modelName);
    while (!m_periods.isEmpty())
        delete m_periods.takeLast();
    for (const TimePeriod &period : TimeModel(model.modelDefinition).periods())
        appendField()->setPeriod(period);
    updateSummary();
}

KelvaraTimePeriod *KelvaraEditTimeModel::appendField()
{
    auto *field = new KelvaraTimePeriod(m_periods.size() + 1);
    field->setHelp(m_toolTips);
    connect(field, &KelvaraTimePeriod::changed, this, &KelvaraEditTimeModel::updateSummary);
    // Before the closing stretch.
    m_fieldLayout->insertWidget(m_fieldLayout->count() - 1, field);
    m_periods.append(field);
    orderTabs();
    return field;
}

void KelvaraEditTimeModel::orderTabs()
{
    // A field made later joins the chain after Cancel; put every one back in place.
    QList<QWidget *> chain{m_tag, m_name};
    for (KelvaraTimePeriod *field : qAsConst(m_periods)) {
        for (QWidget *w = field->nextInFocusChain(); w != field && field->isAncestorOf(w);
             w = w->nextInFocusChain())
            chain << w;
    }
    chain << m_add << m_remove << m_save << m_cancel;
    for (int i = 1; i < chain.size(); ++i)
        setTabOrder(chain.at(i - 1), chain.at(i));
}

void KelvaraEditTimeModel::modelTagEdited(const QString &text)
{
    // "#" separates tag and period in the reader-table keys.
    if (!text.contains(QLatin1Char('#')))
        return;
    const int cursor = m_tag->cursorPosition();
    const int before = text.left(cursor).count(QLatin1Char('#'));
    m_tag->setText(QString(text).remove(QLatin1Char('#')));
    m_tag->setCursorPosition(cursor - before);
}

void KelvaraEditTimeModel::addPeriod()
{
    if (m_periods.size() > MaxPeriodFields - 1)
        return;
    KelvaraTimePeriod *field = appendField();
    updateSummary();
    // Show the new field once the layout has placed it.
    QTimer::singleShot(0, this, [this, field] {
        if (m_periods.contains(field))
            m_scroll->ensureWidgetVisible(field);
    });
}

void KelvaraEditTimeModel::removePeriod()
{
    if (m_periods.size() < 2)
        return;
    delete m_periods.takeLast();
    updateSummary();
}

QString KelvaraEditTimeModel::definition() const
{
    QList<TimePeriod> periods;
    for (const KelvaraTimePeriod *field : m_periods)
        periods << field->period();
    return TimeModel::definitionFromPeriods(periods);
}

void KelvaraEditTimeModel::updateSummary()
{
    m_add->setEnabled(m_periods.size() < MaxPeriodFields);
    m_remove->setEnabled(m_periods.size() > 1);
    QStringList problems;
    for (const KelvaraTimePeriod *field : qAsConst(m_periods)) {
        if (field->hasProblem())
            problems << tr("Period %1").arg(field->number());
    }
    const QString text = definition();
    if (!problems.isEmpty()) {
        m_modelDisplay->setStyleSheet(QStringLiteral("color: rgb(200,0,0);"));
        m_modelDisplay->setText(
            tr("Correct the marked times first: %1").arg(problems.join(QStringLiteral(", "))));
    } else if (text.isEmpty()) {
        m_modelDisplay->setStyleSheet(QStringLiteral("color: rgb(200,0,0);"));
        m_modelDisplay->setText(tr("No access at any time: check at least one day."));
    } else {
        m_modelDisplay->setStyleSheet(QString());
        m_modelDisplay->setText(TimeModel(text).toDisplay());
    }
    m_definition->setText(text);
}

void KelvaraEditTimeModel::accept()
{
    TimeModelRow row = m_model;
    row.modelTag = m_tag->text().trimmed();
    row.modelName = m_name->text().trimmed();
    const QString missing = tr("Missing information");
    const RecordProblem problem = TimeModelRecords::problem(row);
    if (!problem.isEmpty()) {
        KxMessageBox::critical(this, missing, problem.text);
        (problem.field == TimeModelRecords::NameField ? m_name : m_tag)->setFocus();
        return;
    }
    for (KelvaraTimePeriod *field : qAsConst(m_periods)) {
        if (field->hasProblem()) {
            KxMessageBox::critical(this, tr("Invalid period"),
                                   tr("Period %1: %2").arg(field->number()).arg(field->problem()));
            m_scroll->ensureWidgetVisible(field);
            return;
        }
    }
    row.modelDefinition = definition();
    if (row.modelDefinition.isEmpty()) {
        KxMessageBox::critical(this, missing, tr("No model definition given"));
        return;
    }
    if (save(row))
        QDialog::accept();
}

bool KelvaraEditTimeModel::save(const TimeModelRow &row)
{
    if (!openDatabaseOrShowError(this, m_databasePath))
        return false;
    QSqlError error;
    TimeModelRow saved = row;
    if (isNewModel()) {
        error = TimeModelRecords::addTimeModel(m_databasePath, row, &saved.pkTimes);
    } else {
        // Marks the entries using the model, in the same transaction, when
        // the definition differs from the stored one.
        error = TimeModelRecords::editTimeModel(m_databasePath, row);
    }
    if (error.isValid()) {
        showDatabaseError(this, isNewModel() ? tr("DB add time model") : tr("DB edit time model"),
                          error);
        return false;
    }
    m_model = saved;
    return true;
}

void KelvaraEditTimeModel::setHelp(bool isToolTips)
{
    m_toolTips = isToolTips;
    const auto help = [isToolTips](QWidget *w, const QString &text) {
        w->setWhatsThis(text);
        w->setToolTip(isToolTips ? text : QString());
    };
    help(m_tag, tr("Input a short time model identifier (max. 3 signs).\nEach model identifier "
                   "must be unique!\nThe '#' sign is not allowed!"));
    help(m_name, tr("Input a name for the time model.\nEach model name must be unique!"));
    help(m_add, tr("Add one more period settings field."));
    help(m_remove, tr("Remove the last period settings field."));
    help(m_save, tr("Save the time model settings in the database."));
    for (KelvaraTimePeriod *field : qAsConst(m_periods))
        field->setHelp(isToolTips);
}
