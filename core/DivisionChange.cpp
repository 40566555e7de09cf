#include "core/DivisionChange.h"

#include "base/task/ScheduleTask.h"

namespace {

std::string ClassName(const CScheduleTask& task, const std::string& classId)
{
    return classId.empty() ? std::string("未分班") : task.GetClassName(classId);
}

} // namespace

std::vector<std::string> CDivisionChange::GetStudentIds() const
{
    std::vector<std::string> ids;
    ids.reserve(m_steps.size());
    for (const Step& step : m_steps)
        ids.push_back(step.studentId);
    return ids;
}

std::string CDivisionChange::Describe(const CScheduleTask& task) const
{
    if (m_steps.empty())
        return std::string();
    const Step& first = m_steps.front();
    const std::string name = task.GetStudentName(first.studentId);
    if (m_kind == Kind::Exchange && m_steps.size() == 2) {
        const Step& second = m_steps[1];
        return name + "（" + ClassName(task, first.fromClassId) + "）与 " + task.GetStudentName(second.studentId) + "（"
               + ClassName(task, second.fromClassId) + "）对调";
    }
    const std::string target = ClassName(task, first.toClassId);
    if (m_steps.size() == 1)
        return name + " 调到 " + target;
    return name + " 等 " + std::to_string(m_steps.size()) + " 名学生调到 " + target;
}
