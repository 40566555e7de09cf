#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CListEditorRows;
class CListRows;
class CScheduleTask;
class CStudentPreset;

// The classes editor without its window: its rows as loaded from the task
// and written back, and the checks of what is typed into its single-class
// and batch dialogs. The window and quillon-cli share them.
//
// Rows: "ID", "班级名称", "人数" (the planned number as decimal text),
// "班主任".
class CClassRows
{
public:
    enum Column
    {
        ColumnId = 0,
        ColumnName,
        ColumnStudentCount,
        ColumnHeadTeacher,
    };

    // What one step sets on several classes at once: the planned number,
    // the head teacher or both; what is not given stays.
    struct Change
    {
        std::optional<int> count;
        std::optional<std::string> headTeacher;
    };
    // The cells the change writes into each row it is made to, as
    // (column, text).
    static std::vector<std::pair<int, std::string>> ChangedCells(const Change& change);

    // One row per class in index order.
    static void Load(const CScheduleTask& task, CListEditorRows& rows);
    // Updates the task's classes in place (their other data stays), adds
    // the new ones and removes the deleted ones together with the
    // pre-assignments to them; each class's index becomes its row's
    // position. Does not write the task's files.
    static void SaveTo(CScheduleTask& task, const CListRows& rows, const std::vector<std::string>& deletedIds);

    // The pre-assignments to any of the classes, in index order: what
    // deleting them takes along.
    static std::vector<const CStudentPreset*> PresetsTo(const CScheduleTask& task,
                                                        const std::vector<std::string>& classIds);
    // "张三（高一(1)班）、李四（高一(2)班）": the students of presets with
    // their classes, the first kNamedPresets of them, then "等 N 名学生".
    static constexpr std::size_t kNamedPresets = 10;
    static std::string DescribePresets(const CScheduleTask& task, const std::vector<const CStudentPreset*>& presets);
    // A new row for name and count, with a new id, unless a row has the
    // same name (CNameRules). Whether it was added.
    static bool Add(CListEditorRows& rows, const std::string& name, int count);

    // The checks return what to tell the user, or nothing when the text is
    // good; value is then what was typed.

    // A class name: blanks around it (the ideographic space too) are dropped.
    static std::string CheckName(std::string_view typed, std::string& name);
    // A head teacher's name as typed, without the blanks around it (the
    // ideographic space too); empty is none.
    static std::string HeadTeacher(std::string_view typed);
    // The planned number of one class: a whole number above 0.
    static std::string CheckCount(std::string_view typed, int& count);
    // The batch: 1 to ClassNamePattern::kMaxClasses classes of 0 or more students.
    static std::string CheckNumberOfClasses(std::string_view typed, int& classes);
    static std::string CheckStudentsPerClass(std::string_view typed, int& students);
};
