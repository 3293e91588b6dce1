#include "widgets/kxresources.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void kxInitResources()
{
    Q_INIT_RESOURCE(kelvara);
    Q_INIT_RESOURCE(kelvara_translations);
}

QList<QTranslator *> kxInstallTranslations(const QLocale &locale)
{
    QList<QTranslator *> installed;
    auto install = [&](const QString &name, const QString &separator, const QString &folder) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(locale, name, separator, folder, QStringLiteral(".qm")) &&
            QCoreApplication::installTranslator(translator)) {
            installed << translator;
            return;
        }
        delete translator;
    };
    install(QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::location(QLibraryInfo::TranslationsPath));
    install(QStringLiteral("kelvara"), QStringLiteral("-"), QStringLiteral(":/"));
    return installed;
}
