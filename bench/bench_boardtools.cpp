// The board's tools on a large project (5,000 users in 50 groups, 300
// entries in 20 areas, rights on nine cells in ten): one find-next, one
// arrow step with its paint, and undoing and redoing a change of 50,000
// rights (the database work, the board rebuild, and the board following it
// in memory in the window), and one cell changed in the window. Prints medians.
#include "app/kelvaraman.h"
#include "boardproject.h"
#include "core/applicationsettings.h"
#include "db/boardchange.h"
#include "db/projectdatabase.h"
#include "db/projectschema.h"
#include "widgets/kxfindbar.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"
#include "widgets/kxtablewidget.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    kxInitResources();
    KxMessageBox::setAnswerer(
        [](QMessageBox::Icon, const QString &, const QString &) { return QMessageBox::Yes; });

    const int users = 5000, groups = 50, entries = 300, areas = 20;
    const QString project = home.path() + QStringLiteral("/Large");
    QDir().mkpath(project);
    const QString dbPath = ProjectDatabase::databasePathForProject(project);
    ProjectSchema::createProjectDatabase(dbPath);
    if (!fillBoardProject(dbPath, users, groups, entries, areas)) {
        std::fprintf(stderr, "cannot fill the project\n");
        return 1;
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
    KxTableWidget *board = window.board();
    const int runs = 7;

    // Find: "Door 1" matches the doors 100 to 199.
    window.showFindBar();
    QVector<double> typing, next, nextCpu;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        window.findBar()->lineEdit()->setText(i % 2 ? QStringLiteral("Door 1")
                                                    : QStringLiteral("Family0499"));
        typing << t.nsecsElapsed() / 1e6;
    }
    window.findBar()->lineEdit()->setText(QStringLiteral("Door 1"));
    for (int i = 0; i < runs * 3; ++i) {
        QElapsedTimer t;
        t.start();
        const std::clock_t cpu = std::clock();
        window.findNext();
        QPixmap pixmap(board->size());
        board->render(&pixmap);
        next << t.nsecsElapsed() / 1e6;
        nextCpu << (std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
    }
    std::printf("find: %d matches; new text, median of %d: %.2f ms; find-next with its paint, "
                "median of %d: %.2f ms (processor %.2f ms)\n",
                window.findMatches().size(), runs, median(typing), runs * 3, median(next),
                median(nextCpu));
    window.findBar()->dismiss();

    // Arrow steps through the middle of the board, each with its paint.
    board->setCurrentCell(2000, 100);
    QVector<double> step, stepCpu;
    for (int i = 0; i < runs * 5; ++i) {
        QKeyEvent key(QEvent::KeyPress, i % 2 ? Qt::Key_Right : Qt::Key_Down, Qt::NoModifier);
        QElapsedTimer t;
        t.start();
        const std::clock_t cpu = std::clock();
        QApplication::sendEvent(board, &key);
        QPixmap pixmap(board->size());
        board->render(&pixmap);
        step << t.nsecsElapsed() / 1e6;
        stepCpu << (std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
    }
    std::printf("one arrow step with its paint, median of %d: %.2f ms (processor %.2f ms)\n",
                runs * 5, median(step), median(stepCpu));

    // A change of 50,000 rights: model A for 1,000 users at 50 entries.
    QSet<int> blockUsers;
    QSet<int> blockEntries;
    for (int u = 1; u <= 1000; ++u)
        blockUsers.insert(u);
    for (int e = 1; e <= 50; ++e)
        blockEntries.insert(e);
    BoardChange change;
    if (BoardChange::prepare(dbPath, blockUsers, blockEntries, 1, change).isValid() ||
        change.apply(dbPath).isValid()) {
        std::fprintf(stderr, "cannot change the block\n");
        return 1;
    }
    QVector<double> revert, revertCpu, redo, redoCpu;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        std::clock_t cpu = std::clock();
        if (change.revert(dbPath).isValid())
            return 1;
        revert << t.nsecsElapsed() / 1e6;
        revertCpu << (std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
        t.start();
        cpu = std::clock();
        if (change.apply(dbPath).isValid())
            return 1;
        redo << t.nsecsElapsed() / 1e6;
        redoCpu << (std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
    }
    // The processor time beside the wall time: on a busy machine the two part.
    std::printf("undo of a change of %d rights of %d users at %d entries, database, median of 5: "
                "%.1f ms (processor %.1f ms)\n",
                change.rightCount(), change.userCount(), change.entryCount(), median(revert),
                median(revertCpu));
    std::printf("redo of the same change, database, median of 5: %.1f ms (processor %.1f ms)\n",
                median(redo), median(redoCpu));
    change.revert(dbPath);

    // An undo in the window is the database work above plus one rebuild.
    QVector<double> rebuild;
    for (int i = 0; i < 3; ++i) {
        window.buildBoard();
        rebuild << (window.lastBoardQueryTime() + window.lastBoardFillTime()) / 1e6;
    }
    std::printf("board rebuild after an undo (queries and filling), median of 3: %.1f ms\n",
                median(rebuild));

    // The same change through the window: the board follows an undo or a redo
    // in memory; what that costs beyond the database, with the paint.
    window.changeRights(blockUsers, blockEntries, 1);
    QVector<double> followUndo, followRedo, windowUndo, windowRedo;
    auto follow = [&](QAction *action, QVector<double> &inMemory, QVector<double> &whole) {
        QElapsedTimer t;
        t.start();
        action->trigger();
        QPixmap pixmap(board->size());
        QElapsedTimer paint;
        paint.start();
        board->render(&pixmap);
        whole << t.nsecsElapsed() / 1e6;
        if (window.lastBoardFollowTime() < 0)
            return false;
        inMemory << (window.lastBoardFollowTime() + paint.nsecsElapsed()) / 1e6;
        return true;
    };
    for (int i = 0; i < 5; ++i) {
        if (!follow(window.undoAction(), followUndo, windowUndo) ||
            !follow(window.redoAction(), followRedo, windowRedo)) {
            std::fprintf(stderr, "the board did not follow the change in memory\n");
            return 1;
        }
    }
    std::printf("undo of the same change in the window: the board following in memory with its "
                "paint, median of 5: %.1f ms (whole undo with the database %.1f ms)\n",
                median(followUndo), median(windowUndo));
    std::printf("redo in the window: the board following in memory with its paint, median of 5: "
                "%.1f ms (whole redo with the database %.1f ms)\n",
                median(followRedo), median(windowRedo));
    window.undoAction()->trigger();

    // One cell set through the window and taken back, each with its paint.
    QVector<double> cellChange, cellUndo;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        window.changeRights({2000 + i}, {100}, 1);
        QPixmap pixmap(board->size());
        board->render(&pixmap);
        cellChange << t.nsecsElapsed() / 1e6;
        t.start();
        window.undoAction()->trigger();
        board->render(&pixmap);
        cellUndo << t.nsecsElapsed() / 1e6;
    }
    std::printf("one cell changed in the window (database, board and paint), median of 5: %.1f ms; "
                "its undo %.1f ms\n",
                median(cellChange), median(cellUndo));
    window.settings().currentProjectPath.clear();
    return 0;
}
