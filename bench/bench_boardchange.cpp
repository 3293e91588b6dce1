// Times one board cell change on a block of 1,000 users x 50 entries:
// setting a time model, changing it and removing it, each the median of
// three runs on a fresh project in a temporary folder.

#include "blockproject.h"
#include "db/accessrights.h"
#include "db/entryrecords.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/timemodelrecords.h"
#include "db/userrecords.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kUsers = 1000;
constexpr int kEntries = 50;
constexpr int kRuns = 3;

int countRights(const QString &path)
{
    ProjectDatabase db(path);
    if (!db.open())
        return -1;
    QSqlQuery query = db.query();
    if (!query.exec(QStringLiteral("select count(*) from access")) || !query.next())
        return -1;
    return query.value(0).toInt();
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const char *phases[] = {"set", "change", "remove"};
    QList<double> times[3];
    int rights[3] = {0, 0, 0};
    int changed[3] = {0, 0, 0};

    for (int run = 0; run < kRuns; ++run) {
        QTemporaryDir dir;
        if (!dir.isValid()) {
            std::fprintf(stderr, "no temporary folder\n");
            return 1;
        }
        const QString path = ProjectDatabase::databasePathForProject(dir.path());
        if (ProjectSchema::createProjectDatabase(path).isValid()) {
            std::fprintf(stderr, "cannot create the project database\n");
            return 1;
        }
        QSet<int> users;
        QSet<int> entries;
        int second = 0;
        if (!fillBlockProject(path, kUsers, kEntries, users, entries, second)) {
            std::fprintf(stderr, "cannot fill the project database\n");
            return 1;
        }
        const int models[] = {1, second, 0};
        for (int phase = 0; phase < 3; ++phase) {
            QSet<int> changedEntries;
            QElapsedTimer timer;
            timer.start();
            const QSqlError error =
                AccessRights::changeBoardCell(path, users, entries, models[phase], &changedEntries);
            times[phase].append(timer.nsecsElapsed() / 1e6);
            if (error.isValid()) {
                std::fprintf(stderr, "%s failed: %s\n", phases[phase], qPrintable(error.text()));
                return 1;
            }
            changed[phase] = changedEntries.size();
            rights[phase] = phase == 2 ? kUsers * kEntries - countRights(path) : countRights(path);
        }
    }

    std::printf("board cell change, %d users x %d entries, median of %d runs\n", kUsers, kEntries,
                kRuns);
    for (int phase = 0; phase < 3; ++phase)
        std::printf("%-7s %6d rights %-7s  %3d entries marked  %9.1f ms\n", phases[phase],
                    rights[phase], phase == 2 ? "removed" : "held", changed[phase],
                    median(times[phase]));
    return 0;
}
