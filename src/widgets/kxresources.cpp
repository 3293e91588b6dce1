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
    auto install = [&](const QLocale &language, const QString &name, const QString &separator,
                       const QString &folder) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(language, name, separator, folder, QStringLiteral(".qm")) &&
            QCoreApplication::installTranslator(translator)) {
            installed << translator;
            return;
        }
        delete translator;
    };
    install(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::location(QLibraryInfo::TranslationsPath));
    // The English plural forms ("1 entry") under every language; the
    // catalogue of the locale's language, installed later, is asked first.
    const QLocale english(QLocale::English);
    install(english, QStringLiteral("kelvara"), QStringLiteral("-"), QStringLiteral(":/"));
    if (locale.language() != QLocale::English)
        install(locale, QStringLiteral("kelvara"), QStringLiteral("-"), QStringLiteral(":/"));
    return installed;
}
