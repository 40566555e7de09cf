#pragma once

#include "cli/Command.h"

#include <optional>
#include <string>
#include <vector>

class CScheduleTask;

// A command on a task file (its first operand, TASK.qz). The task is opened
// here, once for every such command; a command that changes the task has it
// locked first, so that one program at a time writes it.
class CTaskCommand : public CCommand
{
public:
    enum class Access
    {
        Read,
        Change,
    };

    // operands: those after the task file.
    CTaskCommand(std::string name, std::string summary, Access access, std::vector<Operand> operands = {},
                 std::vector<Option> options = {});

    ExitCode Execute(const CArguments& arguments, CConsole& console) const final;

protected:
    // What is checked before the task is touched: an exit code stops the
    // command there.
    virtual std::optional<ExitCode> Check(const CArguments& arguments, CConsole& console) const;
    // The command's work on the opened (and, to change it, locked) task.
    virtual ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const = 0;

    // Refuses a command that prints or draws when the program was built
    // without the printing parts; nullopt when it may go on.
    static std::optional<ExitCode> CheckPrinting(CConsole& console);

    // Saves the task's input data file after an editor's change. True, or
    // false after saying that what was changed was not saved.
    static bool SaveChange(CScheduleTask& task, const std::string& what, CConsole& console);

    // Refuses a change of the division rules (what: "同班学生组") while the
    // task's rules file cannot be read, since saving would put the few rules
    // this run knows in place of those in it; nullopt when it may go on.
    static std::optional<ExitCode> RefuseDamagedRules(const CScheduleTask& task, const std::string& what,
                                                      CConsole& console);

private:
    Access m_access;
};
