// Runs the update of 50 virtual readers (loopback TCP, in this process) with
// 2,000 users each through the function dialog, offscreen, and prints how
// long the user-interface thread went without handling events: the gaps
// between the ticks of a 10 ms timer while the worker runs, and the time the
// dialog needs for the result and log lines it receives.

#include "core/applicationsettings.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/entryselection.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/timemodelrecords.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "functions/flashdrive.h"
#include "views/kelvarafunctiondialog.h"
#include "views/kelvarafunctionlogwin.h"

#include "simreader.h"
#include "virtualreader.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Readers = 50;
constexpr int Users = 2000;

} // namespace

int main(int argc, char *argv[])
{
    qputenv("KX_LOOPBACK_ONLY", "1");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
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

    ApplicationSettings settings;
    FlashDrive drive;
    KelvaraFunctionDialog dialog(project, settings, drive, KelvaraFunctionDialog::UpdateAccess,
                                 EntrySelection::allEntries(true), QString());
    dialog.show();
    dialog.logWindow()->show();

    std::vector<double> gaps;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        gaps.push_back(sinceTick.nsecsElapsed() / 1e6);
        sinceTick.restart();
    });
    QElapsedTimer total;
    total.start();
    sinceTick.start();
    tick.start();
    dialog.start();
    while (dialog.isRunning())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    tick.stop();
    const double totalMs = total.nsecsElapsed() / 1e6;

    int ok = 0;
    for (int row = 0; row < dialog.table()->rowCount(); ++row)
        ok += dialog.table()->item(row, KelvaraFunctionDialog::StateColumn)->text() ==
              QLatin1String("OK");
    std::sort(gaps.begin(), gaps.end());
    const auto at = [&](double q) {
        return gaps.empty() ? 0.0 : gaps[size_t(q * (gaps.size() - 1))];
    };
    std::printf("update of %d virtual readers (loopback TCP), %d users each, through the dialog\n",
                Readers, Users);
    std::printf("entries OK:               %d of %d\n", ok, Readers);
    std::printf("log window lines:         %d\n",
                dialog.logWindow()->textArea()->document()->blockCount());
    std::printf("total run:                %9.1f ms\n", totalMs);
    std::printf("UI timer ticks (10 ms):   %zu\n", gaps.size());
    std::printf("gap between ticks median: %9.1f ms\n", at(0.5));
    std::printf("gap between ticks p99:    %9.1f ms\n", at(0.99));
    std::printf("gap between ticks max:    %9.1f ms\n", at(1.0));
    return ok == Readers ? 0 : 1;
}
