#pragma once

#include <charconv>
#include <map>
#include <string>
#include <system_error>
#include <vector>

// What a command was given: its operands in order and its options.
class CArguments
{
public:
    std::vector<std::string> operands;
    std::map<std::string, std::string> options;

    // The first operand: the task file of a command that takes one.
    const std::string& Task() const { return operands.front(); }
    // The value of an option (empty for a flag), or null when not given.
    const std::string* Option(const std::string& name) const;
    std::string OptionOr(const std::string& name, const std::string& def) const;
    bool Has(const std::string& name) const { return Option(name) != nullptr; }

    // The number given with option name into value; value stays as it is when
    // the option is not given. False when the option's value is no number.
    template <class T>
    bool Number(const std::string& name, T& value) const
    {
        const std::string* text = Option(name);
        return !text || ParseNumber(*text, value);
    }

    // The whole of text as a number, without sign for unsigned types.
    template <class T>
    static bool ParseNumber(const std::string& text, T& value)
    {
        const char* first = text.data();
        const char* last = first + text.size();
        const auto result = std::from_chars(first, last, value);
        return !text.empty() && result.ec == std::errc() && result.ptr == last;
    }
};
