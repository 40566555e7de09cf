#include "core/BalanceSpreads.h"

#include "core/BalanceModel.h"
#include "core/ClassStatistics.h"

#include <algorithm>
#include <limits>

namespace {

// Largest minus smallest of the values; 0 for none.
template <class T>
class CRange
{
public:
    void Add(T value)
    {
        m_low = std::min(m_low, value);
        m_high = std::max(m_high, value);
    }
    T Spread() const { return m_high < m_low ? T() : m_high - m_low; }

private:
    T m_low = std::numeric_limits<T>::max();
    T m_high = std::numeric_limits<T>::lowest();
};

} // namespace

CBalanceSpreads CBalanceSpreads::Measure(const CBalanceModel& model, const std::vector<int>& assignment)
{
    const std::size_t subjects = static_cast<std::size_t>(model.GetSubjectCount());
    const std::size_t schools = static_cast<std::size_t>(model.GetSchoolCount());
    const std::size_t tallies = static_cast<std::size_t>(model.GetTallyCount());
    const int kinds = model.GetTallyKinds();
    const std::size_t classes = static_cast<std::size_t>(model.GetClassCount());
    std::vector<CClassStatistics> records(classes, CClassStatistics(subjects));
    std::vector<int> tallyCounts(classes * tallies, 0);
    for (int s = 0; s < model.GetStudentCount(); ++s) {
        const std::size_t c = static_cast<std::size_t>(assignment[static_cast<std::size_t>(s)]);
        records[c].AddStudent(model.IsGirl(s) ? 0 : 1);
        const float* scores = model.GetScores(s);
        for (std::size_t k = 0; k < subjects; ++k)
            records[c].AddScore(k, scores[k]);
        for (int k = 0; k < kinds; ++k) {
            const int tally = model.GetTally(s, k);
            if (tally >= 0)
                ++tallyCounts[c * tallies + static_cast<std::size_t>(tally)];
        }
    }

    CRange<double> total;
    std::vector<CRange<double>> subjectRanges(subjects);
    CRange<int> girls;
    CRange<int> boys;
    std::vector<CRange<int>> tallyRanges(tallies);
    for (std::size_t c = 0; c < classes; ++c) {
        CClassStatistics& record = records[c];
        record.CalculateAverages();
        if (record.count == 0)
            continue; // a class without students has no figures to compare
        total.Add(static_cast<double>(record.totalAverage));
        for (std::size_t k = 0; k < subjects; ++k)
            subjectRanges[k].Add(static_cast<double>(record.scoreAverages[k]));
        girls.Add(record.girls);
        boys.Add(record.boys);
        for (std::size_t i = 0; i < tallies; ++i)
            tallyRanges[i].Add(tallyCounts[c * tallies + i]);
    }

    CBalanceSpreads spreads;
    spreads.total = total.Spread();
    for (const auto& range : subjectRanges)
        spreads.subjects.push_back(range.Spread());
    spreads.girls = girls.Spread();
    spreads.boys = boys.Spread();
    for (std::size_t i = 0; i < tallies; ++i)
        (i < schools ? spreads.schools : spreads.categories).push_back(tallyRanges[i].Spread());
    spreads.largestSchool = model.GetLargestSchool();
    return spreads;
}

bool CBalanceSpreads::NoWorseThan(const CBalanceSpreads& other) const
{
    if (total > other.total || girls > other.girls || boys > other.boys)
        return false;
    for (std::size_t k = 0; k < subjects.size() && k < other.subjects.size(); ++k) {
        if (subjects[k] > other.subjects[k])
            return false;
    }
    return GetLargestSchoolSpread() <= other.GetLargestSchoolSpread()
           && GetWorstSchoolSpread() <= other.GetWorstSchoolSpread()
           && GetWorstCategorySpread() <= other.GetWorstCategorySpread();
}

int CBalanceSpreads::GetLargestSchoolSpread() const
{
    return largestSchool < 0 ? 0 : schools[static_cast<std::size_t>(largestSchool)];
}

int CBalanceSpreads::GetWorstSchoolSpread() const
{
    return schools.empty() ? 0 : *std::max_element(schools.begin(), schools.end());
}

int CBalanceSpreads::GetWorstCategorySpread() const
{
    return categories.empty() ? 0 : *std::max_element(categories.begin(), categories.end());
}
