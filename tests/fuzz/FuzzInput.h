#pragma once

// What every fuzz target shares: the input as a file for the readers that
// open a path, and a walk over every row of every sheet that checks the
// bounds a reader promises.
#include "logic/import/SheetLimits.h"
#include "logic/import/SheetSource.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

class CFuzzInput
{
public:
    CFuzzInput(const std::uint8_t* data, std::size_t size, const char* extension)
    {
        std::error_code ec;
        const std::filesystem::path folder = std::filesystem::is_directory("/dev/shm", ec)
                                                 ? std::filesystem::path("/dev/shm")
                                                 : std::filesystem::temp_directory_path();
        m_path = (folder / ("quillon-fuzz-" + std::to_string(getpid()) + extension)).string();
        std::FILE* file = std::fopen(m_path.c_str(), "wb");
        if (!file)
            std::abort();
        if (size > 0 && std::fwrite(data, 1, size, file) != size)
            std::abort();
        std::fclose(file);
    }
    ~CFuzzInput() { std::remove(m_path.c_str()); }
    CFuzzInput(const CFuzzInput&) = delete;
    CFuzzInput& operator=(const CFuzzInput&) = delete;

    const std::string& Path() const { return m_path; }

    // Reads every sheet to its end; a row or cell past the bounds, or a
    // failure without a reason, stops the fuzzer as a finding.
    static void ReadAll(CSheetSource& source)
    {
        const std::size_t sheets = source.SheetNames().size();
        for (std::size_t i = 0; i < sheets; ++i) {
            if (!source.BeginSheet(i)) {
                Expect(!source.GetError().empty());
                continue;
            }
            CSheetSource::Row row;
            while (source.NextRow(row)) {
                Expect(row.row >= 0 && row.row < CSheetLimits::kMaxRows);
                Expect(row.cells.size() <= static_cast<std::size_t>(CSheetLimits::kMaxColumns));
                std::size_t bytes = 0;
                for (const CSheetSource::Cell& cell : row.cells) {
                    Expect(cell.column >= 0 && cell.column < CSheetLimits::kMaxColumns);
                    bytes += cell.value.text.size();
                }
                Expect(bytes <= CSheetLimits::kMaxRowBytes * 2);
            }
        }
    }

private:
    static void Expect(bool condition)
    {
        if (!condition)
            __builtin_trap();
    }

    std::string m_path;
};
