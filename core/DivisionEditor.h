#pragma once

#include "core/DivisionChange.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class CClassInfo;
class CScheduleTask;
class CStudentInfo;

// Changes a division by hand: moves students to a class and exchanges two
// students, says beforehand which rules a change would break, saves every
// change to input.xml at once and steps back and forth through the changes
// made since it was created.
//
// A division lives twice in the task: in each student's class id and in
// each class's student list. Both are changed together. The lists are not
// stored in input.xml, so a task read from its folder has them empty; they
// are rebuilt from the class ids when the editor is made (girls first, then
// boys, as a division lists them).
class CDivisionEditor
{
public:
    enum class Rule
    {
        PresetClass,    // a pre-assigned student would not be in its class
        ExclusiveGroup, // two members of one exclusive group would share a class
        TogetherGroup,  // students who must share a class would be in different classes
        SameName,       // students of one name (or sound) kept apart would share a class
        Capacity,       // a class would hold more than its planned number
    };

    struct Breach
    {
        Rule rule;
        std::string text; // in Chinese, naming the students, classes and group
    };

    explicit CDivisionEditor(CScheduleTask& task);
    CDivisionEditor(const CDivisionEditor&) = delete;
    CDivisionEditor& operator=(const CDivisionEditor&) = delete;

    // Moves students to a class; a student without a class is placed so.
    // Students already in that class are left out. Nothing, with the reason
    // in problem, when the class or a student does not exist or nobody
    // would change class.
    std::optional<CDivisionChange> MakeMove(const std::vector<std::string>& studentIds, const std::string& classId,
                                            std::string& problem) const;
    // Exchanges the classes of two students of different classes.
    std::optional<CDivisionChange> MakeExchange(const std::string& firstId, const std::string& secondId,
                                                std::string& problem) const;

    // What the change would break: pre-assignments first, then exclusive
    // groups, together groups, names kept apart, then capacities. Empty
    // when it breaks nothing.
    std::vector<Breach> Check(const CDivisionChange& change) const;

    // Applies the change and saves input.xml. A change that cannot be saved
    // is taken back at once and false is returned. A change made for another
    // state of the task (a student no longer in its from class) is refused
    // with false and changes nothing. Applying drops the changes undone so far.
    bool Apply(const CDivisionChange& change);
    // Takes back the last change (or makes the last one taken back again)
    // and saves input.xml; when that cannot be saved the task stays as it was
    // and false is returned.
    bool Undo();
    bool Redo();
    bool CanUndo() const { return m_done > 0; }
    bool CanRedo() const { return m_done < m_history.size(); }
    // The change Undo or Redo would act on; null when there is none.
    const CDivisionChange* UndoChange() const;
    const CDivisionChange* RedoChange() const;

    // Whether the last Apply, Undo or Redo failed because input.xml could
    // not be written (as opposed to a change that did not fit the task).
    bool SaveFailed() const { return m_saveFailed; }

    CScheduleTask& GetTask() const { return m_task; }

private:
    // A change as it was applied: where each student stood in the class
    // lists, so that taking it back restores them exactly.
    struct Applied
    {
        CDivisionChange change;
        std::vector<int> fromPositions;
        std::vector<int> toPositions;
    };

    void SyncClassLists();
    CStudentInfo* FindStudent(const std::string& id) const;
    CClassInfo* FindClass(const std::string& id) const;
    // The class id of a student when it names a class of the task, else "".
    std::string PlacedClassId(const CStudentInfo& student) const;
    bool Fits(const CDivisionChange& change) const;
    void Forward(Applied& applied);
    void Backward(const Applied& applied);
    bool Save();

    void CheckPresets(const CDivisionChange& change, std::vector<Breach>& breaches) const;
    void CheckGroups(const CDivisionChange& change, std::vector<Breach>& breaches) const;
    void CheckTogether(const CDivisionChange& change, std::vector<Breach>& breaches) const;
    void CheckSameNames(const CDivisionChange& change, std::vector<Breach>& breaches) const;
    void CheckCapacities(const CDivisionChange& change, std::vector<Breach>& breaches) const;
    // A student's class once the change is made.
    std::string ClassAfter(const CDivisionChange& change, const std::string& studentId) const;

    CScheduleTask& m_task;
    std::vector<Applied> m_history;
    std::size_t m_done = 0; // changes in effect, from the front of m_history
    bool m_saveFailed = false;
};
