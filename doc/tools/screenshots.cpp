// Takes the manual's screenshots from the real main window, offscreen, on the
// project named in the application settings (scripts/manual-screenshots.sh
// points them at the simulated site), in the manual's language.
// Usage: kelvara-screenshots --lang en|de --out DIR [NAME...]
//        kelvara-screenshots --list
// A shot is a name, what to do on the window and what to grab: the window, the
// window with the context menu that opened, the modal dialog that opened, or
// the message box shown.
// New views and dialogs join by adding a line to shots().
#include "app/boardmenus.h"
#include "app/kelvaraman.h"
#include "views/lists/kelvaratimes.h"
#include "views/lists/kelvarausers.h"
#include "views/readerselection/kxselectreader.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"
#include "widgets/kxtablewidget.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <functional>

namespace {

enum class Grab { Window, WindowWithMenu, ModalDialog, MessageBox };

struct Shot
{
    const char *name;
    Grab grab;
    std::function<void(KelvaraMan &)> action;
};

// Where a board cell is drawn: the middle of the pixels that hit it.
QPoint pointOfCell(KxTableWidget *board, int row, int column)
{
    QRect box;
    for (int y = 0; y < board->height(); y += 3) {
        for (int x = 0; x < board->width(); x += 3) {
            int r = -1;
            int c = -1;
            if (board->cellAt(QPoint(x, y), &r, &c) && r == row && c == column)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box.isNull() ? QPoint(-1, -1) : box.center();
}

// The first user row and the first entry column below and beside their heads.
int firstLine(const AccessBoard &board, bool rows)
{
    const int count = rows ? board.rowCount() : board.columnCount();
    for (int i = 1; i < count; ++i) {
        if (!(rows ? board.row(i) : board.column(i)).isHead)
            return i;
    }
    return 1;
}

// A right press on a board cell, as a person would click; the menu opens
// beside it.
void rightClickCell(KelvaraMan &window, int row, int column)
{
    KxTableWidget *board = window.board();
    const QPoint at = pointOfCell(board, row, column);
    if (at.x() < 0)
        return;
    QMouseEvent press(QEvent::MouseButtonPress, at, board->mapToGlobal(at), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(board, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, board->mapToGlobal(at), Qt::RightButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(board, &release);
    if (QMenu *menu = window.lastOpenedMenu())
        menu->move(board->mapToGlobal(at + QPoint(4, 4)));
}

void rightClickUserCell(KelvaraMan &window)
{
    const AccessBoard &data = window.boardData();
    rightClickCell(window, firstLine(data, true), firstLine(data, false));
}

void rightClickEntryHead(KelvaraMan &window)
{
    rightClickCell(window, 0, firstLine(window.boardData(), false));
}

// "Why...?" on the first user cell; the dialog runs modally.
void askWhy(KelvaraMan &window)
{
    rightClickUserCell(window);
    QMenu *menu = window.lastOpenedMenu();
    if (!menu)
        return;
    QAction *why = nullptr;
    for (QAction *action : menu->actions()) {
        if (action->text() == BoardMenus::tr("Why…?"))
            why = action;
    }
    menu->close();
    if (why)
        why->trigger();
}

const QList<Shot> &shots()
{
    static const QList<Shot> list = {
        {"board", Grab::Window, [](KelvaraMan &) {}},
        {"board-cell-menu", Grab::WindowWithMenu, rightClickUserCell},
        {"board-entry-menu", Grab::WindowWithMenu, rightClickEntryHead},
        {"board-corner-menu", Grab::WindowWithMenu, [](KelvaraMan &w) { rightClickCell(w, 0, 0); }},
        {"firmware-versions", Grab::MessageBox, [](KelvaraMan &w) { w.helpFwVersions(); }},
        {"users", Grab::Window, [](KelvaraMan &w) { w.enterUsers(); }},
        {"time-models", Grab::Window, [](KelvaraMan &w) { w.enterTimes(); }},
        {"event-log", Grab::Window, [](KelvaraMan &w) { w.enterEvents(); }},
        {"why-dialog", Grab::ModalDialog, askWhy},
        {"add-user-dialog", Grab::ModalDialog, [](KelvaraMan &w) { w.usersView()->addUser(); }},
        {"time-model-dialog", Grab::ModalDialog,
         [](KelvaraMan &w) {
             w.enterTimes();
             w.timesView()->addModel();
         }},
        {"holiday-editor", Grab::ModalDialog,
         [](KelvaraMan &w) {
             w.enterTimes();
             w.timesView()->editHolidays();
         }},
        {"general-settings", Grab::ModalDialog, [](KelvaraMan &w) { w.generalSettings(); }},
        {"project-settings", Grab::ModalDialog, [](KelvaraMan &w) { w.projectSettings(); }},
        // Found readers come from the simulated site (KXUDP_TARGET on loopback).
        {"select-reader", Grab::ModalDialog,
         [](KelvaraMan &w) {
             const QMap<quint32, QString> names;
             KxSelectReader::selectReader(&w, w.settings(), {}, &names, QString(), 0, nullptr,
                                          KxSelectReader::LanTab);
         }},
    };
    return list;
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

bool save(const QImage &image, const QString &path)
{
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool takeShot(KelvaraMan &window, const Shot &shot, const QString &path)
{
    window.enterTabKelvara();
    settle();
    if (shot.grab == Grab::MessageBox) {
        // Boxes go through the message-box facade, which shows none on a
        // screen without a person: the answerer draws the same box instead.
        bool saved = false;
        KxMessageBox::ScopedAnswerer answerer(
            [&](QMessageBox::Icon icon, const QString &title, const QString &text) {
                QMessageBox box(icon, title, text, QMessageBox::Ok, &window);
                box.show();
                settle();
                saved = save(box.grab().toImage(), path);
                return QMessageBox::Ok;
            });
        shot.action(window);
        if (!saved)
            std::fprintf(stderr, "%s: no message box opened\n", shot.name);
        return saved;
    }
    if (shot.grab == Grab::ModalDialog) {
        // The action runs the dialog's own event loop; a timer grabs the dialog
        // from inside it and closes it. Gives up after five seconds.
        bool saved = false;
        int ticks = 0;
        QTimer poll;
        poll.setInterval(50);
        QObject::connect(&poll, &QTimer::timeout, [&]() {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog && ++ticks < 100)
                return;
            poll.stop();
            if (!dialog)
                return;
            settle();
            saved = save(dialog->grab().toImage(), path);
            dialog->close();
        });
        poll.start();
        shot.action(window);
        settle();
        if (!saved)
            std::fprintf(stderr, "%s: no dialog opened\n", shot.name);
        return saved;
    }
    shot.action(window);
    settle();
    QImage image = window.grab().toImage();
    if (shot.grab == Grab::WindowWithMenu) {
        QMenu *menu = window.lastOpenedMenu();
        if (!menu || !menu->isVisible()) {
            std::fprintf(stderr, "%s: no menu opened\n", shot.name);
            return false;
        }
        QPainter painter(&image);
        painter.drawPixmap(window.mapFromGlobal(menu->pos()), menu->grab());
        painter.end();
        menu->close();
    }
    return save(image, path);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kxInitResources();
    QApplication::setFont(QFont(QStringLiteral("Arial"), 10));

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args == QStringList{QStringLiteral("--list")}) {
        for (const Shot &shot : shots())
            std::printf("%s\n", shot.name);
        return 0;
    }
    const int langAt = args.indexOf(QStringLiteral("--lang"));
    const int outAt = args.indexOf(QStringLiteral("--out"));
    if (langAt < 0 || outAt < 0 || langAt + 1 >= args.size() || outAt + 1 >= args.size()) {
        std::fprintf(stderr, "usage: kelvara-screenshots --lang en|de --out DIR [NAME...]\n"
                             "       kelvara-screenshots --list\n");
        return 2;
    }
    const QString lang = args.at(langAt + 1);
    const QDir out(args.at(outAt + 1));
    QStringList wanted;
    for (int i = 0; i < args.size(); ++i) {
        if (i != langAt && i != langAt + 1 && i != outAt && i != outAt + 1)
            wanted << args.at(i);
    }

    QTranslator translator;
    if (lang == QLatin1String("de")) {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        if (!translator.load(QStringLiteral(":/kelvara-de.qm"))) {
            std::fprintf(stderr, "the German translation is missing\n");
            return 1;
        }
        QApplication::installTranslator(&translator);
    } else if (lang != QLatin1String("en")) {
        std::fprintf(stderr, "unknown language %s\n", qPrintable(lang));
        return 2;
    }
    if (!QDir().mkpath(out.path()))
        return 1;

    KelvaraMan window;
    window.resize(960, 560);
    window.show();
    settle();
    int failed = 0;
    for (const Shot &shot : shots()) {
        const QString name = QString::fromLatin1(shot.name);
        if (!wanted.isEmpty() && !wanted.contains(name))
            continue;
        wanted.removeAll(name);
        if (!takeShot(window, shot, out.filePath(name + QStringLiteral(".png"))))
            ++failed;
    }
    for (const QString &name : qAsConst(wanted)) {
        std::fprintf(stderr, "no shot named %s\n", qPrintable(name));
        ++failed;
    }
    window.close();
    return failed == 0 ? 0 : 1;
}
