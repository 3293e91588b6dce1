// The project operations of the main window: new, open, rename, backup,
// restore, support package and the first start.
#include "app/kelvaraman.h"

void KelvaraMan::newProject() {}
void KelvaraMan::openProject() {}
void KelvaraMan::renameProject() {}
void KelvaraMan::createProjectBackup() {}
void KelvaraMan::restoreProjectBackup() {}
void KelvaraMan::buildSupportPackage() {}
void KelvaraMan::firstStartCheck() {}

void KelvaraMan::placeWindows()
{
    setGeometry(m_settings.mainWindowGeometry);
}
