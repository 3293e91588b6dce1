// Updates 50 virtual readers (loopback TCP, in this process) with 2,000 users
// each through the update function thread, and prints the total time, the
// time per entry and its split between database, compilation and transfer,
// then the total with 8 entries at the same time. Medians of several runs.
// With "--server" the project lives on a PostgreSQL server (bench/run-server.sh).

#include "access/accessdataset.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "functions/kelvaraupdatethread.h"
#include "functions/readerobjectsreader.h"

#include "benchserver.h"
#include "updatesite.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Readers = 50;
constexpr int Users = 2000;
constexpr int Runs = 3;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Times the reader commands (fill, dumps and the transfer itself).
class TimedReader : public ReaderObjectsReader
{
public:
    TimedReader(const ReaderSettings &settings, std::atomic<qint64> *nanoseconds)
        : ReaderObjectsReader(settings), m_ns(nanoseconds)
    {
    }
    ReaderOutcome updateAccess(const ReaderConnection &c, int t, const AccessDataSet &d) override
    {
        QElapsedTimer timer;
        timer.start();
        const ReaderOutcome outcome = ReaderObjectsReader::updateAccess(c, t, d);
        *m_ns += timer.nsecsElapsed();
        return outcome;
    }

private:
    std::atomic<qint64> *m_ns;
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("KX_LOOPBACK_ONLY", "1");
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const bool onServer = app.arguments().contains(QStringLiteral("--server"));
    BenchServer server;
    QDir().mkpath(dir.filePath(QStringLiteral("Bench")));
    if (onServer && !server.create(dir.filePath(QStringLiteral("Bench"))))
        return 1;
    UpdateSite site;
    if (!site.build(dir.filePath(QStringLiteral("Bench")), Readers, Users))
        return 1;
    const QString &folder = site.folder;
    const QString &db = site.db;
    const QSet<int> &entries = site.entries;

    ProjectParameters project;
    project.projectPath = folder;
    project.databasePath = db;
    project.loadProjectParameters();
    QList<EntryTarget> targets;
    EntrySelection::allEntries().list(db, targets);

    std::vector<double> totals, dbTimes, compileTimes, transferTimes;
    std::atomic<int> failures{0};
    for (int run = 0; run < Runs; ++run) {
        AccessRights::setNeedsUpdate(db, entries, true);
        std::atomic<qint64> transferNs{0};
        KelvaraUpdateThread thread(project);
        thread.setEntries(targets);
        thread.setReaderFactory([&](const ReaderSettings &settings) {
            return std::make_unique<TimedReader>(settings, &transferNs);
        });
        QObject::connect(
            &thread, &KelvaraFunctionThread::state, &thread,
            [&](const QString &, int state) { failures += state != 0; }, Qt::DirectConnection);
        QElapsedTimer timer;
        timer.start();
        thread.start();
        thread.wait();
        totals.push_back(timer.nsecsElapsed() / 1e6);
        transferTimes.push_back(transferNs / 1e6);

        // The database and compilation steps of the same entries, timed on their own.
        qint64 dbNs = 0;
        qint64 compileNs = 0;
        for (const EntryTarget &target : qAsConst(targets)) {
            QList<EntryAccessRow> rows;
            timer.restart();
            AccessRights::readEntryAccess(db, target.pkDoors, rows);
            dbNs += timer.nsecsElapsed();
            AccessDataSet dataSet;
            timer.restart();
            dataSet.compile(rows, {}, 100);
            compileNs += timer.nsecsElapsed();
        }
        dbTimes.push_back(dbNs / 1e6);
        compileTimes.push_back(compileNs / 1e6);
    }

    std::vector<double> atOnceTotals;
    for (int run = 0; run < Runs; ++run) {
        AccessRights::setNeedsUpdate(db, entries, true);
        KelvaraUpdateThread thread(project);
        thread.setEntries(targets);
        thread.setParallelEntries(8);
        QObject::connect(
            &thread, &KelvaraFunctionThread::state, &thread,
            [&](const QString &, int state) { failures += state != 0; }, Qt::DirectConnection);
        QElapsedTimer timer;
        timer.start();
        thread.start();
        thread.wait();
        atOnceTotals.push_back(timer.nsecsElapsed() / 1e6);
    }

    const double total = median(totals);
    std::printf("update of %d virtual readers (loopback TCP) with %d users each, %d runs, %s "
                "project\n",
                Readers, Users, Runs, onServer ? "server" : "folder");
    std::printf("failed entries over all runs: %d\n", failures.load());
    std::printf("total:                %9.1f ms (median)\n", total);
    std::printf("per entry:            %9.1f ms\n", total / Readers);
    std::printf("  database (read):    %9.1f ms per entry\n", median(dbTimes) / Readers);
    std::printf("  compilation:        %9.1f ms per entry\n", median(compileTimes) / Readers);
    std::printf("  transfer (reader):  %9.1f ms per entry (fill, log dumps, frames, CRCs)\n",
                median(transferTimes) / Readers);
    std::printf("  rest (logs, marks): %9.1f ms per entry\n",
                (total - median(dbTimes) - median(compileTimes) - median(transferTimes)) / Readers);
    std::printf("total, 8 at once:     %9.1f ms (median)\n", median(atOnceTotals));
    return failures == 0 ? 0 : 1;
}
