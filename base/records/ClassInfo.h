#pragma once

#include "base/timetable/CourseTable.h"
#include "base/object/QZObject.h"

#include <string>
#include <vector>

// A class: planned number of students (the capacity of a division), short
// name, head teacher, and the students a division placed in it.
class CClassInfo : public CQZObject
{
public:
    CClassInfo() = default;
    ~CClassInfo() override;

    using CQZObject::Copy;
    // Copies the base fields, the student count and GetShortName() of source.
    virtual void Copy(CClassInfo* source);

    unsigned GetStudentCount() const { return m_studentCount; }
    void SetStudentCount(unsigned count) { m_studentCount = count; }
    // The short name, or the name when the short name is empty.
    std::string GetShortName() const { return m_shortName.empty() ? GetName() : m_shortName; }
    void SetShortName(const std::string& shortName) { m_shortName = shortName; }

    std::vector<std::string>& GetStudentArray() { return m_students; }
    const std::vector<std::string>& GetStudentArray() const { return m_students; }
    std::vector<std::string>& GetTempStudentArray() { return m_tempStudents; }

    std::string GetHeadTeacherName() const { return m_headTeacher; }
    void SetHeadTeacherName(const std::string& name) { m_headTeacher = name; }

    CCourseTable& GetTable() { return m_table; }
    const CCourseTable& GetTable() const { return m_table; }
    CCourseTable& GetTempTable() { return m_tempTable; }
    void ReadTempTable() { m_tempTable = m_table; }
    void SaveTempTable() { m_table = m_tempTable; }

private:
    unsigned m_studentCount = 0;
    std::string m_shortName;
    std::vector<std::string> m_students;
    std::vector<std::string> m_tempStudents;
    CCourseTable m_tempTable;
    CCourseTable m_table;
    std::string m_headTeacher;
};
