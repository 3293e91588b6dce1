#include "cli/kelvaracli.h"

#include <QCoreApplication>
#include <QTextStream>

#include <atomic>
#include <csignal>

#include <unistd.h>

namespace {

std::atomic<bool> g_interrupted{false};
// Encoded before any signal can come: a handler may not allocate.
QByteArray g_abortText;

void interrupt(int)
{
    if (g_interrupted.exchange(true)) {
        // The second signal: a run blocked on a reader would not see the flag.
        const ssize_t written =
            ::write(STDERR_FILENO, g_abortText.constData(), size_t(g_abortText.size()));
        (void)written;
        ::_exit(KelvaraCli::Failure);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelvara-cli"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    KelvaraCli cli(out, err);
    g_abortText = (KelvaraCli::tr("Stopped at once by a second signal: the entry in progress may "
                                  "be incomplete and keeps its pending mark.") +
                   QLatin1Char('\n'))
                      .toLocal8Bit();
    // A stopped run finishes the entry in progress, so no reader is left
    // half-written and no pending mark is cleared wrongly.
    std::signal(SIGINT, interrupt);
    std::signal(SIGTERM, interrupt);
    cli.setInterruptFlag(&g_interrupted);
    return cli.run(QCoreApplication::arguments().mid(1));
}
