#pragma once

#include "core/ClassStatistics.h"

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CDivisionChange;
class CScheduleTask;

// Per-class and whole-school statistics of a task's division: headcount,
// girls, boys, the average of every subject and of the total score.
//
// The whole-school record counts every student of the task, also those
// without a class; a class record counts only the students whose class id
// names that class. Scores are taken up to the number of subjects.
class CDivisionStatistics
{
public:
    // One line of the statistics table.
    struct Row
    {
        std::string classId;   // empty on the whole-school line
        std::string className; // "全校" on the whole-school line
        const CClassStatistics* statistics = nullptr;
    };

    explicit CDivisionStatistics(const CScheduleTask& task);
    CDivisionStatistics(const CDivisionStatistics&) = delete;
    CDivisionStatistics& operator=(const CDivisionStatistics&) = delete;
    ~CDivisionStatistics();

    // Computes every figure afresh from the task's students.
    void Calculate();
    // The figures as they would be after the change, the task left as it
    // is: each student the change names counts in the class it goes to.
    void CalculateAfter(const CDivisionChange& change);

    std::size_t GetSubjectCount() const { return m_subjectCount; }
    // Null when classId names no class of the task.
    const CClassStatistics* GetClassStatistics(const std::string& classId) const;
    const CClassStatistics& GetSchoolStatistics() const { return *m_school; }

    // The classes in ascending record index order, then the whole school
    // when there is at least one class.
    std::vector<Row> GetRows() const;

    // "ID", "班级", "人数", "女生", "男生", "<subject>平均分" ..., "总分平均分".
    static std::vector<std::string> ColumnTitles(const std::vector<std::string>& subjectNames);
    // The cell texts of a row, one per column title.
    static std::vector<std::string> RowTexts(const Row& row);
    // An average as shown: one decimal, always ("85.0").
    static std::string FormatAverage(float value);

private:
    // Calculate, the students of assumed (when given) in their new classes.
    void Compute(const CDivisionChange* assumed);

    const CScheduleTask& m_task;
    std::size_t m_subjectCount = 0;
    std::unordered_map<std::string, std::unique_ptr<CClassStatistics>> m_classes;
    std::unique_ptr<CClassStatistics> m_school;
};
