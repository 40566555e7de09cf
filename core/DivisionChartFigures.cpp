#include "core/DivisionChartFigures.h"

#include "core/DivisionCategoryCounts.h"
#include "core/DivisionStatistics.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"

#include <algorithm>
#include <unordered_map>

namespace {

// The median of sorted[first, last), which is not empty.
float MedianOf(const std::vector<float>& sorted, std::size_t first, std::size_t last)
{
    const std::size_t n = last - first;
    const std::size_t middle = first + n / 2;
    if (n % 2 == 1)
        return sorted[middle];
    return (sorted[middle - 1] + sorted[middle]) / 2.0f;
}

CDivisionChartFigures::ClassFigures FiguresOf(const CDivisionStatistics::Row& row,
                                              const CDivisionCategoryCounts& categories)
{
    const CClassStatistics& s = *row.statistics;
    const std::vector<int>& counts = categories.Counts(row.classId);
    return {row.classId, row.className,   s.count,        s.girls,
            s.boys,      s.scoreAverages, s.totalAverage, std::vector<std::int32_t>(counts.begin(), counts.end())};
}

// Largest minus smallest value of the classes with students.
template <typename Value>
auto SpreadOf(const std::vector<CDivisionChartFigures::ClassFigures>& classes, Value value)
{
    using T = decltype(value(classes.front()));
    bool any = false;
    T low{};
    T high{};
    for (const auto& figures : classes) {
        if (figures.count <= 0)
            continue;
        const T v = value(figures);
        low = any ? std::min(low, v) : v;
        high = any ? std::max(high, v) : v;
        any = true;
    }
    return high - low;
}

} // namespace

CDivisionChartFigures::Distribution CDivisionChartFigures::Distribution::Of(std::vector<float> scores)
{
    Distribution d;
    if (scores.empty())
        return d;
    std::sort(scores.begin(), scores.end());
    const std::size_t n = scores.size();
    d.count = static_cast<std::int32_t>(n);
    d.minimum = scores.front();
    d.maximum = scores.back();
    d.median = MedianOf(scores, 0, n);
    if (n == 1) {
        d.lowerQuartile = d.upperQuartile = scores.front();
        return d;
    }
    d.lowerQuartile = MedianOf(scores, 0, n / 2);
    d.upperQuartile = MedianOf(scores, (n + 1) / 2, n);
    return d;
}

float CDivisionChartFigures::ClassFigures::Average(std::size_t measure) const
{
    return measure < subjectAverages.size() ? subjectAverages[measure] : totalAverage;
}

CDivisionChartFigures::CDivisionChartFigures(const CScheduleTask& task) : m_subjects(task.GetCustomSubjectArray())
{
    CDivisionStatistics statistics(task);
    statistics.Calculate();
    const CDivisionCategoryCounts categories(task);
    m_categories = categories.ColumnTitles();
    std::vector<CDivisionStatistics::Row> rows = statistics.GetRows();
    if (rows.empty()) {
        m_school = FiguresOf({std::string(), "全校", &statistics.GetSchoolStatistics()}, categories);
    } else {
        m_school = FiguresOf(rows.back(), categories);
        rows.pop_back();
    }

    std::unordered_map<std::string, std::size_t> position;
    for (const CDivisionStatistics::Row& row : rows) {
        position.emplace(row.classId, m_classes.size());
        m_classes.push_back(FiguresOf(row, categories));
    }
    m_classScores.resize(m_classes.size());

    const std::size_t subjects = m_subjects.size();
    for (const auto& entry : task.GetStudentInfoList()) {
        const auto* student = static_cast<const CStudentInfo*>(entry.object.get());
        const auto& texts = student->GetScoreArray();
        Scores scores(subjects + 1, 0.0f);
        const std::size_t n = std::min(subjects, texts.size());
        for (std::size_t k = 0; k < n; ++k) {
            scores[k] = static_cast<float>(CStudentInfo::ScoreValue(texts[k]));
            scores[subjects] += scores[k];
        }
        if (!student->ClassIdRef().empty()) {
            const auto found = position.find(student->ClassIdRef());
            if (found != position.end())
                m_classScores[found->second].push_back(scores);
        }
        m_schoolScores.push_back(std::move(scores));
    }
}

bool CDivisionChartFigures::HasPlacedStudents() const
{
    return std::any_of(m_classes.begin(), m_classes.end(), [](const ClassFigures& c) { return c.count > 0; });
}

std::string CDivisionChartFigures::MeasureName(std::size_t measure) const
{
    return measure < m_subjects.size() ? m_subjects[measure] : "总分";
}

float CDivisionChartFigures::AverageSpread(std::size_t measure) const
{
    return SpreadOf(m_classes, [measure](const ClassFigures& c) { return c.Average(measure); });
}

std::int32_t CDivisionChartFigures::HeadcountSpread(bool girls) const
{
    return SpreadOf(m_classes, [girls](const ClassFigures& c) { return girls ? c.girls : c.boys; });
}

std::int32_t CDivisionChartFigures::CategorySpread(std::size_t category) const
{
    if (category >= m_categories.size())
        return 0;
    return SpreadOf(m_classes, [category](const ClassFigures& c) { return c.categoryCounts[category]; });
}

std::vector<float> CDivisionChartFigures::Column(const std::vector<Scores>& students, std::size_t measure) const
{
    const std::size_t k = std::min(measure, m_subjects.size());
    std::vector<float> column;
    column.reserve(students.size());
    for (const Scores& scores : students)
        column.push_back(scores[k]);
    return column;
}

std::vector<CDivisionChartFigures::Distribution> CDivisionChartFigures::ClassDistributions(std::size_t measure) const
{
    std::vector<Distribution> distributions;
    distributions.reserve(m_classScores.size());
    for (const std::vector<Scores>& students : m_classScores)
        distributions.push_back(Distribution::Of(Column(students, measure)));
    return distributions;
}

CDivisionChartFigures::Distribution CDivisionChartFigures::SchoolDistribution(std::size_t measure) const
{
    return Distribution::Of(Column(m_schoolScores, measure));
}
