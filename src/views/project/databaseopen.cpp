#include "views/project/databaseopen.h"

#include "db/projectdatabase.h"
#include "widgets/guimessages.h"

#include <QCoreApplication>

bool openDatabaseOrShowError(QWidget *parent, const QString &databasePath)
{
    ProjectDatabase db(databasePath);
    if (db.open())
        return true;
    showDatabaseError(parent, QCoreApplication::translate("KelvaraTimes", "DB open"),
                      db.lastError());
    return false;
}
