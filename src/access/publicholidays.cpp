#include "access/publicholidays.h"

#include <algorithm>

namespace PublicHolidays {

namespace {

enum class Kind {
    Fixed,  // month and day
    Easter, // days after Easter Sunday (negative: before)
    WednesdayBefore23Nov,
    ThursdayAfterFirstSundayOfSeptember,
    MondayAfterThirdSundayOfSeptember,
};

struct Rule
{
    Kind kind;
    int month; // Fixed: the month; Easter: the offset in days
    int day;
    const char *nameEn;
    const char *nameDe;
    // Region codes: a country code covers all its parts.
    QStringList regions;
    int fromYear = 0;
    int toYear = 9999;
};

const QStringList Germany = {QStringLiteral("DE")};
const QStringList Switzerland = {QStringLiteral("CH")};
const QStringList Austria = {QStringLiteral("AT")};

QStringList codes(std::initializer_list<const char *> list)
{
    QStringList result;
    for (const char *code : list)
        result << QString::fromLatin1(code);
    return result;
}

const QList<Rule> &rules()
{
    static const QList<Rule> all = {
        // Germany: the nine days of every state, then the states' own.
        {Kind::Fixed, 1, 1, "New Year's Day", "Neujahr", Germany},
        {Kind::Fixed, 1, 6, "Epiphany", "Heilige Drei Könige", codes({"DE-BW", "DE-BY", "DE-ST"})},
        {Kind::Fixed, 3, 8, "International Women's Day", "Internationaler Frauentag",
         codes({"DE-BE"}), 2019},
        {Kind::Fixed, 3, 8, "International Women's Day", "Internationaler Frauentag",
         codes({"DE-MV"}), 2023},
        {Kind::Easter, -2, 0, "Good Friday", "Karfreitag", Germany},
        {Kind::Easter, 0, 0, "Easter Sunday", "Ostersonntag", codes({"DE-BB", "DE-HE"})},
        {Kind::Easter, 1, 0, "Easter Monday", "Ostermontag", Germany},
        {Kind::Fixed, 5, 1, "Labour Day", "Tag der Arbeit", Germany},
        {Kind::Fixed, 5, 8, "Liberation Day", "Tag der Befreiung", codes({"DE-BE"}), 2020, 2020},
        {Kind::Fixed, 5, 8, "Liberation Day", "Tag der Befreiung", codes({"DE-BE"}), 2025, 2025},
        {Kind::Easter, 39, 0, "Ascension Day", "Christi Himmelfahrt", Germany},
        {Kind::Easter, 49, 0, "Whit Sunday", "Pfingstsonntag", codes({"DE-BB", "DE-HE"})},
        {Kind::Easter, 50, 0, "Whit Monday", "Pfingstmontag", Germany},
        {Kind::Easter, 60, 0, "Corpus Christi", "Fronleichnam",
         codes({"DE-BW", "DE-BY", "DE-HE", "DE-NW", "DE-RP", "DE-SL"})},
        {Kind::Fixed, 8, 15, "Assumption Day", "Mariä Himmelfahrt", codes({"DE-SL"})},
        {Kind::Fixed, 9, 20, "World Children's Day", "Weltkindertag", codes({"DE-TH"}), 2019},
        {Kind::Fixed, 10, 3, "German Unity Day", "Tag der Deutschen Einheit", Germany},
        {Kind::Fixed, 10, 31, "Reformation Day", "Reformationstag",
         codes({"DE-BB", "DE-MV", "DE-SN", "DE-ST", "DE-TH"})},
        {Kind::Fixed, 10, 31, "Reformation Day", "Reformationstag",
         codes({"DE-HB", "DE-HH", "DE-NI", "DE-SH"}), 2018},
        {Kind::Fixed, 10, 31, "Reformation Day", "Reformationstag", Germany, 2017, 2017},
        {Kind::Fixed, 11, 1, "All Saints' Day", "Allerheiligen",
         codes({"DE-BW", "DE-BY", "DE-NW", "DE-RP", "DE-SL"})},
        {Kind::WednesdayBefore23Nov, 0, 0, "Day of Repentance and Prayer", "Buß- und Bettag",
         codes({"DE-SN"})},
        {Kind::Fixed, 12, 25, "Christmas Day", "1. Weihnachtstag", Germany},
        {Kind::Fixed, 12, 26, "Second Day of Christmas", "2. Weihnachtstag", Germany},

        // Austria: the same days in every state.
        {Kind::Fixed, 1, 1, "New Year's Day", "Neujahr", Austria},
        {Kind::Fixed, 1, 6, "Epiphany", "Heilige Drei Könige", Austria},
        {Kind::Easter, 1, 0, "Easter Monday", "Ostermontag", Austria},
        {Kind::Fixed, 5, 1, "Labour Day", "Staatsfeiertag", Austria},
        {Kind::Easter, 39, 0, "Ascension Day", "Christi Himmelfahrt", Austria},
        {Kind::Easter, 50, 0, "Whit Monday", "Pfingstmontag", Austria},
        {Kind::Easter, 60, 0, "Corpus Christi", "Fronleichnam", Austria},
        {Kind::Fixed, 8, 15, "Assumption Day", "Mariä Himmelfahrt", Austria},
        {Kind::Fixed, 10, 26, "National Day", "Nationalfeiertag", Austria},
        {Kind::Fixed, 11, 1, "All Saints' Day", "Allerheiligen", Austria},
        {Kind::Fixed, 12, 8, "Immaculate Conception", "Mariä Empfängnis", Austria},
        {Kind::Fixed, 12, 25, "Christmas Day", "Christtag", Austria},
        {Kind::Fixed, 12, 26, "St. Stephen's Day", "Stefanitag", Austria},

        // Switzerland: the four days of every canton, then the cantons' own.
        {Kind::Fixed, 1, 1, "New Year's Day", "Neujahrstag", Switzerland},
        {Kind::Fixed, 1, 2, "Berchtold's Day", "Berchtoldstag", codes({"CH-BE", "CH-VD"})},
        {Kind::Easter, -2, 0, "Good Friday", "Karfreitag",
         codes({"CH-ZH", "CH-BE", "CH-BS", "CH-GE", "CH-VD"})},
        {Kind::Easter, 1, 0, "Easter Monday", "Ostermontag",
         codes({"CH-ZH", "CH-BE", "CH-BS", "CH-GE", "CH-VD"})},
        {Kind::Fixed, 5, 1, "Labour Day", "Tag der Arbeit", codes({"CH-ZH", "CH-BS"})},
        {Kind::Easter, 39, 0, "Ascension Day", "Auffahrt", Switzerland},
        {Kind::Easter, 50, 0, "Whit Monday", "Pfingstmontag",
         codes({"CH-ZH", "CH-BE", "CH-BS", "CH-GE", "CH-VD"})},
        {Kind::Fixed, 8, 1, "Swiss National Day", "Bundesfeier", Switzerland},
        {Kind::ThursdayAfterFirstSundayOfSeptember, 0, 0, "Genevan Fast", "Genfer Bettag",
         codes({"CH-GE"})},
        {Kind::MondayAfterThirdSundayOfSeptember, 0, 0, "Federal Fast Monday", "Bettagsmontag",
         codes({"CH-VD"})},
        {Kind::Fixed, 12, 25, "Christmas Day", "Weihnachtstag", Switzerland},
        {Kind::Fixed, 12, 26, "St. Stephen's Day", "Stephanstag",
         codes({"CH-ZH", "CH-BE", "CH-BS"})},
        {Kind::Fixed, 12, 31, "Restoration of the Republic", "Wiederherstellung der Republik",
         codes({"CH-GE"})},
    };
    return all;
}

bool applies(const Rule &rule, const QString &region, int year)
{
    if (year < rule.fromYear || year > rule.toYear)
        return false;
    for (const QString &code : rule.regions) {
        if (region == code || region.startsWith(code + QLatin1Char('-')))
            return true;
    }
    return false;
}

// The first date from `from` on (or back, with step -1) that falls on the weekday.
QDate weekdayFrom(QDate from, int dayOfWeek, int step)
{
    while (from.dayOfWeek() != dayOfWeek)
        from = from.addDays(step);
    return from;
}

QDate dateOf(const Rule &rule, int year)
{
    switch (rule.kind) {
    case Kind::Fixed:
        return QDate(year, rule.month, rule.day);
    case Kind::Easter:
        return easterSunday(year).addDays(rule.month);
    case Kind::WednesdayBefore23Nov:
        return weekdayFrom(QDate(year, 11, 22), Qt::Wednesday, -1);
    case Kind::ThursdayAfterFirstSundayOfSeptember:
        return weekdayFrom(QDate(year, 9, 1), Qt::Sunday, 1).addDays(4);
    case Kind::MondayAfterThirdSundayOfSeptember:
        return weekdayFrom(QDate(year, 9, 1), Qt::Sunday, 1).addDays(15);
    }
    return QDate();
}

} // namespace

QList<Region> regions()
{
    return {
        {QStringLiteral("DE"), QStringLiteral("Germany (all states)"),
         QStringLiteral("Deutschland (alle Länder)")},
        {QStringLiteral("DE-BB"), QStringLiteral("Germany: Brandenburg"),
         QStringLiteral("Deutschland: Brandenburg")},
        {QStringLiteral("DE-BE"), QStringLiteral("Germany: Berlin"),
         QStringLiteral("Deutschland: Berlin")},
        {QStringLiteral("DE-BW"), QStringLiteral("Germany: Baden-Württemberg"),
         QStringLiteral("Deutschland: Baden-Württemberg")},
        {QStringLiteral("DE-BY"), QStringLiteral("Germany: Bavaria"),
         QStringLiteral("Deutschland: Bayern")},
        {QStringLiteral("DE-HB"), QStringLiteral("Germany: Bremen"),
         QStringLiteral("Deutschland: Bremen")},
        {QStringLiteral("DE-HE"), QStringLiteral("Germany: Hesse"),
         QStringLiteral("Deutschland: Hessen")},
        {QStringLiteral("DE-HH"), QStringLiteral("Germany: Hamburg"),
         QStringLiteral("Deutschland: Hamburg")},
        {QStringLiteral("DE-MV"), QStringLiteral("Germany: Mecklenburg-Western Pomerania"),
         QStringLiteral("Deutschland: Mecklenburg-Vorpommern")},
        {QStringLiteral("DE-NI"), QStringLiteral("Germany: Lower Saxony"),
         QStringLiteral("Deutschland: Niedersachsen")},
        {QStringLiteral("DE-NW"), QStringLiteral("Germany: North Rhine-Westphalia"),
         QStringLiteral("Deutschland: Nordrhein-Westfalen")},
        {QStringLiteral("DE-RP"), QStringLiteral("Germany: Rhineland-Palatinate"),
         QStringLiteral("Deutschland: Rheinland-Pfalz")},
        {QStringLiteral("DE-SH"), QStringLiteral("Germany: Schleswig-Holstein"),
         QStringLiteral("Deutschland: Schleswig-Holstein")},
        {QStringLiteral("DE-SL"), QStringLiteral("Germany: Saarland"),
         QStringLiteral("Deutschland: Saarland")},
        {QStringLiteral("DE-SN"), QStringLiteral("Germany: Saxony"),
         QStringLiteral("Deutschland: Sachsen")},
        {QStringLiteral("DE-ST"), QStringLiteral("Germany: Saxony-Anhalt"),
         QStringLiteral("Deutschland: Sachsen-Anhalt")},
        {QStringLiteral("DE-TH"), QStringLiteral("Germany: Thuringia"),
         QStringLiteral("Deutschland: Thüringen")},
        {QStringLiteral("AT"), QStringLiteral("Austria"), QStringLiteral("Österreich")},
        {QStringLiteral("CH"), QStringLiteral("Switzerland (all cantons)"),
         QStringLiteral("Schweiz (alle Kantone)")},
        {QStringLiteral("CH-BE"), QStringLiteral("Switzerland: Bern"),
         QStringLiteral("Schweiz: Bern")},
        {QStringLiteral("CH-BS"), QStringLiteral("Switzerland: Basel-Stadt"),
         QStringLiteral("Schweiz: Basel-Stadt")},
        {QStringLiteral("CH-GE"), QStringLiteral("Switzerland: Geneva"),
         QStringLiteral("Schweiz: Genf")},
        {QStringLiteral("CH-VD"), QStringLiteral("Switzerland: Vaud"),
         QStringLiteral("Schweiz: Waadt")},
        {QStringLiteral("CH-ZH"), QStringLiteral("Switzerland: Zurich"),
         QStringLiteral("Schweiz: Zürich")},
    };
}

bool isRegion(const QString &code)
{
    const QList<Region> all = regions();
    return std::any_of(all.cbegin(), all.cend(),
                       [&code](const Region &region) { return region.code == code; });
}

QDate easterSunday(int year)
{
    if (year < 1583 || year > 4099)
        return QDate();
    // The anonymous Gregorian algorithm (Meeus, Astronomical Algorithms).
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, day);
}

QList<Holiday> holidays(const QString &region, int year)
{
    QList<Holiday> result;
    if (!isRegion(region) || !easterSunday(year).isValid())
        return result;
    for (const Rule &rule : rules()) {
        if (!applies(rule, region, year))
            continue;
        const QDate date = dateOf(rule, year);
        const bool known = std::any_of(result.cbegin(), result.cend(),
                                       [&date](const Holiday &h) { return h.date == date; });
        if (!known)
            result.append({date, QString::fromUtf8(rule.nameEn), QString::fromUtf8(rule.nameDe)});
    }
    std::sort(result.begin(), result.end(),
              [](const Holiday &a, const Holiday &b) { return a.date < b.date; });
    return result;
}

} // namespace PublicHolidays
