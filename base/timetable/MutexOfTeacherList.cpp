#include "base/timetable/MutexOfTeacherList.h"

CMutexOfTeacherList::~CMutexOfTeacherList() = default;

void CMutexOfTeacherList::RebuildEachTeacherMap()
{
    m_teacherMap.clear();
    for (const Entry& entry : *this) {
        const auto* mutex = static_cast<const CMutexOfTeacher*>(entry.object.get());
        for (const std::string& teacher : mutex->GetMutexTeachers())
            m_teacherMap[teacher].push_back(entry.id);
    }
}

std::vector<CMutexOfTeacher*> CMutexOfTeacherList::FindTeacherMutexInfo(const std::string& teacherId) const
{
    std::vector<CMutexOfTeacher*> found;
    const auto it = m_teacherMap.find(teacherId);
    if (it == m_teacherMap.end())
        return found;
    for (const std::string& id : it->second)
        if (auto* mutex = FindAs<CMutexOfTeacher>(id); mutex && mutex->HasTeacher(teacherId))
            found.push_back(mutex);
    return found;
}
