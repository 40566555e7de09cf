#include "core/DivisionBalance.h"

#include "core/DivisionStatistics.h"

#include <algorithm>

CDivisionBalance CDivisionBalance::Of(const CDivisionStatistics& statistics)
{
    CDivisionBalance balance;
    float lowAverage = 0.0f;
    float highAverage = 0.0f;
    int fewestGirls = 0;
    int mostGirls = 0;
    for (const CDivisionStatistics::Row& row : statistics.GetRows()) {
        const CClassStatistics& figures = *row.statistics;
        if (row.classId.empty() || figures.count <= 0)
            continue; // the whole school, or a class without students
        if (balance.m_classes++ == 0) {
            lowAverage = highAverage = figures.totalAverage;
            fewestGirls = mostGirls = figures.girls;
            continue;
        }
        lowAverage = std::min(lowAverage, figures.totalAverage);
        highAverage = std::max(highAverage, figures.totalAverage);
        fewestGirls = std::min(fewestGirls, figures.girls);
        mostGirls = std::max(mostGirls, figures.girls);
    }
    balance.m_averageSpread = highAverage - lowAverage;
    balance.m_girlsSpread = mostGirls - fewestGirls;
    return balance;
}

CDivisionBalance CDivisionBalance::Of(const CScheduleTask& task)
{
    CDivisionStatistics statistics(task);
    statistics.Calculate();
    return Of(statistics);
}

std::string CDivisionBalance::Describe(const CDivisionBalance& now, const CDivisionBalance* before)
{
    if (now.m_classes == 0 && (!before || before->m_classes == 0))
        return "各班均衡：还没有学生分到班级";
    std::string text = "各班均衡：总分平均分极差 ";
    if (before)
        text += CDivisionStatistics::FormatAverage(before->m_averageSpread) + " → ";
    text += CDivisionStatistics::FormatAverage(now.m_averageSpread) + " 分，女生人数极差 ";
    if (before)
        text += std::to_string(before->m_girlsSpread) + " → ";
    text += std::to_string(now.m_girlsSpread) + " 人";
    if (before)
        text += "（最近一次调整前 → 后）";
    return text;
}
