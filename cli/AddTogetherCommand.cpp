#include "cli/AddTogetherCommand.h"

#include "base/task/ScheduleTask.h"
#include "logic/editing/MutexNameParser.h"
#include "logic/editing/ObjectId.h"

#include <algorithm>

CAddTogetherCommand::CAddTogetherCommand()
    : CTaskCommand("add-together", "添加同班学生组（学生姓名以逗号分隔），组内学生分在同一班级", Access::Change,
                   {{"\"姓名，姓名…\"", "缺少同班学生组的学生姓名。"}})
{
}

ExitCode CAddTogetherCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    CMutexNameParser::Group read = CMutexNameParser::ReadGroup(task, arguments.operands[1]);
    using Outcome = CMutexNameParser::Group::Outcome;
    if (read.outcome == Outcome::NoName)
        return console.Usage(read.message);
    if (read.outcome == Outcome::NoStudent)
        return console.Error(ExitCode::NoStudent, read.message);
    // A name typed twice is one member.
    std::vector<std::string> ids;
    for (const std::string& id : read.ids) {
        if (std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
    }
    if (ids.size() < 2)
        return console.Error(ExitCode::TooFewMembers,
                             "同班学生组至少应包含两名同学信息！\n当前输入信息中只包含一个有效的学生信息："
                                 + task.GetStudentName(ids.front()));
    if (!read.message.empty())
        console.Err() << "注意：" << read.message << std::endl;

    task.DropStaleRules();
    std::vector<CDivisionRules::TogetherGroup>& groups = task.GetDivisionRules().TogetherGroups();
    groups.push_back({CObjectId::New(), ids});
    if (!SaveChange(task, "同班学生组", console))
        return ExitCode::NotSaved;
    console.Out() << "已添加同班学生组 " << groups.size() << "：" << task.GetStudentNameList(ids) << std::endl;
    return ExitCode::Done;
}
