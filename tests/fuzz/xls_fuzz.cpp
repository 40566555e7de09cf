#include "FuzzInput.h"
#include "logic/import/XlsSource.h"

// The input is a workbook stream, as taken out of its compound file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CXlsSource source;
    if (source.Open(std::string(reinterpret_cast<const char*>(data), size)))
        CFuzzInput::ReadAll(source);
    return 0;
}
