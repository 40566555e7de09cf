#include "logic/import/CsvSource.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CFuzzInput input(data, size, ".csv");
    CCsvSource source;
    if (source.Open(input.Path()))
        CFuzzInput::ReadAll(source);
    return 0;
}
