#pragma once

#include "base/timetable/CombineClass.h"
#include "base/object/QZObjectList.h"

#include <string>
#include <unordered_map>

// The combined classes with a lookup from a course to its combination. The
// lookup holds ids, so a record removed after the last rebuild is not found.
class CCombineClassList : public CQZObjectList
{
public:
    CCombineClassList() = default;
    ~CCombineClassList() override;

    void ReBuildCourseMap();
    // The combination holding the course, as of the last rebuild; null when
    // there is none.
    CCombineClass* FindByCourse(const std::string& courseId) const;

private:
    std::unordered_map<std::string, std::string> m_courseMap;
};
