#include "cli/StatsCommand.h"

#include "base/task/ScheduleTask.h"
#include "core/DivisionStatistics.h"

CStatsCommand::CStatsCommand() : CTaskCommand("stats", "输出各班与全校的分班统计（制表符分隔）", Access::Read) {}

ExitCode CStatsCommand::Run(CScheduleTask& task, const CArguments&, CConsole& console) const
{
    CDivisionStatistics statistics(task);
    statistics.Calculate();
    // The class id column stays internal.
    console.PrintLine(CDivisionStatistics::ColumnTitles(task.GetCustomSubjectArray()), 1);
    for (const auto& row : statistics.GetRows())
        console.PrintLine(CDivisionStatistics::RowTexts(row), 1);
    console.Out().flush();
    return ExitCode::Done;
}
