#pragma once

#include "logic/import/SheetCell.h"

#include <string>
#include <string_view>

// The text forms of spreadsheet cells shared by the import, the students
// editor and the division table.
class CSheetText
{
public:
    // A number as the import shows it: rounded through single precision to
    // one decimal, "%.1f" without a trailing ".0" (85 → "85", 92.5 →
    // "92.5"). Whole numbers are written exactly, so an examination number
    // such as 20240101001 survives single precision.
    static std::string CellToText(double value);

    // A cell as text: text as it stands, numbers through CellToText, dates
    // in their text form, anything else empty.
    static std::string CellText(const CSheetCell& cell);

    // Without leading and trailing blanks: ASCII white space, the
    // no-break space and the ideographic space (U+3000).
    static std::string_view Trim(std::string_view text);

    // What a header cell is compared by: trimmed, every space removed.
    static std::string HeaderKey(std::string_view text);

    // Equal when ASCII letters are compared without regard to case; every
    // other byte must match.
    static bool EqualsNoCase(std::string_view a, std::string_view b);

    enum class DateForm
    {
        Date,     // yyyy-mm-dd
        Time,     // hh:mm:ss
        DateTime, // yyyy-mm-dd hh:mm:ss
    };
    // A spreadsheet date serial number as text, in the workbook's 1900 or
    // 1904 date system. False when the value is no date a spreadsheet can
    // show (negative or past the year 9999).
    static bool SerialToText(double serial, bool date1904, DateForm form, std::string& text);
};
