#include "cli/Arguments.h"

const std::string* CArguments::Option(const std::string& name) const
{
    const auto found = options.find(name);
    return found == options.end() ? nullptr : &found->second;
}

std::string CArguments::OptionOr(const std::string& name, const std::string& def) const
{
    const std::string* value = Option(name);
    return value ? *value : def;
}
