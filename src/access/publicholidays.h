#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// The public holidays of a region and year, computed: fixed dates, the ones
// that move with Easter (Gregorian computus) and a few weekday rules (the
// Wednesday before 23 November, the Swiss fast days). Regions are "DE" and
// the German states ("DE-BY"), "AT", "CH" and Swiss cantons with days of
// their own ("CH-ZH"). Holidays that only some municipalities of a region
// keep (Assumption in parts of Bavaria, say) are not included.
namespace PublicHolidays {

enum class Language { English, German };

struct Region
{
    QString code;   // "DE-BY"
    QString nameEn; // "Germany: Bavaria"
    QString nameDe; // "Deutschland: Bayern"
    QString name(Language language) const { return language == Language::German ? nameDe : nameEn; }
};

struct Holiday
{
    QDate date;
    QString nameEn;
    QString nameDe;
    QString name(Language language) const { return language == Language::German ? nameDe : nameEn; }
};

// In a stable order: each country, then its parts by code.
QList<Region> regions();
bool isRegion(const QString &code);

// Easter Sunday of the Gregorian calendar (years 1583 to 4099).
QDate easterSunday(int year);

// The holidays of the region in the year, in date order; empty for an
// unknown region. A date that is two holidays at once is listed once.
QList<Holiday> holidays(const QString &region, int year);

} // namespace PublicHolidays
