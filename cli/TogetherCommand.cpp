#include "cli/TogetherCommand.h"

#include "base/task/ScheduleTask.h"

CTogetherCommand::CTogetherCommand() : CTaskCommand("together", "输出同班学生组（序号与学生姓名）", Access::Read) {}

ExitCode CTogetherCommand::Run(CScheduleTask& task, const CArguments&, CConsole& console) const
{
    task.DropStaleRules();
    console.PrintLine({"序号", "同班学生列表"}, 0);
    int number = 0;
    for (const CDivisionRules::TogetherGroup& group : task.GetDivisionRules().TogetherGroups())
        console.PrintLine({std::to_string(++number), task.GetStudentNameList(group.studentIds)}, 0);
    console.Out().flush();
    return ExitCode::Done;
}
