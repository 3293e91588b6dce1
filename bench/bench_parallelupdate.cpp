// Updates 100 virtual readers (loopback TCP, in this process) that wait
// 20 ms before every answer, with 2,000 users each, once entry after entry
// and once with several entries at the same time; prints both times and
// their ratio. Medians of several runs.

#include "db/entryselection.h"
#include "functions/kelvaraupdatethread.h"

#include "updatesite.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace {

constexpr int Readers = 100;
constexpr int Users = 2000;
constexpr int DelayMs = 20;
constexpr int Runs = 3;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Every reader keeps a listener and a client socket, and the site has threads
// with their own descriptors: raise the soft limit as far as allowed.
rlim_t raiseDescriptorLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 0;
    if (limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
        getrlimit(RLIMIT_NOFILE, &limit);
    }
    return limit.rlim_cur;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("KX_LOOPBACK_ONLY", "1");
    QCoreApplication app(argc, argv);
    const rlim_t descriptors = raiseDescriptorLimit();
    if (descriptors < rlim_t(4 * Readers + 64)) {
        std::fprintf(stderr, "open file limit %lu is too low for %d readers\n",
                     static_cast<unsigned long>(descriptors), Readers);
        return 1;
    }
    QTemporaryDir dir;
    UpdateSite site;
    if (!site.build(dir.filePath(QStringLiteral("Bench")), Readers, Users))
        return 1;
    for (const auto &reader : site.readers)
        reader->faults().setDelayMs(DelayMs);

    ProjectParameters project;
    project.projectPath = site.folder;
    project.databasePath = site.db;
    project.loadProjectParameters();
    QList<EntryTarget> targets;
    EntrySelection::allEntries().list(site.db, targets);

    int failures = 0;
    auto timeRuns = [&](int jobs) {
        std::vector<double> totals;
        for (int run = 0; run < Runs; ++run) {
            AccessRights::setNeedsUpdate(site.db, site.entries, true);
            KelvaraUpdateThread thread(project);
            thread.setEntries(targets);
            thread.setParallelEntries(jobs);
            std::atomic<int> failed{0};
            QObject::connect(
                &thread, &KelvaraFunctionThread::state, &thread,
                [&](const QString &, int state) { failed += state != 0; }, Qt::DirectConnection);
            QElapsedTimer timer;
            timer.start();
            thread.start();
            thread.wait();
            totals.push_back(timer.nsecsElapsed() / 1e6);
            failures += failed;
        }
        return median(totals);
    };
    const double serial = timeRuns(1);
    const double atOnce = timeRuns(8);
    std::printf("update of %d virtual readers (loopback TCP, %d ms before every answer) with %d "
                "users each, %d runs, open file limit %lu\n",
                Readers, DelayMs, Users, Runs, static_cast<unsigned long>(descriptors));
    std::printf("failed entries over all runs: %d\n", failures);
    std::printf("one after another: %9.1f ms (median), %6.1f ms per entry\n", serial,
                serial / Readers);
    std::printf("8 at once:         %9.1f ms (median), %6.1f ms per entry\n", atOnce,
                atOnce / Readers);
    std::printf("ratio:             %9.2f x\n", serial / atOnce);
    return failures == 0 ? 0 : 1;
}
