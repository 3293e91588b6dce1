#pragma once

#include "core/errorinfo.h"
#include "discovery/kxdiscoveryrecords.h"
#include "discovery/kxnetsetupcheck.h"

#include <QString>

class KxNetSetupReader;
class QWidget;

// The routes of the network setup, shared by the discovery tables and the
// address input: show the dialog, check the setup, send it, report.
namespace KxNetSetupFlow {

// Runs one command of the worker under the wait cursor.
ErrorInfo run(KxNetSetupReader &worker, int command);

// Through the reader protocol (host empty: USB by device ID): read, dialog,
// check, write and reset. True when the reader took the setup; *written then
// holds what was sent (null/-1 for the values left alone).
bool setupOverProtocol(QWidget *parent, const QString &host, int port, quint32 deviceId,
                       bool toolTips, const KxNetSetupCheck::Context &context,
                       KxNetConfig *written = nullptr);

// A UDP-discovered reader, with current as discovered: dialog, check, setup
// request. True when the reader acknowledged it.
bool setupOverUdp(QWidget *parent, const QString &interfaceAddress, const KxNetConfig &current,
                  bool toolTips, const KxNetSetupCheck::Context &context);

} // namespace KxNetSetupFlow
