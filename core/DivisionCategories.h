#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

class CScheduleTask;

// The categories a division keeps even beside sexes and schools: the values
// of each condition column ("#住校": 是, 否) and the score bands by rank of
// the total ("前10%", "10%-30%", …), each student in at most one category of
// each kind.
class CDivisionCategories
{
public:
    struct Kind
    {
        std::string title;                   // "#住校", or "分数段"
        std::vector<std::string> categories; // in their order of display
    };

    explicit CDivisionCategories(const CScheduleTask& task);

    const std::vector<Kind>& Kinds() const { return m_kinds; }
    bool IsEmpty() const { return m_kinds.empty(); }
    // The category of the student in kind k, -1 when it has none.
    int CategoryOf(const std::string& studentId, std::size_t kind) const;

    // One title per category of every kind: "#住校:是", "分数段:前10%".
    std::vector<std::string> ColumnTitles() const;
    // How many of the students are in each category, in the order of the
    // titles.
    std::vector<int> Count(const std::vector<std::string>& studentIds) const;

    // The band of every rank 0 … count - 1 (best total first) under the
    // limits in percent: rank r is in the first band whose limit exceeds r
    // in hundredths of count, rounded to the nearest student.
    static std::vector<int> BandOfRanks(std::size_t count, const std::vector<int>& limits);
    static std::vector<std::string> BandNames(const std::vector<int>& limits);

private:
    std::vector<Kind> m_kinds;
    // Per student id, its category of each kind.
    std::unordered_map<std::string, std::vector<int>> m_categoryOf;
};
