#include "views/lists/kelvaraevents.h"

#include "core/applicationsettings.h"
#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "userlist/myexportusers.h"
#include "widgets/guimessages.h"
#include "widgets/kxdialogs.h"
#include "widgets/kxmessagebox.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QTableWidget>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Item data of the place and person boxes: a kind and a value.
enum Kind { Everything, AreaKind, EntryKind, GroupKind, UserKind };

QVariant choice(Kind kind, const QVariant &value = QVariant())
{
    return QVariantList{int(kind), value};
}

} // namespace

KelvaraEvents::KelvaraEvents(ApplicationSettings &settings, const ProjectParameters &params,
                             QWidget *parent)
    : QFrame(parent), m_settings(settings), m_params(params)
{
    setObjectName(QStringLiteral("eventsView"));
    m_model = new EventLogModel(this);

    m_period = new QComboBox(this);
    m_period->addItems({tr("Today"), tr("Yesterday"), tr("Last 7 days"), tr("This month"),
                        tr("All"), tr("From - to")});
    m_period->setCurrentIndex(LastSevenDays);
    m_from = new QDateEdit(this);
    m_to = new QDateEdit(this);
    for (QDateEdit *edit : {m_from, m_to}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setDate(QDate::currentDate());
        edit->setEnabled(false);
    }
    m_place = new QComboBox(this);
    m_person = new QComboBox(this);
    m_result = new QComboBox(this);
    m_result->addItems({tr("All results"), tr("Granted"), tr("Denied"), tr("Unknown identifiers")});
    m_text = new QLineEdit(this);
    m_text->setPlaceholderText(tr("Search"));
    m_text->setClearButtonEnabled(true);
    m_textDelay = new QTimer(this);
    m_textDelay->setSingleShot(true);
    m_textDelay->setInterval(300);

    auto *filters = new QHBoxLayout;
    auto *periodLabel = new QLabel(tr("&Period:"), this);
    periodLabel->setBuddy(m_period);
    filters->addWidget(periodLabel);
    filters->addWidget(m_period);
    filters->addWidget(m_from);
    filters->addWidget(m_to);
    auto *placeLabel = new QLabel(tr("P&lace:"), this);
    placeLabel->setBuddy(m_place);
    filters->addWidget(placeLabel);
    filters->addWidget(m_place, 1);
    // Two rows, so that a narrow window or longer German texts still leave
    // every filter readable.
    auto *moreFilters = new QHBoxLayout;
    auto *personLabel = new QLabel(tr("Pe&rson:"), this);
    personLabel->setBuddy(m_person);
    moreFilters->addWidget(personLabel);
    moreFilters->addWidget(m_person, 1);
    moreFilters->addWidget(m_result);
    moreFilters->addWidget(m_text, 1);

    m_table = new QTableView(this);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    // Until the user sets widths, each column is as wide as a typical value
    // (or its head), so dates, names and results are not cut at the start.
    const QFontMetrics metrics = m_table->fontMetrics();
    const QStringList samples = {
        QStringLiteral("8888-88-88 88:88:88"), QStringLiteral("Parking Area"),
        QStringLiteral("Main Entrance"),       QStringLiteral("Mmmmmmm, Mmmmmm"),
        QStringLiteral("Management"),          QStringLiteral("8888888888888888"),
        EventRecords::resultText(false, 2)};
    for (int column = 0; column < samples.size(); ++column) {
        const QString head = m_model->headerData(column, Qt::Horizontal).toString();
        m_table->setColumnWidth(column, qMax(metrics.horizontalAdvance(samples.at(column)),
                                             metrics.horizontalAdvance(head)) +
                                            16);
    }
    for (int column = 0;
         column < m_settings.eventsTableColWidth.size() && column < EventLogModel::ColumnCount;
         ++column) {
        if (m_settings.eventsTableColWidth.at(column) > 0)
            m_table->setColumnWidth(column, m_settings.eventsTableColWidth.at(column));
    }
    connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) {
                while (m_settings.eventsTableColWidth.size() <= column)
                    m_settings.eventsTableColWidth << 0;
                m_settings.eventsTableColWidth[column] = width;
            });

    m_count = new QLabel(this);
    m_export = new QPushButton(tr("E&xport CSV..."), this);
    m_report = new QPushButton(tr("PDF Re&port..."), this);
    m_board = new QPushButton(tr("Show on &Board"), this);
    m_user = new QPushButton(tr("Open &User"), this);
    m_addUser = new QPushButton(tr("&Add as New User..."), this);
    m_seen = new QPushButton(tr("&Seen Today in Area..."), this);
    auto *actions = new QHBoxLayout;
    actions->addStretch();
    for (QPushButton *button : {m_board, m_user, m_addUser, m_seen, m_export, m_report})
        actions->addWidget(button);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addLayout(moreFilters);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_count);
    layout->addLayout(actions);

    connect(m_period, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int) {
        m_from->setEnabled(m_period->currentIndex() == FromTo);
        m_to->setEnabled(m_period->currentIndex() == FromTo);
        applyFilter();
    });
    for (QDateEdit *edit : {m_from, m_to})
        connect(edit, &QDateEdit::dateChanged, this, &KelvaraEvents::applyFilter);
    for (QComboBox *box : {m_place, m_person, m_result})
        connect(box, QOverload<int>::of(&QComboBox::activated), this, &KelvaraEvents::applyFilter);
    connect(m_text, &QLineEdit::textChanged, m_textDelay, QOverload<>::of(&QTimer::start));
    connect(m_textDelay, &QTimer::timeout, this, &KelvaraEvents::applyFilter);
    connect(m_export, &QPushButton::clicked, this, &KelvaraEvents::exportCsvAsked);
    connect(m_report, &QPushButton::clicked, this, &KelvaraEvents::printReportAsked);
    connect(m_board, &QPushButton::clicked, this, &KelvaraEvents::showOnBoardAsked);
    connect(m_user, &QPushButton::clicked, this, &KelvaraEvents::openUserAsked);
    connect(m_addUser, &QPushButton::clicked, this, &KelvaraEvents::addUserAsked);
    connect(m_seen, &QPushButton::clicked, this, &KelvaraEvents::seenInAreaAsked);
    connect(m_table, &QTableView::doubleClicked, this, &KelvaraEvents::showOnBoardAsked);
    connect(m_model, &QAbstractItemModel::modelReset, this, &KelvaraEvents::selectionChanged);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &KelvaraEvents::selectionChanged);
    selectionChanged();
}

KelvaraEvents::~KelvaraEvents() = default;

void KelvaraEvents::buildList()
{
    m_model->setDatabasePath(m_params.databasePath);
    EventRecords::EventChoices choices;
    {
        ProjectDatabase db(m_params.databasePath);
        if (db.open()) {
            QSqlQuery query = db.query();
            const QSqlError error = EventRecords::choices(query, choices);
            if (error.isValid())
                showDatabaseError(this, tr("DB event list"), error);
        }
    }
    const QVariant place = m_place->currentData();
    const QVariant person = m_person->currentData();
    m_place->clear();
    m_place->addItem(tr("All entries"), choice(Everything));
    for (const QString &area : qAsConst(choices.areas)) {
        m_place->addItem(tr("Area %1").arg(area), choice(AreaKind, area));
        for (const EventRecords::EventChoices::Entry &entry : qAsConst(choices.entries)) {
            if (entry.area == area)
                m_place->addItem(QStringLiteral("    %1 / %2").arg(entry.area, entry.name),
                                 choice(EntryKind, entry.key));
        }
    }
    m_person->clear();
    m_person->addItem(tr("Everybody"), choice(Everything));
    for (const QString &group : qAsConst(choices.groups))
        m_person->addItem(tr("Group %1").arg(group), choice(GroupKind, group));
    for (const auto &user : qAsConst(choices.users))
        m_person->addItem(QStringLiteral("%1, %2").arg(user.first, user.second),
                          choice(UserKind, QStringList{user.first, user.second}));
    m_place->setCurrentIndex(qMax(0, m_place->findData(place)));
    m_person->setCurrentIndex(qMax(0, m_person->findData(person)));
    applyFilter();
}

EventFilter KelvaraEvents::currentFilter() const
{
    EventFilter filter;
    const QDate today = m_params.siteToday();
    QDate from, to; // to: the first day not taken
    switch (m_period->currentIndex()) {
    case Today:
        from = today;
        to = today.addDays(1);
        break;
    case Yesterday:
        from = today.addDays(-1);
        to = today;
        break;
    case LastSevenDays:
        from = today.addDays(-6);
        to = today.addDays(1);
        break;
    case ThisMonth:
        from = QDate(today.year(), today.month(), 1);
        to = from.addMonths(1);
        break;
    case FromTo:
        from = m_from->date();
        to = m_to->date().addDays(1);
        break;
    default:
        break;
    }
    if (from.isValid())
        filter.from = EventRecords::toSeconds(QDateTime(from, QTime(0, 0)));
    if (to.isValid())
        filter.to = EventRecords::toSeconds(QDateTime(to, QTime(0, 0)));
    // An empty span selects nothing rather than everything.
    if (filter.to > 0 && filter.to <= filter.from)
        filter.to = filter.from = 1;

    const QVariantList place = m_place->currentData().toList();
    if (place.size() == 2 && place.at(0).toInt() == AreaKind)
        filter.area = place.at(1).toString();
    else if (place.size() == 2 && place.at(0).toInt() == EntryKind)
        filter.pkDoors = place.at(1).toInt();
    const QVariantList person = m_person->currentData().toList();
    if (person.size() == 2 && person.at(0).toInt() == GroupKind) {
        filter.groupName = person.at(1).toString();
    } else if (person.size() == 2 && person.at(0).toInt() == UserKind) {
        const QStringList names = person.at(1).toStringList();
        filter.familyName = names.value(0);
        filter.firstName = names.value(1);
    }
    filter.result = EventFilter::Result(m_result->currentIndex());
    filter.text = m_text->text().trimmed();
    return filter;
}

QString KelvaraEvents::filterText() const
{
    QStringList parts{m_period->currentText()};
    if (m_period->currentIndex() == FromTo)
        parts.last() =
            tr("%1 to %2")
                .arg(m_from->date().toString(Qt::ISODate), m_to->date().toString(Qt::ISODate));
    for (QComboBox *box : {m_place, m_person, m_result}) {
        if (box->currentIndex() > 0)
            parts << box->currentText().trimmed();
    }
    if (!m_text->text().trimmed().isEmpty())
        parts << tr("text \"%1\"").arg(m_text->text().trimmed());
    return parts.join(QStringLiteral(", "));
}

void KelvaraEvents::applyFilter()
{
    m_textDelay->stop();
    if (m_params.databasePath.isEmpty())
        return;
    if (!m_model->setFilter(currentFilter()))
        showDatabaseError(this, tr("DB event list"), m_model->lastError());
    const EventCounts &counts = m_model->counts();
    m_count->setText(tr("%1 events: %2 granted, %3 denied, %4 with unknown identifier")
                         .arg(counts.total)
                         .arg(counts.granted)
                         .arg(counts.total - counts.granted)
                         .arg(counts.unknown));
    if (m_model->rowCount() > 0)
        m_table->selectRow(0);
}

const EventRow *KelvaraEvents::currentEvent() const
{
    const QModelIndex index = m_table->currentIndex();
    if (!index.isValid() || index.row() >= m_model->rowCount())
        return nullptr;
    return &m_model->event(index.row());
}

void KelvaraEvents::selectionChanged()
{
    const EventRow *event = currentEvent();
    m_board->setEnabled(event && event->userKey && !event->doorName.isEmpty());
    m_user->setEnabled(event && event->userKey);
    m_addUser->setEnabled(event && !event->userKey && !event->idd.isEmpty());
    m_export->setEnabled(m_model->rowCount() > 0);
    m_report->setEnabled(m_model->rowCount() > 0);
}

QByteArray KelvaraEvents::csvText()
{
    QByteArray text;
    if (!m_model->fetchAll())
        return text;
    const QByteArray lineEnd = QByteArrayLiteral("\r\n");
    QStringList header;
    for (int column = 0; column < EventLogModel::ColumnCount; ++column)
        header << MyExportUsers::csvField(m_model->headerData(column, Qt::Horizontal).toString());
    text += header.join(QLatin1Char(';')).toLocal8Bit() + lineEnd;
    for (const EventRow &row : m_model->rows()) {
        QStringList fields;
        for (int column = 0; column < EventLogModel::ColumnCount; ++column)
            fields << MyExportUsers::csvField(m_model->cellText(row, column));
        text += fields.join(QLatin1Char(';')).toLocal8Bit() + lineEnd;
    }
    return text;
}

QString KelvaraEvents::reportHtml()
{
    if (!m_model->fetchAll())
        return QString();
    QString html =
        QStringLiteral("<h2>%1</h2><p>%2<br>%3<br>%4<br>%5</p>")
            .arg(tr("Event Report").toHtmlEscaped(),
                 tr("Project: %1").arg(QFileInfo(m_params.projectPath).fileName()).toHtmlEscaped(),
                 tr("Filter: %1").arg(filterText()).toHtmlEscaped(),
                 m_count->text().toHtmlEscaped(),
                 tr("Printed: %1")
                     .arg(m_params.siteNow().toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                     .toHtmlEscaped());
    html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\"><tr>");
    for (int column = 0; column < EventLogModel::ColumnCount; ++column)
        html += QStringLiteral("<th>%1</th>")
                    .arg(m_model->headerData(column, Qt::Horizontal).toString().toHtmlEscaped());
    html += QStringLiteral("</tr>");
    for (const EventRow &row : m_model->rows()) {
        html += QStringLiteral("<tr>");
        for (int column = 0; column < EventLogModel::ColumnCount; ++column)
            html +=
                QStringLiteral("<td>%1</td>").arg(m_model->cellText(row, column).toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

bool KelvaraEvents::exportCsv(const QString &fileName)
{
    const QByteArray text = csvText();
    if (m_model->lastError().isValid())
        return false;
    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

bool KelvaraEvents::printReport(const QString &fileName)
{
    const QString html = reportHtml();
    if (m_model->lastError().isValid())
        return false;
    QTextDocument document;
    document.setHtml(html);
    QPdfWriter writer(fileName);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Landscape);
    writer.setTitle(tr("Event Report"));
    // Without a page size of its own the document is laid out on the
    // writer's pages and gets page numbers.
    document.print(&writer);
    return QFileInfo(fileName).size() > 0;
}

QString KelvaraEvents::defaultFileName(const QString &suffix) const
{
    return QDir(m_params.projectPath)
        .filePath(QStringLiteral("events-%1.%2")
                      .arg(m_params.siteNow().toString(QStringLiteral("yyyy-MM-dd")), suffix));
}

void KelvaraEvents::exportCsvAsked()
{
    const QString fileName = KxDialogs::getSaveFileName(
        this, tr("Export Events"), defaultFileName(QStringLiteral("csv")), tr("CSV (*.csv)"));
    if (fileName.isEmpty())
        return;
    if (!exportCsv(fileName))
        KxMessageBox::critical(
            this, tr("Export Events"),
            tr("The file '%1' could not be written.").arg(QDir::toNativeSeparators(fileName)));
}

void KelvaraEvents::printReportAsked()
{
    const QString fileName = KxDialogs::getSaveFileName(
        this, tr("Event Report"), defaultFileName(QStringLiteral("pdf")), tr("PDF (*.pdf)"));
    if (fileName.isEmpty())
        return;
    if (!printReport(fileName))
        KxMessageBox::critical(
            this, tr("Event Report"),
            tr("The file '%1' could not be written.").arg(QDir::toNativeSeparators(fileName)));
}

void KelvaraEvents::showOnBoardAsked()
{
    if (const EventRow *event = currentEvent()) {
        if (event->userKey && !event->doorName.isEmpty())
            emit showOnBoard(event->userKey, event->pkDoors);
    }
}

void KelvaraEvents::openUserAsked()
{
    if (const EventRow *event = currentEvent()) {
        if (event->userKey)
            emit openUser(event->userKey);
    }
}

void KelvaraEvents::addUserAsked()
{
    const EventRow *event = currentEvent();
    if (!event || event->userKey || event->idd.isEmpty())
        return;
    // The length tells the technology: the project's long-range length is
    // the EPC's, anything else is taken as a short-range identifier.
    const bool longRange = m_params.haveUhfReader && event->idd.size() == 2 * m_params.uhfIddLength;
    const TransponderIdd idd = TransponderIdd::fromHex(
        event->idd, longRange ? TransponderIdd::EpcClass1Gen2 : TransponderIdd::Iso14443A);
    if (KxMessageBox::question(this, tr("Add as New User"),
                               tr("Add a new user holding the identifier %1?").arg(event->idd)) !=
        QMessageBox::Yes)
        return;
    int key = 0;
    const QSqlError error =
        UserRecords::addImportedUser(m_params.databasePath, idd, longRange, &key);
    if (error.isValid()) {
        showDatabaseError(this, tr("Add as New User"), error);
        return;
    }
    emit usersChanged();
    emit openUser(key);
}

QList<QStringList> KelvaraEvents::seenInArea(const QString &area, const QDateTime &since)
{
    QList<QStringList> lines;
    QList<EventRow> rows;
    ProjectDatabase db(m_params.databasePath);
    QSqlError error = db.lastError();
    if (db.open()) {
        QSqlQuery query = db.query();
        error = EventRecords::seenInArea(query, area, EventRecords::toSeconds(since), rows);
    }
    if (error.isValid()) {
        showDatabaseError(this, tr("DB event list"), error);
        return lines;
    }
    for (const EventRow &row : qAsConst(rows))
        lines << QStringList{QStringLiteral("%1, %2").arg(row.familyName, row.firstName),
                             row.groupName, row.doorName,
                             row.time().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))};
    return lines;
}

void KelvaraEvents::seenInAreaAsked()
{
    EventRecords::EventChoices choices;
    {
        ProjectDatabase db(m_params.databasePath);
        if (db.open()) {
            QSqlQuery query = db.query();
            EventRecords::choices(query, choices);
        }
    }
    const QVariantList place = m_place->currentData().toList();
    QString area = place.size() == 2 && place.at(0).toInt() == AreaKind ? place.at(1).toString()
                                                                        : choices.areas.value(0);
    if (choices.areas.size() > 1 && (place.size() != 2 || place.at(0).toInt() != AreaKind)) {
        bool ok = false;
        area = QInputDialog::getItem(this, tr("Seen Today in Area"), tr("Area:"), choices.areas, 0,
                                     false, &ok);
        if (!ok)
            return;
    }
    if (area.isEmpty())
        return;
    const QDateTime since(m_params.siteToday(), QTime(0, 0));
    const QList<QStringList> lines = seenInArea(area, since);

    auto *dialog = new QDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(tr("Seen Today in Area %1").arg(area));
    auto *table = new QTableWidget(lines.size(), 4, dialog);
    table->setHorizontalHeaderLabels({tr("User"), tr("Group"), tr("Last Entry"), tr("Time")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < lines.size(); ++r) {
        for (int c = 0; c < 4; ++c)
            table->setItem(r, c, new QTableWidgetItem(lines.at(r).at(c)));
    }
    table->resizeColumnsToContents();
    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(new QLabel(tr("%n user(s) let in since %1", nullptr, lines.size())
                                     .arg(since.toString(QStringLiteral("yyyy-MM-dd HH:mm"))),
                                 dialog));
    layout->addWidget(table);
    dialog->resize(600, 400);
    dialog->show();
}

void KelvaraEvents::setHelp(bool isToolTips)
{
    const auto help = [isToolTips](QWidget *widget, const QString &text) {
        widget->setWhatsThis(text);
        widget->setToolTip(isToolTips ? text : QString());
    };
    help(m_period, tr("The days whose events are shown (the readers' clocks)."));
    help(m_place, tr("Only the events of an area or an entry."));
    help(m_person, tr("Only the events of a group or a user, as they were named then."));
    help(m_result, tr("Only granted or denied events, or those of identifiers no user held."));
    help(m_text, tr("Only events whose identifier, user, group, entry or area contain the "
                    "text."));
    help(m_board, tr("Shows the user and the entry of the event on the access board."));
    help(m_user, tr("Opens the user of the event in the user administration."));
    help(m_addUser, tr("Adds a new user holding the unknown identifier of the event."));
    help(m_seen, tr("Lists the users let in at the area chosen as place since the start of "
                    "the day, each with the last entry and time: a quick roll call."));
    help(m_export, tr("Writes the events shown into a semicolon-separated file."));
    help(m_report, tr("Writes the events shown as a PDF report."));
}
