#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The texts a workbook's XML parts hold: cell texts and attribute values
// escaped, numbers as the shortest text that reads back to the same value,
// column letters.
class CCellText
{
public:
    // Appends text escaped for XML character data (or, with attribute, for
    // a value in double quotes). Control characters other than tab and line
    // feed, which XML cannot carry, become "_xHHHH_", and an underscore that
    // would start such an escape becomes "_x005F_", so that a reader gets
    // the text back unchanged. Bytes that are no valid UTF-8 become U+FFFD.
    static void AppendEscaped(std::string& out, std::string_view text, bool attribute = false);
    // Whether a reader keeps the text's white space only when told to
    // (it starts or ends in a space, tab or line break).
    static bool NeedsPreserve(std::string_view text);
    // The shortest text that reads back as value; false for infinities and
    // NaN, which a cell cannot hold.
    static bool AppendNumber(std::string& out, double value);
    // The column's letters: 0 is "A", 25 "Z", 26 "AA".
    static void AppendColumnName(std::string& out, unsigned column);
    // Characters (code points) of a UTF-8 text.
    static std::size_t Characters(std::string_view text);
};
