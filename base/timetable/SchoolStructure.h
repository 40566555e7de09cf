#pragma once

#include "base/timetable/TimeTable.h"

#include <string>
#include <vector>

// The week structure: which days are in use and how many sections each part
// of the day has. The inherited grid marks the slots of unused days as not
// available.
class CSchoolStructure : public CTimeTable
{
public:
    CSchoolStructure();
    ~CSchoolStructure() override;

    // Back to the default week: Monday to Friday, four morning and two
    // afternoon sections.
    void Clear() override;
    // Recounts the derived counts from the grid.
    virtual void RefreshData();

    bool IsDayInUse(int day) const;
    // Sets the day's flag and all its slots to free or not available.
    void SetWeekDay(int day, bool inUse);

    // 0 for a segment outside 0..2.
    int GetSectionNodeMaxCount(int segment) const;
    // Refuses a segment outside 0..2 or a count outside 0..6. With
    // freeAdded, sections added beyond the old count become free on every
    // day in use.
    bool SetSectionNodeMaxCount(int segment, int count, bool freeAdded);

    const std::vector<std::string>& GetSectionNames() const { return m_sectionNames; }
    void SetSectionNames(const std::vector<std::string>& names) { m_sectionNames = names; }
    int GetSectionNameType() const { return m_sectionNameType; }
    void SetSectionNameType(int type) { m_sectionNameType = type; }

    int GetWeekDayCount() const { return m_weekDayCount; }
    int GetNodeCount(int day, int segment) const;
    int GetWeekNodeCount() const { return m_weekNodeCount; }
    int GetDayNodeCount() const;

    // Day number of the n-th day in use (from 0), -1 when there is none.
    int GetWeekNumberByOrder(int n) const;
    // Position among the days in use of a day, -1 when it is not in use.
    int GetWeekOrderByNumber(int day) const;

private:
    bool m_dayInUse[kWeekDays] = {};
    int m_sectionCount[kDaySegments] = {};
    std::vector<std::string> m_sectionNames;
    int m_sectionNameType = 0;
    int m_nodeCount[kWeekDays][kDaySegments] = {};
    int m_weekDayCount = 0;
    int m_weekNodeCount = 0;
};
