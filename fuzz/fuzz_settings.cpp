// Reader settings texts ("key=value;..."), as an entry's form stores them,
// applied to the configuration blocks of every access reader kind; and the
// programmer reader text of the general settings.
#include "fuzzinput.h"
#include "reader/readerconfiguration.h"
#include "reader/readerfactory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    if (size > 4096)
        return 0;
    const QString text = FuzzInput::text(data, size);
    for (const ReaderConfiguration::Setting &setting : ReaderConfiguration::parseSettings(text)) {
        double decimal = 0;
        int integer = 0;
        ReaderConfiguration::parseDecimal(setting.second, &decimal);
        ReaderConfiguration::parseInteger(setting.second, &integer);
        int tenths = -1;
        if (ReaderConfiguration::tenths(setting.second, 300, &tenths))
            FUZZ_CHECK(tenths >= 0 && tenths <= 300);
    }
    ReaderConfiguration tz60;
    tz60.applyTz60Access(text, size & 1);
    ReaderConfiguration longRange;
    longRange.applyLongRangeSettings(text, size & 2);
    for (int block = 0; block < 64; ++block) {
        FUZZ_CHECK(tz60.block(block).size() == ReaderConfiguration::BlockSize);
        FUZZ_CHECK(longRange.block(block).size() == ReaderConfiguration::BlockSize);
    }
    ReaderFactory::parseProgrammerReader(text);
    return 0;
}
