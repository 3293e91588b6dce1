#include "views/lists/kelvarahistory.h"

#include "access/accessboard.h"
#include "core/errortext.h"
#include "db/audittrailmodel.h"
#include "views/lists/audittrailexport.h"
#include "widgets/kxdialogs.h"
#include "widgets/kxmessagebox.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Values as JSON spread over lines; a text that is no JSON as it is.
QString readable(const QString &value)
{
    const QJsonDocument document = QJsonDocument::fromJson(value.toUtf8());
    return document.isNull()
               ? value
               : QString::fromUtf8(document.toJson(QJsonDocument::Indented)).trimmed();
}

} // namespace

KelvaraHistory::KelvaraHistory(const QString &databasePath, QWidget *parent)
    : QDialog(parent), m_databasePath(databasePath)
{
    setWindowTitle(tr("History of Changes"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(1100, 700);

    m_period = new QComboBox(this);
    m_period->addItems({tr("Any time"), tr("Today"), tr("Last 7 days"), tr("Last 30 days"),
                        tr("This year"), tr("Between")});
    m_from = new QDateEdit(QDate::currentDate().addMonths(-1), this);
    m_to = new QDateEdit(QDate::currentDate(), this);
    for (QDateEdit *edit : {m_from, m_to}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setEnabled(false);
    }
    m_operator = new QComboBox(this);
    m_operator->setEditable(true);
    m_operator->setMinimumContentsLength(16);
    m_kind = new QComboBox(this);
    m_kind->addItem(tr("All kinds"));
    for (const QString &kind : AuditTrail::kinds())
        m_kind->addItem(AuditTrail::kindText(kind), kind);
    m_object = new QLineEdit(this);
    m_object->setPlaceholderText(tr("part of the name"));
    m_text = new QLineEdit(this);
    m_text->setPlaceholderText(tr("anywhere in a record"));
    m_subject = new QLabel(this);
    m_allRecords = new QPushButton(tr("Show &All Records"), this);

    auto *periodRow = new QHBoxLayout;
    periodRow->addWidget(m_period);
    periodRow->addWidget(new QLabel(tr("from"), this));
    periodRow->addWidget(m_from);
    periodRow->addWidget(new QLabel(tr("to"), this));
    periodRow->addWidget(m_to);
    periodRow->addStretch(1);
    auto *subjectRow = new QHBoxLayout;
    subjectRow->addWidget(m_subject, 1);
    subjectRow->addWidget(m_allRecords);
    auto *filters = new QFormLayout;
    auto *periodLabel = new QLabel(tr("&Period:"), this);
    periodLabel->setBuddy(m_period);
    filters->addRow(periodLabel, periodRow);
    filters->addRow(tr("&Operator:"), m_operator);
    filters->addRow(tr("&Kind:"), m_kind);
    filters->addRow(tr("O&bject:"), m_object);
    filters->addRow(tr("&Text:"), m_text);

    m_model = new AuditTrailModel(this);
    m_table = new QTableView(this);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_detail = new QPlainTextEdit(this);
    m_detail->setReadOnly(true);
    m_detail->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_table);
    split->addWidget(m_detail);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_csv = buttons->addButton(tr("Export &CSV…"), QDialogButtonBox::ActionRole);
    m_pdf = buttons->addButton(tr("Export P&DF…"), QDialogButtonBox::ActionRole);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addLayout(subjectRow);
    layout->addWidget(split, 1);
    layout->addWidget(buttons);

    // Typing waits for a pause before the list is read again.
    m_typing = new QTimer(this);
    m_typing->setSingleShot(true);
    m_typing->setInterval(300);
    connect(m_typing, &QTimer::timeout, this, &KelvaraHistory::applyFilter);
    for (QLineEdit *edit : {m_object, m_text, m_operator->lineEdit()})
        connect(edit, &QLineEdit::textEdited, m_typing, qOverload<>(&QTimer::start));
    connect(m_operator, qOverload<int>(&QComboBox::activated), this, &KelvaraHistory::applyFilter);
    connect(m_kind, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &KelvaraHistory::applyFilter);
    connect(m_period, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &KelvaraHistory::periodChanged);
    connect(m_from, &QDateEdit::dateChanged, this, &KelvaraHistory::applyFilter);
    connect(m_to, &QDateEdit::dateChanged, this, &KelvaraHistory::applyFilter);
    connect(m_allRecords, &QPushButton::clicked, this,
            [this] { setSubject(QString(), QString()); });
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &KelvaraHistory::showRecord);
    connect(m_csv, &QPushButton::clicked, this, &KelvaraHistory::exportCsv);
    connect(m_pdf, &QPushButton::clicked, this, &KelvaraHistory::exportPdf);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    fillOperators();
    setSubject(QString(), QString());
}

KelvaraHistory *KelvaraHistory::open(const QString &databasePath, const QString &user,
                                     const QString &entry, QWidget *parent)
{
    auto *history = new KelvaraHistory(databasePath, parent);
    history->setAttribute(Qt::WA_DeleteOnClose);
    history->setSubject(user, entry);
    history->show();
    return history;
}

KelvaraHistory *KelvaraHistory::openForRight(const QString &databasePath, const AccessBoard &board,
                                             int row, int column, QWidget *parent)
{
    if (row <= 0 || column <= 0 || row >= board.rowCount() || column >= board.columnCount())
        return nullptr;
    const AccessBoard::Line &user = board.row(row);
    const AccessBoard::Line &entry = board.column(column);
    if (user.isHead || entry.isHead)
        return nullptr;
    return open(databasePath, user.name,
                AuditTrail::entryName(board.column(entry.head).name, entry.name), parent);
}

void KelvaraHistory::fillOperators()
{
    QStringList names;
    AuditHistory::operators(m_databasePath, names);
    m_operator->clear();
    m_operator->addItem(QString());
    m_operator->addItems(names);
}

void KelvaraHistory::setSubject(const QString &user, const QString &entry)
{
    m_user = user;
    m_entry = entry;
    if (!user.isEmpty() && !entry.isEmpty())
        m_subject->setText(tr("Only the right of %1 at %2.").arg(user, entry));
    else if (!user.isEmpty())
        m_subject->setText(tr("Only records concerning the user %1.").arg(user));
    else if (!entry.isEmpty())
        m_subject->setText(tr("Only records concerning the entry %1.").arg(entry));
    else
        m_subject->clear();
    m_subject->setVisible(!user.isEmpty() || !entry.isEmpty());
    m_allRecords->setVisible(m_subject->isVisible());
    applyFilter();
}

void KelvaraHistory::periodChanged()
{
    const bool between = m_period->currentIndex() == Between;
    m_from->setEnabled(between);
    m_to->setEnabled(between);
    applyFilter();
}

AuditHistory::Filter KelvaraHistory::filter() const
{
    AuditHistory::Filter filter;
    const QDate today = QDate::currentDate();
    QDate first;
    QDate last;
    switch (m_period->currentIndex()) {
    case Today:
        first = today;
        break;
    case LastWeek:
        first = today.addDays(-6);
        break;
    case LastMonth:
        first = today.addDays(-29);
        break;
    case ThisYear:
        first = QDate(today.year(), 1, 1);
        break;
    case Between:
        first = m_from->date();
        last = m_to->date();
        break;
    default:
        break;
    }
    // Whole days of this computer's clock.
    if (first.isValid())
        filter.from = QDateTime(first, QTime(0, 0));
    if (last.isValid())
        filter.to = QDateTime(last.addDays(1), QTime(0, 0)).addMSecs(-1);
    filter.operatorName = m_operator->currentText().trimmed();
    filter.kind = m_kind->currentData().toString();
    filter.objectName = m_object->text().trimmed();
    filter.text = m_text->text().trimmed();
    filter.user = m_user;
    filter.entry = m_entry;
    return filter;
}

QString KelvaraHistory::filterText() const
{
    const AuditHistory::Filter f = filter();
    QStringList parts;
    if (f.from.isValid() || f.to.isValid())
        parts << tr("from %1 to %2")
                     .arg(f.from.isValid() ? f.from.toString(QStringLiteral("yyyy-MM-dd"))
                                           : tr("the first record"),
                          f.to.isValid() ? f.to.toString(QStringLiteral("yyyy-MM-dd"))
                                         : tr("the last record"));
    if (!f.operatorName.isEmpty())
        parts << tr("operator %1").arg(f.operatorName);
    if (!f.kind.isEmpty())
        parts << tr("kind %1").arg(AuditTrail::kindText(f.kind));
    if (!f.objectName.isEmpty())
        parts << tr("object \"%1\"").arg(f.objectName);
    if (!f.text.isEmpty())
        parts << tr("text \"%1\"").arg(f.text);
    if (!m_subject->text().isEmpty())
        parts << m_subject->text();
    return parts.isEmpty() ? tr("All records.") : parts.join(QStringLiteral("; "));
}

void KelvaraHistory::applyFilter()
{
    m_typing->stop();
    m_model->open(m_databasePath, filter());
    m_detail->clear();
    if (m_model->lastError().isValid())
        m_detail->setPlainText(
            tr("The history cannot be read: %1").arg(databaseErrorText(m_model->lastError())));
    m_table->resizeColumnsToContents();
    for (int column : {AuditTrailModel::ObjectColumn, AuditTrailModel::BeforeColumn,
                       AuditTrailModel::AfterColumn})
        m_table->setColumnWidth(column, qMin(m_table->columnWidth(column), 320));
}

void KelvaraHistory::showRecord()
{
    const QModelIndex current = m_table->currentIndex();
    m_detail->clear();
    if (!current.isValid())
        return;
    AuditRecord record;
    const QSqlError error = AuditHistory::readRecord(
        m_databasePath, m_model->data(current, AuditTrailModel::SequenceRole).toLongLong(), record);
    if (error.isValid() || record.sequence == 0) {
        m_detail->setPlainText(tr("The record cannot be read: %1").arg(databaseErrorText(error)));
        return;
    }
    QStringList lines;
    lines << tr("Record %1, %2 (UTC %3)")
                 .arg(record.sequence)
                 .arg(AuditTrailModel::timeText(record.recordedAt),
                      record.recordedAt.toUTC().toString(Qt::ISODateWithMs))
          << tr("By %1 with %2 %3").arg(record.operatorName, record.program, record.programVersion)
          << tr("%1 %2: %3")
                 .arg(AuditTrail::kindText(record.objectKind),
                      AuditTrailModel::cellText(record, AuditTrailModel::ActionColumn),
                      AuditTrailModel::cellText(record, AuditTrailModel::ObjectColumn));
    if (!record.users.isEmpty())
        lines << tr("Users: %1").arg(record.users.join(QStringLiteral("; ")));
    if (!record.entries.isEmpty())
        lines << tr("Entries: %1").arg(record.entries.join(QStringLiteral("; ")));
    QString before, after;
    if (AuditHistory::rightsOfPair(record, m_user, m_entry, &before, &after))
        lines << tr("The right of %1 at %2: %3 before, %4 after.")
                     .arg(m_user, m_entry, before.isEmpty() ? tr("none") : before,
                          after.isEmpty() ? tr("none") : after);
    if (!record.valuesBefore.isEmpty())
        lines << QString() << tr("Before:") << readable(record.valuesBefore);
    if (!record.valuesAfter.isEmpty())
        lines << QString() << tr("After:") << readable(record.valuesAfter);
    m_detail->setPlainText(lines.join(QLatin1Char('\n')));
}

void KelvaraHistory::exportCsv()
{
    const QString file = KxDialogs::getSaveFileName(
        this, tr("Export History"),
        QDir(QFileInfo(m_databasePath).absolutePath()).filePath(QStringLiteral("history.csv")),
        tr("CSV files (*.csv)"));
    if (file.isEmpty())
        return;
    int count = 0;
    const QString failure = AuditTrailExport::writeCsv(m_databasePath, filter(), file, &count);
    if (!failure.isEmpty()) {
        KxMessageBox::critical(this, tr("Export History"), failure);
        return;
    }
    KxMessageBox::information(this, tr("Export History"),
                              tr("%1 records written to\n%2").arg(count).arg(file));
}

void KelvaraHistory::exportPdf()
{
    const QString file = KxDialogs::getSaveFileName(
        this, tr("Export History"),
        QDir(QFileInfo(m_databasePath).absolutePath()).filePath(QStringLiteral("history.pdf")),
        tr("PDF files (*.pdf)"));
    if (file.isEmpty())
        return;
    int count = 0;
    const QString failure = AuditTrailExport::writePdf(
        m_databasePath, filter(), file,
        tr("History of changes: %1").arg(QFileInfo(m_databasePath).completeBaseName()),
        filterText(), &count);
    if (!failure.isEmpty()) {
        KxMessageBox::critical(this, tr("Export History"), failure);
        return;
    }
    KxMessageBox::information(this, tr("Export History"),
                              tr("%1 records written to\n%2").arg(count).arg(file));
}
