#pragma once

#include "base/timetable/CourseTable.h"

#include <array>

// A week grid of slot states: 0 free, 100 used by a course, 156 not
// available. Slots as in CourseTable.h.
class CTimeTable
{
public:
    static constexpr unsigned char kFree = 0;
    static constexpr unsigned char kUsed = 100;
    static constexpr unsigned char kInvalid = 156;

    CTimeTable() = default;
    CTimeTable(const CTimeTable&) = default;
    CTimeTable& operator=(const CTimeTable&) = default;
    virtual ~CTimeTable();

    // Every slot free.
    virtual void Clear();

    bool IsDirty() const { return m_dirty; }
    void SetDirty(bool dirty) { m_dirty = dirty; }

    // Slots outside the week are ignored (set) or read as not available.
    void SetValue(int slot, unsigned char value);
    void SetValue(int day, int segment, int section, unsigned char value);
    unsigned char GetValue(int slot) const;
    unsigned char GetValue(int day, int segment, int section) const;

    bool IsValid(int slot) const { return GetValue(slot) == kFree; }
    bool IsValid(int day, int segment, int section) const { return GetValue(day, segment, section) == kFree; }
    bool IsUsed(int slot) const { return GetValue(slot) == kUsed; }
    bool IsUsed(int day, int segment, int section) const { return GetValue(day, segment, section) == kUsed; }
    bool IsInvalid(int slot) const { return GetValue(slot) == kInvalid; }
    bool IsInvalid(int day, int segment, int section) const { return GetValue(day, segment, section) == kInvalid; }

    // Free slots of a day over its three segments and six sections.
    int GetFreeSectionCount(int day) const;

    static bool IsSlot(int slot) { return slot >= 0 && slot < kWeekSlots; }
    static bool IsSlot(int day, int segment, int section);

private:
    std::array<unsigned char, kWeekSlots> m_grid{};
    bool m_dirty = false;
};
