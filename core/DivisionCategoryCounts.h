#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

class CScheduleTask;

// How many students of each class, and of the whole school, fall into each
// category of the task's condition columns and score bands, one count per
// title of CDivisionCategories::ColumnTitles(). Counted as the division
// statistics count: the whole school takes every student of the task, also
// those without a class; a class takes the students whose class id names
// it. A task without condition columns and bands has no titles and no
// counts.
class CDivisionCategoryCounts
{
public:
    // Counts the task's students as they are now.
    explicit CDivisionCategoryCounts(const CScheduleTask& task);

    bool IsEmpty() const { return m_titles.empty(); }
    // "#住校:是", "分数段:前10%", …
    const std::vector<std::string>& ColumnTitles() const { return m_titles; }
    // The counts of the class with classId, or of the whole school when
    // classId is empty; zeros for an id that names no class.
    const std::vector<int>& Counts(const std::string& classId) const;
    // The same as texts, for a row of the statistics.
    std::vector<std::string> CountTexts(const std::string& classId) const;

private:
    std::vector<std::string> m_titles;
    std::vector<int> m_zeros;
    std::vector<int> m_school;
    std::unordered_map<std::string, std::vector<int>> m_classes;
};
