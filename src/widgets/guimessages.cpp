#include "widgets/guimessages.h"

#include "core/errortext.h"
#include "widgets/kxmessagebox.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QStandardPaths>
#include <QWhatsThis>

namespace {

UrlOpener &urlOpener()
{
    static UrlOpener opener;
    return opener;
}

bool openUrl(const QUrl &url)
{
    if (urlOpener())
        return urlOpener()(url);
    return QDesktopServices::openUrl(url);
}

// Opens the path, or says which path failed and the likely reason.
void openOrComplain(QWidget *parent, const QString &title, const QString &path)
{
    if (openUrl(QUrl::fromLocalFile(QDir::toNativeSeparators(path))))
        return;
    const QString reason =
        QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty()
            ? QCoreApplication::translate("GuiMessages",
                                          "No program for opening files and folders is installed "
                                          "(xdg-open was not found).")
            : QCoreApplication::translate("GuiMessages",
                                          "The desktop has no program that opens it, or that "
                                          "program reported a failure.");
    KxMessageBox::critical(
        parent, title,
        QCoreApplication::translate("GuiMessages", "The path\n\n%1\n\ncould not be opened.\n\n%2")
            .arg(QDir::toNativeSeparators(path), reason));
}

} // namespace

UrlOpener setUrlOpener(UrlOpener opener)
{
    UrlOpener previous = urlOpener();
    urlOpener() = std::move(opener);
    return previous;
}

void showError(QWidget *parent, const ErrorInfo &error)
{
    const QString text = errorText(error);
    if (error.code == 0)
        KxMessageBox::information(parent, QCoreApplication::translate("GuiMessages", "Ok"), text);
    else if (error.code < 0)
        KxMessageBox::critical(parent, QCoreApplication::translate("GuiMessages", "Library Error"),
                               text);
    else if (error.code <= 255)
        KxMessageBox::critical(parent, QCoreApplication::translate("GuiMessages", "Reader Error"),
                               text);
    else
        KxMessageBox::critical(
            parent, QCoreApplication::translate("GuiMessages", "Application Error"), text);
}

void showDatabaseError(QWidget *parent, const QString &title, const QSqlError &error)
{
    // Tests and screens without a person take the whole text through the facade.
    if (KxMessageBox::hasAnswerer() ||
        QGuiApplication::platformName() == QLatin1String("offscreen")) {
        KxMessageBox::critical(parent, title, databaseErrorText(error));
        return;
    }
    // A person reads the sentence; context and code wait behind "Show Details".
    QMessageBox box(QMessageBox::Critical, title, databaseErrorSentence(error), QMessageBox::Ok,
                    parent);
    box.setDetailedText(databaseErrorDetails(error));
    KxMessageBox::widenForTitle(&box);
    box.exec();
}

void openFile(QWidget *parent, const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        KxMessageBox::critical(
            parent, QCoreApplication::translate("GuiMessages", "Open file"),
            QCoreApplication::translate("GuiMessages", "The file\n\n%1\n\ndoes not exist")
                .arg(path));
        return;
    }
    openOrComplain(parent, QCoreApplication::translate("GuiMessages", "Open file"), path);
}

void openPath(QWidget *parent, const QString &path)
{
    if (!QFileInfo(path).isDir()) {
        KxMessageBox::critical(
            parent, QCoreApplication::translate("GuiMessages", "Open path"),
            QCoreApplication::translate("GuiMessages", "The path\n\n%1\n\ndoes not exist")
                .arg(path));
        return;
    }
    openOrComplain(parent, QCoreApplication::translate("GuiMessages", "Open path"), path);
}

bool openPathQuietly(const QString &path)
{
    if (!QFileInfo(path).isDir())
        return false;
    if (!urlOpener() && QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty())
        return false;
    return openUrl(QUrl::fromLocalFile(QDir::toNativeSeparators(path)));
}

QString menuText(const QString &name)
{
    QString text = name;
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

bool handleHelpKey(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        QWhatsThis::enterWhatsThisMode();
        event->accept();
        return true;
    }
    event->ignore();
    return false;
}
