#include "cli/StatsCommand.h"

#include "base/task/ScheduleTask.h"
#include "core/DivisionCategoryCounts.h"
#include "core/DivisionStatistics.h"

CStatsCommand::CStatsCommand() : CTaskCommand("stats", "输出各班与全校的分班统计（制表符分隔）", Access::Read) {}

ExitCode CStatsCommand::Run(CScheduleTask& task, const CArguments&, CConsole& console) const
{
    CDivisionStatistics statistics(task);
    statistics.Calculate();
    // With condition columns or score bands, a column per category follows.
    const CDivisionCategoryCounts categories(task);
    std::vector<std::string> titles = CDivisionStatistics::ColumnTitles(task.GetCustomSubjectArray());
    titles.insert(titles.end(), categories.ColumnTitles().begin(), categories.ColumnTitles().end());
    // The class id column stays internal.
    console.PrintLine(titles, 1);
    for (const auto& row : statistics.GetRows()) {
        std::vector<std::string> texts = CDivisionStatistics::RowTexts(row);
        const std::vector<std::string> counts = categories.CountTexts(row.classId);
        texts.insert(texts.end(), counts.begin(), counts.end());
        console.PrintLine(texts, 1);
    }
    console.Out().flush();
    return ExitCode::Done;
}
