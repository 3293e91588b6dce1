#pragma once

#include <QLocale>
#include <QString>

// The one date format of the language in use: the locale's short form with
// a four-digit year ("dd.MM.yyyy" in German, "M/d/yyyy" in US English), for
// every date the window shows or takes.
inline QString kxDateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}
