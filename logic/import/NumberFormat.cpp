#include "logic/import/NumberFormat.h"

std::optional<CSheetText::DateForm> CNumberFormat::Classify(std::string_view code)
{
    bool date = false;
    bool time = false;
    bool month = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == ';')
            break; // only the first section decides
        if (c == '"') {
            const std::size_t close = code.find('"', i + 1);
            if (close == std::string_view::npos)
                break;
            i = close;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            const std::size_t close = code.find(']', i + 1);
            if (close == std::string_view::npos)
                break;
            const std::string_view inside = code.substr(i + 1, close - i - 1);
            // [h], [mm], [ss]: elapsed time.
            if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos)
                time = true;
            i = close;
        } else {
            const std::string_view rest = code.substr(i);
            if (rest.size() >= 5 && CSheetText::EqualsNoCase(rest.substr(0, 5), "am/pm")) {
                time = true;
                i += 4;
                continue;
            }
            switch (c) {
            case 'y':
            case 'Y':
            case 'd':
            case 'D': date = true; break;
            case 'h':
            case 'H':
            case 's':
            case 'S': time = true; break;
            case 'm':
            case 'M': month = true; break;
            default: break;
            }
        }
    }
    if (month && !time)
        date = true;
    if (date && time)
        return CSheetText::DateForm::DateTime;
    if (date)
        return CSheetText::DateForm::Date;
    if (time)
        return CSheetText::DateForm::Time;
    return std::nullopt;
}

std::optional<CSheetText::DateForm> CNumberFormat::BuiltIn(int id)
{
    using Form = CSheetText::DateForm;
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || id == 36 || (id >= 50 && id <= 54) || id == 57 || id == 58)
        return Form::Date;
    if ((id >= 18 && id <= 21) || (id >= 32 && id <= 35) || (id >= 45 && id <= 47) || id == 55 || id == 56)
        return Form::Time;
    if (id == 22)
        return Form::DateTime;
    return std::nullopt;
}
