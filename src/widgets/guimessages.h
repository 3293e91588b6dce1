#pragma once

#include "core/errorinfo.h"

#include <QSqlError>
#include <QString>
#include <QUrl>

#include <functional>

class QKeyEvent;
class QWidget;

// The common message boxes, the desktop's viewer for files and folders, and
// the F1 key.
void showError(QWidget *parent, const ErrorInfo &error);
void showDatabaseError(QWidget *parent, const QString &title, const QSqlError &error);
// The database server refused for want of a right (SQLSTATE 42501) or the
// connection to it was lost: said plainly, before the server's own text.
// Empty for any other error.
QString serverErrorSentence(const QSqlError &error);
bool isServerConnectionLost(const QSqlError &error);
// Shows the error; when the server connection was lost, offers to try again
// (every operation connects anew): true when the user wants that.
bool showDatabaseErrorOfferingRetry(QWidget *parent, const QString &title, const QSqlError &error);

// Both tell the user when the path is missing or the desktop cannot open it.
void openFile(QWidget *parent, const QString &path);
void openPath(QWidget *parent, const QString &path);
// Opens a folder nobody asked for by name (one a function just filled):
// false, and no box, when the folder is missing or nothing can open it.
bool openPathQuietly(const QString &path);

// A name as the text of a menu entry or button: "&" stays a character
// instead of marking the next one as the shortcut.
QString menuText(const QString &name);

// F1 without modifiers enters the What's-This mode and accepts the event.
bool handleHelpKey(QKeyEvent *event);

// Opens URLs with the desktop services; tests replace it so nothing is launched.
using UrlOpener = std::function<bool(const QUrl &url)>;
UrlOpener setUrlOpener(UrlOpener opener);
