#pragma once

#include <memory>
#include <string>

// Week coordinates: day 0..6, segment 0..2 (morning, afternoon, evening),
// section 0..5; slot = (day * 3 + segment) * 6 + section.
constexpr int kWeekDays = 7;
constexpr int kDaySegments = 3;
constexpr int kSegmentSections = 6;
constexpr int kWeekSlots = kWeekDays * kDaySegments * kSegmentSections; // 126

inline int WeekSlot(int day, int segment, int section)
{
    return (day * kDaySegments + segment) * kSegmentSections + section;
}

// One slot of a course grid: the course placed there and its room.
struct CCourseTableNode
{
    std::string courseId;
    std::string roomId;
};

// A week grid of course nodes. Students and classes each carry two of them;
// a division never fills them, so the nodes are only allocated when a slot
// is first written, which keeps a task of many students small.
class CCourseTable
{
public:
    CCourseTable() = default;
    CCourseTable(const CCourseTable& other);
    CCourseTable& operator=(const CCourseTable& other);
    virtual ~CCourseTable();

    virtual void Clear();

    // The node of a slot (allocates the grid). Slots outside 0..125 are the
    // caller's error.
    CCourseTableNode& GetNode(int slot);
    // The node of a slot for reading; an empty node when nothing was written.
    const CCourseTableNode& PeekNode(int slot) const;
    void Swap(int a, int b);
    bool IsEmpty() const { return !m_nodes; }

private:
    std::unique_ptr<CCourseTableNode[]> m_nodes;
};
