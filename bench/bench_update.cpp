// Updates 50 virtual readers (loopback TCP, in this process) with 2,000 users
// each through the update function thread, and prints the total time, the
// time per entry and its split between database, compilation and transfer.
// Medians of several runs.

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

#include "simreader.h"
#include "virtualreader.h"

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
    const QString folder = dir.filePath(QStringLiteral("Bench"));
    QDir().mkpath(folder);
    const QString db = ProjectDatabase::databasePathForProject(folder);
    if (ProjectSchema::createProjectDatabase(db).isValid())
        return 1;

    std::vector<std::unique_ptr<kxsim::SimReader>> readers;
    QSet<int> entries;
    for (int r = 0; r < Readers; ++r) {
        kxsim::VirtualReaderSetup setup;
        setup.type = 100;
        setup.deviceId = 0x10000 + r;
        auto sim =
            std::make_unique<kxsim::SimReader>(std::make_shared<kxsim::VirtualReader>(setup));
        if (!sim->listenTcp("127.0.0.1", 0))
            return 1;
        EntryRow entry;
        entry.doorName = QStringLiteral("Door %1").arg(r, 2, 10, QLatin1Char('0'));
        entry.areaName = QStringLiteral("Area %1").arg(r / 10);
        entry.readerType = 100;
        entry.readerSerNo = QString::number(setup.deviceId, 16);
        entry.ipAddr = QStringLiteral("127.0.0.1");
        entry.port = sim->tcp().port();
        int key = 0;
        EntryRecords::addEntry(db, entry, &key);
        entries.insert(key);
        readers.push_back(std::move(sim));
    }
    QSet<int> users;
    {
        ProjectDatabase database(db);
        database.open();
        database.transaction();
        QSqlQuery q = database.query();
        for (int u = 0; u < Users; ++u) {
            UserRow user;
            user.familyName = QStringLiteral("Family%1").arg(u);
            user.firstName = QStringLiteral("First%1").arg(u);
            user.groupName = QStringLiteral("Group%1").arg(u % 20);
            QByteArray idd(7, '\0');
            idd[0] = 0x04;
            idd[5] = char(u >> 8);
            idd[6] = char(u & 0xFF);
            user.iddIso14443 = TransponderIdd(idd, TransponderIdd::Iso14443A).toStored();
            int key = 0;
            UserRecords::addUser(q, user, &key);
            users.insert(key);
        }
        database.commit();
    }
    QList<int> models;
    for (int m = 0; m < 5; ++m) {
        TimeModelRow model;
        model.modelTag = QStringLiteral("M%1").arg(m);
        model.modelName = QStringLiteral("Model %1").arg(m);
        model.modelDefinition = QStringLiteral("mon,tue,wed,thu,fri-%1:00-18:00|sat-08:00-12:00")
                                    .arg(6 + m, 2, 10, QLatin1Char('0'));
        int key = 0;
        TimeModelRecords::addTimeModel(db, model, &key);
        models << key;
    }
    // Five groups of users, one model each, at every entry.
    QList<QSet<int>> parts;
    for (int m = 0; m < 5; ++m)
        parts << QSet<int>();
    int i = 0;
    for (int key : qAsConst(users))
        parts[i++ % 5].insert(key);
    for (int m = 0; m < 5; ++m)
        AccessRights::changeBoardCell(db, parts[m], entries, models[m]);

    ProjectParameters project;
    project.projectPath = folder;
    project.databasePath = db;
    project.loadProjectParameters();
    QList<EntryTarget> targets;
    EntrySelection::allEntries().list(db, targets);

    std::vector<double> totals, dbTimes, compileTimes, transferTimes;
    int failures = 0;
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

    const double total = median(totals);
    std::printf("update of %d virtual readers (loopback TCP) with %d users each, %d runs\n",
                Readers, Users, Runs);
    std::printf("failed entries over all runs: %d\n", failures);
    std::printf("total:                %9.1f ms (median)\n", total);
    std::printf("per entry:            %9.1f ms\n", total / Readers);
    std::printf("  database (read):    %9.1f ms per entry\n", median(dbTimes) / Readers);
    std::printf("  compilation:        %9.1f ms per entry\n", median(compileTimes) / Readers);
    std::printf("  transfer (reader):  %9.1f ms per entry (fill, log dumps, frames, CRCs)\n",
                median(transferTimes) / Readers);
    std::printf("  rest (logs, marks): %9.1f ms per entry\n",
                (total - median(dbTimes) - median(compileTimes) - median(transferTimes)) / Readers);
    return failures == 0 ? 0 : 1;
}
