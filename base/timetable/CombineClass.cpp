#include "base/timetable/CombineClass.h"

#include <algorithm>

CCombineClass::~CCombineClass() = default;

bool CCombineClass::HasCourse(const std::string& courseId) const
{
    return std::find(m_courses.begin(), m_courses.end(), courseId) != m_courses.end();
}
