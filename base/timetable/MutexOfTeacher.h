#pragma once

#include "base/object/QZObject.h"

#include <string>
#include <vector>

// Teachers who exclude one another (never teach at the same time).
class CMutexOfTeacher : public CQZObject
{
public:
    CMutexOfTeacher() = default;
    ~CMutexOfTeacher() override;

    std::vector<std::string>& GetMutexTeachers() { return m_teachers; }
    const std::vector<std::string>& GetMutexTeachers() const { return m_teachers; }
    bool HasTeacher(const std::string& id) const;

private:
    std::vector<std::string> m_teachers;
};
