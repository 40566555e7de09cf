#include "cli/RemoveTogetherCommand.h"

#include "base/task/ScheduleTask.h"

CRemoveTogetherCommand::CRemoveTogetherCommand()
    : CTaskCommand("remove-together", "删除同班学生组（序号见 together 的输出）", Access::Change,
                   {{"序号", "缺少要删除的同班学生组的序号。"}})
{
}

ExitCode CRemoveTogetherCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    if (const std::optional<ExitCode> refused = RefuseDamagedRules(task, "同班学生组", console))
        return *refused;
    task.DropStaleRules();
    std::vector<CDivisionRules::TogetherGroup>& groups = task.GetDivisionRules().TogetherGroups();
    std::size_t number = 0;
    if (!CArguments::ParseNumber(arguments.operands[1], number) || number < 1 || number > groups.size())
        return console.Usage("没有序号为 " + arguments.operands[1] + " 的同班学生组：共有 "
                             + std::to_string(groups.size()) + " 组。");
    const std::string names = task.GetStudentNameList(groups[number - 1].studentIds);
    groups.erase(groups.begin() + static_cast<std::ptrdiff_t>(number - 1));
    if (!SaveChange(task, "同班学生组", console))
        return ExitCode::NotSaved;
    console.Out() << "已删除同班学生组 " << number << "：" << names << std::endl;
    return ExitCode::Done;
}
