#include "base/timetable/CombineClassList.h"

CCombineClassList::~CCombineClassList() = default;

void CCombineClassList::ReBuildCourseMap()
{
    m_courseMap.clear();
    for (const Entry& entry : *this) {
        const auto* combine = static_cast<const CCombineClass*>(entry.object.get());
        for (const std::string& course : combine->GetCombineCourse())
            m_courseMap.emplace(course, entry.id);
    }
}

CCombineClass* CCombineClassList::FindByCourse(const std::string& courseId) const
{
    const auto it = m_courseMap.find(courseId);
    if (it == m_courseMap.end())
        return nullptr;
    auto* combine = FindAs<CCombineClass>(it->second);
    return combine && combine->HasCourse(courseId) ? combine : nullptr;
}
