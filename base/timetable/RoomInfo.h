#pragma once

#include "base/timetable/CourseTable.h"
#include "base/object/QZObject.h"

#include <string>

// A room of the timetabling records.
class CRoomInfo : public CQZObject
{
public:
    CRoomInfo() = default;
    ~CRoomInfo() override;

    unsigned GetCapacity() const { return m_capacity; }
    void SetCapacity(unsigned capacity) { m_capacity = capacity; }
    // The short name as stored (no fallback to the name).
    std::string GetShortName() const { return m_shortName; }
    void SetShortName(const std::string& shortName) { m_shortName = shortName; }

    CCourseTable& GetTable() { return m_table; }
    CCourseTable& GetTempTable() { return m_tempTable; }

private:
    unsigned m_capacity = 0;
    std::string m_shortName;
    CCourseTable m_tempTable;
    CCourseTable m_table;
};
