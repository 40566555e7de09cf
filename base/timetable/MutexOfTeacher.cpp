#include "base/timetable/MutexOfTeacher.h"

#include <algorithm>

CMutexOfTeacher::~CMutexOfTeacher() = default;

bool CMutexOfTeacher::HasTeacher(const std::string& id) const
{
    return std::find(m_teachers.begin(), m_teachers.end(), id) != m_teachers.end();
}
