#include "logic/import/SheetLimits.h"

std::size_t CSheetLimits::CharacterCount(std::string_view utf8)
{
    std::size_t count = 0;
    for (const char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

std::string CSheetLimits::TooManyRows()
{
    return "表格超过 " + std::to_string(kMaxRows) + " 行，超出了工作表的行数上限，无法导入。";
}

std::string CSheetLimits::TooManyColumns(int row)
{
    return "表格第 " + std::to_string(row + 1) + " 行超过 " + std::to_string(kMaxColumns)
           + " 列，超出了工作表的列数上限，无法导入。";
}

std::string CSheetLimits::CellTooLong(int row)
{
    return "表格第 " + std::to_string(row + 1) + " 行有一格超过 " + std::to_string(kMaxCellCharacters)
           + " 个字符，超出了单元格的长度上限，无法导入。";
}

std::string CSheetLimits::RowTooLong(int row)
{
    return "表格第 " + std::to_string(row + 1) + " 行的内容超过 " + std::to_string(kMaxRowBytes >> 20)
           + " MB，无法导入。";
}

std::string CSheetLimits::OutOfMemory()
{
    return "内存不足，无法读取文件。";
}
