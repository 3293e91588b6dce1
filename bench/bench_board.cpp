// Builds the access board of a large project: 5,000 users in 50 groups and
// 300 entries in 20 areas with rights on most cells. Prints the medians of
// the board build (queries and filling), one paint and one collapse toggle.
#include "core/applicationsettings.h"
#include "app/kelvaraman.h"
#include "boardproject.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"
#include "widgets/kxtablewidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

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

    ApplicationSettings settings;
    settings.currentProjectPath = project;
    settings.isMaximized = false;
    settings.mainWindowGeometry = QRect(0, 0, 1920, 1080);
    settings.saveSettings();

    KelvaraMan window;
    window.resize(1920, 1080);
    window.show();
    QApplication::processEvents();

    const int runs = 5;
    QVector<double> query, fill, paint, toggle;
    for (int i = 0; i < runs; ++i) {
        window.buildBoard();
        query << window.lastBoardQueryTime() / 1e6;
        fill << window.lastBoardFillTime() / 1e6;
    }
    KxTableWidget *board = window.board();
    for (int i = 0; i < runs; ++i) {
        QPixmap pixmap(board->size());
        QElapsedTimer t;
        t.start();
        board->render(&pixmap);
        paint << t.nsecsElapsed() / 1e6;
    }
    int headRow = 1;
    for (int i = 0; i < runs * 2; ++i) {
        QElapsedTimer t;
        t.start();
        window.clickedOnTableCell(headRow, 0, 1, true);
        QPixmap pixmap(board->size());
        board->render(&pixmap);
        toggle << t.nsecsElapsed() / 1e6;
    }
    std::printf("board: %d x %d cells, about %.1f MiB in cells\n", board->rowCount(),
                board->columnCount(), board->approximateCellMemory() / 1048576.0);
    std::printf("buildBoard, median of %d: queries %.1f ms, filling %.1f ms\n", runs, median(query),
                median(fill));
    std::printf("one paint at %dx%d, median of %d: %.1f ms\n", board->width(), board->height(),
                runs, median(paint));
    std::printf("one collapse toggle with its paint, median of %d: %.1f ms\n", runs * 2,
                median(toggle));
    window.settings().currentProjectPath.clear();
    return 0;
}
