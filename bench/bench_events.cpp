// The event log at size: 1,000,000 stored events over 300 entries and 5,000
// users (120 days up to today). Times the event view's first rows on "last 7
// days", single filter changes, scrolling to the end of a 200,000-row result
// page by page, storing one read of 65,535 events (database and files), and
// prints the database's bytes per event. Prints medians.
#include "access/readereventlog.h"
#include "benchtiming.h"
#include "db/eventlogmodel.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "db/transponderidd.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Users = 5000;
constexpr int Entries = 300;
constexpr int Events = 1000000;
constexpr int Days = 120;

QString iddOf(int user)
{
    return QStringLiteral("04%1").arg(user, 12, 16, QLatin1Char('0')).toUpper();
}

qint64 databaseBytes(const QString &path)
{
    return QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Bench"));
    const QString db = ProjectDatabase::databasePathForProject(folder);
    if (!QDir().mkpath(folder) || ProjectSchema::createProjectDatabase(db).isValid()) {
        std::fprintf(stderr, "cannot create the project\n");
        return 1;
    }
    const QDate today = QDate::currentDate();
    QRandomGenerator random(32);
    {
        ProjectDatabase database(db);
        database.open();
        database.transaction();
        QSqlQuery q = database.query();
        for (int u = 0; u < Users; ++u)
            ProjectDatabase::exec(
                q,
                QStringLiteral("insert into users (familyName,firstName,"
                               "groupName,iddIso14443) values (?,?,?,?)"),
                {QStringLiteral("Last%1").arg(u), QStringLiteral("First"),
                 QStringLiteral("Group%1").arg(u % 50),
                 TransponderIdd::fromHex(iddOf(u), TransponderIdd::Iso14443A).toStored()});
        for (int e = 0; e < Entries; ++e)
            ProjectDatabase::exec(q,
                                  QStringLiteral("insert into doors (doorName,areaName,"
                                                 "readerType,readerSerNo) values (?,?,100,?)"),
                                  {QStringLiteral("Door%1").arg(e),
                                   QStringLiteral("Area%1").arg(e % 20),
                                   QString::number(0x10000 + e, 16)});
        database.commit();
    }
    const qint64 emptyBytes = databaseBytes(db);

    QElapsedTimer filling;
    filling.start();
    {
        ProjectDatabase database(db);
        database.open();
        database.transaction();
        QSqlQuery q = database.query();
        for (int e = 0; e < Entries; ++e) {
            QList<ReaderEventData> events;
            for (int i = 0; i < Events / Entries; ++i) {
                ReaderEventData event;
                const int user = random.bounded(Users + Users / 10);
                event.idd = user < Users ? iddOf(user) : QStringLiteral("04FF%1").arg(user);
                event.readerTime = QDateTime(today.addDays(-random.bounded(Days)),
                                             QTime(0, 0).addSecs(random.bounded(86400)));
                event.errorNumber = user >= Users ? 1 : (random.bounded(8) == 0 ? 2 : 0);
                event.granted = event.errorNumber == 0;
                events << event;
            }
            QList<int> fresh;
            EventRecords::store(q, e + 1, quint32(0x10000 + e), events,
                                QDateTime::currentDateTimeUtc(), fresh);
        }
        q.finish();
        database.commit();
    }
    const double fillSeconds = filling.elapsed() / 1000.0;
    qint64 stored = 0;
    {
        ProjectDatabase database(db);
        database.open();
        QSqlQuery q = database.query();
        q.exec(QStringLiteral("select count(*) from events"));
        q.next();
        stored = q.value(0).toLongLong();
    }
    const qint64 fullBytes = databaseBytes(db);
    std::printf("events stored: %lld over %d entries and %d users (filled in %.1f s)\n", stored,
                Entries, Users, fillSeconds);
    std::printf("database bytes per event: %.1f\n",
                double(fullBytes - emptyBytes) / double(qMax<qint64>(1, stored)));

    const auto secondsOf = [](const QDate &date) {
        return EventRecords::toSeconds(QDateTime(date, QTime(0, 0)));
    };
    EventFilter week;
    week.from = secondsOf(today.addDays(-6));
    week.to = secondsOf(today.addDays(1));
    EventLogModel model;
    model.setDatabasePath(db);
    const double firstRows = medianMs([&] { model.setFilter(week); });
    std::printf("view on last 7 days, first %d rows and counts: %.1f ms (%lld events)\n",
                EventLogModel::PageSize, firstRows, model.counts().total);

    struct Change
    {
        const char *name;
        std::function<void(EventFilter &)> apply;
    };
    const Change changes[] = {
        {"an entry", [](EventFilter &f) { f.pkDoors = 17; }},
        {"an area", [](EventFilter &f) { f.area = QStringLiteral("Area3"); }},
        {"a user",
         [](EventFilter &f) {
             f.familyName = QStringLiteral("Last42");
             f.firstName = QStringLiteral("First");
         }},
        {"a group", [](EventFilter &f) { f.groupName = QStringLiteral("Group7"); }},
        {"denied", [](EventFilter &f) { f.result = EventFilter::Denied; }},
        {"unknown identifiers", [](EventFilter &f) { f.result = EventFilter::Unknown; }},
        {"free text", [](EventFilter &f) { f.text = QStringLiteral("Last123"); }},
        {"yesterday",
         [&](EventFilter &f) {
             f.from = secondsOf(today.addDays(-1));
             f.to = secondsOf(today);
         }},
        {"all time", [](EventFilter &f) { f.from = f.to = 0; }},
    };
    double slowest = 0;
    for (const Change &change : changes) {
        EventFilter filter = week;
        change.apply(filter);
        const double ms = medianMs([&] { model.setFilter(filter); });
        slowest = std::max(slowest, ms);
        std::printf("  filter change to %-20s %7.1f ms (%lld events)\n", change.name, ms,
                    model.counts().total);
    }
    std::printf("slowest single filter change: %.1f ms\n", slowest);

    EventFilter big;
    big.from = secondsOf(today.addDays(-23));
    model.setFilter(big);
    const qint64 bigCount = model.counts().total;
    QElapsedTimer scrolling;
    scrolling.start();
    int pages = 0;
    while (model.canFetchMore()) {
        model.fetchMore();
        ++pages;
    }
    std::printf("scrolling to the end of %lld rows: %d pages in %.1f ms (%.2f ms a page)\n",
                bigCount, pages, scrolling.nsecsElapsed() / 1e6,
                scrolling.nsecsElapsed() / 1e6 / qMax(1, pages));

    // One full reader list (65,535 events) read into a fresh entry.
    QList<ReaderEvent> read;
    for (int i = 0; i < 65535; ++i) {
        ReaderEvent event;
        event.idd = iddOf(random.bounded(Users));
        event.dateTime = QDateTime(today, QTime(0, 0).addSecs(i));
        event.granted = true;
        read << event;
    }
    int door = Entries;
    const double storing = medianMs(
        [&] {
            --door;
            ReaderEventLog::keep(db, dir.filePath(QStringLiteral("data-%1").arg(door)),
                                 QStringLiteral("Door"), door, quint32(0x20000 + door), read,
                                 QDateTime::currentDateTime());
        },
        3);
    std::printf("storing one read of 65,535 events (database and files): %.1f ms\n", storing);
    const double again = medianMs(
        [&] {
            ReaderEventLog::keep(db, dir.filePath(QStringLiteral("data-%1").arg(door)),
                                 QStringLiteral("Door"), door, quint32(0x20000 + door), read,
                                 QDateTime::currentDateTime());
        },
        3);
    std::printf("reading the same 65,535 events again (nothing new): %.1f ms\n", again);
    return 0;
}
