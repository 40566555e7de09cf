#include "base/timetable/CourseTable.h"

#include <utility>

namespace {

bool IsSlot(int slot)
{
    return slot >= 0 && slot < kWeekSlots;
}

} // namespace

CCourseTable::CCourseTable(const CCourseTable& other)
{
    *this = other;
}

CCourseTable& CCourseTable::operator=(const CCourseTable& other)
{
    if (this == &other)
        return *this;
    if (!other.m_nodes) {
        m_nodes.reset();
        return *this;
    }
    if (!m_nodes)
        m_nodes = std::make_unique<CCourseTableNode[]>(kWeekSlots);
    for (int i = 0; i < kWeekSlots; ++i)
        m_nodes[i] = other.m_nodes[i];
    return *this;
}

CCourseTable::~CCourseTable() = default;

void CCourseTable::Clear()
{
    m_nodes.reset();
}

CCourseTableNode& CCourseTable::GetNode(int slot)
{
    if (!IsSlot(slot)) {
        // Outside the week: a scratch node, so a wrong slot cannot write
        // past the grid.
        thread_local CCourseTableNode scratch;
        scratch = CCourseTableNode();
        return scratch;
    }
    if (!m_nodes)
        m_nodes = std::make_unique<CCourseTableNode[]>(kWeekSlots);
    return m_nodes[slot];
}

const CCourseTableNode& CCourseTable::PeekNode(int slot) const
{
    static const CCourseTableNode empty;
    if (!m_nodes || !IsSlot(slot))
        return empty;
    return m_nodes[slot];
}

void CCourseTable::Swap(int a, int b)
{
    if (!m_nodes || !IsSlot(a) || !IsSlot(b) || a == b)
        return;
    std::swap(m_nodes[a], m_nodes[b]);
}
