#pragma once

#include "logic/import/SheetText.h"

#include <optional>
#include <string_view>

// Tells from a cell's number format whether its number is a date, a time or
// both, so that both workbook readers show such cells alike.
class CNumberFormat
{
public:
    // A format code such as "yyyy-mm-dd" or "0.00"; only its first section
    // decides.
    static std::optional<CSheetText::DateForm> Classify(std::string_view code);
    // The built-in formats by number (with the Chinese ones of 27 to 58).
    static std::optional<CSheetText::DateForm> BuiltIn(int id);
};
