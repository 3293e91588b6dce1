// JOB files found on a flash drive: any content reads as a set of jobs, and
// the file written for that set reads back as the same set.
#include "functions/flashdrive.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    if (size > 4096)
        return 0;
    const FlashDrive::Jobs jobs = FlashDrive::parseJobFile(FuzzInput::bytes(data, size));
    FUZZ_CHECK(FlashDrive::parseJobFile(FlashDrive::jobFileContent(jobs)) == jobs);
    return 0;
}
