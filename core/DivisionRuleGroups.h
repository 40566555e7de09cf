#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CScheduleTask;

// The task's division rules that tie students to each other, resolved to
// positions in a list of students (a run's student table, or a balance
// model's): the students who must share a class, merged where groups share
// a member, and the students who should not share one because they have the
// same name (or sound the same).
class CDivisionRuleGroups
{
public:
    // position: a student's position by its id, -1 when the id is no
    // student of the list. names: the students' names by position.
    CDivisionRuleGroups(const CScheduleTask& task, const std::unordered_map<std::string_view, int>& position,
                        const std::vector<std::string>& names);

    // Groups of two or more positions that must share a class; each
    // position is in one at most, in the order of the task's groups.
    const std::vector<std::vector<int>>& Together() const { return m_together; }
    // The together group of a position, -1 when none.
    int TogetherOf(int position) const
    {
        return position < static_cast<int>(m_togetherOf.size()) ? m_togetherOf[static_cast<std::size_t>(position)] : -1;
    }
    // Sets of two or more positions whose names are the same (or sound the
    // same), that should go to different classes where the classes allow.
    const std::vector<std::vector<int>>& Apart() const { return m_apart; }
    int ApartOf(int position) const
    {
        return position < static_cast<int>(m_apartOf.size()) ? m_apartOf[static_cast<std::size_t>(position)] : -1;
    }
    bool IsEmpty() const { return m_together.empty() && m_apart.empty(); }

    // Why the task's together groups cannot be kept: a group larger than
    // every class, members pre-assigned to different classes, two members of
    // one exclusive group. One message per group, naming it.
    static std::vector<std::string> Check(const CScheduleTask& task);

private:
    std::vector<std::vector<int>> m_together;
    std::vector<int> m_togetherOf;
    std::vector<std::vector<int>> m_apart;
    std::vector<int> m_apartOf;
};
