#include "app/kelvaraman.h"
#include "core/paths.h"
#include "widgets/kxresources.h"

#include <QApplication>
#include <QFont>
#include <QLocale>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    kxInitResources();
    QApplication::setFont(QFont(QStringLiteral("Arial"), 10));

    bool translate = true;
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "notr") == 0)
            translate = false;
    }

    if (translate)
        kxInstallTranslations(QLocale());

    KelvaraMan window;
    window.setManualFile(manualFileName(QLocale::system().uiLanguages(), translate));
    if (window.settings().isMaximized)
        window.showMaximized();
    else
        window.show();
    return app.exec();
}
