// What opening a project connection costs: every database operation opens
// its own, and a project connection reads the schema version first. Prints
// the median of 2,000 opens of the demo project with and without that check,
// and of probing the folder as the window and the command line do.
#include "db/demoproject.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/schemaversion.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Opens = 2000;
constexpr int Runs = 5;

// Microseconds per call, the median of the runs.
double medianUs(const std::function<bool()> &call)
{
    std::vector<double> times;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < Opens; ++i) {
            if (!call()) {
                std::fprintf(stderr, "call failed\n");
                std::exit(1);
            }
        }
        times.push_back(timer.nsecsElapsed() / 1e3 / Opens);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Bench"));
    const QString database = ProjectDatabase::databasePathForProject(folder);
    if (!QDir().mkpath(folder) || ProjectSchema::createProjectDatabase(database).isValid() ||
        DemoProject::fill(database).isValid())
        return 1;
    // Opened and one statement run, as every operation does: the first
    // statement on a connection reads the schema, checked or not.
    const auto openWith = [&](ProjectDatabase::Access access) {
        return [&database, access] {
            ProjectDatabase db(database, access);
            QSqlQuery query = db.query();
            return db.open() && query.exec(QStringLiteral("select count(*) from users")) &&
                   query.next();
        };
    };
    std::printf("project connection, %d opens of the demo project (median of %d runs):\n", Opens,
                Runs);
    std::printf("  open and one statement, unchecked  %7.1f us\n",
                medianUs(openWith(ProjectDatabase::Access::Raw)));
    std::printf("  open and one statement, checked    %7.1f us\n",
                medianUs(openWith(ProjectDatabase::Access::Project)));
    std::printf("  probe of the folder (read-only)    %7.1f us\n", medianUs([&] {
                    return SchemaVersion::probeFolder(folder).state ==
                           SchemaVersion::State::Current;
                }));
    return 0;
}
