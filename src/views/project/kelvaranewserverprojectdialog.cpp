#include "views/project/kelvaranewserverprojectdialog.h"

#include "widgets/kxdialogrun.h"
#include "widgets/kxdialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
KelvaraNewServerProjectDialog::Answerer &answerer()
{
    static KelvaraNewServerProjectDialog::Answerer a;
    return a;
}
} // namespace

KelvaraNewServerProjectDialog::KelvaraNewServerProjectDialog(const QString &parentFolder,
                                                             QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Create new server project"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(
        tr("A server project keeps its database on a PostgreSQL server, shared by every "
           "workstation. This computer keeps a folder with the connection file and its own log "
           "and data folders. The database must hold a project made with \"kelvara-cli server "
           "init\", or be empty."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto *form = new QFormLayout;
    m_name = new QLineEdit(this);
    form->addRow(tr("Project name:"), m_name);
    m_folder = new QLineEdit(QDir::toNativeSeparators(parentFolder), this);
    auto *browse = new QPushButton(tr("Browse…"), this);
    connect(browse, &QPushButton::clicked, this, &KelvaraNewServerProjectDialog::chooseFolder);
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browse);
    form->addRow(tr("Folder on this computer:"), folderRow);
    m_host = new QLineEdit(QStringLiteral("localhost"), this);
    m_host->setToolTip(tr("A host name, an address, or the folder of the server's Unix socket"));
    form->addRow(tr("Server host:"), m_host);
    m_port = new QSpinBox(this);
    m_port->setRange(1, 65535);
    m_port->setValue(5432);
    form->addRow(tr("Port:"), m_port);
    m_database = new QLineEdit(this);
    form->addRow(tr("Database:"), m_database);
    m_user = new QLineEdit(qEnvironmentVariable("USER"), this);
    form->addRow(tr("User (role):"), m_user);
    m_sslMode = new QComboBox(this);
    m_sslMode->addItems({QStringLiteral("disable"), QStringLiteral("allow"),
                         QStringLiteral("prefer"), QStringLiteral("require"),
                         QStringLiteral("verify-ca"), QStringLiteral("verify-full")});
    m_sslMode->setCurrentText(QStringLiteral("prefer"));
    form->addRow(tr("SSL mode:"), m_sslMode);
    layout->addLayout(form);

    auto *note = new QLabel(tr("No password is stored: the server asks for it when the project "
                               "opens, or it comes from the password file ~/.pgpass."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(m_buttons);
    for (QLineEdit *edit : {m_name, m_folder, m_host, m_database})
        connect(edit, &QLineEdit::textChanged, this, &KelvaraNewServerProjectDialog::updateOk);
    updateOk();
    resize(520, sizeHint().height());
}

void KelvaraNewServerProjectDialog::chooseFolder()
{
    const QString folder =
        KxDialogs::getExistingDirectory(this, tr("Select the folder for the project"),
                                        QDir::fromNativeSeparators(m_folder->text()));
    if (!folder.isEmpty())
        m_folder->setText(QDir::toNativeSeparators(folder));
}

void KelvaraNewServerProjectDialog::updateOk()
{
    bool complete = true;
    for (QLineEdit *edit : {m_name, m_folder, m_host, m_database})
        complete = complete && !edit->text().trimmed().isEmpty();
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(complete);
}

KelvaraNewServerProjectDialog::Values KelvaraNewServerProjectDialog::values() const
{
    Values v;
    v.name = m_name->text().trimmed();
    v.parentFolder = QDir::fromNativeSeparators(m_folder->text().trimmed());
    v.connection.host = m_host->text().trimmed();
    v.connection.port = m_port->value();
    v.connection.database = m_database->text().trimmed();
    v.connection.user = m_user->text().trimmed();
    v.connection.sslMode = m_sslMode->currentText();
    return v;
}

bool KelvaraNewServerProjectDialog::run(QWidget *parent, const QString &parentFolder,
                                        Values *values)
{
    KelvaraNewServerProjectDialog dialog(parentFolder, parent);
    if (execOrAnswer(dialog, answerer()) != QDialog::Accepted)
        return false;
    *values = dialog.values();
    return true;
}

KelvaraNewServerProjectDialog::Answerer KelvaraNewServerProjectDialog::setAnswerer(Answerer next)
{
    Answerer previous = answerer();
    answerer() = std::move(next);
    return previous;
}
