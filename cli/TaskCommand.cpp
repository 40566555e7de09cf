#include "cli/TaskCommand.h"

#include "base/task/ScheduleTask.h"
#include "cli/CommandTexts.h"
#include "logic/session/TaskSession.h"

#include <utility>

namespace {

std::vector<CCommand::Operand> WithTask(std::vector<CCommand::Operand> operands)
{
    operands.insert(operands.begin(), {"TASK.qz", CommandTexts::MissingTask});
    return operands;
}

} // namespace

CTaskCommand::CTaskCommand(std::string name, std::string summary, Access access, std::vector<Operand> operands,
                           std::vector<Option> options)
    : CCommand(std::move(name), std::move(summary), WithTask(std::move(operands)), std::move(options)), m_access(access)
{
}

std::optional<ExitCode> CTaskCommand::Check(const CArguments&, CConsole&) const
{
    return std::nullopt;
}

ExitCode CTaskCommand::Execute(const CArguments& arguments, CConsole& console) const
{
    if (const std::optional<ExitCode> refused = Check(arguments, console))
        return *refused;
    const std::string& path = arguments.Task();
    std::ostream& err = console.Err();

    // One writer at a time: the task is locked before it is read. A lock
    // that cannot be made (a read-only folder) stops nothing: the save
    // fails then and says so.
    CTaskSession session("quillon-cli " + Name(), CTaskSession::WhenHeld::Refuse);
    if (m_access == Access::Change) {
        const CTaskSession::Result locked = session.Lock(path);
        if (locked.outcome == CTaskSession::Outcome::HeldByOther) {
            err << "错误：" << locked.message << std::endl;
            return ExitCode::Locked;
        }
    }
    CScheduleTask& task = session.Task();
    task.SetMessageHandler([&err](const std::string& text) { err << text << std::endl; });
    const CTaskSession::Result opened = session.Open(path);
    if (opened.outcome == CTaskSession::Outcome::NotFound || opened.outcome == CTaskSession::Outcome::InputDamaged) {
        err << "错误：" << opened.message << std::endl;
        return ExitCode::Task; // a damaged data file is never overwritten
    }
    return Run(task, arguments, console);
}

std::optional<ExitCode> CTaskCommand::CheckPrinting(CConsole& console)
{
#ifdef QUILLON_CLI_PRINT
    (void)console;
    return std::nullopt;
#else
    return console.Usage(CommandTexts::NoPrinting);
#endif
}

bool CTaskCommand::SaveChange(CScheduleTask& task, const std::string& what, CConsole& console)
{
    if (task.SaveInputData())
        return true;
    console.Error(ExitCode::NotSaved, CommandTexts::ChangeNotSaved(what));
    return false;
}

std::optional<ExitCode> CTaskCommand::RefuseDamagedRules(const CScheduleTask& task, const std::string& what,
                                                         CConsole& console)
{
    if (!task.IsRulesFileDamaged())
        return std::nullopt;
    return console.Error(ExitCode::NotSaved, CTaskSession::RulesDamagedText(task, what));
}
