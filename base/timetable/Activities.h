#pragma once

#include <map>
#include <string>

// Texts attached to week slots (school activities), keyed by the slot's day,
// segment and section written one after the other ("%d%d%d").
class CActivities
{
public:
    CActivities() = default;
    virtual ~CActivities();

    static std::string SlotKey(int day, int segment, int section);

    void AddActivity(int day, int segment, int section, const std::string& text);
    // "" when the slot has none.
    std::string GetActivity(int day, int segment, int section) const;
    void DeleteActivity(int day, int segment, int section);
    void RemoveAll() { m_activities.clear(); }
    std::size_t GetCount() const { return m_activities.size(); }

private:
    std::map<std::string, std::string> m_activities;
};
