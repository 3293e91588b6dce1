#include "views/lists/kelvaratimes.h"

#include "access/timemodel.h"
#include "core/applicationsettings.h"
#include "db/projectdatabase.h"
#include "db/recordrows.h"
#include "db/timemodelrecords.h"
#include "views/editors/kelvaraeditholidays.h"
#include "views/editors/kelvaraedittimemodel.h"
#include "views/project/databaseopen.h"
#include "views/project/rolepermissions.h"
#include "widgets/guimessages.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxsizing.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QShowEvent>
#include <QSqlError>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

const QString KelvaraTimes::AlwaysTag = QStringLiteral("***");
const QString KelvaraTimes::AlwaysDefinition = QStringLiteral("*-*-*");

KelvaraTimes::KelvaraTimes(ApplicationSettings &settings, QWidget *parent)
    : QWidget(parent), m_settings(settings)
{
    auto *head = new QFrame(this);
    head->setObjectName(QStringLiteral("timesHead"));
    head->setStyleSheet(QStringLiteral("QFrame#timesHead { background: rgb(128,255,128); }"));
    auto *headLayout = new QHBoxLayout(head);
    headLayout->setContentsMargins(10, 8, 10, 8);
    headLayout->setSpacing(14);
    m_picture = new QLabel(head);
    m_picture->setPixmap(QPixmap(QStringLiteral(":/times-48.png")));
    m_picture->setAlignment(Qt::AlignTop);
    m_help = new QLabel(helpText(), head);
    m_help->setWordWrap(true);
    headLayout->addWidget(m_picture);
    headLayout->addWidget(m_help, 1);

    auto makeButton = [this](const char *icon, void (KelvaraTimes::*slot)()) {
        auto *button = new QToolButton(this);
        button->setIcon(QIcon(QLatin1String(icon)));
        button->setIconSize(QSize(16, 16));
        button->setAutoRaise(false);
        connect(button, &QToolButton::clicked, this, slot);
        return button;
    };
    m_add = makeButton(":/plus-16.png", &KelvaraTimes::addModel);
    m_edit = makeButton(":/edit-16.png", &KelvaraTimes::editModel);
    m_remove = makeButton(":/minus-16.png", &KelvaraTimes::removeModel);
    m_holidays = makeButton(":/holiday-16.png", &KelvaraTimes::editHolidays);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_edit);
    buttons->addWidget(m_remove);
    buttons->addSpacing(16);
    buttons->addWidget(m_holidays);
    buttons->addStretch(1);

    m_table = new QTableWidget(0, 3, this);
    m_table->setHorizontalHeaderLabels({tr("Model"), tr("Model Name"), tr("Model Definition")});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setWordWrap(false);
    for (int c = 0; c < m_table->columnCount(); ++c) {
        m_table->setColumnWidth(
            c, kxColumnWidth(m_table, c, m_settings.timesTableColWidth.value(c), 200));
    }
    connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, this,
            &KelvaraTimes::storeColumnWidths);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &KelvaraTimes::cellDoubleClicked);
    connect(m_table, &QTableWidget::currentCellChanged, this, &KelvaraTimes::updateButtons);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(head);
    layout->addLayout(buttons);
    layout->addWidget(m_table, 1);

    setHelp(m_settings.areToolTipsOn);
    updateButtons();
}

QString KelvaraTimes::helpText()
{
    return tr("Time models define access times for a user to an entry. For each model you must "
              "give a name and a short (max. 3 signs) identifier as logical information. The "
              "identifiers are shown in the access board.\n\nA 'Time Model' is a list of up to 8 "
              "'periods'. We treat a period as a time interval related to one or more weekdays. "
              "The users can access an entry when the access time is within one of the model's "
              "periods.\n\nThe model definition column of the table shows the access rules for "
              "that model (physical information).");
}

void KelvaraTimes::setDatabasePath(const QString &databasePath)
{
    m_databasePath = databasePath;
    m_listFresh = false;
}

void KelvaraTimes::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous() && !m_listFresh)
        buildList();
}

void KelvaraTimes::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        m_listFresh = false;
}

void KelvaraTimes::buildList()
{
    m_listFresh = true;
    const QString current = currentTag();
    m_table->setRowCount(0);
    if (m_databasePath.isEmpty()) {
        updateButtons();
        return;
    }
    QList<TimeModelRow> rows;
    {
        ProjectDatabase db(m_databasePath);
        if (!db.open()) {
            showDatabaseError(this, tr("DB open"), db.lastError());
            updateButtons();
            return;
        }
        QSqlQuery query = db.query();
        // The built-in model; the unique tag turns this into nothing once it exists.
        TimeModelRecords::addTimeModel(query, {0, AlwaysTag, tr("Always"), AlwaysDefinition});
        query.finish();
        if (!TimeModelRecords::listTimeModels(query, TimeModelRecords::SortByTag, rows)) {
            showDatabaseError(this, tr("DB times list"), query.lastError());
            updateButtons();
            return;
        }
    }
    m_table->setRowCount(rows.size());
    const QColor definitionBackground(240, 245, 255);
    for (int r = 0; r < rows.size(); ++r) {
        const TimeModelRow &row = rows.at(r);
        auto *tag = new QTableWidgetItem(row.modelTag);
        tag->setData(Qt::UserRole, row.pkTimes);
        auto *name = new QTableWidgetItem(row.modelTag == AlwaysTag ? tr("Always") : row.modelName);
        const QString display = TimeModel(row.modelDefinition).toDisplay();
        auto *definition = new QTableWidgetItem(display);
        definition->setData(Qt::UserRole, row.modelDefinition);
        definition->setBackground(definitionBackground);
        definition->setToolTip(display);
        for (QTableWidgetItem *item : {tag, name, definition})
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        m_table->setItem(r, TagColumn, tag);
        m_table->setItem(r, NameColumn, name);
        m_table->setItem(r, DefinitionColumn, definition);
        m_table->setRowHeight(r, 25);
    }
    selectTag(current);
    updateButtons();
}

int KelvaraTimes::rowOfTag(const QString &tag) const
{
    for (int r = 0; r < m_table->rowCount(); ++r) {
        if (m_table->item(r, TagColumn)->text() == tag)
            return r;
    }
    return -1;
}

void KelvaraTimes::selectTag(const QString &tag)
{
    const int row = rowOfTag(tag);
    if (row < 0)
        return;
    m_table->setCurrentCell(row, TagColumn);
    m_table->scrollToItem(m_table->item(row, TagColumn));
}

QString KelvaraTimes::currentTag() const
{
    const int row = m_table->currentRow();
    return row >= 0 ? m_table->item(row, TagColumn)->text() : QString();
}

void KelvaraTimes::updateButtons()
{
    const bool project = !m_databasePath.isEmpty();
    const QString tag = currentTag();
    const bool editable = !tag.isEmpty() && tag != AlwaysTag;
    for (QToolButton *button : {m_add, m_edit, m_remove, m_holidays})
        RolePermissions::markRefused(button, m_refused);
    if (!m_refused.isEmpty())
        return;
    m_add->setEnabled(project);
    m_edit->setEnabled(project && editable);
    m_remove->setEnabled(project && editable);
    m_holidays->setEnabled(project);
}

void KelvaraTimes::setChangesRefused(const QString &why)
{
    m_refused = why;
    updateButtons();
}

void KelvaraTimes::storeColumnWidths()
{
    QList<int> widths;
    for (int c = 0; c < m_table->columnCount(); ++c)
        widths << m_table->columnWidth(c);
    m_settings.timesTableColWidth = widths;
}

void KelvaraTimes::runEditor(int pkTimes, const QString &tag, const QString &name,
                             const QString &definition)
{
    KelvaraEditTimeModel editor(m_databasePath, this);
    if (pkTimes != 0)
        editor.setModel({pkTimes, tag, name, definition});
    editor.setHelp(m_toolTips);
    kxPlaceDialog(&editor, m_settings.editTimeModelDialogGeometry.size());
    const bool saved = editor.exec() == QDialog::Accepted;
    m_settings.editTimeModelDialogGeometry = editor.geometry();
    if (!saved)
        return;
    buildList();
    selectTag(editor.savedModel().modelTag);
    emit changed();
}

void KelvaraTimes::addModel()
{
    if (m_databasePath.isEmpty() || !m_refused.isEmpty())
        return;
    runEditor(0, QString(), QString(), QString());
}

void KelvaraTimes::editModel()
{
    const int row = m_table->currentRow();
    if (row < 0 || m_databasePath.isEmpty() || !m_refused.isEmpty() || currentTag() == AlwaysTag)
        return;
    runEditor(m_table->item(row, TagColumn)->data(Qt::UserRole).toInt(),
              m_table->item(row, TagColumn)->text(), m_table->item(row, NameColumn)->text(),
              m_table->item(row, DefinitionColumn)->data(Qt::UserRole).toString());
}

void KelvaraTimes::cellDoubleClicked(int row, int column)
{
    Q_UNUSED(column)
    if (row < 0 || row >= m_table->rowCount())
        return;
    m_table->setCurrentCell(row, TagColumn);
    editModel();
}

void KelvaraTimes::removeModel()
{
    const int row = m_table->currentRow();
    if (row < 0 || m_databasePath.isEmpty() || !m_refused.isEmpty() || currentTag() == AlwaysTag)
        return;
    if (KxMessageBox::question(this, tr("Remove Time Model"),
                               tr("Do you really want to remove the selected time model?"),
                               QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    // The entries using the model are marked, its rights and the model
    // removed, all in one transaction.
    if (!openDatabaseOrShowError(this, m_databasePath))
        return;
    const QSqlError error = TimeModelRecords::removeTimeModel(
        m_databasePath, m_table->item(row, TagColumn)->data(Qt::UserRole).toInt());
    if (error.isValid())
        showDatabaseError(this, tr("DB remove times"), error);
    buildList();
    if (m_table->rowCount() > 0)
        m_table->setCurrentCell(qMin(row, m_table->rowCount() - 1), TagColumn);
    if (!error.isValid())
        emit changed();
}

void KelvaraTimes::editHolidays()
{
    if (m_databasePath.isEmpty() || !m_refused.isEmpty())
        return;
    KelvaraEditHolidays editor(m_settings, m_databasePath, this);
    editor.setHelp(m_toolTips);
    kxPlaceDialog(&editor, m_settings.editHolidaysDialogGeometry.size());
    editor.exec();
    m_settings.editHolidaysDialogGeometry = editor.geometry();
    QList<int> widths;
    for (int c = 0; c < editor.table()->columnCount(); ++c)
        widths << editor.table()->columnWidth(c);
    m_settings.holidaysTableColWidth = widths;
    if (editor.hasChanged())
        emit changed();
}

void KelvaraTimes::setHelp(bool isToolTips)
{
    m_toolTips = isToolTips;
    const auto help = [isToolTips](QWidget *w, const QString &text) {
        w->setWhatsThis(text);
        w->setToolTip(isToolTips ? text : QString());
    };
    help(m_add, tr("Add time model"));
    help(m_edit, tr("Edit selected time model"));
    help(m_remove, tr("Remove selected time model"));
    help(m_holidays, tr("Open holiday editor"));
    help(m_table, helpText());
    updateButtons();
}
