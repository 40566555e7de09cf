#include "logic/import/CompoundFile.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const CFuzzInput input(data, size, ".xls");
    CCompoundFile file;
    std::string error;
    if (!file.Open(input.Path(), error, 64u << 20))
        return 0;
    for (const char* name : {"Workbook", "Book", "EncryptedPackage", "EncryptionInfo", "WordDocument"}) {
        std::string bytes;
        if (file.HasStream(name) && !file.ReadStream(name, bytes, error) && error.empty())
            __builtin_trap();
    }
    return 0;
}
