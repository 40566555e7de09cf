#pragma once

#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// The division rules a task keeps beyond exclusive groups and
// pre-assignments: students who must share a class, students of the same
// name or the same sound kept apart, score bands kept even, and condition
// columns ("#住校", "#特长") whose categories are kept even. They live in a
// file of their own beside input.xml (CDivisionRulesFile); a task without
// any of them is divided exactly as before.
class CDivisionRules
{
public:
    // Students who must share a class (twins, siblings).
    struct TogetherGroup
    {
        std::string id;
        std::vector<std::string> studentIds;
    };

    // The score bands a task gets when they are switched on without limits.
    static const std::vector<int>& DefaultScoreBands();

    std::vector<TogetherGroup>& TogetherGroups() { return m_together; }
    const std::vector<TogetherGroup>& TogetherGroups() const { return m_together; }

    bool GetSameNameApart() const { return m_sameNameApart; }
    void SetSameNameApart(bool on) { m_sameNameApart = on; }
    bool GetSameSoundApart() const { return m_sameSoundApart; }
    void SetSameSoundApart(bool on) { m_sameSoundApart = on; }

    // Upper limits of the bands by rank of the total, in percent of the
    // students, ascending, each 1 to 99 ("10,30,60": the top 10 %, the next
    // 20 %, the next 30 %, the rest). Empty: the bands are off.
    const std::vector<int>& GetScoreBands() const { return m_scoreBands; }
    void SetScoreBands(std::vector<int> limits) { m_scoreBands = std::move(limits); }

    // The condition columns by their headers as the sheet had them ("#住校").
    const std::vector<std::string>& GetConditionNames() const { return m_conditionNames; }
    // Sets the columns; values of a column no longer named are dropped,
    // those of a column kept move with it.
    void SetConditionNames(const std::vector<std::string>& names);
    // The student's value of every condition column ("" when none).
    std::vector<std::string> GetConditions(const std::string& studentId) const;
    // Sets the student's values, one per condition column (missing ones are
    // empty); all empty removes the student's entry.
    void SetConditions(const std::string& studentId, std::vector<std::string> values);
    // Calls visit for every student with a condition value.
    template <class Visit>
    void ForEachConditions(Visit visit) const
    {
        for (const auto& [id, values] : m_conditions)
            visit(id, values);
    }
    // The categories of a column: its distinct non-empty values, sorted.
    std::vector<std::string> ConditionCategories(std::size_t column) const;

    // Nothing set: the task is divided as one without this file.
    bool IsEmpty() const;

    // Drops the members and condition values of students that are gone and
    // the together groups left with fewer than two members. True when
    // anything was dropped.
    bool DropStale(const std::function<bool(const std::string& studentId)>& isStudent);

    // "10,30,60" (also with "，" or spaces) as ascending limits within 1 to
    // 99; nothing when the text is not such a list.
    static std::optional<std::vector<int>> ParseScoreBands(const std::string& text);
    static std::string ScoreBandsText(const std::vector<int>& limits);

private:
    std::vector<TogetherGroup> m_together;
    bool m_sameNameApart = false;
    bool m_sameSoundApart = false;
    std::vector<int> m_scoreBands;
    std::vector<std::string> m_conditionNames;
    std::unordered_map<std::string, std::vector<std::string>> m_conditions;
};
