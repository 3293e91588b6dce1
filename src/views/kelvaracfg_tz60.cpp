#include "views/kelvaracfg_tz60.h"

#include "reader/readertypes.h"

// Placeholder until the form is built: keeps the entry dialog buildable.
KelvaraCfg_TZ60::KelvaraCfg_TZ60(QWidget *parent) : KelvaraCfgForm(parent) {}
int KelvaraCfg_TZ60::readerType() const
{
    return ReaderTypes::TZ60;
}
QString KelvaraCfg_TZ60::settingsText() const
{
    return {};
}
void KelvaraCfg_TZ60::loadSettings(const QString &) {}
void KelvaraCfg_TZ60::setExtIoSupported(bool) {}
void KelvaraCfg_TZ60::setExtIoStateText(const QString &) {}
void KelvaraCfg_TZ60::pairing() {}
