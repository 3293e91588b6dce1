#pragma once

#include <QList>

class QLocale;
class QTranslator;

// Registers the icons compiled into the GUI library (":/tab-kelvara-48.png"
// and the others). A static library's resources are not linked in unless
// something asks for them, so every program calls this once at start.
void kxInitResources();

// Installs the program's translation for the locale (over its English plural
// forms, which every language gets) and beside it Qt's own
// (buttons, file dialogs, context menus) from Qt's translation folder, so
// that a German interface is German throughout. Returns the installed
// translators, owned by the application.
QList<QTranslator *> kxInstallTranslations(const QLocale &locale);
