#pragma once

#include <string>

class CDivisionStatistics;
class CScheduleTask;

// How even the classes of a division are, from the division statistics:
// the spread (largest minus smallest) of the classes' average totals and of
// their numbers of girls. Classes that hold nobody are left out; an empty
// class has no average to compare.
class CDivisionBalance
{
public:
    // From statistics already calculated.
    static CDivisionBalance Of(const CDivisionStatistics& statistics);
    // Calculates the statistics of the task afresh.
    static CDivisionBalance Of(const CScheduleTask& task);

    int GetClassCount() const { return m_classes; } // classes holding students
    float GetAverageSpread() const { return m_averageSpread; }
    int GetGirlsSpread() const { return m_girlsSpread; }

    // "各班均衡：总分平均分极差 12.5 分，女生人数极差 3 人", and with a
    // state before the last change "… 12.5 → 11.0 分 … 3 → 2 人（最近一次调整前 → 后）".
    static std::string Describe(const CDivisionBalance& now, const CDivisionBalance* before = nullptr);

private:
    int m_classes = 0;
    float m_averageSpread = 0.0f;
    int m_girlsSpread = 0;
};
