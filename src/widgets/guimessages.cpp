#include "widgets/guimessages.h"

#include "core/errortext.h"
#include "widgets/kxmessagebox.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
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
    KxMessageBox::critical(parent, title, databaseErrorText(error));
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
    openUrl(QUrl::fromLocalFile(QDir::toNativeSeparators(path)));
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
    openUrl(QUrl::fromLocalFile(QDir::toNativeSeparators(path)));
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
