#pragma once

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
};
