#include "cli/kelvaracli.h"

#include <QCoreApplication>
#include <QTextStream>

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> g_interrupted{false};

void interrupt(int)
{
    g_interrupted.store(true);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelvara-cli"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    KelvaraCli cli(out, err);
    // A stopped run finishes the entry in progress, so no reader is left
    // half-written and no pending mark is cleared wrongly.
    std::signal(SIGINT, interrupt);
    std::signal(SIGTERM, interrupt);
    cli.setInterruptFlag(&g_interrupted);
    return cli.run(QCoreApplication::arguments().mid(1));
}
