// Time model definitions: whatever the text, a period that is not never has
// clock times, writes back to a definition that reads as itself, and no
// timezone record a reader gets holds a minute above 59 or a time past 24:00.
#include "access/accessdataset.h"
#include "access/accessrecords.h"
#include "access/readeraccesstables.h"
#include "access/timemodel.h"
#include "access/timeperiod.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    if (size > 4096)
        return 0;
    const QString definition = FuzzInput::text(data, size);
    const TimeModel model(definition);
    for (const TimePeriod &period : model.periods()) {
        period.toDisplay();
        const TimezoneRecord record = TimezoneRecord::fromPeriod(period);
        FUZZ_CHECK(record.startMinute <= 59 && record.endMinute <= 59);
        FUZZ_CHECK(record.startHour < 24 || (record.startHour == 24 && record.startMinute == 0));
        FUZZ_CHECK(record.endHour < 24 || (record.endHour == 24 && record.endMinute == 0));
        if (period.isNever())
            continue;
        FUZZ_CHECK(TimePeriod::isClockTime(period.fromHour(), period.fromMinute()));
        FUZZ_CHECK(TimePeriod::isClockTime(period.toHour(), period.toMinute()));
        FUZZ_CHECK(period.startMinutes() < period.endMinutes());
        bool ok = false;
        const TimePeriod again = TimePeriod::fromDefinition(period.toDefinition(), &ok);
        FUZZ_CHECK(ok && again.toDefinition() == period.toDefinition());
    }

    // Compiled and filled as for a reader: every timezone sent is on the clock.
    EntryAccessRow row;
    row.modelTag = QStringLiteral("F");
    row.modelDefinition = definition;
    row.iddIso14443 = QStringLiteral("04a1b2c3d4e5f6-04");
    AccessDataSet dataSet;
    dataSet.compile({row}, {}, 100, 7);
    ReaderAccessTables tables;
    if (tables.fill(dataSet, 7) == 0) {
        for (const TimezoneRecord &tz : tables.timezones()) {
            FUZZ_CHECK(tz.startMinute <= 59 && tz.endMinute <= 59);
            FUZZ_CHECK(tz.startHour * 60 + tz.startMinute < tz.endHour * 60 + tz.endMinute);
            FUZZ_CHECK(tz.endHour * 60 + tz.endMinute <= 24 * 60);
        }
    }
    return 0;
}
