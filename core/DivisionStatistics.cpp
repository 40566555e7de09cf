#include "core/DivisionStatistics.h"

#include "base/records/ClassInfo.h"
#include "core/DivisionChange.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"

#include <algorithm>
#include <charconv>

CDivisionStatistics::CDivisionStatistics(const CScheduleTask& task)
    : m_task(task), m_school(std::make_unique<CClassStatistics>())
{
}

CDivisionStatistics::~CDivisionStatistics() = default;

void CDivisionStatistics::Calculate()
{
    Compute(nullptr);
}

void CDivisionStatistics::CalculateAfter(const CDivisionChange& change)
{
    Compute(&change);
}

void CDivisionStatistics::Compute(const CDivisionChange* assumed)
{
    std::unordered_map<std::string, std::string> goesTo;
    if (assumed) {
        for (const CDivisionChange::Step& step : assumed->GetSteps())
            goesTo[step.studentId] = step.toClassId;
    }

    m_subjectCount = m_task.GetCustomSubjectArray().size();
    m_classes.clear();
    for (const auto& entry : m_task.GetClassInfoList())
        m_classes[entry.id] = std::make_unique<CClassStatistics>(m_subjectCount);
    m_school = std::make_unique<CClassStatistics>(m_subjectCount);

    for (const auto& entry : m_task.GetStudentInfoList()) {
        const auto* student = static_cast<const CStudentInfo*>(entry.object.get());
        CClassStatistics* own = nullptr;
        const auto moved = goesTo.find(student->IdRef());
        const std::string& classId = moved == goesTo.end() ? student->ClassIdRef() : moved->second;
        if (!classId.empty()) {
            auto it = m_classes.find(classId);
            if (it != m_classes.end())
                own = it->second.get();
        }
        m_school->AddStudent(student->GetSex());
        if (own)
            own->AddStudent(student->GetSex());

        const auto& scores = student->GetScoreArray();
        const std::size_t n = std::min(m_subjectCount, scores.size());
        for (std::size_t k = 0; k < n; ++k) {
            const float value = static_cast<float>(CStudentInfo::ScoreValue(scores[k]));
            m_school->AddScore(k, value);
            if (own)
                own->AddScore(k, value);
        }
    }

    for (auto& [id, record] : m_classes)
        record->CalculateAverages();
    m_school->CalculateAverages();
}

const CClassStatistics* CDivisionStatistics::GetClassStatistics(const std::string& classId) const
{
    auto it = m_classes.find(classId);
    return it == m_classes.end() ? nullptr : it->second.get();
}

std::vector<CDivisionStatistics::Row> CDivisionStatistics::GetRows() const
{
    std::vector<const CClassInfo*> classes;
    for (const auto& entry : m_task.GetClassInfoList())
        classes.push_back(static_cast<const CClassInfo*>(entry.object.get()));
    std::stable_sort(classes.begin(), classes.end(),
                     [](const CClassInfo* a, const CClassInfo* b) { return a->GetIndex() < b->GetIndex(); });

    std::vector<Row> rows;
    rows.reserve(classes.size() + 1);
    for (const CClassInfo* info : classes) {
        const CClassStatistics* statistics = GetClassStatistics(info->IdRef());
        if (!statistics)
            continue; // the task changed since Calculate()
        rows.push_back({info->GetId(), info->GetName(), statistics});
    }
    if (!rows.empty())
        rows.push_back({std::string(), "全校", m_school.get()});
    return rows;
}

std::vector<std::string> CDivisionStatistics::ColumnTitles(const std::vector<std::string>& subjectNames)
{
    std::vector<std::string> titles = {"ID", "班级", "人数", "女生", "男生"};
    for (const std::string& name : subjectNames)
        titles.push_back(name + "平均分");
    titles.push_back("总分平均分");
    return titles;
}

std::vector<std::string> CDivisionStatistics::RowTexts(const Row& row)
{
    const CClassStatistics& s = *row.statistics;
    std::vector<std::string> texts = {row.classId, row.className, std::to_string(s.count), std::to_string(s.girls),
                                      std::to_string(s.boys)};
    for (float average : s.scoreAverages)
        texts.push_back(FormatAverage(average));
    texts.push_back(FormatAverage(s.totalAverage));
    return texts;
}

std::string CDivisionStatistics::FormatAverage(float value)
{
    // Always a decimal point, whatever the user's locale says.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::fixed, 1);
    return std::string(buffer, result.ptr);
}
