#pragma once

#include <string>
#include <string_view>

// Numbers read from text the way the data files and settings have always
// been read: the leading number of the text, 0 when it has none.
class CNumberText
{
public:
    // Blanks, an optional sign, then decimal digits; reading stops at the
    // first other character. Saturates far beyond the 32-bit range instead
    // of overflowing.
    static long long LeadingInteger(std::string_view text);
    // LeadingInteger clamped to int.
    static int LeadingInt(std::string_view text);

    // A score or a total as the program writes it: one decimal, with a
    // decimal point whatever the locale, a trailing ".0" dropped (90 → "90",
    // 90.5 → "90.5").
    static std::string OneDecimal(double value);
};
