#include "logic/editing/CountText.h"

#include "logic/import/SheetText.h"

CCountText::Result CCountText::Parse(std::string_view text, int& value)
{
    text = CSheetText::Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return Result::NotNumber;
    long long magnitude = 0;
    bool tooLarge = false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return Result::NotNumber;
        if (!tooLarge) {
            magnitude = magnitude * 10 + (c - '0');
            tooLarge = magnitude > kMax;
        }
    }
    // A count is never negative, so a very negative number is told apart
    // only by its sign.
    if (tooLarge && !negative)
        return Result::TooLarge;
    if (tooLarge)
        magnitude = kMax;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return Result::Number;
}
