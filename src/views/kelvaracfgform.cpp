#include "views/kelvaracfgform.h"

#include "reader/readertypes.h"
#include "views/kelvaracfg_tz60.h"
#include "views/kelvaracfg_tzu700.h"

KelvaraCfgForm *KelvaraCfgForm::create(int readerType, QWidget *parent)
{
    switch (readerType) {
    case ReaderTypes::TZ60:
        return new KelvaraCfg_TZ60(parent);
    case ReaderTypes::TZU700:
    case ReaderTypes::TZU300:
        return new KelvaraCfg_TZU700(readerType, parent);
    default:
        return nullptr;
    }
}
