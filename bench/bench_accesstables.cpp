// Compiles and writes the access tables of one entry with many users and
// prints the median time of several runs and the size of the table file.

#include "access/accessdataset.h"
#include "access/readeraccesstables.h"
#include "db/recordrows.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Runs = 7;

// Five time models of three periods each: fifteen timezones in all.
QList<EntryAccessRow> makeRows(int users)
{
    QStringList definitions;
    for (int model = 0; model < 5; ++model) {
        definitions << QStringLiteral("mon,tue,wed,thu,fri-%1:00-%2:00|sat-%1:30-12:00|"
                                      "sun-%1:00-11:00")
                           .arg(6 + model, 2, 10, QLatin1Char('0'))
                           .arg(16 + model, 2, 10, QLatin1Char('0'));
    }
    QList<EntryAccessRow> rows;
    rows.reserve(users);
    for (int i = 0; i < users; ++i) {
        EntryAccessRow row;
        row.pkAccess = i + 1;
        row.modelTag = QStringLiteral("M%1").arg(i % 5);
        row.modelDefinition = definitions.at(i % 5);
        row.familyName = QStringLiteral("Family%1").arg(i);
        row.firstName = QStringLiteral("First%1").arg(i);
        row.iddIso14443 =
            QStringLiteral("04%1-04").arg(uint(0x10000000u + i * 7919u), 12, 16, QLatin1Char('0'));
        rows << row;
    }
    return rows;
}

QList<HolidayRow> makeHolidays()
{
    QList<HolidayRow> holidays;
    for (int i = 0; i < 12; ++i) {
        HolidayRow row;
        row.date = QStringLiteral("2027.%1.01").arg(i + 1, 2, 10, QLatin1Char('0'));
        holidays << row;
    }
    return holidays;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString path = dir.filePath(QStringLiteral("ACCESS.INI"));
    const QList<HolidayRow> holidays = makeHolidays();

    std::printf("users    compile ms  per user us   fill ms   write ms   file bytes  timezones\n");
    for (int users : {2500, 5000, 10000, 20000}) {
        const QList<EntryAccessRow> rows = makeRows(users);
        std::vector<double> compileMs, fillMs, writeMs;
        qint64 size = 0;
        int timezones = 0;
        for (int run = 0; run < Runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            AccessDataSet dataSet;
            if (!dataSet.compile(rows, holidays, 100))
                return 2;
            compileMs.push_back(timer.nsecsElapsed() / 1e6);

            timer.restart();
            ReaderAccessTables tables;
            if (tables.fill(dataSet, 7) != 0)
                return 3;
            fillMs.push_back(timer.nsecsElapsed() / 1e6);

            timer.restart();
            if (tables.writeFile(path) != 0)
                return 4;
            writeMs.push_back(timer.nsecsElapsed() / 1e6);
            size = QFileInfo(path).size();
            timezones = tables.timezones().size();
        }
        const double compile = median(compileMs);
        std::printf("%5d   %9.2f   %10.3f   %7.2f   %8.2f   %10lld  %9d\n", users, compile,
                    compile * 1000.0 / users, median(fillMs), median(writeMs),
                    static_cast<long long>(size), timezones);
    }
    std::printf("median of %d runs each\n", Runs);
    return 0;
}
