#include "views/readerforms/kelvaracfgform.h"

#include "reader/readerconfiguration.h"
#include "reader/readertypes.h"
#include "views/readerforms/kelvaracfg_tz60.h"
#include "views/readerforms/kelvaracfg_tzu700.h"

#include <climits>
#include <cmath>

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

QMap<QString, QString> KelvaraCfgForm::settingsMap(const QString &settingsText)
{
    QMap<QString, QString> map;
    for (const ReaderConfiguration::Setting &s : ReaderConfiguration::parseSettings(settingsText))
        map.insert(s.first, s.second);
    return map;
}

QString KelvaraCfgForm::decimalText(double value)
{
    return QString::number(value, 'f', 1);
}

double KelvaraCfgForm::decimalValue(const QMap<QString, QString> &map, const QString &key,
                                    double fallback)
{
    double value = 0;
    if (!map.contains(key) || !ReaderConfiguration::parseDecimal(map.value(key), &value))
        return fallback;
    return value;
}

int KelvaraCfgForm::integerValue(const QMap<QString, QString> &map, const QString &key,
                                 int fallback)
{
    int value = 0;
    if (!map.contains(key) || !ReaderConfiguration::parseInteger(map.value(key), &value))
        return fallback;
    return value;
}

int KelvaraCfgForm::blockingMinutes(const QMap<QString, QString> &map)
{
    const double seconds = decimalValue(map, QStringLiteral("ValidTime"), 0);
    const double minutes = std::round(seconds / 60.0);
    if (!(minutes > 0))
        return 0;
    return minutes > INT_MAX ? INT_MAX : int(minutes);
}
