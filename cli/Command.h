#pragma once

#include "cli/Arguments.h"
#include "cli/Console.h"
#include "cli/ExitCode.h"

#include <string>
#include <vector>

// One command of quillon-cli: its name, what it does in a line of the help,
// the operands and options it takes and what runs it. The help and the
// argument parser both read them from here.
class CCommand
{
public:
    struct Operand
    {
        std::string placeholder; // as the help names it
        std::string problem;     // the usage message when it is missing
    };

    struct Option
    {
        std::string name;
        std::string value;   // the value's name in the help; empty for a flag
        std::string problem; // the usage message when the value is missing or wrong
        // Shown without brackets: the command asks for it (and says so itself).
        bool required = false;
        // Shown inside the brackets of the option before it.
        bool withPrevious = false;

        bool TakesValue() const { return !value.empty(); }
    };

    CCommand(std::string name, std::string summary, std::vector<Operand> operands, std::vector<Option> options);
    virtual ~CCommand() = default;
    CCommand(const CCommand&) = delete;
    CCommand& operator=(const CCommand&) = delete;

    const std::string& Name() const { return m_name; }
    // What the command does, in the help's words; a line break where the
    // help breaks it.
    const std::string& Summary() const { return m_summary; }
    const std::vector<Operand>& Operands() const { return m_operands; }
    const Option* FindOption(const std::string& name) const;
    // Whether the last operand may be given more than once ("CLASS…").
    bool RepeatsLastOperand() const { return m_repeatsLast; }
    // The words of the command's synopsis after the program's name: the
    // command, its operands and its options, each option in brackets unless
    // required.
    std::vector<std::string> Synopsis() const;

    virtual ExitCode Execute(const CArguments& arguments, CConsole& console) const = 0;

protected:
    // Lets the last operand be given any number of times, once at least.
    void RepeatLastOperand() { m_repeatsLast = true; }
    // The usage message of option name, whose value is wrong.
    ExitCode OptionUsage(const std::string& name, CConsole& console) const;

private:
    std::string m_name;
    std::string m_summary;
    std::vector<Operand> m_operands;
    std::vector<Option> m_options;
    bool m_repeatsLast = false;
};
