#include "views/editors/kelvarapublicholidays.h"

#include "access/readeraccesstables.h"
#include "access/timeperiod.h"
#include "db/holidayimport.h"
#include "db/holidayrecords.h"
#include "db/projectparameters.h"
#include "widgets/guimessages.h"
#include "widgets/kxdateformat.h"
#include "widgets/kxdialogrun.h"
#include "widgets/kxmessagebox.h"

#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSqlError>
#include <QTableWidget>
#include <QVBoxLayout>

KelvaraPublicHolidays::Answerer &KelvaraPublicHolidays::answerer()
{
    static Answerer instance;
    return instance;
}

KelvaraPublicHolidays::Answerer KelvaraPublicHolidays::setAnswerer(Answerer next)
{
    Answerer previous = answerer();
    answerer() = std::move(next);
    return previous;
}

int KelvaraPublicHolidays::run()
{
    return execOrAnswer<KelvaraPublicHolidays>(*this, answerer());
}

PublicHolidays::Language KelvaraPublicHolidays::language()
{
    return tr("en", "the language code of this translation") == QLatin1String("de")
               ? PublicHolidays::Language::German
               : PublicHolidays::Language::English;
}

KelvaraPublicHolidays::KelvaraPublicHolidays(const QString &databasePath, QWidget *parent)
    : QDialog(parent), m_databasePath(databasePath)
{
    setWindowTitle(tr("Add Public Holidays"));
    setModal(true);

    m_region = new QComboBox(this);
    for (const PublicHolidays::Region &region : PublicHolidays::regions())
        m_region->addItem(region.name(language()), region.code);
    QString remembered;
    HolidayImport::readRegion(m_databasePath, remembered); // none yet: the first region
    m_region->setCurrentIndex(qMax(0, m_region->findData(remembered)));

    // The years a reader can hold.
    const int year = QDate::currentDate().year();
    m_firstYear = new QSpinBox(this);
    m_lastYear = new QSpinBox(this);
    for (QSpinBox *box : {m_firstYear, m_lastYear}) {
        box->setRange(2000, 2099);
        box->setValue(qBound(2000, year, 2099));
    }
    m_lastYear->setValue(qBound(2000, year + 1, 2099));
    auto *years = new QHBoxLayout;
    years->addWidget(m_firstYear);
    years->addWidget(new QLabel(tr("to"), this));
    years->addWidget(m_lastYear);
    years->addStretch(1);

    auto *form = new QFormLayout;
    form->addRow(tr("&Region:"), m_region);
    form->addRow(tr("&Years:"), years);
    if (auto *label = qobject_cast<QLabel *>(form->labelForField(years)))
        label->setBuddy(m_firstYear);

    m_table = new QTableWidget(0, 4, this);
    m_table->setHorizontalHeaderLabels({tr("Date"), tr("Weekday"), tr("Holiday"), tr("Note")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setAlternatingRowColors(true);
    connect(m_table, &QTableWidget::itemChanged, this, &KelvaraPublicHolidays::updateCount);

    m_count = new QLabel(this);
    auto *buttons = new QDialogButtonBox(this);
    m_add = buttons->addButton(tr("Add Checked"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(m_add, &QPushButton::clicked, this, &KelvaraPublicHolidays::addChecked);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_count);
    layout->addWidget(buttons);

    connect(m_region, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &KelvaraPublicHolidays::buildPreview);
    connect(m_firstYear, qOverload<int>(&QSpinBox::valueChanged), this, [this](int first) {
        if (m_lastYear->value() < first)
            m_lastYear->setValue(first);
        buildPreview();
    });
    connect(m_lastYear, qOverload<int>(&QSpinBox::valueChanged), this, [this](int last) {
        if (m_firstYear->value() > last)
            m_firstYear->setValue(last);
        buildPreview();
    });
    m_region->setWhatsThis(tr("The country or state whose public holidays are added. Holidays "
                              "that only some towns of a state keep are not listed."));
    m_table->setWhatsThis(tr("The holidays of the chosen years. Only the checked ones are added; "
                             "dates that are holidays already are left as they are."));
    buildPreview();
    resize(640, 480);
}

QDate KelvaraPublicHolidays::siteToday() const
{
    // Readers count holidays from the site's today, whatever this computer's zone.
    ProjectParameters params;
    params.databasePath = m_databasePath;
    params.loadProjectParameters();
    return params.siteToday();
}

void KelvaraPublicHolidays::buildPreview()
{
    const QString region = m_region->currentData().toString();
    QList<PublicHolidays::Holiday> all;
    for (int year = m_firstYear->value(); year <= m_lastYear->value(); ++year)
        all += PublicHolidays::holidays(region, year);
    QStringList dates;
    for (const PublicHolidays::Holiday &holiday : qAsConst(all))
        dates << holiday.date.toString(HolidayRecords::DateFormat);
    QStringList existing;
    const QSqlError error = HolidayRecords::existingDates(m_databasePath, dates, existing);
    if (error.isValid())
        showDatabaseError(this, tr("DB holidays list"), error);

    const QSignalBlocker blocker(m_table);
    const QDate today = siteToday();
    m_table->setRowCount(all.size());
    for (int r = 0; r < all.size(); ++r) {
        const PublicHolidays::Holiday &holiday = all.at(r);
        const bool present = existing.contains(dates.at(r));
        auto *date = new QTableWidgetItem(holiday.date.toString(kxDateFormat()));
        date->setData(Qt::UserRole, dates.at(r));
        date->setFlags(present
                           ? Qt::ItemIsSelectable
                           : Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        date->setCheckState(present ? Qt::Unchecked : Qt::Checked);
        auto *day = new QTableWidgetItem(TimePeriod::dayName(holiday.date.dayOfWeek() % 7));
        auto *name = new QTableWidgetItem(holiday.name(language()));
        auto *note = new QTableWidgetItem(present                ? tr("already a holiday")
                                          : holiday.date < today ? tr("past: not sent to readers")
                                                                 : QString());
        for (QTableWidgetItem *item : {day, name, note})
            item->setFlags(present ? Qt::ItemIsSelectable
                                   : Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        m_table->setItem(r, DateColumn, date);
        m_table->setItem(r, WeekdayColumn, day);
        m_table->setItem(r, NameColumn, name);
        m_table->setItem(r, NoteColumn, note);
    }
    m_table->resizeColumnsToContents();
    updateCount();
}

void KelvaraPublicHolidays::updateCount()
{
    int checked = 0;
    for (int r = 0; r < m_table->rowCount(); ++r)
        checked += m_table->item(r, DateColumn)->checkState() == Qt::Checked ? 1 : 0;
    m_count->setText(tr("Holidays checked: %n", nullptr, checked));
    m_add->setEnabled(checked > 0);
}

void KelvaraPublicHolidays::addChecked()
{
    QList<HolidayRow> rows;
    for (int r = 0; r < m_table->rowCount(); ++r) {
        if (m_table->item(r, DateColumn)->checkState() != Qt::Checked)
            continue;
        HolidayRow row;
        row.date = m_table->item(r, DateColumn)->data(Qt::UserRole).toString();
        row.comment = m_table->item(r, NameColumn)->text();
        rows << row;
    }
    HolidayImport::Outcome outcome;
    const QSqlError error =
        HolidayImport::addHolidays(m_databasePath, rows, m_region->currentData().toString(),
                                   siteToday(), ReaderAccessTables::MaxHolidays, &outcome);
    if (error.isValid()) {
        // The readers' limit is a refusal of ours, told as a sentence.
        if (error.nativeErrorCode().isEmpty())
            KxMessageBox::critical(this, windowTitle(), error.databaseText());
        else
            showDatabaseError(this, tr("DB add holidays"), error);
        return;
    }
    m_added = outcome.added.size();
    accept();
}
