#include "views/editors/kelvaraedituser.h"

#include "access/readeraccesstables.h"
#include "core/applicationsettings.h"
#include "core/errortext.h"
#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "db/userrecords.h"
#include "views/editors/kelvarareadtag.h"
#include "widgets/guimessages.h"
#include "widgets/kxdialogs.h"
#include "widgets/kxformline.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxsizing.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kReadOnlyStyle = QStringLiteral("background: rgb(245,245,245)");

} // namespace

KelvaraEditUser::KelvaraEditUser(int userKey, ApplicationSettings &settings,
                                 const ProjectParameters &params, QWidget *parent)
    : QDialog(parent), m_userKey(userKey), m_settings(settings), m_params(params)
{
    setWindowTitle(userKey < 0 ? tr("Add User") : tr("Edit User"));
    setObjectName(QStringLiteral("KelvaraEditUser"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(4);

    const auto addLine = [&](const QString &label, const char *name, QHBoxLayout *row = nullptr) {
        return addLabelledLine(this, layout, label, name, row);
    };
    m_familyName = addLine(tr("Last Name"), "familyName");
    m_firstName = addLine(tr("First Name"), "firstName");
    auto *groupRow = new QHBoxLayout;
    m_groupName = addLine(tr("User Group"), "groupName", groupRow);
    m_comment = addLine(tr("Additional User Comment"), "commentUser");

    m_groupButton = new QPushButton(QStringLiteral("..."), this);
    m_groupButton->setObjectName(QStringLiteral("groupButton"));
    m_groupButton->setFixedWidth(36);
    m_groupButton->setAutoDefault(false);
    m_groupButton->setStyleSheet(QStringLiteral("QPushButton::menu-indicator { image: none; }"));
    m_groupMenu = new QMenu(this);
    m_groupButton->setMenu(m_groupMenu);
    groupRow->addWidget(m_groupButton);
    connect(m_groupMenu, &QMenu::triggered, this, &KelvaraEditUser::selectGroup);
    const QStringList groups = UserRecords::distinctGroups(m_params.databasePath);
    for (const QString &group : groups)
        m_groupMenu->addAction(group);
    m_groupButton->setVisible(!groups.isEmpty());
    layout->addSpacing(6);

    m_hf = createFrame(tr("Short Range Transponder"), false);
    m_uhf = createFrame(tr("Long Range Transponder"), true);
    layout->addWidget(m_hf.box);
    layout->addWidget(m_uhf.box);
    m_hf.box->setVisible(m_params.haveHfReader);
    m_uhf.box->setVisible(m_params.haveUhfReader);
    connect(m_hf.edit, &QPushButton::clicked, this, &KelvaraEditUser::editIddIso14443);
    connect(m_uhf.edit, &QPushButton::clicked, this, &KelvaraEditUser::editIddClass1Gen2);
    connect(m_hf.read, &QPushButton::clicked, this, &KelvaraEditUser::readIddIso14443);
    connect(m_uhf.read, &QPushButton::clicked, this, &KelvaraEditUser::readIddClass1Gen2);
    layout->addStretch(1);

    auto *buttons = new QHBoxLayout;
    m_configure = new QPushButton(tr("Configure Programmer"), this);
    m_configure->setObjectName(QStringLiteral("configureProgrammer"));
    m_configure->setEnabled(false);
    m_configure->setAutoDefault(false);
    m_save = new QPushButton(tr("Save"), this);
    m_save->setObjectName(QStringLiteral("save"));
    m_save->setDefault(true);
    m_save->setShortcut(QKeySequence(Qt::Key_Return));
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_cancel->setAutoDefault(false);
    m_cancel->setShortcut(QKeySequence(Qt::Key_Escape));
    buttons->addWidget(m_configure);
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    connect(m_configure, &QPushButton::clicked, this, &KelvaraEditUser::generalSettings);
    connect(m_save, &QPushButton::clicked, this, &KelvaraEditUser::accept);
    connect(m_cancel, &QPushButton::clicked, this, &KelvaraEditUser::reject);
    m_readTag = new KelvaraReadTag(this);

    showIdd(false);
    showIdd(true);
    setHelp(m_settings.areToolTipsOn);
    // Wide enough for the longest identifier a reader receives; as high as the fields need.
    setMinimumWidth(460);
    kxPlaceDialog(this, QSize(m_settings.editUserDialogGeometry.width(), sizeHint().height()));
}

KelvaraEditUser::~KelvaraEditUser() = default;

void KelvaraEditUser::done(int result)
{
    // The read goes on; the dialog closes when the operator can see its end.
    if (isReadingTag())
        return;
    // Kept for the next dialog; written to the settings file with the window's.
    m_settings.editUserDialogGeometry = geometry();
    QDialog::done(result);
}

KelvaraEditUser::TransponderFrame KelvaraEditUser::createFrame(const QString &title, bool longRange)
{
    const QString prefix = longRange ? QStringLiteral("uhf") : QStringLiteral("hf");
    TransponderFrame f;
    f.box = new QGroupBox(title, this);
    f.box->setObjectName(prefix + QStringLiteral("Frame"));
    auto *grid = new QGridLayout(f.box);
    grid->setColumnStretch(1, 1);
    grid->setVerticalSpacing(4);
    f.idd = new QLineEdit(f.box);
    f.idd->setObjectName(prefix + QStringLiteral("Idd"));
    f.idd->setReadOnly(true);
    f.idd->setStyleSheet(kReadOnlyStyle);
    f.sent = new QLabel(f.box);
    f.sent->setObjectName(prefix + QStringLiteral("Sent"));
    f.sent->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A note under the field, small enough for 24 digits on one line.
    QFont noteFont = f.sent->font();
    noteFont.setPointSizeF(noteFont.pointSizeF() * 0.85);
    f.sent->setFont(noteFont);
    f.sent->setStyleSheet(QStringLiteral("color: rgb(90,90,90)"));
    f.edit = new QPushButton(tr("Edit IDD"), f.box);
    f.edit->setObjectName(prefix + QStringLiteral("EditIdd"));
    f.edit->setAutoDefault(false);
    f.read = new QPushButton(tr("Read IDD"), f.box);
    f.read->setObjectName(prefix + QStringLiteral("ReadIdd"));
    f.read->setAutoDefault(false);
    f.comment = new QLineEdit(f.box);
    f.comment->setObjectName(prefix + QStringLiteral("Comment"));
    f.comment->setMaxLength(255);
    auto *commentLabel = new QLabel(tr("Comment Field"), f.box);
    commentLabel->setBuddy(f.comment);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(f.edit);
    buttons->addWidget(f.read);
    buttons->addStretch(1);
    grid->addWidget(f.idd, 0, 0, 1, 2);
    grid->addWidget(f.sent, 1, 0, 1, 2);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->addWidget(commentLabel, 3, 0);
    grid->addWidget(f.comment, 3, 1);
    return f;
}

void KelvaraEditUser::setUser(const UserRow &user)
{
    m_familyName->setText(user.familyName);
    m_firstName->setText(user.firstName);
    m_groupName->setText(user.groupName);
    m_comment->setText(user.commentUser);
    m_hf.comment->setText(user.commentIso14443);
    m_uhf.comment->setText(user.commentClass1Gen2);
    m_iddIso14443 = m_loadedIso14443 = TransponderIdd::fromStored(user.iddIso14443);
    m_iddClass1Gen2 = m_loadedClass1Gen2 = TransponderIdd::fromStored(user.iddClass1Gen2);
    showIdd(false);
    showIdd(true);
}

void KelvaraEditUser::setGeneralSettingsAction(QAction *action)
{
    m_settingsAction = action;
    m_configure->setEnabled(action && action->isEnabled());
}

QString KelvaraEditUser::familyName() const
{
    return m_familyName->text().trimmed();
}

QString KelvaraEditUser::firstName() const
{
    return m_firstName->text().trimmed();
}

void KelvaraEditUser::showIdd(bool longRange)
{
    const TransponderIdd &idd = longRange ? m_iddClass1Gen2 : m_iddIso14443;
    TransponderFrame &f = longRange ? m_uhf : m_hf;
    f.idd->setText(QStringLiteral("%1: %2").arg(tr("IDD"), idd.toDisplay()));
    // Readers compare identifiers at the project length: a shorter one goes
    // out with zero bytes in front, a longer one as its first bytes. Say so,
    // so nobody is surprised at the door.
    const QByteArray key = ReaderAccessTables::readerIdd(
        idd.toStored().toLatin1(), longRange ? m_params.uhfIddLength : m_params.hfIddLength);
    const QString sent = QString::fromLatin1(key.toHex().toUpper());
    const bool differs = !idd.isEmpty() && !key.isEmpty() && sent != idd.toHex();
    f.sent->setText(differs ? tr("Readers receive: %1").arg(sent) : QString());
    f.sent->setVisible(differs);
}

void KelvaraEditUser::selectGroup(QAction *action)
{
    m_groupName->setText(action->text());
}

void KelvaraEditUser::editIddIso14443()
{
    editIdd(false);
}

void KelvaraEditUser::editIddClass1Gen2()
{
    editIdd(true);
}

void KelvaraEditUser::editIdd(bool longRange)
{
    TransponderIdd &idd = longRange ? m_iddClass1Gen2 : m_iddIso14443;
    const QString answer = KxDialogs::getText(
        this, tr("Edit IDD"), tr("IDD") + QLatin1Char(':') + QString(70, QLatin1Char(' ')),
        idd.toHex());
    if (answer.isNull())
        return;
    const int length = longRange ? m_params.uhfIddLength : m_params.hfIddLength;
    qint32 type = idd.type();
    if (type == TransponderIdd::Empty || !TransponderIdd::isValidType(type))
        type = longRange ? TransponderIdd::EpcClass1Gen2 : TransponderIdd::Iso14443A;
    // Clearing the field takes the transponder away from the user.
    if (!TransponderIdd::fromTyped(answer, length, type, &idd)) {
        KxMessageBox::warning(this, tr("Edit IDD"),
                              tr("An IDD consists of hexadecimal digits (0-9, A-F) only.\n"
                                 "The IDD was not changed."));
        return;
    }
    showIdd(longRange);
}

void KelvaraEditUser::readIddIso14443()
{
    readIdd(false);
}

void KelvaraEditUser::readIddClass1Gen2()
{
    readIdd(true);
}

void KelvaraEditUser::readIdd(bool longRange)
{
    ReaderSettings settings;
    settings.project = m_params;
    settings.hfProgrammerReader = m_settings.hfProgrammerReader;
    settings.uhfProgrammerReader = m_settings.uhfProgrammerReader;
    settings.uhfRegion = m_settings.uhfRegion;
    m_readTag->start(settings, longRange, [this, longRange](const TransponderIdd &idd) {
        (longRange ? m_iddClass1Gen2 : m_iddIso14443) = idd;
        showIdd(longRange);
    });
}

bool KelvaraEditUser::isReadingTag() const
{
    return m_readTag->isRunning();
}

void KelvaraEditUser::generalSettings()
{
    if (m_settingsAction && m_settingsAction->isEnabled())
        m_settingsAction->trigger();
}

UserRow KelvaraEditUser::collectRow() const
{
    UserRow row;
    row.pkUsers = m_userKey;
    row.familyName = familyName();
    row.firstName = firstName();
    row.groupName = m_groupName->text().trimmed();
    row.commentUser = m_comment->text();
    row.iddIso14443 = m_iddIso14443.toStored();
    row.commentIso14443 = m_hf.comment->text();
    row.iddClass1Gen2 = m_iddClass1Gen2.toStored();
    row.commentClass1Gen2 = m_uhf.comment->text();
    return row;
}

void KelvaraEditUser::accept()
{
    if (isReadingTag())
        return;
    const UserRow row = collectRow();
    const RecordProblem problem = UserRecords::problem(row);
    if (!problem.isEmpty()) {
        KxMessageBox::critical(
            this, problem.missing ? tr("Missing information") : tr("Invalid input"), problem.text);
        QLineEdit *field = problem.field == UserRecords::FirstNameField ? m_firstName
                           : problem.field == UserRecords::GroupField   ? m_groupName
                                                                        : m_familyName;
        field->setFocus();
        return;
    }
    {
        ProjectDatabase db(m_params.databasePath);
        if (!db.open()) {
            showDatabaseError(this, tr("DB open"), db.lastError());
            return;
        }
    }
    const bool isNew = m_userKey < 0;
    // The record layer saves the user and marks the entries whose readers
    // hold a changed identifier in one transaction.
    const QSqlError error = isNew ? UserRecords::addUser(m_params.databasePath, row)
                                  : UserRecords::editUser(m_params.databasePath, row);
    if (error.isValid()) {
        const QString title = isNew ? tr("DB add user") : tr("DB edit user");
        const QString conflict =
            UserRecords::conflicts(m_params.databasePath, row).join(QLatin1Char('\n'));
        if (conflict.isEmpty())
            showDatabaseError(this, title, error);
        else
            KxMessageBox::critical(this, title,
                                   databaseErrorText(error) + QStringLiteral("\n\n") + conflict);
        return;
    }
    QDialog::accept();
}

void KelvaraEditUser::setHelp(bool isToolTips)
{
    const auto help = [isToolTips](QWidget *w, const QString &text) {
        w->setWhatsThis(text);
        w->setToolTip(isToolTips ? text : QString());
    };
    help(m_familyName, tr("Input the last (family) name of the user.\n"
                          "Combinations of last and first names must be unique!"));
    help(m_firstName, tr("Input the first name of the user.\n"
                         "Combinations of last and first names must be unique!"));
    help(m_groupName, tr("Input the group name of a user\n(A department, team, ...)."));
    help(m_groupButton, tr("Choose an already existing group name."));
    help(m_hf.idd, tr("The IDD of the users short range transponder\n"
                      "(I.e. a HF ISO14443 or ISO15693 transponder)."));
    help(m_uhf.idd, tr("The IDD of the users long range transponder\n"
                       "(I.e. an UHF Class 1 Generation 2 transponder)."));
    help(m_hf.edit, tr("Edit the IDD of the users short range transponder\n"
                       "or import it via copy and paste."));
    help(m_uhf.edit, tr("Edit the IDD of the users long range transponder\n"
                        "or import it via copy and paste."));
    help(m_hf.read, tr("Read the IDD of the users short range transponder\n"
                       "(The transponder must be placed into the RF field first)."));
    help(m_uhf.read, tr("Read the IDD of the users long range transponder\n"
                        "(The transponder must be placed into the RF field first)."));
    help(m_comment, tr("Optionally input a comment for the user."));
    help(m_hf.comment, tr("Optionally input a comment for the users short range transponder."));
    help(m_uhf.comment, tr("Optionally input a comment for the users long range transponder."));
    help(m_save, tr("Save the user settings in the database."));
    help(m_configure, tr("Configure the programmer for reading the transponder IDD."));
}

void KelvaraEditUser::keyPressEvent(QKeyEvent *event)
{
    if (handleHelpKey(event))
        return;
    QDialog::keyPressEvent(event);
}
