#include "cli/ReportCommand.h"

#include "base/task/ScheduleTask.h"

CReportCommand::CReportCommand() : CTaskCommand("report", "输出上次分班的报告", Access::Read) {}

ExitCode CReportCommand::Run(CScheduleTask& task, const CArguments&, CConsole& console) const
{
    const std::string text = task.GetLastReportInfo().GetReportInfo();
    if (text.empty()) {
        console.Err() << "该任务还没有分班报告。" << std::endl;
        return ExitCode::Done;
    }
    console.PrintText(text);
    return ExitCode::Done;
}
