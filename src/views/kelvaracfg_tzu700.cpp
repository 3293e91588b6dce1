#include "views/kelvaracfg_tzu700.h"

// Placeholder until the form is built: keeps the entry dialog buildable.
KelvaraCfg_TZU700::KelvaraCfg_TZU700(int readerType, QWidget *parent)
    : KelvaraCfgForm(parent), m_readerType(readerType)
{
}
int KelvaraCfg_TZU700::readerType() const
{
    return m_readerType;
}
QString KelvaraCfg_TZU700::settingsText() const
{
    return {};
}
void KelvaraCfg_TZU700::loadSettings(const QString &) {}
