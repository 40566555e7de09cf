#include "core/DivisionCategories.h"

#include "base/records/StudentInfo.h"
#include "base/task/ScheduleTask.h"

#include <algorithm>
#include <cmath>

std::vector<int> CDivisionCategories::BandOfRanks(std::size_t count, const std::vector<int>& limits)
{
    std::vector<int> bands(count, static_cast<int>(limits.size()));
    std::size_t start = 0;
    for (std::size_t band = 0; band < limits.size(); ++band) {
        const auto end = static_cast<std::size_t>(std::llround(static_cast<double>(count) * limits[band] / 100.0));
        for (std::size_t rank = start; rank < std::min(end, count); ++rank)
            bands[rank] = static_cast<int>(band);
        start = std::max(start, end);
    }
    return bands;
}

std::vector<std::string> CDivisionCategories::BandNames(const std::vector<int>& limits)
{
    std::vector<std::string> names;
    for (std::size_t band = 0; band <= limits.size(); ++band) {
        if (band == 0)
            names.push_back("前" + std::to_string(limits[0]) + "%");
        else if (band == limits.size())
            names.push_back("后" + std::to_string(100 - limits.back()) + "%");
        else
            names.push_back(std::to_string(limits[band - 1]) + "%-" + std::to_string(limits[band]) + "%");
    }
    return names;
}

CDivisionCategories::CDivisionCategories(const CScheduleTask& task)
{
    const CDivisionRules& rules = task.GetDivisionRules();
    const std::vector<std::string>& conditions = rules.GetConditionNames();
    const std::vector<int>& limits = rules.GetScoreBands();
    const std::size_t kinds = conditions.size() + (limits.empty() ? 0 : 1);
    if (kinds == 0)
        return;

    const std::vector<CStudentInfo*> students = task.GetStudentInfoList().Records<CStudentInfo>();
    for (const CStudentInfo* student : students)
        m_categoryOf.emplace(student->GetId(), std::vector<int>(kinds, -1));

    for (std::size_t column = 0; column < conditions.size(); ++column) {
        Kind kind{conditions[column], rules.ConditionCategories(column)};
        for (const CStudentInfo* student : students) {
            const std::string value = rules.GetConditions(student->GetId())[column];
            const auto found = std::lower_bound(kind.categories.begin(), kind.categories.end(), value);
            if (!value.empty() && found != kind.categories.end() && *found == value)
                m_categoryOf[student->GetId()][column] = static_cast<int>(found - kind.categories.begin());
        }
        m_kinds.push_back(std::move(kind));
    }

    if (!limits.empty()) {
        // Best total first; equal totals keep the list's order, so that the
        // same task always gives the same bands.
        std::vector<std::pair<double, std::size_t>> order;
        order.reserve(students.size());
        for (std::size_t i = 0; i < students.size(); ++i) {
            double total = 0.0;
            for (const std::string& score : students[i]->GetScoreArray())
                total += CStudentInfo::ScoreValue(score);
            order.emplace_back(std::isfinite(total) ? total : -HUGE_VAL, i);
        }
        std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        const std::vector<int> bands = BandOfRanks(order.size(), limits);
        for (std::size_t rank = 0; rank < order.size(); ++rank)
            m_categoryOf[students[order[rank].second]->GetId()][conditions.size()] = bands[rank];
        m_kinds.push_back({"分数段", BandNames(limits)});
    }
}

int CDivisionCategories::CategoryOf(const std::string& studentId, std::size_t kind) const
{
    const auto found = m_categoryOf.find(studentId);
    return found == m_categoryOf.end() || kind >= found->second.size() ? -1 : found->second[kind];
}

std::vector<std::string> CDivisionCategories::ColumnTitles() const
{
    std::vector<std::string> titles;
    for (const Kind& kind : m_kinds) {
        for (const std::string& category : kind.categories)
            titles.push_back(kind.title + ":" + category);
    }
    return titles;
}

std::vector<int> CDivisionCategories::Count(const std::vector<std::string>& studentIds) const
{
    std::vector<std::size_t> first;
    std::size_t columns = 0;
    for (const Kind& kind : m_kinds) {
        first.push_back(columns);
        columns += kind.categories.size();
    }
    std::vector<int> counts(columns, 0);
    for (const std::string& id : studentIds) {
        for (std::size_t kind = 0; kind < m_kinds.size(); ++kind) {
            const int category = CategoryOf(id, kind);
            if (category >= 0)
                ++counts[first[kind] + static_cast<std::size_t>(category)];
        }
    }
    return counts;
}
