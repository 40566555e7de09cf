#pragma once

#include "core/ClassSlot.h"
#include "core/CoreImpl.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CDivisionRuleGroups;
class CStudentInfo;

// The division proper: deals the students of the task to its classes in one
// greedy pass and writes the result back into the task.
//
// Placing order: pre-assigned students first, then those with more
// exclusion partners, girls before boys (smaller sex value first), higher
// total score first. Each student goes to its pre-assigned class when that
// has room, otherwise to the admissible class with the fewest students,
// then the strictly lower score sum, then the earliest in visiting order.
//
// Ties are settled by the run's seed: the classes are visited in a
// permutation of the class list drawn from it, and students equal under the
// four rules are placed in a permutation of the student list drawn from it.
// The same seed on the same data gives the same division. SetListOrder(true)
// uses the lists' own order for both instead.
//
// With the task's division rules, the students who must share a class are
// placed together when the first of them comes up, in the best class with
// room for all of them that holds none of their exclusion partners (their
// pre-assigned class, when one has one); students of one name (or sound)
// avoid each other's classes while a class allows it, and the report names
// those who could not be kept apart. A task without such rules is dealt
// exactly as above.
//
// The task is changed only once the dealing is complete, so a run that is
// stopped earlier leaves the students and classes as they were.
class CDivisionCore : public CCoreImpl
{
public:
    CDivisionCore();
    ~CDivisionCore() override;

    void Divide() override;

private:
    struct Student
    {
        CStudentInfo* info = nullptr;
        const std::string* id = nullptr; // key in the student list
        float score = 0.0f;              // total score
        int sex = 0;
        std::uint32_t rank = 0; // tie-break among equals
        int partnerCount = 0;   // exclusion partners, students or not
        // Pre-assignment: kNoPreset, kPresetMissingClass, or the slot index.
        int presetSlot = -1;
        int slot = -1; // where it was placed, -1 when not
    };
    static constexpr int kNoPreset = -1;
    static constexpr int kPresetMissingClass = -2;

    bool BuildSlots();
    bool ReadStudents();
    bool BuildExclusion();
    bool ReadPresets();
    bool BuildQueue();
    // The task's together groups and students kept apart by name; none when
    // the task has no such rules.
    bool ReadRuleGroups();
    // Returns false when stopped; allPlaced tells whether everyone got a slot.
    bool Deal(bool& allPlaced);
    // The report's lines on students of one name the classes did not allow
    // to keep apart.
    void ReportUnseparated();
    // The names of students, joined by "，".
    std::string NamesOf(const std::vector<int>& positions) const;
    void WriteBack();
    void Clear();

    // Slots in visiting order, and the class identifier of each.
    std::vector<std::unique_ptr<CClassSlot>> m_slots;
    std::unordered_map<std::string_view, int> m_slotByClassId;
    std::vector<Student> m_students;
    std::unordered_map<std::string_view, int> m_studentByKey;
    // Exclusion partners of every student: their identifiers (as written
    // back) and the positions of those that are students, both flattened
    // with per-student offsets.
    std::vector<std::string_view> m_partnerIds;
    std::vector<std::size_t> m_partnerIdStart;
    std::vector<int> m_partnerStudents;
    std::vector<std::size_t> m_partnerStudentStart;
    // Student positions in placing order.
    std::vector<int> m_queue;
    std::unique_ptr<CDivisionRuleGroups> m_ruleGroups;
    std::vector<std::string> m_messages;
};
