#include "base/timetable/TimeTable.h"

CTimeTable::~CTimeTable() = default;

void CTimeTable::Clear()
{
    m_grid.fill(kFree);
}

bool CTimeTable::IsSlot(int day, int segment, int section)
{
    return day >= 0 && day < kWeekDays && segment >= 0 && segment < kDaySegments && section >= 0
           && section < kSegmentSections;
}

void CTimeTable::SetValue(int slot, unsigned char value)
{
    if (IsSlot(slot))
        m_grid[static_cast<std::size_t>(slot)] = value;
}

void CTimeTable::SetValue(int day, int segment, int section, unsigned char value)
{
    if (IsSlot(day, segment, section))
        SetValue(WeekSlot(day, segment, section), value);
}

unsigned char CTimeTable::GetValue(int slot) const
{
    return IsSlot(slot) ? m_grid[static_cast<std::size_t>(slot)] : kInvalid;
}

unsigned char CTimeTable::GetValue(int day, int segment, int section) const
{
    return IsSlot(day, segment, section) ? GetValue(WeekSlot(day, segment, section)) : kInvalid;
}

int CTimeTable::GetFreeSectionCount(int day) const
{
    int count = 0;
    for (int segment = 0; segment < kDaySegments; ++segment)
        for (int section = 0; section < kSegmentSections; ++section)
            if (IsValid(day, segment, section))
                ++count;
    return count;
}
