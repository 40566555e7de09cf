#include "base/timetable/FixedTimeOfObject.h"

#include "base/timetable/CourseTable.h"

#include <algorithm>
#include <charconv>

CFixedTimeOfObject::~CFixedTimeOfObject() = default;

void CFixedTimeOfObject::AddFixedTime(int day, int segment, int section)
{
    if (day >= 0 && day < kWeekDays && segment >= 0 && segment < kDaySegments && section >= 0
        && section < kSegmentSections)
        m_slots.push_back(WeekSlot(day, segment, section));
}

void CFixedTimeOfObject::AddFixedTime(int slot)
{
    if (slot >= 0 && slot < kWeekSlots)
        m_slots.push_back(slot);
}

bool CFixedTimeOfObject::HasFixedTime(int slot) const
{
    return std::find(m_slots.begin(), m_slots.end(), slot) != m_slots.end();
}

void CFixedTimeOfObject::RemoveFixedTime(int slot)
{
    std::erase(m_slots, slot);
}

std::string CFixedTimeOfObject::GetAllFixedTime() const
{
    std::string text;
    for (int slot : m_slots) {
        const int day = slot / (kDaySegments * kSegmentSections);
        const int segment = slot / kSegmentSections % kDaySegments;
        const int section = slot % kSegmentSections;
        text += std::to_string(day * 100 + segment * 10 + section);
        text += ',';
    }
    return text;
}

void CFixedTimeOfObject::ReadFixedTimeFromString(const std::string& text)
{
    m_slots.clear();
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t comma = text.find(',', pos);
        if (comma == std::string::npos)
            comma = text.size();
        const char* first = text.data() + pos;
        const char* last = text.data() + comma;
        while (first < last && (*first == ' ' || *first == '\t'))
            ++first;
        int n = 0;
        const auto [end, ec] = std::from_chars(first, last, n);
        if (ec == std::errc() && end != first && n >= 0)
            AddFixedTime(n / 100, n / 10 % 10, n % 10);
        pos = comma + 1;
    }
}
