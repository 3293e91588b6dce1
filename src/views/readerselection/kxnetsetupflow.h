#pragma once

#include "core/errorinfo.h"
#include "discovery/kxdiscoveryrecords.h"
#include "discovery/kxnetsetupcheck.h"

#include <QString>

#include <functional>
#include <memory>

class KxNetSetupReader;
class KxReaderRun;
class QWidget;

// The routes of the network setup, shared by the discovery tables and the
// address input: show the dialog, check the setup, send it, report. The
// reader commands go through the caller's KxReaderRun, which locks the
// window meanwhile; the parent is the one of the messages.
namespace KxNetSetupFlow {

using Then = std::function<void(const ErrorInfo &result)>;
// Starts one command of the worker; then gets its result. False when a
// command of the run is still going.
bool run(KxReaderRun *runner, QWidget *parent, const std::shared_ptr<KxNetSetupReader> &worker,
         int command, const Then &then);

// Through the reader protocol (host empty: USB by device ID): read, dialog,
// check, write and reset. When the reader took the setup, written gets what
// was sent (null/-1 for the values left alone).
void setupOverProtocol(KxReaderRun *runner, QWidget *parent, const QString &host, int port,
                       quint32 deviceId, bool toolTips, const KxNetSetupCheck::Context &context,
                       const std::function<void(const KxNetConfig &written)> &written = {});

// A UDP-discovered reader, with current as discovered: dialog, check, setup
// request, report.
void setupOverUdp(KxReaderRun *runner, QWidget *parent, const QString &interfaceAddress,
                  const KxNetConfig &current, bool toolTips,
                  const KxNetSetupCheck::Context &context);

} // namespace KxNetSetupFlow
