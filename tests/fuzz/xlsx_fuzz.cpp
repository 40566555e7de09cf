#include "FuzzInput.h"
#include "logic/import/XlsxSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CFuzzInput input(data, size, ".xlsx");
    // Bounds small enough that a part inflating past them is refused long
    // before the fuzzer's memory limit; the reading is the same.
    CXlsxSource::Limits limits;
    limits.sheet = 64u << 20;
    limits.sharedStrings = 64u << 20;
    limits.smallPart = 8u << 20;
    limits.storedText = 64u << 20;
    CXlsxSource source(limits);
    if (source.Open(input.Path()))
        CFuzzInput::ReadAll(source);
    return 0;
}
