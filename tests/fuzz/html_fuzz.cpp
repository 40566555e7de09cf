#include "FuzzInput.h"
#include "logic/import/HtmlTableSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CFuzzInput input(data, size, ".xls");
    CHtmlTableSource source;
    if (source.Open(input.Path()))
        CFuzzInput::ReadAll(source);
    return 0;
}
