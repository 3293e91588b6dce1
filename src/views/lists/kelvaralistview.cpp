#include "views/lists/kelvaralistview.h"

#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "db/recordstatement.h"
#include "views/project/rolepermissions.h"
#include "widgets/guimessages.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxsizing.h"
#include "widgets/kxwaitcursor.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <set>

namespace {

constexpr int kDefaultWidth = 200;

} // namespace

KelvaraListView::KelvaraListView(ApplicationSettings &settings, const ProjectParameters &params,
                                 QWidget *parent)
    : QFrame(parent), m_settings(settings), m_params(params), m_search(nullptr)
{
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(10, 10, 10, 10);
}

void KelvaraListView::createToolBar(const ToolButton &add, const ToolButton &edit,
                                    const ToolButton &remove, const char *countName,
                                    const QString &countLabel,
                                    const QList<QPair<QString, int>> &sortKeys)
{
    m_bar = new QHBoxLayout;
    m_layout->addLayout(m_bar);
    const auto toolButton = [this](const ToolButton &tool) {
        auto *button = new QToolButton(this);
        button->setObjectName(QLatin1String(tool.name));
        button->setIcon(QIcon(QLatin1String(tool.icon)));
        button->setIconSize(QSize(32, 32));
        button->setAutoRaise(true);
        return button;
    };
    m_add = toolButton(add);
    m_edit = toolButton(edit);
    m_remove = toolButton(remove);
    // Through the virtual functions: the view's own add, edit and remove.
    connect(m_add, &QToolButton::clicked, this, [this] {
        if (m_refused.isEmpty())
            addRecord();
    });
    connect(m_edit, &QToolButton::clicked, this, [this] {
        if (m_refused.isEmpty())
            editRecord();
    });
    connect(m_remove, &QToolButton::clicked, this, [this] {
        if (m_refused.isEmpty())
            removeRecord();
    });
    m_bar->addWidget(m_add);
    m_bar->addWidget(m_edit);
    m_bar->addWidget(m_remove);
    m_bar->addSpacing(16);

    m_count = new QSpinBox(this);
    m_count->setObjectName(QLatin1String(countName));
    m_count->setRange(0, 2147483647);
    m_count->setReadOnly(true);
    m_count->setButtonSymbols(QAbstractSpinBox::NoButtons);
    m_count->setStyleSheet(QStringLiteral("background: rgb(245,245,245)"));
    m_count->setAlignment(Qt::AlignRight);
    m_count->setFocusPolicy(Qt::NoFocus);
    m_count->setMinimumWidth(70);
    m_bar->addWidget(m_count);
    auto *label = new QLabel(countLabel, this);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    m_bar->addWidget(label);
    m_bar->addStretch(1);

    m_bar->addWidget(new QLabel(tr("Sort by"), this));
    m_sort = new QComboBox(this);
    m_sort->setObjectName(QStringLiteral("sortKey"));
    for (const QPair<QString, int> &key : sortKeys)
        m_sort->addItem(key.first, key.second);
    m_bar->addWidget(m_sort);
    m_direction = new QToolButton(this);
    m_direction->setObjectName(QStringLiteral("sortDirection"));
    m_direction->setArrowType(Qt::DownArrow);
    m_bar->addWidget(m_direction);
    connect(m_sort, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            QOverload<int>::of(&KelvaraListView::sortChanged));
    connect(m_direction, &QToolButton::clicked, this,
            QOverload<>::of(&KelvaraListView::sortChanged));
    m_bar->addSpacing(16);

    m_bar->addWidget(new QLabel(tr("Search"), this));
    m_searchField = new QLineEdit(this);
    m_searchField->setObjectName(QStringLiteral("searchField"));
    m_searchField->setClearButtonEnabled(true);
    m_searchField->setMinimumWidth(180);
    m_bar->addWidget(m_searchField);
    m_searchUp = new QToolButton(this);
    m_searchUp->setObjectName(QStringLiteral("searchUp"));
    m_searchUp->setArrowType(Qt::UpArrow);
    m_searchDown = new QToolButton(this);
    m_searchDown->setObjectName(QStringLiteral("searchDown"));
    m_searchDown->setArrowType(Qt::DownArrow);
    m_bar->addWidget(m_searchUp);
    m_bar->addWidget(m_searchDown);
    connect(m_searchField, &QLineEdit::textChanged, this, &KelvaraListView::searchPatternChanged);
    connect(m_searchUp, &QToolButton::clicked, this, &KelvaraListView::searchUp);
    connect(m_searchDown, &QToolButton::clicked, this, &KelvaraListView::searchDown);
}

void KelvaraListView::createTable(const char *name, const QStringList &columns,
                                  QAbstractItemView::SelectionMode selectionMode,
                                  QList<int> &widths)
{
    m_widths = &widths;
    m_table = new QTableWidget(0, columns.size(), this);
    m_search = TableSearch(m_table);
    m_table->setObjectName(QLatin1String(name));
    m_table->setHorizontalHeaderLabels(columns);
    QHeaderView *header = m_table->horizontalHeader();
    header->setFixedHeight(35);
    QFont headerFont = header->font();
    headerFont.setWeight(75);
    header->setFont(headerFont);
    // The header measures its texts with the items' font: bold there too, so
    // a long head is elided rather than clipped at both ends.
    for (int c = 0; c < columns.size(); ++c) {
        QTableWidgetItem *head = m_table->horizontalHeaderItem(c);
        head->setFont(headerFont);
        head->setToolTip(head->text());
    }
    header->setHighlightSections(false);
    header->setTextElideMode(Qt::ElideRight);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(25);
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(selectionMode);
    // The selection keeps the style's colour: the board's red means "pending".
    m_table->setWordWrap(false);
    connect(m_table, &QTableWidget::cellClicked, this, &KelvaraListView::cellClicked);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, &KelvaraListView::cellDoubleClicked);
    connect(header, &QHeaderView::sectionResized, this, [this] {
        if (!m_applyingWidths)
            storeColumnWidths();
    });
    m_layout->addWidget(m_table, 1);
}

// ---------------------------------------------------------------- list

void KelvaraListView::showEvent(QShowEvent *event)
{
    QFrame::showEvent(event);
    // The window coming back from the task bar leaves the view as it was.
    if (event->spontaneous())
        return;
    if (m_table->rowCount() > 0 && m_table->currentRow() < 0)
        selectWholeRow(0);
    m_table->setFocus();
}

int KelvaraListView::sortKey() const
{
    return m_sort->currentData().toInt();
}

bool KelvaraListView::sortAscending() const
{
    return m_direction->arrowType() == Qt::DownArrow;
}

void KelvaraListView::setCount(int count)
{
    m_count->setValue(count);
}

void KelvaraListView::selectWholeRow(int row)
{
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    if (row < 0 || row >= m_table->rowCount())
        return;
    m_table->setCurrentCell(row, 0,
                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_table->scrollToItem(m_table->item(row, 0));
}

void KelvaraListView::sortChanged(int)
{
    buildList();
}

void KelvaraListView::sortChanged()
{
    m_direction->setArrowType(m_direction->arrowType() == Qt::DownArrow ? Qt::UpArrow
                                                                        : Qt::DownArrow);
    buildList();
}

void KelvaraListView::columnWidthSet(int, int) {}

void KelvaraListView::applyColumnWidths()
{
    m_applyingWidths = true;
    for (int c = 0; c < m_table->columnCount(); ++c) {
        const int width = kxColumnWidth(m_table, c, m_widths->value(c), kDefaultWidth);
        m_table->setColumnWidth(c, width);
        columnWidthSet(c, width);
    }
    m_applyingWidths = false;
}

void KelvaraListView::storeColumnWidths()
{
    QList<int> widths;
    for (int c = 0; c < m_table->columnCount(); ++c) {
        // A hidden column reports no width, already while it is being
        // hidden (before it counts as hidden); keep what it had.
        if (m_table->isColumnHidden(c) || m_table->columnWidth(c) == 0) {
            widths << (c < m_widths->size() ? m_widths->at(c) : kDefaultWidth);
            continue;
        }
        widths << m_table->columnWidth(c);
        columnWidthSet(c, widths.last());
    }
    *m_widths = widths;
}

// ---------------------------------------------------------------- search

void KelvaraListView::searchPatternChanged(const QString &pattern)
{
    m_search.setPattern(pattern);
    if (!pattern.isEmpty()) {
        m_table->clearSelection();
        m_search.search(true, true);
        return;
    }
    m_search.reset();
    selectWholeRow(m_table->currentRow());
}

void KelvaraListView::searchUp()
{
    if (!m_search.pattern().isEmpty())
        m_search.search(false, false);
}

void KelvaraListView::searchDown()
{
    if (!m_search.pattern().isEmpty())
        m_search.search(true, false);
}

void KelvaraListView::cellClicked(int, int)
{
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
}

void KelvaraListView::cellDoubleClicked(int, int)
{
    if (m_refused.isEmpty())
        editRecord();
}

void KelvaraListView::setChangesRefused(const QString &why)
{
    m_refused = why;
    for (QToolButton *button : {m_add, m_edit, m_remove})
        RolePermissions::markRefused(button, why);
}

// ---------------------------------------------------------------- records

bool KelvaraListView::removeSelectedRecords(const QString &title, const QString &question,
                                            const QString &errorTitle,
                                            const std::function<int(int)> &keyOfRow,
                                            const std::function<bool(QSqlQuery &, int)> &removeKey)
{
    std::set<int> rows;
    for (const QTableWidgetSelectionRange &range : m_table->selectedRanges())
        for (int r = range.topRow(); r <= range.bottomRow(); ++r)
            rows.insert(r);
    if (rows.empty())
        return false;
    if (KxMessageBox::question(this, title, question, QMessageBox::Yes | QMessageBox::No) !=
        QMessageBox::Yes)
        return false;
    {
        ProjectDatabase db(m_params.databasePath);
        if (!db.open()) {
            showDatabaseError(this, tr("DB open"), db.lastError());
            return false;
        }
    }
    QList<int> keys;
    for (int r : rows) {
        const int key = keyOfRow(r);
        if (key >= 0)
            keys << key;
    }
    QSqlError error;
    {
        KxWaitCursor wait;
        // All selected records go, or none does.
        error = RecordStatement::runInTransaction(m_params.databasePath, [&](QSqlQuery &query) {
            for (int key : qAsConst(keys))
                if (!removeKey(query, key))
                    return RecordStatement::failure(query);
            return QSqlError();
        });
    }
    if (error.isValid())
        showDatabaseError(this, errorTitle, error);
    const int first = *rows.begin();
    buildList();
    if (m_table->rowCount() > 0)
        selectWholeRow(qMin(first, m_table->rowCount() - 1));
    return !error.isValid();
}

// ---------------------------------------------------------------- help and keys

void KelvaraListView::setHelpText(QWidget *widget, const QString &text, bool isToolTips)
{
    widget->setWhatsThis(text);
    widget->setToolTip(isToolTips ? text : QString());
}

void KelvaraListView::setListHelp(bool isToolTips, const QString &add, const QString &edit,
                                  const QString &remove, const QString &sort)
{
    setHelpText(m_add, add, isToolTips);
    setHelpText(m_edit, edit, isToolTips);
    setHelpText(m_remove, remove, isToolTips);
    setHelpText(m_sort, sort, isToolTips);
    setHelpText(m_direction, tr("Sort ascending or descending"), isToolTips);
    setHelpText(m_searchField, tr("Input search term"), isToolTips);
    setHelpText(m_searchUp, tr("To previous search term"), isToolTips);
    setHelpText(m_searchDown, tr("To next search term"), isToolTips);
    if (!m_refused.isEmpty())
        setChangesRefused(m_refused);
}

bool KelvaraListView::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_N &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
            event->accept();
            return true;
        }
    }
    return QFrame::event(event);
}

void KelvaraListView::keyPressEvent(QKeyEvent *event)
{
    if (handleHelpKey(event))
        return;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (!m_refused.isEmpty()) {
        QFrame::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_N && modifiers == Qt::ControlModifier) {
        addRecord();
    } else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
               modifiers == Qt::NoModifier) {
        editRecord();
    } else if (event->key() == Qt::Key_Delete && modifiers == Qt::NoModifier) {
        removeRecord();
    } else {
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
}
