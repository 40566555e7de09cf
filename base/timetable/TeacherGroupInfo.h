#pragma once

#include "base/object/QZObject.h"

#include <string>
#include <vector>

// A named group of teachers.
class CTeacherGroupInfo : public CQZObject
{
public:
    CTeacherGroupInfo() = default;
    ~CTeacherGroupInfo() override;

    void AddTeacher(const std::string& id) { m_teachers.push_back(id); }
    bool FindTeacher(const std::string& id) const;
    // Removes every entry equal to id.
    void RemoveTeacher(const std::string& id);
    void RemoveAllTeacher() { m_teachers.clear(); }
    void ResetGroup(const std::vector<std::string>& ids) { m_teachers = ids; }
    const std::vector<std::string>& GetTeachers() const { return m_teachers; }

private:
    std::vector<std::string> m_teachers;
};
