#include "base/util/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cctype>
#include <climits>

long long CNumberText::LeadingInteger(std::string_view text)
{
    constexpr long long kLimit = 1LL << 40; // well past every 32-bit value
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) {
            value = kLimit;
            break;
        }
    }
    return negative ? -value : value;
}

int CNumberText::LeadingInt(std::string_view text)
{
    return static_cast<int>(std::clamp<long long>(LeadingInteger(text), INT_MIN, INT_MAX));
}

std::string CNumberText::OneDecimal(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    std::string text(buffer, result.ptr);
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, ".0") == 0)
        text.erase(text.size() - 2);
    return text;
}
