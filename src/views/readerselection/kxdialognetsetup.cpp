#include "views/readerselection/kxdialognetsetup.h"

#include "discovery/kxnetaddress.h"
#include "views/readerselection/kxhelptext.h"
#include "views/readerselection/kxwidgetnetsetup.h"
#include "widgets/kxmessagebox.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

KxDialogNetSetup::Answerer &answerer()
{
    static KxDialogNetSetup::Answerer instance;
    return instance;
}

} // namespace

KxDialogNetSetup::KxDialogNetSetup(const KxNetConfig &config, QWidget *parent)
    : QDialog(parent), m_config(config), m_form(new KxWidgetNetSetup(this)),
      m_ok(new QPushButton(tr("Ok"), this)), m_cancel(new QPushButton(tr("Cancel"), this))
{
    setWindowTitle(tr("Setup reader network configuration"));
    m_form->setConfig(config);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(m_form);
    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(12, 0, 12, 0);
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &KxDialogNetSetup::accept);
    connect(m_cancel, &QPushButton::clicked, this, &KxDialogNetSetup::reject);
    setFixedSize(m_form->width(), m_form->height() + m_ok->sizeHint().height() + 10);
}

void KxDialogNetSetup::setHelp(bool toolTips)
{
    m_form->setHelp(toolTips);
    kxSetHelpText(m_ok, tr("Close the dialog and use the settings"), toolTips);
    kxSetHelpText(m_cancel, tr("Cancel the reader network configuration"), toolTips);
}

void KxDialogNetSetup::accept()
{
    KxNetConfig result = m_config;
    result.dhcp = m_form->dhcpBox()->isChecked();
    // A checked field that is not an address would silently change nothing; say so instead.
    const auto take = [this](QCheckBox *box, QLineEdit *edit, const QString &name,
                             QHostAddress *out) {
        *out = QHostAddress();
        if (!box->isChecked())
            return true;
        *out = KxNetAddress::parseIpv4(edit->text());
        if (!out->isNull())
            return true;
        KxMessageBox::critical(this, windowTitle(),
                               tr("The %1 \"%2\" is not an IPv4 address: four numbers from 0 to "
                                  "255 separated by dots.")
                                   .arg(name, edit->text()));
        edit->setFocus();
        return false;
    };
    if (!take(m_form->changeIpBox(), m_form->ipEdit(), tr("IP address"), &result.ip) ||
        !take(m_form->changeNetMaskBox(), m_form->netMaskEdit(), tr("net mask"), &result.netmask) ||
        !take(m_form->changeGatewayBox(), m_form->gatewayEdit(), tr("gateway"), &result.gateway))
        return;
    result.port = m_form->changePortBox()->isChecked() ? m_form->portBox()->value() : -1;
    m_config = result;
    QDialog::accept();
}

bool KxDialogNetSetup::edit(QWidget *parent, KxNetConfig *config, bool toolTips)
{
    KxDialogNetSetup dialog(*config, parent);
    dialog.setHelp(toolTips);
    int answer;
    if (answerer()) {
        answer = answerer()(&dialog);
        if (dialog.result() == QDialog::Accepted)
            answer = QDialog::Accepted;
    } else {
        answer = dialog.exec();
    }
    if (answer != QDialog::Accepted)
        return false;
    *config = dialog.config();
    return true;
}

bool KxDialogNetSetup::confirm(QWidget *parent, const QList<KxNetSetupCheck::Finding> &findings)
{
    QStringList refused, doubtful;
    for (const KxNetSetupCheck::Finding &f : findings)
        (f.refuse ? refused : doubtful) << f.reason;
    const QString title = tr("Setup network configuration");
    if (!refused.isEmpty()) {
        KxMessageBox::critical(parent, title,
                               tr("The network configuration was not sent:\n\n%1")
                                   .arg(refused.join(QLatin1String("\n"))));
        return false;
    }
    if (doubtful.isEmpty())
        return true;
    return KxMessageBox::question(parent, title,
                                  tr("%1\n\nSend the network configuration anyway?")
                                      .arg(doubtful.join(QLatin1String("\n"))),
                                  QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::No) == QMessageBox::Yes;
}

KxDialogNetSetup::Answerer KxDialogNetSetup::setAnswerer(Answerer newAnswerer)
{
    Answerer previous = answerer();
    answerer() = std::move(newAnswerer);
    return previous;
}
