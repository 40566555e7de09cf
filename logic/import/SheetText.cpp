#include "logic/import/SheetText.h"

#include "base/util/NumberText.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

constexpr std::string_view kNoBreakSpace = "\xC2\xA0";
constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

bool IsAsciiBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Length of the blank that starts at text[pos], 0 when none does.
std::size_t BlankAt(std::string_view text, std::size_t pos)
{
    if (IsAsciiBlank(text[pos]))
        return 1;
    const std::string_view rest = text.substr(pos);
    if (rest.starts_with(kNoBreakSpace))
        return kNoBreakSpace.size();
    if (rest.starts_with(kIdeographicSpace))
        return kIdeographicSpace.size();
    return 0;
}

// Length of the blank that ends at text[end - 1], 0 when none does.
std::size_t BlankBefore(std::string_view text, std::size_t end)
{
    if (IsAsciiBlank(text[end - 1]))
        return 1;
    const std::string_view head = text.substr(0, end);
    if (head.ends_with(kNoBreakSpace))
        return kNoBreakSpace.size();
    if (head.ends_with(kIdeographicSpace))
        return kIdeographicSpace.size();
    return 0;
}

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string CSheetText::CellToText(double value)
{
    if (!std::isfinite(value))
        return std::string();
    // Whole numbers below 10^15 are exact in a double: write every digit.
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    const double single = static_cast<double>(static_cast<float>(value));
    if (std::fabs(single) < 1e12) {
        // Ten times a float is exact in a double, so rounding it to a whole
        // number rounds the float to tenths as the decimal text would.
        const auto tenths = static_cast<long long>(std::nearbyint(std::fabs(single) * 10));
        std::string text = std::signbit(single) ? "-" : "";
        text += std::to_string(tenths / 10);
        if (tenths % 10 != 0) {
            text += '.';
            text += static_cast<char>('0' + tenths % 10);
        }
        return text;
    }
    return CNumberText::OneDecimal(single);
}

std::string CSheetText::CellText(const CSheetCell& cell)
{
    switch (cell.kind) {
    case CSheetCell::Kind::Text:
    case CSheetCell::Kind::Date: return cell.text;
    case CSheetCell::Kind::Number: return CellToText(cell.number);
    case CSheetCell::Kind::Empty:
    case CSheetCell::Kind::Other: break;
    }
    return std::string();
}

std::string_view CSheetText::Trim(std::string_view text)
{
    std::size_t begin = 0;
    while (begin < text.size()) {
        const std::size_t blank = BlankAt(text, begin);
        if (blank == 0)
            break;
        begin += blank;
    }
    std::size_t end = text.size();
    while (end > begin) {
        const std::size_t blank = BlankBefore(text, end);
        if (blank == 0)
            break;
        end -= blank;
    }
    return text.substr(begin, end - begin);
}

std::string CSheetText::HeaderKey(std::string_view text)
{
    const std::string_view trimmed = Trim(text);
    std::string key;
    key.reserve(trimmed.size());
    for (std::size_t i = 0; i < trimmed.size();) {
        if (trimmed[i] == ' ') {
            ++i;
        } else if (trimmed.substr(i).starts_with(kIdeographicSpace)) {
            i += kIdeographicSpace.size();
        } else {
            key += trimmed[i];
            ++i;
        }
    }
    return key;
}

bool CSheetText::EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

bool CSheetText::SerialToText(double serial, bool date1904, DateForm form, std::string& text)
{
    using namespace std::chrono;
    // The largest serial a spreadsheet shows as a date: 9999-12-31.
    constexpr double kLastSerial = 2958465.0;
    if (!std::isfinite(serial) || serial < 0.0 || serial >= kLastSerial + 1.0)
        return false;

    long long days = static_cast<long long>(std::floor(serial));
    long long seconds = std::llround((serial - static_cast<double>(days)) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++days;
    }

    char buffer[32];
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    if (!date1904 && days == 60) {
        // The 1900 system counts a 29 February 1900 that never was.
        year = 1900;
        month = 2;
        day = 29;
    } else {
        // Day 1 is 1900-01-01 (1904-01-02 in the 1904 system); past the
        // phantom leap day every serial is one day ahead.
        sys_days base = date1904 ? sys_days(1904y / January / 1) : sys_days(1899y / December / 31);
        if (!date1904 && days > 60)
            --days;
        const year_month_day date(base + std::chrono::days(days));
        year = static_cast<int>(date.year());
        month = static_cast<unsigned>(date.month());
        day = static_cast<unsigned>(date.day());
    }
    const int hour = static_cast<int>(seconds / 3600);
    const int minute = static_cast<int>(seconds / 60 % 60);
    const int second = static_cast<int>(seconds % 60);

    switch (form) {
    case DateForm::Date: std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u", year, month, day); break;
    case DateForm::Time: std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", hour, minute, second); break;
    case DateForm::DateTime:
        std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02u %02d:%02d:%02d", year, month, day, hour, minute, second);
        break;
    }
    text = buffer;
    return true;
}
