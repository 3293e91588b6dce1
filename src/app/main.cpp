#include "app/kelvaraman.h"
#include "core/paths.h"
#include "widgets/kxresources.h"

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QTranslator>

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

    QTranslator translator;
    if (translate) {
        if (translator.load(QLocale(), QStringLiteral("kelvara"), QStringLiteral("-"),
                            QStringLiteral(":/"), QStringLiteral(".qm")))
            QApplication::installTranslator(&translator);
    }

    KelvaraMan window;
    window.setManualFile(manualFileName(QLocale::system().uiLanguages(), translate));
    if (window.settings().isMaximized)
        window.showMaximized();
    else
        window.show();
    return app.exec();
}
