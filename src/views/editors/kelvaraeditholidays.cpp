#include "views/editors/kelvaraeditholidays.h"

#include "access/timeperiod.h"
#include "core/applicationsettings.h"
#include "db/holidayrecords.h"
#include "views/editors/kelvaraeditdate.h"
#include "views/editors/kelvarapublicholidays.h"
#include "views/project/databaseopen.h"
#include "widgets/guimessages.h"
#include "widgets/kxdateformat.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxsizing.h"

#include <QCalendarWidget>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSqlError>
#include <QTableWidget>
#include <QVBoxLayout>

KelvaraEditHolidays::KelvaraEditHolidays(ApplicationSettings &settings, const QString &databasePath,
                                         QWidget *parent)
    : QDialog(parent), m_settings(settings), m_databasePath(databasePath)
{
    setWindowTitle(tr("Holiday Editor"));
    setModal(true);

    m_table = new QTableWidget(0, 3, this);
    m_table->setHorizontalHeaderLabels({tr("Date"), tr("Weekday"), tr("Comment")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setAlternatingRowColors(true);
    // The dialog opens wide enough for every column, without a scroll bar.
    m_table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContentsOnFirstShow);
    connect(m_table, &QTableWidget::itemDoubleClicked, this,
            &KelvaraEditHolidays::itemDoubleClicked);
    connect(m_table, &QTableWidget::currentCellChanged, this, &KelvaraEditHolidays::updateButtons);

    auto makeButton = [this](const char *icon, const QString &text) {
        auto *button = new QPushButton(QIcon(QLatin1String(icon)), text, this);
        button->setAutoDefault(false);
        return button;
    };
    m_add = makeButton(":/plus-16.png", tr("Add"));
    m_edit = makeButton(":/edit-16.png", tr("Edit"));
    m_remove = makeButton(":/minus-16.png", tr("Remove"));
    m_public = makeButton(":/plus-16.png", tr("Add Public Holidays..."));
    m_end = new QPushButton(tr("End"), this);
    connect(m_add, &QPushButton::clicked, this, &KelvaraEditHolidays::addDate);
    connect(m_edit, &QPushButton::clicked, this, &KelvaraEditHolidays::editDate);
    connect(m_remove, &QPushButton::clicked, this, &KelvaraEditHolidays::removeDate);
    connect(m_public, &QPushButton::clicked, this, &KelvaraEditHolidays::addPublicHolidays);
    connect(m_end, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_remove);
    buttons->addWidget(m_public);
    buttons->addStretch(1);
    buttons->addWidget(m_end);

    auto *note = new QLabel(tr("Readers receive the holidays from today on with the next "
                               "update of their access rights."),
                            this);
    note->setWordWrap(true);
    note->setStyleSheet(QStringLiteral("color: rgb(90,90,90);"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_table, 1);
    layout->addWidget(note);

    for (int c = 0; c < m_table->columnCount(); ++c) {
        m_table->setColumnWidth(c,
                                kxColumnWidth(m_table, c, m_settings.holidaysTableColWidth.value(c),
                                              c == CommentColumn ? 200 : 110));
    }
    setHelp(m_settings.areToolTipsOn);
    buildList();
}

void KelvaraEditHolidays::buildList()
{
    const int pk =
        m_table->currentRow() >= 0
            ? m_table->item(m_table->currentRow(), DateColumn)->data(Qt::UserRole).toInt()
            : 0;
    m_table->setRowCount(0);
    QList<HolidayRow> rows;
    if (!openDatabaseOrShowError(this, m_databasePath)) {
        updateButtons();
        return;
    }
    const QSqlError error = HolidayRecords::listHolidays(m_databasePath, rows);
    if (error.isValid()) {
        showDatabaseError(this, tr("DB holidays list"), error);
        updateButtons();
        return;
    }
    const QDate today = QDate::currentDate();
    m_table->setRowCount(rows.size());
    int current = -1;
    for (int r = 0; r < rows.size(); ++r) {
        const HolidayRow &row = rows.at(r);
        const QDate date = QDate::fromString(row.date, HolidayRecords::DateFormat);
        auto *dateItem =
            new QTableWidgetItem(date.isValid() ? date.toString(kxDateFormat()) : row.date);
        dateItem->setData(Qt::UserRole, row.pkHolidays);
        auto *dayItem = new QTableWidgetItem(
            date.isValid() ? TimePeriod::dayName(date.dayOfWeek() % 7) : QString());
        auto *commentItem = new QTableWidgetItem(row.comment);
        for (QTableWidgetItem *item : {dateItem, dayItem, commentItem}) {
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            if (date.isValid() && date < today)
                item->setForeground(QColor(150, 150, 150));
        }
        m_table->setItem(r, DateColumn, dateItem);
        m_table->setItem(r, WeekdayColumn, dayItem);
        m_table->setItem(r, CommentColumn, commentItem);
        m_table->setRowHeight(r, 25);
        if (row.pkHolidays == pk)
            current = r;
    }
    if (current >= 0)
        m_table->setCurrentCell(current, DateColumn);
    updateButtons();
}

void KelvaraEditHolidays::updateButtons()
{
    const bool selected = m_table->currentRow() >= 0;
    m_edit->setEnabled(selected);
    m_remove->setEnabled(selected);
}

bool KelvaraEditHolidays::runDateDialog(int pkHolidays, const QDate &date, const QString &comment)
{
    KelvaraEditDate dialog(m_databasePath, this);
    if (pkHolidays != 0)
        dialog.setHoliday(pkHolidays, date, comment);
    dialog.setHelp(m_toolTips);
    kxPlaceDialog(&dialog, m_settings.editHolidayDateDialogGeometry.size());
    const bool saved = dialog.exec() == QDialog::Accepted;
    m_settings.editHolidayDateDialogGeometry = dialog.geometry();
    if (saved) {
        m_changed = true;
        buildList();
        selectDate(dialog.selectedDates().value(0).toString(kxDateFormat()));
    }
    return saved;
}

void KelvaraEditHolidays::selectDate(const QString &shownDate)
{
    for (int r = 0; r < m_table->rowCount(); ++r) {
        if (m_table->item(r, DateColumn)->text() == shownDate) {
            m_table->setCurrentCell(r, DateColumn);
            m_table->scrollToItem(m_table->item(r, DateColumn));
            return;
        }
    }
}

void KelvaraEditHolidays::addDate()
{
    runDateDialog(0, QDate(), QString());
}

void KelvaraEditHolidays::editDate()
{
    const int row = m_table->currentRow();
    if (row < 0)
        return;
    const QTableWidgetItem *dateItem = m_table->item(row, DateColumn);
    runDateDialog(dateItem->data(Qt::UserRole).toInt(),
                  QDate::fromString(dateItem->text(), kxDateFormat()),
                  m_table->item(row, CommentColumn)->text());
}

void KelvaraEditHolidays::removeDate()
{
    const int row = m_table->currentRow();
    if (row < 0)
        return;
    if (KxMessageBox::question(this, tr("Remove Holiday"),
                               tr("Do you really want to remove the selected holiday?"),
                               QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    if (!openDatabaseOrShowError(this, m_databasePath))
        return;
    const QSqlError error = HolidayRecords::removeHoliday(
        m_databasePath, m_table->item(row, DateColumn)->data(Qt::UserRole).toInt());
    if (error.isValid()) {
        showDatabaseError(this, tr("DB remove holidays"), error);
    } else {
        m_changed = true;
    }
    buildList();
    if (m_table->rowCount() > 0)
        m_table->setCurrentCell(qMin(row, m_table->rowCount() - 1), DateColumn);
}

void KelvaraEditHolidays::addPublicHolidays()
{
    if (!openDatabaseOrShowError(this, m_databasePath))
        return;
    KelvaraPublicHolidays dialog(m_databasePath, this);
    if (dialog.run() != QDialog::Accepted || dialog.addedCount() == 0)
        return;
    m_changed = true;
    buildList();
}

void KelvaraEditHolidays::itemDoubleClicked(QTableWidgetItem *item)
{
    if (!item)
        return;
    m_table->setCurrentCell(item->row(), DateColumn);
    editDate();
}

void KelvaraEditHolidays::setHelp(bool isToolTips)
{
    m_toolTips = isToolTips;
    const auto help = [isToolTips](QWidget *w, const QString &text) {
        w->setWhatsThis(text);
        w->setToolTip(isToolTips ? text : QString());
    };
    help(m_add, tr("Add holiday"));
    help(m_edit, tr("Edit holiday"));
    help(m_remove, tr("Remove holiday"));
    help(m_public, tr("Add the public holidays of a country or state for one or more years"));
    help(m_end, tr("Close holiday editor"));
    help(m_table, tr("The project's holidays. On a holiday an entry grants access only by "
                     "the periods of a time model that include the day 'Holiday'."));
}
