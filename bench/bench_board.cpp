// Builds the access board of a large project: 5,000 users in 50 groups and
// 300 entries in 20 areas with rights on most cells. Prints, on the same
// database, the time the SQLite shell needs to step the board's three queries
// into /dev/null, the medians of the board build (queries and filling) and its
// ratio to the shell's time, one paint at 1920 x 1080, one collapse toggle
// with its paint, and the bytes the cells take.
#include "app/kelvaraman.h"
#include "boardproject.h"
#include "core/applicationsettings.h"
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

// Milliseconds the sqlite3 shell needs to run the statements with its output
// going to /dev/null; negative when the shell is missing or fails.
double shellQueryTime(const QString &shell, const QString &dbPath, const QString &sqlPath)
{
    QProcess process;
    process.setStandardInputFile(sqlPath);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer t;
    t.start();
    process.start(shell, {QStringLiteral("-batch"), dbPath});
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    return t.nsecsElapsed() / 1e6;
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

    const int users = 5000, groups = 50, entries = 300, areas = 20;
    const QString project = home.path() + QStringLiteral("/Large");
    QDir().mkpath(project);
    const QString dbPath = ProjectDatabase::databasePathForProject(project);
    ProjectSchema::createProjectDatabase(dbPath);
    qint64 rights = 0;
    QElapsedTimer setup;
    setup.start();
    if (!fillBoardProject(dbPath, users, groups, entries, areas, &rights)) {
        std::fprintf(stderr, "cannot fill the project\n");
        return 1;
    }
    std::printf("project: %d users in %d groups, %d entries in %d areas, %lld rights (filled in "
                "%.1f s)\n",
                users, groups, entries, areas, static_cast<long long>(rights),
                setup.elapsed() / 1000.0);

    const int runs = 5;
    double shell = -1;
    const QString shellProgram = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shellProgram.isEmpty()) {
        std::printf("sqlite3 shell: not installed, no raw query time\n");
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
            const double ms = shellQueryTime(shellProgram, dbPath, sqlPath);
            if (ms >= 0)
                times << ms;
        }
        if (times.size() == runs) {
            shell = median(times);
            std::printf("sqlite3 shell steps the three board queries into /dev/null, median of "
                        "%d: %.1f ms\n",
                        runs, shell);
        } else {
            std::printf("sqlite3 shell: failed, no raw query time\n");
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
    window.settings().currentProjectPath.clear();
    return 0;
}
