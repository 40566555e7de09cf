#pragma once

#include "base/timetable/MutexOfTeacher.h"
#include "base/object/QZObjectList.h"

#include <string>
#include <unordered_map>
#include <vector>

// The teacher exclusions with a lookup from a teacher to the exclusions that
// name it. The lookup holds ids, not pointers, so a record removed after the
// last rebuild is simply not found.
class CMutexOfTeacherList : public CQZObjectList
{
public:
    CMutexOfTeacherList() = default;
    ~CMutexOfTeacherList() override;

    void RebuildEachTeacherMap();
    // The exclusions naming the teacher, as of the last rebuild.
    std::vector<CMutexOfTeacher*> FindTeacherMutexInfo(const std::string& teacherId) const;

private:
    std::unordered_map<std::string, std::vector<std::string>> m_teacherMap;
};
