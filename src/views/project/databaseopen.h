#pragma once

#include <QString>

class QWidget;

// Tries to open the project database before an operation, so that a
// database that does not open is told as such ("DB open") rather than under
// the operation's own title.
bool openDatabaseOrShowError(QWidget *parent, const QString &databasePath);
