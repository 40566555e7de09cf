#pragma once

#include "base/object/QZObject.h"

#include <string>
#include <vector>

// A list of fixed week slots of one record (teacher, teacher group, class,
// course), keyed by that record's id. As text each slot is the number
// day * 100 + segment * 10 + section followed by a comma.
class CFixedTimeOfObject : public CQZObject
{
public:
    CFixedTimeOfObject() = default;
    ~CFixedTimeOfObject() override;

    // Slots as in CourseTable.h, in the order they were added.
    const std::vector<int>& GetFixedTime() const { return m_slots; }
    void AddFixedTime(int day, int segment, int section);
    void AddFixedTime(int slot);
    bool HasFixedTime(int slot) const;
    void RemoveFixedTime(int slot);
    void RemoveAllFixedTime() { m_slots.clear(); }

    std::string GetAllFixedTime() const;
    // Empties the list, then reads slots from text as GetAllFixedTime writes
    // it. Negative numbers, empty or non-numeric items and numbers that name
    // no slot of the week are skipped.
    void ReadFixedTimeFromString(const std::string& text);

private:
    std::vector<int> m_slots;
};
