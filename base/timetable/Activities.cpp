#include "base/timetable/Activities.h"

CActivities::~CActivities() = default;

std::string CActivities::SlotKey(int day, int segment, int section)
{
    return std::to_string(day) + std::to_string(segment) + std::to_string(section);
}

void CActivities::AddActivity(int day, int segment, int section, const std::string& text)
{
    m_activities[SlotKey(day, segment, section)] = text;
}

std::string CActivities::GetActivity(int day, int segment, int section) const
{
    const auto it = m_activities.find(SlotKey(day, segment, section));
    return it == m_activities.end() ? std::string() : it->second;
}

void CActivities::DeleteActivity(int day, int segment, int section)
{
    m_activities.erase(SlotKey(day, segment, section));
}
