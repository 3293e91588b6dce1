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
#include "views/functions/kelvarafunctiondialog.h"
#include "views/functions/kelvarafunctionlogwin.h"

#include "updatesite.h"

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
    UpdateSite site;
    if (!site.build(dir.filePath(QStringLiteral("Bench")), Readers, Users))
        return 1;
    const QString &folder = site.folder;
    const QString &db = site.db;

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
