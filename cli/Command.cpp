#include "cli/Command.h"

#include <utility>

CCommand::CCommand(std::string name, std::string summary, std::vector<Operand> operands, std::vector<Option> options)
    : m_name(std::move(name)),
      m_summary(std::move(summary)),
      m_operands(std::move(operands)),
      m_options(std::move(options))
{
}

const CCommand::Option* CCommand::FindOption(const std::string& name) const
{
    for (const Option& option : m_options) {
        if (option.name == name)
            return &option;
    }
    return nullptr;
}

std::vector<std::string> CCommand::Synopsis() const
{
    std::vector<std::string> words = {m_name};
    for (const Operand& operand : m_operands)
        words.push_back(operand.placeholder);
    if (m_repeatsLast && !m_operands.empty())
        words.back() += "…";
    for (const Option& option : m_options) {
        const std::string text = option.TakesValue() ? option.name + ' ' + option.value : option.name;
        if (option.required)
            words.push_back(text);
        else if (option.withPrevious && !words.empty() && words.back().back() == ']')
            words.back().insert(words.back().size() - 1, ' ' + text);
        else
            words.push_back('[' + text + ']');
    }
    return words;
}

ExitCode CCommand::OptionUsage(const std::string& name, CConsole& console) const
{
    const Option* option = FindOption(name);
    return console.Usage(option ? option->problem : name);
}
