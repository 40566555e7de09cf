#include "core/BalanceReport.h"

#include "base/records/ReportInfo.h"
#include "core/BalanceModel.h"
#include "core/BalanceOptimizer.h"

#include <charconv>

const char* const CBalanceReport::kTitle = "【均衡优化】";

namespace {

// A number with a fixed count of decimals, whatever the locale says.
std::string Fixed(double value, int decimals)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

} // namespace

std::string CBalanceReport::Points(double value)
{
    return Fixed(value, 2);
}

std::vector<CBalanceReport::Row> CBalanceReport::Table(const CBalanceModel& model, const CBalanceResult& result)
{
    const CBalanceSpreads& before = result.before;
    const CBalanceSpreads& after = result.after;
    std::vector<Row> rows = {{"项目", "优化前", "优化后"}, {"总分平均分", Points(before.total), Points(after.total)}};
    const auto& subjects = model.GetSubjectNames();
    for (std::size_t k = 0; k < subjects.size() && k < before.subjects.size() && k < after.subjects.size(); ++k)
        rows.push_back({subjects[k] + "平均分", Points(before.subjects[k]), Points(after.subjects[k])});
    rows.push_back({"女生人数", std::to_string(before.girls), std::to_string(after.girls)});
    rows.push_back({"男生人数", std::to_string(before.boys), std::to_string(after.boys)});
    if (before.largestSchool >= 0) {
        rows.push_back({"最大生源学校（" + model.GetSchoolName(before.largestSchool) + "）人数",
                        std::to_string(before.GetLargestSchoolSpread()),
                        std::to_string(after.GetLargestSchoolSpread())});
        rows.push_back({"各生源学校人数（最大者）", std::to_string(before.GetWorstSchoolSpread()),
                        std::to_string(after.GetWorstSchoolSpread())});
    }
    for (std::size_t i = 0; i < before.categories.size() && i < after.categories.size(); ++i) {
        rows.push_back({model.GetTallyName(model.GetSchoolCount() + static_cast<int>(i)) + " 人数",
                        std::to_string(before.categories[i]), std::to_string(after.categories[i])});
    }
    return rows;
}

std::string CBalanceReport::Section(const CBalanceModel& model, const CBalanceResult& result, const std::string& time)
{
    std::string text = std::string(kTitle) + "\n" + time + "\n";
    if (result.cancelled)
        text += "均衡优化已取消，保留了取消前找到的最均衡的分班。\n";
    if (result.movedStudents > 0)
        text += "调整了 " + std::to_string(result.movedStudents) + " 名学生的班级，用时 " + Fixed(result.seconds, 1)
                + " 秒。\n";
    else
        text += "没有找到更均衡的分班，各班学生未作调整。\n";
    text += "各班之间的差距（各班中最大值减最小值）：\n";
    for (const Row& row : Table(model, result))
        text += row.label + "\t" + row.before + "\t" + row.after + "\n";
    return text;
}

std::string CBalanceReport::AddSection(const std::string& report, const std::string& section)
{
    // An earlier balancing's section is the last section of the report.
    return CReportInfo::WithSection(report, kTitle, section);
}
