#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// How much of a table the readers take: the bounds of a worksheet in the
// spreadsheet program, and a bound on one row's text, so that no file,
// however made, makes a reader hold more than a few rows' worth of memory.
// The messages are the readers' reasons for refusing such a file.
class CSheetLimits
{
public:
    static constexpr int kMaxRows = 1048576;
    static constexpr int kMaxColumns = 16384;
    static constexpr std::size_t kMaxCellCharacters = 32767;
    // A cell at its longest in UTF-8, a character taking up to four bytes.
    static constexpr std::size_t kMaxCellBytes = kMaxCellCharacters * 4;
    static constexpr std::size_t kMaxRowBytes = 16u << 20;

    // Characters of UTF-8 text, counting each lead byte (and each stray
    // byte) once.
    static std::size_t CharacterCount(std::string_view utf8);

    // row: from 0.
    static std::string TooManyRows();
    static std::string TooManyColumns(int row);
    static std::string CellTooLong(int row);
    static std::string RowTooLong(int row);
    static std::string OutOfMemory();
};
