#include "views/readerselection/kxnetsetupflow.h"

#include "discovery/kxnetsetupreader.h"
#include "views/functions/kxreaderrun.h"
#include "views/readerselection/kxdialognetsetup.h"
#include "widgets/guimessages.h"
#include "widgets/kxmessagebox.h"

#include <QCoreApplication>
#include <QWidget>

namespace KxNetSetupFlow {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("KxNetSetupFlow", text);
}

} // namespace

bool run(KxReaderRun *runner, QWidget *parent, const std::shared_ptr<KxNetSetupReader> &worker,
         int command, const Then &then)
{
    // Nothing else of the window may be clicked while the reader works.
    runner->setLocked({parent->window()});
    const auto result = std::make_shared<ErrorInfo>();
    return runner->start([worker, command, result] { *result = worker->execute(command); },
                         [result, then] { then(*result); });
}

void setupOverProtocol(KxReaderRun *runner, QWidget *parent, const QString &host, int port,
                       quint32 deviceId, bool toolTips, const KxNetSetupCheck::Context &context,
                       const std::function<void(const KxNetConfig &)> &written)
{
    const auto worker = std::make_shared<KxNetSetupReader>();
    worker->setConnection(host, port, deviceId);
    run(runner, parent, worker, KxNetSetupReader::ReadNetConfig,
        [runner, parent, toolTips, context, written, worker](const ErrorInfo &e) {
            if (!e.ok()) {
                showError(parent, e);
                return;
            }
            const KxNetConfig current = worker->config();
            KxNetConfig setup = current;
            if (!KxDialogNetSetup::edit(parent, &setup, toolTips))
                return;
            if (!KxDialogNetSetup::confirm(parent, KxNetSetupCheck::check(current, setup, context)))
                return;
            worker->setConfig(setup);
            run(runner, parent, worker, KxNetSetupReader::WriteNetConfig,
                [parent, written, setup](const ErrorInfo &e) {
                    if (!e.ok())
                        showError(parent, e);
                    else if (written)
                        written(setup);
                });
        });
}

void setupOverUdp(KxReaderRun *runner, QWidget *parent, const QString &interfaceAddress,
                  const KxNetConfig &current, bool toolTips,
                  const KxNetSetupCheck::Context &context)
{
    KxNetConfig setup = current;
    if (!KxDialogNetSetup::edit(parent, &setup, toolTips))
        return;
    if (!KxDialogNetSetup::confirm(parent, KxNetSetupCheck::check(current, setup, context)))
        return;
    const auto worker = std::make_shared<KxNetSetupReader>();
    worker->setInterfaceAddress(interfaceAddress);
    worker->setConfig(setup);
    run(runner, parent, worker, KxNetSetupReader::UdpSetup, [parent](const ErrorInfo &e) {
        const QString title = tr("Setup network configuration");
        if (!e.ok()) {
            KxMessageBox::critical(
                parent, title,
                QStringLiteral("%1 %2: %3").arg(tr("Error")).arg(e.code).arg(e.detail) +
                    QStringLiteral("\n\n") + tr("The new network configuration was not applied."));
            return;
        }
        KxMessageBox::information(
            parent, title,
            tr("The reader acknowledged the new network configuration and restarts with it.\n"
               "The table shows its new state as soon as it answers the discovery again."));
    });
}

} // namespace KxNetSetupFlow
