#include "cli/ClassesCommand.h"

#include "base/records/ClassInfo.h"
#include "base/task/ScheduleTask.h"
#include "logic/editing/RecordOrder.h"

CClassesCommand::CClassesCommand()
    : CTaskCommand("classes", "输出各班的名称、人数、简称与班主任（制表符分隔）", Access::Read)
{
}

ExitCode CClassesCommand::Run(CScheduleTask& task, const CArguments&, CConsole& console) const
{
    console.PrintLine({"班级名称", "人数", "简称", "班主任"}, 0);
    for (const CClassInfo* info : CRecordOrder::InIndexOrder<CClassInfo>(task.GetClassInfoList()))
        console.PrintLine({info->GetName(), std::to_string(info->GetStudentCount()), info->GetShortName(),
                           info->GetHeadTeacherName()},
                          0);
    console.Out().flush();
    return ExitCode::Done;
}
