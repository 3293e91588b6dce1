// Builds the access board of a large project: 5,000 users in 50 groups and
// 300 entries in 20 areas with rights on most cells. Prints, on the same
// database, the time the SQLite shell needs to step the board's three queries
// into /dev/null, the medians of the board build (queries and filling) and its
// ratio to the shell's time, one paint at 1920 x 1080, one collapse toggle
// with its paint, and the bytes the cells take. With "--server" the project
// lives on a PostgreSQL server (bench/run-server.sh starts a throw-away one)
// and psql's time for the same three queries stands in for the shell's.
#include "app/kelvaraman.h"
#include "benchserver.h"
#include "boardproject.h"
#include "core/applicationsettings.h"
#include "db/accessrights.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"
#include "widgets/kxtablewidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

// The statements the board reads: entries, users and the rights with their tags.
const char BoardQueries[] =
    "select PKdoors,doorName,areaName,needsUpdate,readerSerNo from doors order by "
    "areaName,doorName;\n"
    "select PKusers,familyName,firstName,groupName from users order by "
    "groupName,familyName,firstName;\n"
    "select PKaccess,PKusers,PKdoors,PKtimes,modelTag from access,users,doors,times where "
    "(PKusers=FKusers) and (PKdoors=FKdoors) and (PKtimes=FKtimes);\n";

// Milliseconds the shell (sqlite3 or psql) needs to run the statements with its output
// going to /dev/null; negative when the shell is missing or fails.
double shellQueryTime(const QString &shell, const QStringList &arguments, const QString &sqlPath)
{
    QProcess process;
    process.setStandardInputFile(sqlPath);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    process.start(shell, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return t.nsecsElapsed() / 1e6;
}

// The same board as fillBoardProject() on a server, made there in a few
// statements rather than a million round trips.
bool fillOnServer(const QString &dbPath, int users, int groups, int entries, int areas,
                  qint64 *rights)
{
    ProjectDatabase db(dbPath);
    if (!db.open())
        return false;
    QSqlQuery q = db.query();
    const QStringList statements = {
        QStringLiteral("insert into times (modelTag,modelName,modelDefinition) values "
                       "('A','Model A','mon-06:00-18:00'),('B','Model B','mon-06:00-18:00'),"
                       "('C','Model C','mon-06:00-18:00')"),
        QStringLiteral("insert into users (familyName,firstName,groupName) select 'Family' || "
                       "lpad(u::text,5,'0'), 'First' || u, 'Group ' || lpad((u %% %2)::text,2,"
                       "'0') from generate_series(0,%1-1) u order by u")
            .arg(users)
            .arg(groups),
        QStringLiteral("insert into doors (doorName,areaName,needsUpdate) select 'Door ' || "
                       "lpad(e::text,3,'0'), 'Area ' || lpad((e %% %2)::text,2,'0'), case when "
                       "e %% 7 = 0 then 1 else 0 end from generate_series(0,%1-1) e order by e")
            .arg(entries)
            .arg(areas),
        QStringLiteral("insert into access (FKusers,FKdoors,FKtimes) select u, e, 2 + case when "
                       "(u+e) %% 13 = 0 then 1 else 0 end + case when e %% %3 = 0 then 1 else 0 "
                       "end from generate_series(1,%1) u, generate_series(1,%2) e where "
                       "(u*31+e*17) %% 10 <> 0 order by u, e")
            .arg(users)
            .arg(entries)
            .arg(areas),
        QStringLiteral("analyze")};
    for (QString statement : statements) {
        statement.replace(QStringLiteral("%%"), QStringLiteral("%"));
        if (!q.exec(statement)) {
            std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
            return false;
        }
    }
    if (!q.exec(QStringLiteral("select count(*) from access")) || !q.next())
        return false;
    *rights = q.value(0).toLongLong();
    return true;
}

// Milliseconds of processor time this thread used: on a busy machine a short
// paint is often interrupted, and its wall time says more about the others.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    kxInitResources();
    KxMessageBox::setAnswerer(
        [](QMessageBox::Icon, const QString &, const QString &) { return QMessageBox::No; });

    int users = 5000, groups = 50, entries = 300, areas = 20;
    // "--size 1000x100": another board (users x entries) for comparison.
    const int size = QApplication::arguments().indexOf(QStringLiteral("--size"));
    if (size > 0 && size + 1 < QApplication::arguments().size()) {
        const QStringList parts = QApplication::arguments().at(size + 1).split(QLatin1Char('x'));
        users = qMax(50, parts.value(0).toInt());
        entries = qMax(20, parts.value(1).toInt());
    }
    const QString project = home.path() + QStringLiteral("/Large");
    QDir().mkpath(project);
    const bool onServer = QApplication::arguments().contains(QStringLiteral("--server"));
    BenchServer server;
    if (onServer && !server.create(project))
        return 1;
    const QString dbPath = ProjectDatabase::databasePathForProject(project);
    ProjectSchema::createProjectDatabase(dbPath);
    qint64 rights = 0;
    QElapsedTimer setup;
    setup.start();
    if (!(onServer ? fillOnServer(dbPath, users, groups, entries, areas, &rights)
                   : fillBoardProject(dbPath, users, groups, entries, areas, &rights))) {
        std::fprintf(stderr, "cannot fill the project\n");
        return 1;
    }
    std::printf("project: %d users in %d groups, %d entries in %d areas, %lld rights (filled in "
                "%.1f s)\n",
                users, groups, entries, areas, static_cast<long long>(rights),
                setup.elapsed() / 1000.0);

    const int runs = 5;
    double shell = -1;
    const QString shellName = onServer ? QStringLiteral("psql") : QStringLiteral("sqlite3");
    const QString shellProgram = QStandardPaths::findExecutable(shellName);
    if (shellProgram.isEmpty()) {
        std::printf("%s: not installed, no raw query time\n", qPrintable(shellName));
    } else {
        const QString sqlPath = home.path() + QStringLiteral("/board.sql");
        QFile sql(sqlPath);
        if (!sql.open(QIODevice::WriteOnly) || sql.write(BoardQueries) < 0 || !sql.flush()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(sqlPath));
            return 1;
        }
        sql.close();
        QVector<double> times;
        for (int i = 0; i < runs && times.size() == i; ++i) {
            const double ms = shellQueryTime(
                shellProgram,
                onServer ? server.psqlArguments() : QStringList{QStringLiteral("-batch"), dbPath},
                sqlPath);
            if (ms >= 0)
                times << ms;
        }
        if (times.size() == runs) {
            shell = median(times);
            std::printf("%s steps the three board queries into /dev/null, median of "
                        "%d: %.1f ms\n",
                        qPrintable(shellName), runs, shell);
        } else {
            std::printf("%s: failed, no raw query time\n", qPrintable(shellName));
        }
    }

    ApplicationSettings settings;
    settings.currentProjectPath = project;
    settings.isMaximized = false;
    settings.mainWindowGeometry = QRect(0, 0, 1920, 1080);
    settings.saveSettings();

    KelvaraMan window;
    window.resize(1920, 1080);
    window.show();
    QApplication::processEvents();
    // The board itself at 1920 x 1080: the window grows by what lies around it.
    {
        const QSize around = window.size() - window.board()->size();
        window.resize(QSize(1920, 1080) + around);
        QApplication::processEvents();
    }

    QVector<double> query, fill, total, paint, paintCpu, toggle, toggleCpu;
    const int paints = 21;
    for (int i = 0; i < runs; ++i) {
        window.buildBoard();
        query << window.lastBoardQueryTime() / 1e6;
        fill << window.lastBoardFillTime() / 1e6;
        total << (window.lastBoardQueryTime() + window.lastBoardFillTime()) / 1e6;
    }
    KxTableWidget *board = window.board();
    for (int i = 0; i < paints; ++i) {
        QPixmap pixmap(board->size());
        QElapsedTimer t;
        t.start();
        const double cpu = threadCpuMs();
        board->render(&pixmap);
        paint << t.nsecsElapsed() / 1e6;
        paintCpu << threadCpuMs() - cpu;
        // "--save-paint file.png" keeps one paint to compare the look of two builds.
        const int save = QApplication::arguments().indexOf(QStringLiteral("--save-paint"));
        if (i == 0 && save > 0 && save + 1 < QApplication::arguments().size())
            pixmap.save(QApplication::arguments().at(save + 1));
    }
    int headRow = 1;
    for (int i = 0; i < paints; ++i) {
        QElapsedTimer t;
        t.start();
        const double cpu = threadCpuMs();
        window.clickedOnTableCell(headRow, 0, 1, true);
        QPixmap pixmap(board->size());
        board->render(&pixmap);
        toggle << t.nsecsElapsed() / 1e6;
        toggleCpu << threadCpuMs() - cpu;
    }
    const qint64 cells = qint64(board->rowCount()) * board->columnCount();
    const qint64 bytes = board->approximateCellMemory();
    std::printf("board: %d x %d cells, about %.1f MiB in cells, %.1f bytes per cell\n",
                board->rowCount(), board->columnCount(), bytes / 1048576.0,
                cells ? double(bytes) / cells : 0.0);
    const double build = median(total);
    std::printf("buildBoard, median of %d: queries %.1f ms, filling %.1f ms, together %.1f ms\n",
                runs, median(query), median(fill), build);
    if (shell > 0)
        std::printf("build / shell queries: %.2f (query part alone %.2f)\n", build / shell,
                    median(query) / shell);
    std::printf("one paint at %dx%d, median of %d: %.1f ms (processor time %.1f ms)\n",
                board->width(), board->height(), paints, median(paint), median(paintCpu));
    std::printf("one collapse toggle with its paint, median of %d: %.1f ms (processor time %.1f "
                "ms)\n",
                paints, median(toggle), median(toggleCpu));
    if (onServer) {
        // Another workstation (a connection of its own) gives one cell another
        // model; the time until this window's board shows it.
        QVector<double> seen;
        const int row = window.boardData().rowCount() - 1;
        const int column = window.boardData().columnCount() - 1;
        for (int i = 0; i < runs; ++i) {
            const QString before = window.boardData().textAt(row, column);
            const int model = before == QLatin1String("A") ? 3 : 2;
            QElapsedTimer t;
            t.start();
            if (AccessRights::changeBoardCell(dbPath, {window.boardData().row(row).key},
                                              {window.boardData().column(column).key}, model)
                    .isValid())
                return 1;
            while (window.boardData().textAt(row, column) == before && t.elapsed() < 20000)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
            seen << t.nsecsElapsed() / 1e6;
        }
        std::printf("one right changed on another workstation, seen on this board, median of "
                    "%d: %.1f ms\n",
                    runs, median(seen));
    }
    window.settings().currentProjectPath.clear();
    return 0;
}
