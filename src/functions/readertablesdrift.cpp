#include "functions/readertablesdrift.h"

#include <algorithm>

namespace {

// Items of `from` not matched in `against`, each match used once.
QStringList unmatched(QStringList from, QStringList against)
{
    QStringList left;
    for (const QString &item : qAsConst(from)) {
        const int at = against.indexOf(item);
        if (at < 0)
            left << item;
        else
            against.removeAt(at);
    }
    return left;
}

QString firstOf(const QStringList &items, int firstFew)
{
    QStringList shown = items.mid(0, firstFew);
    if (items.size() > firstFew)
        shown << QStringLiteral("…");
    return shown.join(QStringLiteral("; "));
}

QStringList datesOf(const QList<QDate> &dates)
{
    QStringList texts;
    for (const QDate &date : dates)
        texts << date.toString(Qt::ISODate);
    return texts;
}

} // namespace

ReaderTablesDrift ReaderTablesDrift::compare(const ReaderTableContent &reader,
                                             const ReaderTableContent &expected, const QDate &today)
{
    ReaderTablesDrift drift;
    drift.readerIddLength = reader.access.isEmpty() ? expected.iddLength : reader.iddLength;
    drift.expectedIddLength = expected.iddLength;

    for (auto it = expected.access.constBegin(); it != expected.access.constEnd(); ++it) {
        if (!reader.access.contains(it.key())) {
            drift.missing << expected.nameOf(it.key());
            continue;
        }
        QStringList held = reader.rightsOf(it.key());
        QStringList granted = expected.rightsOf(it.key());
        std::sort(held.begin(), held.end());
        std::sort(granted.begin(), granted.end());
        if (held != granted)
            drift.otherRights << expected.nameOf(it.key());
    }
    for (auto it = reader.access.constBegin(); it != reader.access.constEnd(); ++it)
        if (!expected.access.contains(it.key()))
            drift.extra << reader.nameOf(it.key());

    QStringList readerWindows;
    for (const TimePeriod &period : reader.windows())
        readerWindows << period.toDefinition();
    QStringList expectedWindows;
    for (const TimePeriod &period : expected.windows())
        expectedWindows << period.toDefinition();
    drift.windowsMissing = unmatched(expectedWindows, readerWindows);
    drift.windowsExtra = unmatched(readerWindows, expectedWindows);

    // Holidays gone by decide nothing any more.
    const QList<QDate> held = reader.holidayDates();
    const QList<QDate> wanted = expected.holidayDates();
    for (const QDate &date : wanted)
        if (!held.contains(date))
            drift.holidaysMissing << date;
    for (const QDate &date : held)
        if (date >= today && !wanted.contains(date) && !drift.holidaysExtra.contains(date))
            drift.holidaysExtra << date;
    return drift;
}

bool ReaderTablesDrift::inSync() const
{
    return missing.isEmpty() && extra.isEmpty() && otherRights.isEmpty() &&
           windowsMissing.isEmpty() && windowsExtra.isEmpty() && holidaysMissing.isEmpty() &&
           holidaysExtra.isEmpty();
}

QString ReaderTablesDrift::summary(int firstFew) const
{
    QStringList parts;
    if (!missing.isEmpty())
        parts << QStringLiteral("identifiers missing: %1 (%2)")
                     .arg(missing.size())
                     .arg(firstOf(missing, firstFew));
    if (!extra.isEmpty())
        parts << QStringLiteral("identifiers extra: %1 (%2)")
                     .arg(extra.size())
                     .arg(firstOf(extra, firstFew));
    if (!otherRights.isEmpty())
        parts << QStringLiteral("identifiers with other rights: %1 (%2)")
                     .arg(otherRights.size())
                     .arg(firstOf(otherRights, firstFew));
    if (!windowsMissing.isEmpty())
        parts << QStringLiteral("time windows missing: %1 (%2)")
                     .arg(windowsMissing.size())
                     .arg(firstOf(windowsMissing, firstFew));
    if (!windowsExtra.isEmpty())
        parts << QStringLiteral("time windows extra: %1 (%2)")
                     .arg(windowsExtra.size())
                     .arg(firstOf(windowsExtra, firstFew));
    if (!holidaysMissing.isEmpty())
        parts << QStringLiteral("holidays missing: %1 (%2)")
                     .arg(holidaysMissing.size())
                     .arg(firstOf(datesOf(holidaysMissing), firstFew));
    if (!holidaysExtra.isEmpty())
        parts << QStringLiteral("holidays extra: %1 (%2)")
                     .arg(holidaysExtra.size())
                     .arg(firstOf(datesOf(holidaysExtra), firstFew));
    if (!parts.isEmpty() && readerIddLength != expectedIddLength && readerIddLength > 0)
        parts << QStringLiteral("identifier length %1 bytes on the reader, %2 in the project")
                     .arg(readerIddLength)
                     .arg(expectedIddLength);
    return parts.join(QStringLiteral(", "));
}
