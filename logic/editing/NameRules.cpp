#include "logic/editing/NameRules.h"

#include "logic/editing/ListRows.h"
#include "logic/import/SheetText.h"

std::string CNameRules::NormalizeName(std::string_view name)
{
    std::string normalized;
    normalized.reserve(name.size() + 8);
    for (char c : name) {
        if (c == ' ')
            continue;
        if (c == '(')
            normalized += "\xEF\xBC\x88"; // （
        else if (c == ')')
            normalized += "\xEF\xBC\x89"; // ）
        else
            normalized += c;
    }
    return normalized;
}

int CNameRules::FindSameName(const CListRows& rows, int column, std::string_view name, int excluded)
{
    const std::string normalized = NormalizeName(name);
    const int count = rows.RowCount();
    for (int row = 0; row < count; ++row) {
        if (row != excluded && CSheetText::EqualsNoCase(NormalizeName(rows.CellText(row, column)), normalized))
            return row;
    }
    return -1;
}

std::string CNameRules::DuplicateMessage(std::string_view name)
{
    return std::string(name) + " 已存在。";
}
