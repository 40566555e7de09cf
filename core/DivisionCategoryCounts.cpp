#include "core/DivisionCategoryCounts.h"

#include "base/records/StudentInfo.h"
#include "base/task/ScheduleTask.h"
#include "core/DivisionCategories.h"

CDivisionCategoryCounts::CDivisionCategoryCounts(const CScheduleTask& task)
{
    const CDivisionCategories categories(task);
    if (categories.IsEmpty())
        return;
    m_titles = categories.ColumnTitles();
    m_zeros.assign(m_titles.size(), 0);

    std::unordered_map<std::string, std::vector<std::string>> members;
    for (const auto& entry : task.GetClassInfoList())
        members[entry.id];
    std::vector<std::string> everyone;
    for (const CStudentInfo* student : task.GetStudentInfoList().Records<CStudentInfo>()) {
        everyone.push_back(student->GetId());
        const std::string& classId = student->ClassIdRef();
        if (classId.empty())
            continue;
        const auto found = members.find(classId);
        if (found != members.end())
            found->second.push_back(student->GetId());
    }
    m_school = categories.Count(everyone);
    for (const auto& [classId, ids] : members)
        m_classes[classId] = categories.Count(ids);
}

const std::vector<int>& CDivisionCategoryCounts::Counts(const std::string& classId) const
{
    if (classId.empty())
        return m_school.empty() ? m_zeros : m_school;
    const auto found = m_classes.find(classId);
    return found == m_classes.end() ? m_zeros : found->second;
}

std::vector<std::string> CDivisionCategoryCounts::CountTexts(const std::string& classId) const
{
    std::vector<std::string> texts;
    for (const int count : Counts(classId))
        texts.push_back(std::to_string(count));
    return texts;
}
