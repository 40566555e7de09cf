#include "cli/TaskCommand.h"

#include "base/task/ScheduleTask.h"
#include "base/task/TaskLock.h"
#include "base/records/TaskInfo.h"
#include "base/util/FileUtil.h"
#include "cli/CommandTexts.h"

#include <memory>
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
    : CCommand(std::move(name), std::move(summary), WithTask(std::move(operands)), std::move(options)),
      m_access(access)
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

    // One writer at a time: the task is locked before it is read. A lock
    // that cannot be made (a read-only folder) stops nothing: the save
    // fails then and says so.
    std::unique_ptr<CTaskLock> lock;
    if (m_access == Access::Change) {
        lock = std::make_unique<CTaskLock>(CFileUtil::FromPath(CFileUtil::ToPath(path).parent_path()));
        if (CFileUtil::FileExists(path) && lock->Acquire("quillon-cli " + Name()) == CTaskLock::Result::HeldByOther) {
            const CTaskLock::Holder& holder = lock->GetHolder();
            std::ostream& err = console.Err();
            err << "错误：该任务正被另一程序修改";
            if (!holder.program.empty())
                err << "（" << holder.program << "，用户 " << holder.user << "，计算机 " << holder.host << "，自 "
                    << holder.time << " 起）";
            err << "，请等它结束后再试：" << path << std::endl;
            return ExitCode::Locked;
        }
    }
    CScheduleTask task;
    if (!Open(task, path, console))
        return ExitCode::Task; // a damaged data file is never overwritten
    return Run(task, arguments, console);
}

bool CTaskCommand::Open(CScheduleTask& task, const std::string& path, CConsole& console)
{
    std::ostream& err = console.Err();
    task.SetMessageHandler([&err](const std::string& text) { err << text << std::endl; });
    if (!CFileUtil::FileExists(path) || !task.Open(path)) {
        err << "错误：找不到任务文件 " << path << std::endl;
        return false;
    }
    const std::string input = task.GetTaskInfo().GetInputFilePath();
    const bool unreadable =
        task.GetInputState() == CScheduleTask::InputState::Missing && CFileUtil::FileExists(input);
    if (task.IsInputDamaged() || unreadable) {
        err << "错误：任务数据文件已损坏，无法完整读取：" << input << std::endl;
        return false;
    }
    return true;
}

bool CTaskCommand::SaveChange(CScheduleTask& task, const std::string& what, CConsole& console)
{
    if (task.SaveInputData())
        return true;
    console.Error(ExitCode::NotSaved, CommandTexts::ChangeNotSaved(what));
    return false;
}
