#include "app/boardmenus.h"

#include "app/boardhistory.h"
#include "app/boardpresenter.h"
#include "app/kelvaraman.h"
#include "app/windowcontext.h"
#include "core/paths.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/timemodelrecords.h"
#include "views/board/kelvarawhydialog.h"
#include "views/lists/kelvarahistory.h"
#include "views/project/rolepermissions.h"
#include "widgets/guimessages.h"
#include "widgets/kxdialogs.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxtablewidget.h"

#include <QAction>
#include <QCursor>
#include <QDir>
#include <QWhatsThis>

BoardMenus::BoardMenus(WindowContext &context, BoardPresenter &presenter, BoardHistory &history,
                       KelvaraMan &window)
    : QObject(&window), m_context(context), m_presenter(presenter), m_history(history),
      m_window(window)
{
    createMenus();
    connect(presenter.widget(), &KxTableWidget::clickedOnCell, this, &BoardMenus::clicked);
}

void BoardMenus::createMenus()
{
    m_cornerMenu = new QMenu(&m_window);
    m_cornerMenu->addAction(tr("Collapse all User Groups and Areas"), this,
                            &BoardMenus::collapseAll);
    m_cornerMenu->addAction(tr("Expand all User Groups and Areas"), this, &BoardMenus::expandAll);
    m_cornerMenu->addSeparator();
    m_functionActions << m_cornerMenu->addAction(tr("Update Access Rights of all Entries"),
                                                 &m_window, &KelvaraMan::updateAllAccessConfig);
    m_cornerMenu->addSeparator();
    m_functionActions << m_cornerMenu->addAction(tr("Read Event List of all Entries"), &m_window,
                                                 &KelvaraMan::m00hReadEventList);
    m_functionActions << m_cornerMenu->addAction(tr("Verify Reader"), &m_window,
                                                 &KelvaraMan::m00hVerifyReader);
    m_cornerMenu->addSeparator();
    m_m00hDataPath = m_cornerMenu->addAction(tr("Open Data Path"), this,
                                             [this] { openFolder(Folder::Data, false); });
    m_m00hLogPath = m_cornerMenu->addAction(tr("Open Log Path"), this,
                                            [this] { openFolder(Folder::Log, false); });
    m_cornerMenu->addSeparator();
    m_cornerMenu->addAction(tr("Help for Access Board"), this, &BoardMenus::showHelp);

    m_columnHeadMenu = new QMenu(&m_window);
    m_mchTitle = m_columnHeadMenu->addAction(QString(), this, &BoardMenus::toggleClickedArea);
    m_mchRename = m_columnHeadMenu->addAction(tr("Rename"), this, &BoardMenus::renameClickedArea);
    m_columnHeadMenu->addSeparator();
    m_functionActions << m_columnHeadMenu->addAction(tr("Update Access Rights"), &m_window,
                                                     &KelvaraMan::mchUpdateAccessConfig);
    m_mchReadAccess = m_columnHeadMenu->addAction(tr("Read Access Rights"), &m_window,
                                                  &KelvaraMan::mchReadAccessConfig);
    m_mchImport = m_columnHeadMenu->addAction(tr("Import Transponder"), &m_window,
                                              &KelvaraMan::mchImportTeachIn);
    m_functionActions << m_mchReadAccess << m_mchImport;
    m_columnHeadMenu->addSeparator();
    m_functionActions << m_columnHeadMenu->addAction(tr("Read Event List"), &m_window,
                                                     &KelvaraMan::mchReadEventList);
    m_functionActions << m_columnHeadMenu->addAction(tr("Verify Reader"), &m_window,
                                                     &KelvaraMan::mchVerifyReader);
    m_columnHeadMenu->addSeparator();
    m_columnHeadMenu->addAction(tr("Open Data Path"), this,
                                [this] { openFolder(Folder::Data, true); });
    m_columnHeadMenu->addAction(tr("Open Log Path"), this,
                                [this] { openFolder(Folder::Log, true); });

    m_rowHeadMenu = new QMenu(&m_window);
    m_mrhTitle = m_rowHeadMenu->addAction(QString(), this, &BoardMenus::toggleClickedGroup);
    m_mrhRename = m_rowHeadMenu->addAction(tr("Rename"), this, &BoardMenus::renameClickedGroup);

    m_cellMenu = new QMenu(&m_window);
    for (QMenu *menu : {m_cornerMenu, m_columnHeadMenu, m_rowHeadMenu, m_cellMenu})
        menu->setToolTipsVisible(true); // a disabled entry says why
    connect(m_cellMenu, &QMenu::triggered, this, &BoardMenus::timeModelChosen);

    for (QAction *title : {m_mchTitle, m_mrhTitle}) {
        QFont f(QStringLiteral("Helvetica"), 12, QFont::Bold);
        title->setFont(f);
    }
}

void BoardMenus::clicked(int row, int column, int mouseButton, bool isDoubleClicked)
{
    m_clickedRow = row;
    m_clickedColumn = column;
    if (m_presenter.data().rowCount() == 0 || row >= m_presenter.data().rowCount() ||
        column >= m_presenter.data().columnCount())
        return;
    const bool groupRow = row > 0 && m_presenter.data().row(row).isHead;
    const bool areaColumn = column > 0 && m_presenter.data().column(column).isHead;

    if (mouseButton == 1 && isDoubleClicked) {
        if (row == 0 && column == 0) {
            bool anyExpanded = false;
            for (int c = 1; c < m_presenter.data().columnCount() && !anyExpanded; ++c)
                anyExpanded = m_presenter.data().column(c).isHead &&
                              m_presenter.isAreaExpanded(m_presenter.data().column(c).name);
            for (int r = 1; r < m_presenter.data().rowCount() && !anyExpanded; ++r)
                anyExpanded = m_presenter.data().row(r).isHead &&
                              m_presenter.isGroupExpanded(m_presenter.data().row(r).name);
            m_presenter.setAllExpanded(!anyExpanded);
        } else if (groupRow && areaColumn) {
            const bool expand =
                !(m_presenter.isGroupExpanded(m_presenter.data().row(row).name) ||
                  m_presenter.isAreaExpanded(m_presenter.data().column(column).name));
            m_presenter.setGroupExpanded(m_presenter.data().row(row).name, expand);
            m_presenter.setAreaExpanded(m_presenter.data().column(column).name, expand);
            m_presenter.applyGroupModes();
        } else if (areaColumn) {
            m_presenter.toggleArea(column);
        } else if (groupRow) {
            m_presenter.toggleGroup(row);
        } else if (row > 0 && column > 0) {
            // A right of one user at one entry: its menu, as a right click opens it.
            mouseButton = 2;
        }
        if (mouseButton != 2)
            return;
    }
    if (mouseButton != 2)
        return;

    if (row == 0 && column == 0) {
        applyPermissions();
        popup(m_cornerMenu);
    } else if (row == 0) {
        const AccessBoard::Line &line = m_presenter.data().column(column);
        m_mchTitle->setText((line.isHead ? tr("Area") : tr("Entry")) + QStringLiteral(": ") +
                            menuText(line.name.trimmed()));
        m_mchTitle->setEnabled(line.isHead);
        m_mchTitle->setCheckable(line.isHead);
        m_mchTitle->setChecked(line.isHead && m_presenter.isAreaExpanded(line.name));
        m_mchRename->setEnabled(line.isHead);
        m_mchReadAccess->setEnabled(!line.isHead);
        m_mchImport->setEnabled(!line.isHead);
        applyPermissions();
        popup(m_columnHeadMenu);
    } else if (column == 0) {
        if (!groupRow)
            return; // user rows have no menu
        const AccessBoard::Line &line = m_presenter.data().row(row);
        m_mrhTitle->setText(tr("User Group") + QStringLiteral(": ") +
                            menuText(line.name.trimmed()));
        m_mrhTitle->setCheckable(true);
        m_mrhTitle->setChecked(m_presenter.isGroupExpanded(line.name));
        applyPermissions();
        popup(m_rowHeadMenu);
    } else {
        m_cellMenu->clear();
        const AccessBoard::Line &r = m_presenter.data().row(row);
        const AccessBoard::Line &c = m_presenter.data().column(column);
        addTitleAction(m_cellMenu, r.isHead ? tr("User Group") : tr("User"), r.name, r.isHead,
                       r.isHead && m_presenter.isGroupExpanded(r.name))
            ->setData(-2);
        addTitleAction(m_cellMenu, c.isHead ? tr("Area") : tr("Entry"), c.name, c.isHead,
                       c.isHead && m_presenter.isAreaExpanded(c.name))
            ->setData(-1);
        m_cellMenu->addSeparator();
        if (!r.isHead && !c.isHead) {
            m_cellMenu->addAction(tr("Why…?"))->setData(WhyCellData);
            m_cellMenu->addAction(tr("History of this right…"))->setData(HistoryCellData);
        }
        m_cellMenu->addAction(tr("Remove Time Model"))->setData(0);
        m_cellMenu->addSeparator();
        QList<TimeModelRow> models;
        const QSqlError error = TimeModelRecords::listTags(m_context.databasePath, models);
        if (error.isValid())
            showDatabaseError(&m_window, tr("DB times list"), error);
        // The model in force (or common to all members) is checked.
        const QString inForce = m_presenter.data().textAt(row, column);
        for (const TimeModelRow &m : qAsConst(models)) {
            QAction *set = m_cellMenu->addAction(
                tr("Set Time Model %1 (%2)")
                    .arg(menuText(m.modelTag), menuText(TimeModelRecords::shownName(m))));
            set->setData(m.pkTimes);
            set->setCheckable(true);
            set->setChecked(!inForce.isEmpty() && inForce == m.modelTag);
        }
        applyPermissions();
        popup(m_cellMenu);
    }
}

void BoardMenus::applyPermissions()
{
    using Action = RolePermissions::Action;
    const RolePermissions &p = m_context.permissions;
    // Read access, import and rename depend on the clicked head too: the
    // clicked() that opens the menu has just set them.
    const auto mark = [](QAction *a, const QString &why, bool dependsOnHead) {
        const bool byHead = a->isEnabled();
        RolePermissions::markRefused(a, why);
        if (dependsOnHead && why.isEmpty())
            a->setEnabled(byHead);
    };
    for (QAction *a : qAsConst(m_functionActions))
        mark(a, p.whyNot(Action::RunFunctions), a == m_mchReadAccess || a == m_mchImport);
    mark(m_mchRename, p.whyNot(Action::ChangeEntries), true);
    RolePermissions::markRefused(m_mrhRename, p.whyNot(Action::ChangeUsers));
    const QString rights = p.whyNot(Action::ChangeRights);
    for (QAction *a : m_cellMenu->actions()) {
        // Time models carry their key (0: remove); titles, Why and History are reading.
        if (!a->isSeparator() && a->data().toInt() >= 0 && a->data().isValid())
            RolePermissions::markRefused(a, rights);
    }
}

QAction *BoardMenus::addTitleAction(QMenu *menu, const QString &kind, const QString &name,
                                    bool isGroup, bool expanded)
{
    QAction *title = menu->addAction(kind + QStringLiteral(": ") + menuText(name.trimmed()));
    title->setFont(QFont(QStringLiteral("Helvetica"), 12, QFont::Bold));
    title->setEnabled(isGroup);
    title->setCheckable(isGroup);
    title->setChecked(isGroup && expanded);
    return title;
}

void BoardMenus::popup(QMenu *menu)
{
    m_lastOpenedMenu = menu;
    // At the mouse, or at the current cell when the keyboard asked.
    const QPoint at = m_presenter.widget()->menuPosition();
    menu->popup(at.isNull() ? QCursor::pos() : at);
}

void BoardMenus::timeModelChosen(QAction *action)
{
    const int data = action->data().toInt();
    if (data >= 0 && !m_context.permissions.may(RolePermissions::Action::ChangeRights))
        return;
    if (data == -2) {
        m_presenter.toggleGroup(m_clickedRow);
        return;
    }
    if (data == -1) {
        m_presenter.toggleArea(m_clickedColumn);
        return;
    }
    if (data == WhyCellData) {
        explainClickedCell();
        return;
    }
    if (data == HistoryCellData) {
        KelvaraHistory::openForRight(m_context.databasePath, m_presenter.data(), m_clickedRow,
                                     m_clickedColumn, &m_window);
        return;
    }
    const AccessBoard &board = m_presenter.data();
    m_history.changeRights(board.usersOfRow(m_clickedRow), board.entriesOfColumn(m_clickedColumn),
                           data);
}

void BoardMenus::renameClickedArea()
{
    if (m_clickedColumn <= 0 || m_clickedColumn >= m_presenter.data().columnCount() ||
        !m_presenter.data().column(m_clickedColumn).isHead)
        return;
    const QString oldName = m_presenter.data().column(m_clickedColumn).name;
    const QString newName =
        KxDialogs::getText(&m_window, tr("Rename Area"), tr("Enter a new area name"), oldName);
    if (newName.isEmpty() || !m_history.confirmMerge(newName, oldName, false))
        return;
    m_history.renameHead(BoardRename::Area, oldName, newName);
}

void BoardMenus::renameClickedGroup()
{
    if (m_clickedRow <= 0 || m_clickedRow >= m_presenter.data().rowCount() ||
        !m_presenter.data().row(m_clickedRow).isHead)
        return;
    const QString oldName = m_presenter.data().row(m_clickedRow).name;
    const QString newName = KxDialogs::getText(&m_window, tr("Rename User Group"),
                                               tr("Enter a new user group name"), oldName);
    if (newName.isEmpty() || !m_history.confirmMerge(newName, oldName, true))
        return;
    m_history.renameHead(BoardRename::Group, oldName, newName);
}

QString BoardMenus::clickedEntryFolderKey() const
{
    if (m_clickedColumn <= 0 || m_clickedColumn >= m_presenter.data().columnCount() ||
        m_presenter.data().column(m_clickedColumn).isHead)
        return QString();
    const AccessBoard::Line &column = m_presenter.data().column(m_clickedColumn);
    QHash<int, QString> keys;
    EntryRecords::folderKeys(m_context.databasePath, keys);
    return keys.value(column.key, safeFolderName(column.name));
}

void BoardMenus::openFolder(Folder folder, bool ofClickedEntry)
{
    if (m_context.databasePath.isEmpty())
        return;
    const bool log = folder == Folder::Log;
    const QString project = m_context.settings.currentProjectPath;
    const QString base = log ? projectLogPath(project) : projectDataPath(project);
    if (!ofClickedEntry) {
        openPath(&m_window, base);
        return;
    }
    const QString key = clickedEntryFolderKey();
    const QString wanted = key.isNull() ? base
                           : log        ? entryLogPath(project, key)
                                        : entryDataPath(project, key);
    // A name must not lead the folder out of the base folder.
    const QString root = QDir::cleanPath(QDir::fromNativeSeparators(base));
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(wanted));
    if (path != root && !path.startsWith(root + QLatin1Char('/'))) {
        KxMessageBox::critical(&m_window, tr("Open path"),
                               tr("The path\n\n%1\n\nlies outside the project folder.")
                                   .arg(QDir::toNativeSeparators(wanted)));
        return;
    }
    openPath(&m_window, path);
}

QString BoardMenus::boardHelp()
{
    return tr("ACCESS-READER functions:\n"
              "A right click on a column head (an area or an entry) opens the reader functions: "
              "update, read back and import the access rights, read the event list.\n\n"
              "TIME MODELS:\n"
              "A right click on a cell sets or removes the time model that lets the user pass "
              "the entry. On a yellow group cell it applies to every member of the user group "
              "and the area.\n\n"
              "COLLAPSE AND EXPAND:\n"
              "A double click on a yellow group cell collapses or expands the group or area; a "
              "double click on the corner collapses or expands all of them.\n\n"
              "SCROLLING:\n"
              "Drag the table with the left mouse button, or use the sliders and the wheel.") +
           QStringLiteral("\n\n") +
           tr("KEYS:\n"
              "The arrow keys, Page Up/Down, Home and End move the current cell; Enter opens its "
              "menu, Space collapses or expands. Ctrl+F finds users, groups, entries and areas; "
              "Ctrl+Z and Ctrl+Shift+Z undo and redo changes of rights.\n\n"
              "LEGEND:\n"
              "'Help' -> 'Access Board Legend' explains the colours and marks of the board.");
}

bool BoardMenus::clickedColumnScope(bool onlyPendingForArea, EntrySelection &selection,
                                    QString &scopeName) const
{
    if (m_clickedColumn <= 0 || m_clickedColumn >= m_presenter.data().columnCount())
        return false;
    const AccessBoard::Line &line = m_presenter.data().column(m_clickedColumn);
    scopeName = line.name.trimmed();
    selection = line.isHead ? EntrySelection::area(line.name, onlyPendingForArea)
                            : EntrySelection::entries({line.key});
    return true;
}

void BoardMenus::explainClickedCell()
{
    if (m_clickedRow <= 0 || m_clickedColumn <= 0 ||
        m_clickedRow >= m_presenter.data().rowCount() ||
        m_clickedColumn >= m_presenter.data().columnCount())
        return;
    const AccessBoard::Line &user = m_presenter.data().row(m_clickedRow);
    const AccessBoard::Line &entry = m_presenter.data().column(m_clickedColumn);
    if (user.isHead || entry.isHead)
        return;
    KelvaraWhyDialog::ask(m_context.params, user.key, entry.key, m_context.settings.areToolTipsOn,
                          &m_window);
}

void BoardMenus::setProjectOpen(bool open)
{
    m_m00hDataPath->setEnabled(open);
    m_m00hLogPath->setEnabled(open);
}

void BoardMenus::collapseAll()
{
    m_presenter.setAllExpanded(false);
}

void BoardMenus::expandAll()
{
    m_presenter.setAllExpanded(true);
}

void BoardMenus::toggleClickedArea()
{
    m_presenter.toggleArea(m_clickedColumn);
}

void BoardMenus::toggleClickedGroup()
{
    m_presenter.toggleGroup(m_clickedRow);
}

void BoardMenus::showHelp()
{
    QWhatsThis::showText(QCursor::pos(), boardHelp(), &m_window);
}
