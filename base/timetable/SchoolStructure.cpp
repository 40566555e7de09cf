#include "base/timetable/SchoolStructure.h"

CSchoolStructure::CSchoolStructure()
{
    Clear();
}

CSchoolStructure::~CSchoolStructure() = default;

void CSchoolStructure::Clear()
{
    CTimeTable::Clear();
    for (int day = 0; day < kWeekDays; ++day)
        SetWeekDay(day, day < 5);
    m_sectionCount[0] = 4;
    m_sectionCount[1] = 2;
    m_sectionCount[2] = 0;
    m_sectionNames.clear();
    m_sectionNameType = 0;
    RefreshData();
}

void CSchoolStructure::RefreshData()
{
    m_weekDayCount = 0;
    m_weekNodeCount = 0;
    for (int day = 0; day < kWeekDays; ++day) {
        int dayNodes = 0;
        for (int segment = 0; segment < kDaySegments; ++segment) {
            int count = 0;
            for (int section = 0; section < m_sectionCount[segment]; ++section)
                if (IsValid(day, segment, section))
                    ++count;
            m_nodeCount[day][segment] = count;
            dayNodes += count;
        }
        if (dayNodes > 0)
            ++m_weekDayCount;
        m_weekNodeCount += dayNodes;
    }
}

bool CSchoolStructure::IsDayInUse(int day) const
{
    return day >= 0 && day < kWeekDays && m_dayInUse[day];
}

void CSchoolStructure::SetWeekDay(int day, bool inUse)
{
    if (day < 0 || day >= kWeekDays)
        return;
    m_dayInUse[day] = inUse;
    for (int segment = 0; segment < kDaySegments; ++segment)
        for (int section = 0; section < kSegmentSections; ++section)
            SetValue(day, segment, section, inUse ? kFree : kInvalid);
}

int CSchoolStructure::GetSectionNodeMaxCount(int segment) const
{
    return segment >= 0 && segment < kDaySegments ? m_sectionCount[segment] : 0;
}

bool CSchoolStructure::SetSectionNodeMaxCount(int segment, int count, bool freeAdded)
{
    if (segment < 0 || segment >= kDaySegments || count < 0 || count > kSegmentSections)
        return false;
    if (freeAdded && count > m_sectionCount[segment]) {
        for (int day = 0; day < kWeekDays; ++day)
            if (m_dayInUse[day])
                for (int section = m_sectionCount[segment]; section < count; ++section)
                    SetValue(day, segment, section, kFree);
    }
    m_sectionCount[segment] = count;
    return true;
}

int CSchoolStructure::GetNodeCount(int day, int segment) const
{
    if (day < 0 || day >= kWeekDays || segment < 0 || segment >= kDaySegments)
        return 0;
    return m_nodeCount[day][segment];
}

int CSchoolStructure::GetDayNodeCount() const
{
    return m_sectionCount[0] + m_sectionCount[1] + m_sectionCount[2];
}

int CSchoolStructure::GetWeekNumberByOrder(int n) const
{
    for (int day = 0; day < kWeekDays; ++day)
        if (m_dayInUse[day] && n-- == 0)
            return day;
    return -1;
}

int CSchoolStructure::GetWeekOrderByNumber(int day) const
{
    if (!IsDayInUse(day))
        return -1;
    int order = 0;
    for (int d = 0; d < day; ++d)
        if (m_dayInUse[d])
            ++order;
    return order;
}
