#include "cli/AddTogetherCommand.h"

#include "base/task/ScheduleTask.h"
#include "logic/editing/MutexNameParser.h"
#include "logic/editing/ObjectId.h"

CAddTogetherCommand::CAddTogetherCommand()
    : CTaskCommand("add-together", "添加同班学生组（学生姓名以逗号分隔），组内学生分在同一班级", Access::Change,
                   {{"\"姓名，姓名…\"", "缺少同班学生组的学生姓名。"}})
{
}

ExitCode CAddTogetherCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    const CMutexNameParser::Group read =
        CMutexNameParser::ReadGroup(task, arguments.operands[1], CMutexNameParser::kTogether);
    using Outcome = CMutexNameParser::Group::Outcome;
    switch (read.outcome) {
    case Outcome::NoName: return console.Usage(read.message);
    case Outcome::NoStudent: return console.Error(ExitCode::NoStudent, read.message);
    case Outcome::OneStudent: return console.Error(ExitCode::TooFewMembers, read.message);
    case Outcome::Made: break;
    }
    if (const std::optional<ExitCode> refused = RefuseDamagedRules(task, "同班学生组", console))
        return *refused;
    if (!read.message.empty())
        console.Err() << "注意：" << read.message << std::endl;

    task.DropStaleRules();
    std::vector<CDivisionRules::TogetherGroup>& groups = task.GetDivisionRules().TogetherGroups();
    groups.push_back({CObjectId::New(), read.ids});
    if (!SaveChange(task, "同班学生组", console))
        return ExitCode::NotSaved;
    console.Out() << "已添加同班学生组 " << groups.size() << "：" << task.GetStudentNameList(read.ids) << std::endl;
    return ExitCode::Done;
}
