#include "base/timetable/TeacherGroupInfo.h"

#include <algorithm>

CTeacherGroupInfo::~CTeacherGroupInfo() = default;

bool CTeacherGroupInfo::FindTeacher(const std::string& id) const
{
    return std::find(m_teachers.begin(), m_teachers.end(), id) != m_teachers.end();
}

void CTeacherGroupInfo::RemoveTeacher(const std::string& id)
{
    std::erase(m_teachers, id);
}
