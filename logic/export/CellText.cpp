#include "logic/export/CellText.h"

#include <charconv>
#include <cmath>

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

bool Continuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence at text[i] (which is >= 0x80),
// or 0 when it is malformed, overlong, a surrogate or beyond U+10FFFF.
// allowed: false for the two non-characters U+FFFE and U+FFFF, which XML
// does not allow.
std::size_t SequenceAt(std::string_view text, std::size_t i, bool& allowed)
{
    allowed = true;
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const std::size_t left = text.size() - i;
    const unsigned char c = at(0);
    if (c >= 0xC2 && c <= 0xDF)
        return left >= 2 && Continuation(at(1)) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (left < 3 || !Continuation(at(1)) || !Continuation(at(2)))
            return 0;
        if ((c == 0xE0 && at(1) < 0xA0) || (c == 0xED && at(1) > 0x9F))
            return 0;
        allowed = !(c == 0xEF && at(1) == 0xBF && at(2) >= 0xBE);
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (left < 4 || !Continuation(at(1)) || !Continuation(at(2)) || !Continuation(at(3)))
            return 0;
        if ((c == 0xF0 && at(1) < 0x90) || (c == 0xF4 && at(1) > 0x8F))
            return 0;
        return 4;
    }
    return 0;
}

bool IsHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Whether "_xHHHH_" starts at text[i].
bool EscapeAt(std::string_view text, std::size_t i)
{
    return i + 7 <= text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X') && IsHex(text[i + 2])
           && IsHex(text[i + 3]) && IsHex(text[i + 4]) && IsHex(text[i + 5]) && text[i + 6] == '_';
}

bool Plain(unsigned char c, bool attribute)
{
    return c >= 0x20 && c < 0x80 && c != '&' && c != '<' && c != '>' && c != '_' && !(attribute && c == '"');
}

} // namespace

void CCellText::AppendEscaped(std::string& out, std::string_view text, bool attribute)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t run = i;
        while (run < text.size() && Plain(static_cast<unsigned char>(text[run]), attribute))
            ++run;
        out.append(text.data() + i, run - i);
        i = run;
        if (i == text.size())
            break;
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            bool allowed = true;
            const std::size_t length = SequenceAt(text, i, allowed);
            if (length == 0) {
                out += kReplacement;
                ++i;
            } else if (!allowed) {
                out += kReplacement;
                i += length;
            } else {
                out.append(text.data() + i, length);
                i += length;
            }
            continue;
        }
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '_':
            out += EscapeAt(text, i) ? "_x005F_" : "_";
            break;
        case '\t':
        case '\n':
            // An attribute value's line breaks and tabs would be read as spaces.
            if (attribute)
                out += c == '\t' ? "&#9;" : "&#10;";
            else
                out += static_cast<char>(c);
            break;
        default: // the other control characters
            out += "_x00";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
            out += '_';
            break;
        }
        ++i;
    }
}

bool CCellText::NeedsPreserve(std::string_view text)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    return !text.empty() && (space(text.front()) || space(text.back()));
}

bool CCellText::AppendNumber(std::string& out, double value)
{
    if (!std::isfinite(value))
        return false;
    char buffer[64];
    const double magnitude = std::fabs(value);
    // Plain digits for the figures a table holds; the shorter of plain and
    // exponent form for the very large and very small, whose plain form
    // would run to hundreds of digits.
    const bool plain = magnitude == 0 || (magnitude >= 1e-5 && magnitude < 1e16);
    const std::to_chars_result result = plain
                                            ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
                                            : std::to_chars(buffer, buffer + sizeof buffer, value);
    if (result.ec != std::errc())
        return false;
    out.append(buffer, result.ptr);
    return true;
}

void CCellText::AppendColumnName(std::string& out, unsigned column)
{
    char letters[8];
    std::size_t count = 0;
    for (unsigned n = column + 1; n > 0 && count < sizeof letters; n = (n - 1) / 26)
        letters[count++] = static_cast<char>('A' + (n - 1) % 26);
    while (count > 0)
        out += letters[--count];
}

std::size_t CCellText::Characters(std::string_view text)
{
    std::size_t characters = 0;
    for (const char c : text)
        characters += !Continuation(static_cast<unsigned char>(c));
    return characters;
}
