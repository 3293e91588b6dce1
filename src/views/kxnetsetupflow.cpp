#include "views/kxnetsetupflow.h"

#include "discovery/kxnetsetupreader.h"
#include "views/kxdialognetsetup.h"
#include "widgets/guimessages.h"
#include "widgets/kxmessagebox.h"

#include <QApplication>
#include <QCoreApplication>

namespace KxNetSetupFlow {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("KxNetSetupFlow", text);
}

} // namespace

ErrorInfo run(KxNetSetupReader &worker, int command)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ErrorInfo result = worker.execute(command);
    QApplication::restoreOverrideCursor();
    return result;
}

bool setupOverProtocol(QWidget *parent, const QString &host, int port, quint32 deviceId,
                       bool toolTips, const KxNetSetupCheck::Context &context, KxNetConfig *written)
{
    KxNetSetupReader worker;
    worker.setConnection(host, port, deviceId);
    ErrorInfo e = run(worker, KxNetSetupReader::ReadNetConfig);
    if (!e.ok()) {
        showError(parent, e);
        return false;
    }
    const KxNetConfig current = worker.config();
    KxNetConfig setup = current;
    if (!KxDialogNetSetup::edit(parent, &setup, toolTips))
        return false;
    if (!KxDialogNetSetup::confirm(parent, KxNetSetupCheck::check(current, setup, context)))
        return false;
    worker.setConfig(setup);
    e = run(worker, KxNetSetupReader::WriteNetConfig);
    if (!e.ok()) {
        showError(parent, e);
        return false;
    }
    if (written)
        *written = setup;
    return true;
}

bool setupOverUdp(QWidget *parent, const QString &interfaceAddress, const KxNetConfig &current,
                  bool toolTips, const KxNetSetupCheck::Context &context)
{
    KxNetConfig setup = current;
    if (!KxDialogNetSetup::edit(parent, &setup, toolTips))
        return false;
    if (!KxDialogNetSetup::confirm(parent, KxNetSetupCheck::check(current, setup, context)))
        return false;
    KxNetSetupReader worker;
    worker.setInterfaceAddress(interfaceAddress);
    worker.setConfig(setup);
    const ErrorInfo e = run(worker, KxNetSetupReader::UdpSetup);
    const QString title = tr("Setup network configuration");
    if (!e.ok()) {
        KxMessageBox::critical(
            parent, title,
            QStringLiteral("%1 %2: %3").arg(tr("Error")).arg(e.code).arg(e.detail) +
                QStringLiteral("\n\n") + tr("The new network configuration was not applied."));
        return false;
    }
    KxMessageBox::information(parent, title,
                              tr("The reader acknowledged the new network configuration and "
                                 "restarts with it.\nThe table shows its new state as soon as it "
                                 "answers the discovery again."));
    return true;
}

} // namespace KxNetSetupFlow
