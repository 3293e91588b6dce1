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

bool isServerConnectionLost(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    const QString text = error.databaseText() + error.driverText();
    return code.startsWith(QLatin1String("08")) || code.startsWith(QLatin1String("57P0")) ||
           text.contains(QLatin1String("server closed the connection")) ||
           text.contains(QLatin1String("no connection to the server")) ||
           text.contains(QLatin1String("terminating connection")) ||
           text.contains(QLatin1String("could not connect to server")) ||
           text.contains(QLatin1String("connection to server"));
}

QString serverErrorSentence(const QSqlError &error)
{
    if (error.nativeErrorCode() == QLatin1String("42501"))
        return QCoreApplication::translate(
            "GuiMessages", "The database server refused this: your role may not do it "
                           "(permission denied). Nothing was changed. An administrator of the "
                           "project can give your role more rights.");
    if (isServerConnectionLost(error))
        return QCoreApplication::translate(
            "GuiMessages", "The connection to the database server was lost or could not be "
                           "made. What was under way was not written.");
    return QString();
}

bool showDatabaseErrorOfferingRetry(QWidget *parent, const QString &title, const QSqlError &error)
{
    if (!isServerConnectionLost(error)) {
        showDatabaseError(parent, title, error);
        return false;
    }
    return KxMessageBox::question(parent, title,
                                  QStringLiteral("%1\n\n%2\n\n%3")
                                      .arg(serverErrorSentence(error), error.text().trimmed(),
                                           QCoreApplication::translate(
                                               "GuiMessages", "Connect again and try once more?")),
                                  QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::Yes) == QMessageBox::Yes;
}

void showDatabaseError(QWidget *parent, const QString &title, const QSqlError &error)
{
    const QString plain = serverErrorSentence(error);
    const QString sentence = plain.isEmpty()
                                 ? databaseErrorSentence(error)
                                 : QStringLiteral("%1\n\n%2").arg(plain, error.text().trimmed());
    // Tests and screens without a person take the whole text through the facade.
    if (KxMessageBox::hasAnswerer() ||
        QGuiApplication::platformName() == QLatin1String("offscreen")) {
        KxMessageBox::critical(
            parent, title,
            plain.isEmpty()
                ? databaseErrorText(error)
                : QStringLiteral("%1\n\n%2").arg(sentence, databaseErrorDetails(error)));
        return;
    }
    // A person reads the sentence; context and code wait behind "Show Details".
    QMessageBox box(QMessageBox::Critical, title, sentence, QMessageBox::Ok, parent);
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
