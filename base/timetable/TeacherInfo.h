#pragma once

#include "base/timetable/CourseTable.h"
#include "base/object/QZObject.h"

#include <string>

// A teacher of the timetabling records.
class CTeacherInfo : public CQZObject
{
public:
    CTeacherInfo() = default;
    ~CTeacherInfo() override;

    // The short name, or the name when the short name is empty.
    std::string GetShortName() const { return m_shortName.empty() ? GetName() : m_shortName; }
    void SetShortName(const std::string& shortName) { m_shortName = shortName; }

    CCourseTable& GetTable() { return m_table; }
    CCourseTable& GetTempTable() { return m_tempTable; }

private:
    std::string m_shortName;
    CCourseTable m_tempTable;
    CCourseTable m_table;
};
