#include "cli/StatsCommand.h"

#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"
#include "core/DivisionCategories.h"
#include "core/DivisionStatistics.h"

CStatsCommand::CStatsCommand() : CTaskCommand("stats", "输出各班与全校的分班统计（制表符分隔）", Access::Read) {}

ExitCode CStatsCommand::Run(CScheduleTask& task, const CArguments&, CConsole& console) const
{
    CDivisionStatistics statistics(task);
    statistics.Calculate();
    // With condition columns or score bands, a column per category follows.
    const CDivisionCategories categories(task);
    std::vector<std::string> titles = CDivisionStatistics::ColumnTitles(task.GetCustomSubjectArray());
    const std::vector<std::string> categoryTitles = categories.ColumnTitles();
    titles.insert(titles.end(), categoryTitles.begin(), categoryTitles.end());
    // The class id column stays internal.
    console.PrintLine(titles, 1);
    for (const auto& row : statistics.GetRows()) {
        std::vector<std::string> texts = CDivisionStatistics::RowTexts(row);
        if (!categories.IsEmpty()) {
            std::vector<std::string> ids;
            for (const CStudentInfo* student : task.GetStudentInfoList().Records<CStudentInfo>()) {
                if (row.classId.empty() || student->ClassIdRef() == row.classId)
                    ids.push_back(student->GetId());
            }
            for (const int count : categories.Count(ids))
                texts.push_back(std::to_string(count));
        }
        console.PrintLine(texts, 1);
    }
    console.Out().flush();
    return ExitCode::Done;
}
