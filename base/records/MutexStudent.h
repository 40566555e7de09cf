#pragma once

#include "base/object/QZObject.h"

#include <string>
#include <vector>

// A group of students no two of whom may share a class.
class CMutexStudent : public CQZObject
{
public:
    CMutexStudent() = default;
    ~CMutexStudent() override;

    using CQZObject::Copy;
    void Copy(CMutexStudent* source);

    std::vector<std::string>& GetMutexStudents() { return m_students; }
    const std::vector<std::string>& GetMutexStudents() const { return m_students; }
    // True when a member equals id without regard to letter case.
    bool HasStudent(const std::string& id) const;

private:
    std::vector<std::string> m_students;
};
