#include "views/lists/kelvarausers.h"

#include "core/applicationsettings.h"
#include "db/accessrights.h"
#include "db/audittrail.h"
#include "db/eventrecords.h"
#include "db/projectparameters.h"
#include "db/recordstatement.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "userlist/myexportusers.h"
#include "userlist/myimportusers.h"
#include "views/editors/kelvaraedituser.h"
#include "views/editors/kelvarareadtag.h"
#include "views/lists/kelvarahistory.h"
#include "widgets/guimessages.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxwaitcursor.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kColumns = 8;
// Lines of an import result named in its message; the rest are counted.
constexpr int kListedLines = 10;

} // namespace

KelvaraUsers::KelvaraUsers(ApplicationSettings &settings, const ProjectParameters &params,
                           QWidget *parent)
    : KelvaraListView(settings, params, parent)
{
    setObjectName(QStringLiteral("KelvaraUsers"));
    m_readTag = new KelvaraReadTag(this);
    const QString sortTexts[] = {tr("Name"),
                                 tr("Group, Name"),
                                 tr("User Comment"),
                                 tr("IDD Short Range Transponder"),
                                 tr("Comment Short Range Transponder"),
                                 tr("IDD Long Range Transponder"),
                                 tr("Comment Long Range Transponder")};
    QList<QPair<QString, int>> sortKeys;
    for (int i = 0; i < 7; ++i)
        sortKeys.append({sortTexts[i], i});
    createToolBar({":/user-add-48.png", "addUser"}, {":/user-edit-48.png", "editUser"},
                  {":/user-remove-48.png", "removeUser"}, "userCount", tr("Users"), sortKeys);

    m_readIdd = new QPushButton(tr("Read IDD"), this);
    m_readIdd->setObjectName(QStringLiteral("readIdd"));
    m_readIddMenu = new QMenu(m_readIdd);
    m_readShortRange = m_readIddMenu->addAction(tr("Read Short Range Transponder"));
    m_readLongRange = m_readIddMenu->addAction(tr("Read Long Range Transponder"));
    m_readIdd->setMenu(m_readIddMenu);
    connect(m_readIddMenu, &QMenu::triggered, this, &KelvaraUsers::readIdd);
    toolBar()->addWidget(m_readIdd);

    createTable("userTable",
                {tr("Last Name"), tr("First Name"), tr("User Group"), tr("User Comment"),
                 tr("Short Range Transponder"), tr("... Comment"), tr("Long Range Transponder"),
                 tr("... Comment"), tr("Last Seen")},
                QAbstractItemView::SingleSelection, m_settings.usersTableColWidth);
    m_userMenu = new QMenu(this);
    m_userMenu->addAction(tr("History…"), this, &KelvaraUsers::showHistory);
    table()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table(), &QTableWidget::customContextMenuRequested, this, &KelvaraUsers::showUserMenu);
    createImportFrame();
    frameLayout()->addWidget(m_importFrame);
    applyColumnWidths();
    setHelp(m_settings.areToolTipsOn);
}

void KelvaraUsers::createImportFrame()
{
    m_importFrame = new QFrame(this);
    m_importFrame->setObjectName(QStringLiteral("importFrame"));
    m_importFrame->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(m_importFrame);
    layout->setContentsMargins(6, 6, 6, 6);
    auto *top = new QHBoxLayout;
    layout->addLayout(top);
    m_importLabel = new QLabel(m_importFrame);
    m_importLabel->setObjectName(QStringLiteral("importLabel"));
    m_importLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = m_importLabel->font();
    bold.setBold(true);
    m_importLabel->setFont(bold);
    top->addWidget(m_importLabel, 1);
    m_openImportFile = new QPushButton(tr("Open Import File"), m_importFrame);
    m_openImportFile->setObjectName(QStringLiteral("openImportFile"));
    m_performImport = new QPushButton(tr("Perform Import"), m_importFrame);
    m_performImport->setObjectName(QStringLiteral("performImport"));
    m_importClose = new QToolButton(m_importFrame);
    m_importClose->setObjectName(QStringLiteral("closeImport"));
    m_importClose->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_importClose->setAutoRaise(true);
    top->addWidget(m_openImportFile);
    top->addWidget(m_performImport);
    top->addWidget(m_importClose);
    connect(m_openImportFile, &QPushButton::clicked, this, &KelvaraUsers::openImportFile);
    connect(m_performImport, &QPushButton::clicked, this, &KelvaraUsers::performImport);
    connect(m_importClose, &QToolButton::clicked, this, &KelvaraUsers::closeImport);

    m_importNote = new QLabel(m_importFrame);
    m_importNote->setObjectName(QStringLiteral("importNote"));
    m_importNote->setStyleSheet(QStringLiteral("color: rgb(200,0,0)"));
    m_importNote->hide();
    layout->addWidget(m_importNote);

    m_importTable = new QTableWidget(1, kColumns, m_importFrame);
    m_importTable->setObjectName(QStringLiteral("importTable"));
    for (int c = 0; c < kColumns; ++c)
        m_importTable->setHorizontalHeaderItem(c, table()->horizontalHeaderItem(c)->clone());
    QHeaderView *header = m_importTable->horizontalHeader();
    header->setFixedHeight(35);
    header->setFont(table()->horizontalHeader()->font());
    header->setSectionsClickable(false);
    header->setTextElideMode(Qt::ElideRight);
    m_importTable->verticalHeader()->hide();
    m_importTable->verticalHeader()->setDefaultSectionSize(30);
    m_importTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_importTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_importTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_importTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_importTable->setFixedHeight(35 + 30 +
                                  m_importTable->horizontalScrollBar()->sizeHint().height() +
                                  2 * m_importTable->frameWidth());
    for (int c = 0; c < kColumns; ++c) {
        auto *combo = new QComboBox(m_importTable);
        combo->setObjectName(QStringLiteral("importColumn%1").arg(c));
        m_importTable->setCellWidget(0, c, combo);
    }
    layout->addWidget(m_importTable);
    m_importFrame->hide();
}

void KelvaraUsers::setGeneralSettingsAction(QAction *action)
{
    m_settingsAction = action;
}

// ---------------------------------------------------------------- list

void KelvaraUsers::buildList()
{
    if (m_params.databasePath.isEmpty()) {
        table()->setRowCount(0);
        setCount(0);
        return;
    }
    QElapsedTimer timer;
    timer.start();
    KxWaitCursor wait;
    ProjectDatabase db(m_params.databasePath);
    if (!db.open()) {
        showDatabaseError(this, tr("DB open"), db.lastError());
        return;
    }
    QList<UserRow> users;
    // Where each user was last let in, from the stored events.
    QHash<int, EventRow> lastSeen;
    {
        QSqlQuery query = db.query();
        if (!UserRecords::listUsers(query, sortKey(), sortAscending(), users)) {
            showDatabaseError(this, tr("DB users list"), query.lastError());
            return;
        }
        const QSqlError error = EventRecords::lastSeen(query, lastSeen);
        if (error.isValid()) {
            showDatabaseError(this, tr("DB users list"), error);
            return;
        }
    }

    table()->setUpdatesEnabled(false);
    table()->clearContents();
    table()->setRowCount(users.size());
    const QBrush transponderBackground(QColor(240, 245, 255));
    for (int r = 0; r < users.size(); ++r) {
        const UserRow &u = users.at(r);
        const TransponderIdd hf = TransponderIdd::fromStored(u.iddIso14443);
        const TransponderIdd uhf = TransponderIdd::fromStored(u.iddClass1Gen2);
        const QString texts[kColumns] = {u.familyName,    u.firstName,        u.groupName,
                                         u.commentUser,   hf.toDisplay(),     u.commentIso14443,
                                         uhf.toDisplay(), u.commentClass1Gen2};
        for (int c = 0; c < kColumns; ++c) {
            auto *item = new QTableWidgetItem(texts[c]);
            if (c >= 4)
                item->setBackground(transponderBackground);
            table()->setItem(r, c, item);
        }
        const auto seen = lastSeen.constFind(u.pkUsers);
        table()->setItem(r, kColumns,
                         new QTableWidgetItem(seen == lastSeen.constEnd()
                                                  ? QString()
                                                  : QStringLiteral("%1  %2 / %3")
                                                        .arg(seen->time().toString(QStringLiteral(
                                                                 "yyyy-MM-dd HH:mm")),
                                                             seen->areaName, seen->doorName)));
        table()->item(r, 2)->setData(KeyRole, u.pkUsers);
        table()->item(r, 4)->setData(StoredIddRole, u.iddIso14443);
        table()->item(r, 6)->setData(StoredIddRole, u.iddClass1Gen2);
    }
    setCount(users.size());
    table()->setColumnHidden(4, !m_params.haveHfReader);
    table()->setColumnHidden(5, !m_params.haveHfReader);
    table()->setColumnHidden(6, !m_params.haveUhfReader);
    table()->setColumnHidden(7, !m_params.haveUhfReader);
    table()->setUpdatesEnabled(true);
    m_lastBuildNs = timer.nsecsElapsed();
}

void KelvaraUsers::showUserMenu(const QPoint &pos)
{
    const int row = table()->rowAt(pos.y());
    if (row < 0)
        return;
    table()->setCurrentCell(row, 0);
    m_userMenu->exec(table()->viewport()->mapToGlobal(pos));
}

void KelvaraUsers::showHistory()
{
    const int row = table()->currentRow();
    if (row < 0 || !table()->item(row, 0) || !table()->item(row, 1))
        return;
    KelvaraHistory::open(
        m_params.databasePath,
        AuditTrail::userName(table()->item(row, 0)->text(), table()->item(row, 1)->text()), {},
        this);
}

void KelvaraUsers::selectUser(const QString &familyName, const QString &firstName)
{
    for (int r = 0; r < table()->rowCount(); ++r) {
        if (table()->item(r, 0)->text() == familyName && table()->item(r, 1)->text() == firstName) {
            selectWholeRow(r);
            return;
        }
    }
}

bool KelvaraUsers::selectUserKey(int pkUsers)
{
    for (int r = 0; r < table()->rowCount(); ++r) {
        if (table()->item(r, 2)->data(KeyRole).toInt() == pkUsers) {
            selectWholeRow(r);
            return true;
        }
    }
    return false;
}

void KelvaraUsers::columnWidthSet(int column, int width)
{
    m_importTable->setColumnWidth(column, width);
}

// ---------------------------------------------------------------- desk reader

void KelvaraUsers::readIdd(QAction *action)
{
    const bool longRange = action != m_readShortRange;
    ReaderSettings settings;
    settings.project = m_params;
    settings.hfProgrammerReader = m_settings.hfProgrammerReader;
    settings.uhfProgrammerReader = m_settings.uhfProgrammerReader;
    settings.uhfRegion = m_settings.uhfRegion;
    m_readTag->start(settings, longRange, [this](const TransponderIdd &idd) {
        // The same text again would not signal a change; search on from the top.
        if (searchField()->text() == idd.toDisplay())
            searchPatternChanged(idd.toDisplay());
        else
            searchField()->setText(idd.toDisplay());
    });
}

bool KelvaraUsers::isReadingTag() const
{
    return m_readTag->isRunning();
}

// ---------------------------------------------------------------- records

void KelvaraUsers::addUser()
{
    if (m_params.databasePath.isEmpty())
        return;
    KelvaraEditUser dialog(-1, m_settings, m_params, this);
    dialog.setGeneralSettingsAction(m_settingsAction);
    if (dialog.exec() != QDialog::Accepted)
        return;
    buildList();
    selectUser(dialog.familyName(), dialog.firstName());
    emit usersChanged();
}

void KelvaraUsers::editUser()
{
    const int row = table()->currentRow();
    if (row < 0 || row >= table()->rowCount())
        return;
    UserRow user;
    user.pkUsers = table()->item(row, 2)->data(KeyRole).toInt();
    user.familyName = table()->item(row, 0)->text();
    user.firstName = table()->item(row, 1)->text();
    user.groupName = table()->item(row, 2)->text();
    user.commentUser = table()->item(row, 3)->text();
    user.iddIso14443 = table()->item(row, 4)->data(StoredIddRole).toString();
    user.commentIso14443 = table()->item(row, 5)->text();
    user.iddClass1Gen2 = table()->item(row, 6)->data(StoredIddRole).toString();
    user.commentClass1Gen2 = table()->item(row, 7)->text();
    KelvaraEditUser dialog(user.pkUsers, m_settings, m_params, this);
    dialog.setGeneralSettingsAction(m_settingsAction);
    dialog.setUser(user);
    if (dialog.exec() != QDialog::Accepted)
        return;
    buildList();
    selectUser(dialog.familyName(), dialog.firstName());
    emit usersChanged();
}

void KelvaraUsers::removeUser()
{
    // Each user goes with its rights and marks the entries it could pass.
    const bool removed = removeSelectedRecords(
        tr("Remove User"), tr("Do you really want to remove the selected users?"),
        tr("DB remove user"),
        [this](int row) { return table()->item(row, 2)->data(KeyRole).toInt(); },
        [](QSqlQuery &query, int key) {
            QSet<int> entries;
            return UserRecords::removeUser(query, key, entries);
        });
    if (removed)
        emit usersChanged();
}

// ---------------------------------------------------------------- import

void KelvaraUsers::openImport(const QString &importFile)
{
    m_importFileName = importFile;
    m_importLabel->setText(tr("Import file: '%1'").arg(QDir::toNativeSeparators(importFile)));
    MyImportUsers file(importFile);
    const QStringList header = file.readHeader();
    const QStringList standard = MyExportUsers::standardHeader();
    for (int c = 0; c < kColumns; ++c) {
        auto *combo = qobject_cast<QComboBox *>(m_importTable->cellWidget(0, c));
        combo->clear();
        combo->addItem(c <= 2 ? tr("Auto") : tr("Do not import"));
        combo->addItems(header);
        const int match = header.indexOf(standard.at(c));
        // Only the technologies the project uses are offered and imported.
        const bool used = c < 4 || (c < 6 ? m_params.haveHfReader : m_params.haveUhfReader);
        m_importTable->setColumnHidden(c, !used);
        combo->setCurrentIndex(match < 0 || !used ? 0 : match + 1);
    }
    if (file.notRegularFile()) {
        m_importNote->setText(tr("'%1' is not a regular file; only a file is imported.")
                                  .arg(QDir::toNativeSeparators(importFile)));
        m_importNote->show();
    } else if (header.isEmpty()) {
        m_importNote->setText(
            tr("The first line of this file holds no column names separated by ';' or ','.\n"
               "Is it a user list in CSV form?"));
        m_importNote->show();
    } else {
        m_importNote->hide();
    }
    applyColumnWidths();
    m_importFrame->show();
}

void KelvaraUsers::closeImport()
{
    m_importFileName.clear();
    m_importFrame->hide();
}

void KelvaraUsers::openImportFile()
{
    if (!m_importFileName.isEmpty())
        openFile(this, m_importFileName);
}

void KelvaraUsers::performImport()
{
    if (m_importFileName.isEmpty() || m_params.databasePath.isEmpty())
        return;
    MyImportUsers file(m_importFileName);
    for (int c = 0; c < kColumns; ++c) {
        auto *combo = qobject_cast<QComboBox *>(m_importTable->cellWidget(0, c));
        file.setColumn(MyImportUsers::Field(c), combo->currentIndex() - 1);
    }
    int count = 0;
    QSqlError error;
    {
        KxWaitCursor wait;
        error = file.importUsers(m_params.databasePath, m_params.hfIddLength, m_params.uhfIddLength,
                                 count);
    }
    const QString title = tr("Import User List from File");
    if (error.isValid()) {
        showDatabaseError(this, title, error);
        return;
    }
    if (count == -1) {
        KxMessageBox::critical(this, title,
                               file.notRegularFile()
                                   ? tr("'%1' is not a regular file; only a file is imported.")
                                         .arg(QDir::toNativeSeparators(m_importFileName))
                                   : tr("Cannot open import file"));
        return;
    }
    buildList();
    if (count > 0)
        emit usersChanged();
    KxMessageBox::information(this, title, file.resultText(count, kListedLines));
}

// ---------------------------------------------------------------- help

void KelvaraUsers::setHelp(bool isToolTips)
{
    const auto help = [isToolTips](QWidget *w, const QString &text) {
        setHelpText(w, text, isToolTips);
    };
    setListHelp(isToolTips, tr("Add user"), tr("Edit selected user"), tr("Remove selected user"),
                tr("Choose the sorting order"));
    help(m_readIdd, tr("Read IDD for search term"));
    table()->setToolTip(QString());
    table()->setWhatsThis(
        tr("The user administration distinguishes between logical and physical information:\n\n"
           "Logical information is the last and first name of a user, the user group and an "
           "optional comment. The combination of last and first name must be unique.\n\n"
           "Physical information is the IDD of at most one short range (HF) transponder and "
           "at most one long range (UHF) transponder per user, each with an optional comment. "
           "Users can be created without transponders and get them later.\n\n"
           "The table can be sorted by different rules: choose one under 'Sort by'; the arrow "
           "beside it switches between ascending and descending order."));
    m_importFrame->setToolTip(QString());
    m_importFrame->setWhatsThis(
        tr("The import into the user table from external sources happens via an Excel file "
           "(*.csv)\n\n"
           "This import file must have exactly ONE header line. The items of the header are "
           "used for the column assignment between import file and user table.\n\n"
           "If there are no name columns in the import file, use the selection 'Auto'.\n"
           "If there is no user group column in the import file, use the selection 'Auto'.\n\n"
           "All lines of the import file must have the SAME column counts!\n"
           "The column separator must be the semicolon sign (;)."));
    help(m_performImport, tr("Perform the import\nPrior to that you must assign the import file "
                             "columns\nto the user table columns."));
    help(m_importClose, tr("Close the import mode"));
    help(m_openImportFile, tr("Open the import file with an extern application"));
}
