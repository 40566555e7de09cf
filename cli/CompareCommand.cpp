#include "cli/CompareCommand.h"

#include "base/task/ScheduleTask.h"
#include "cli/RecordFinder.h"
#include "core/DivisionStatistics.h"

#include <string>
#include <vector>

namespace {

// A difference as the figures are shown; a difference that rounds to
// nothing has no sign.
std::string Difference(float first, float second)
{
    const std::string text = CDivisionStatistics::FormatAverage(first - second);
    return text == "-0.0" ? "0.0" : text;
}

} // namespace

CCompareCommand::CCompareCommand()
    : CTaskCommand(
        "compare", "并列输出两个班级（名称或ID）的统计与两班之差（制表符分隔）", Access::Read,
        {{"班级1", "缺少要对照的第一个班级（名称或ID）。"}, {"班级2", "缺少要对照的第二个班级（名称或ID）。"}})
{
}

ExitCode CCompareCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    CRecordFinder finder(task, console);
    std::string firstId;
    std::string secondId;
    if (const ExitCode found = finder.Class(arguments.operands[1], firstId); found != ExitCode::Done)
        return found;
    if (const ExitCode found = finder.Class(arguments.operands[2], secondId); found != ExitCode::Done)
        return found;
    if (firstId == secondId)
        return console.Usage("两个班级相同，请指定两个不同的班级。");

    CDivisionStatistics statistics(task);
    statistics.Calculate();
    const CClassStatistics& first = *statistics.GetClassStatistics(firstId);
    const CClassStatistics& second = *statistics.GetClassStatistics(secondId);

    console.PrintLine({"项目", task.GetClassName(firstId), task.GetClassName(secondId), "差"}, 0);
    const auto count = [&console](const std::string& title, int a, int b) {
        console.PrintLine({title, std::to_string(a), std::to_string(b), std::to_string(a - b)}, 0);
    };
    const auto average = [&console](const std::string& title, float a, float b) {
        console.PrintLine(
            {title, CDivisionStatistics::FormatAverage(a), CDivisionStatistics::FormatAverage(b), Difference(a, b)}, 0);
    };
    count("人数", first.count, second.count);
    count("女生", first.girls, second.girls);
    count("男生", first.boys, second.boys);
    const std::vector<std::string>& subjects = task.GetCustomSubjectArray();
    for (std::size_t k = 0; k < subjects.size(); ++k)
        average(subjects[k] + "平均分", first.scoreAverages[k], second.scoreAverages[k]);
    average("总分平均分", first.totalAverage, second.totalAverage);
    console.Out().flush();
    return ExitCode::Done;
}
