#include "widgets/kxresources.h"

#include <QtGlobal>

void kxInitResources()
{
    Q_INIT_RESOURCE(kelvara);
    Q_INIT_RESOURCE(kelvara_translations);
}
