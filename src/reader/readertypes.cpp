#include "reader/readertypes.h"

#include <QCoreApplication>

namespace ReaderTypes {

namespace {

struct TypeName
{
    int code;
    const char *name;
};

// The maker's reader models. The six codes the program acts on are among
// them; the others only appear in discovery results.
const TypeName kNames[] = {
    {20, "ID KM10"},    {21, "ID KM12"},    {30, "ID KD40"},    {31, "ID KD41"},
    {40, "ID KR100"},   {41, "ID KR110"},   {50, "ID LRX5"},    {51, "ID LRX5-E"},
    {54, "ID LRX7"},    {55, "ID LRX7-E"},  {60, "ID KU200"},   {61, "ID KU210"},
    {70, "ID PQ5"},     {71, "ID PQ6"},     {82, "ID PQ20"},    {83, "ID PQ21"},
    {86, "ID PQ10"},    {87, "ID PQ11"},    {90, "ID KT30"},    {91, "ID KT31"},
    {100, "ID TZ60"},   {101, "ID TZU700"}, {102, "ID TZ62"},   {103, "ID TZU710"},
    {110, "ID KG1000"}, {111, "ID KG1100"}, {120, "ID KS5"},    {121, "ID KS6"},
    {130, "ID KX900"},  {862, "ID TZU200"}, {863, "ID TZU300"},
};

struct Version
{
    uint major = 0, minor = 0, patch = 0;
};

Version parseVersion(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    uint numbers[3] = {0, 0, 0};
    for (int i = 0; i < 3 && i < parts.size(); ++i) {
        bool ok = false;
        const uint n = parts.at(i).trimmed().toUInt(&ok, 10);
        numbers[i] = ok ? n : 0;
    }
    return {numbers[0], numbers[1], numbers[2]};
}

} // namespace

QString readerTypeName(int code)
{
    for (const TypeName &t : kNames) {
        if (t.code == code)
            return QLatin1String(t.name);
    }
    return QCoreApplication::translate("ReaderTypes", "Reader type %1").arg(code);
}

int readerTypeByName(const QString &name)
{
    for (const TypeName &t : kNames) {
        if (name == QLatin1String(t.name))
            return t.code;
    }
    return 0;
}

QStringList readerTypeNames()
{
    QStringList names;
    for (const TypeName &t : kNames)
        names << QLatin1String(t.name);
    return names;
}

bool isAccessReader(int code)
{
    return code == TZ60 || code == TZU700 || code == TZU300;
}

bool isShortRangeAccessReader(int code)
{
    return code == TZ60;
}

bool isLongRangeAccessReader(int code)
{
    return code == TZU700 || code == TZU300;
}

bool isProgrammerReader(int code)
{
    return code == PQ20 || code == PQ10 || code == LRX7;
}

QString requiredFirmware(int code)
{
    switch (code) {
    case TZ60:
        return QStringLiteral("02.08.00");
    case TZU700:
        return QStringLiteral("02.00.00");
    case TZU300:
        return QStringLiteral("01.01.00");
    default:
        return QString();
    }
}

bool firmwareAtLeast(const QString &available, const QString &required)
{
    const Version a = parseVersion(available);
    const Version r = parseVersion(required);
    if (a.major != r.major)
        return a.major > r.major;
    if (a.minor != r.minor)
        return a.minor > r.minor;
    return a.patch >= r.patch;
}

QString normalizedFirmware(const QString &version)
{
    const Version v = parseVersion(version);
    return QStringLiteral("%1.%2.%3")
        .arg(v.major, 2, 10, QLatin1Char('0'))
        .arg(v.minor, 2, 10, QLatin1Char('0'))
        .arg(v.patch, 2, 10, QLatin1Char('0'));
}

} // namespace ReaderTypes
