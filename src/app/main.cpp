#include "app/kelvaraman.h"
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

    QString manual;
    if (translate) {
        kxInstallTranslations(QLocale());
        const QStringList languages = QLocale::system().uiLanguages();
        if (!languages.isEmpty() && languages.first().startsWith(QLatin1String("de")))
            manual = QStringLiteral("Kelvara-Manager-Manual-de.pdf");
    }

    KelvaraMan window;
    window.setManualFile(manual.isEmpty() ? QStringLiteral("Kelvara-Manager-Manual-en.pdf")
                                          : manual);
    if (window.settings().isMaximized)
        window.showMaximized();
    else
        window.show();
    return app.exec();
}
