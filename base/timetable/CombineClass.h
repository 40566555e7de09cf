#pragma once

#include "base/object/QZObject.h"

#include <string>
#include <vector>

// Courses taught together to several classes at once.
class CCombineClass : public CQZObject
{
public:
    CCombineClass() = default;
    ~CCombineClass() override;

    std::vector<std::string>& GetCombineCourse() { return m_courses; }
    const std::vector<std::string>& GetCombineCourse() const { return m_courses; }
    bool HasCourse(const std::string& courseId) const;

private:
    std::vector<std::string> m_courses;
};
