#pragma once

#include <memory>
#include <string>
#include <vector>

class CListEditorRows;
class CListRows;
class CScheduleTask;
class CStudentPreset;

// The rows of the pre-assignment editor without its window, shared by the
// window and quillon-cli. Every row carries its own copy of its
// pre-assignment, whose id is its student's.
//
// Rows: "ID" (the student's id), "学生", "预先安排在".
class CPresetRows
{
public:
    enum Column
    {
        ColumnId = 0,
        ColumnStudent,
        ColumnClass,
    };

    // Drops from the task the pre-assignments of students or to classes
    // that are gone first; then one row per pre-assignment in index order.
    static void Load(CScheduleTask& task, CListEditorRows& rows);
    // The rows alone, of a task whose pre-assignments name only its
    // students and classes.
    static void Fill(const CScheduleTask& task, CListEditorRows& rows);
    // As Load, dropping what no longer fits in memory only: the caller's
    // own save writes it.
    static void LoadInMemory(CScheduleTask& task, CListEditorRows& rows);
    // The cells of a pre-assignment's row.
    static std::vector<std::string> Cells(const CScheduleTask& task, const CStudentPreset& preset);
    // A new pre-assignment of the student to the class.
    static std::unique_ptr<CStudentPreset> NewPreset(const std::string& studentId, const std::string& classId);
    // The row of the student's pre-assignment, or -1: a student has one at
    // most, so adding one for a student who has one changes its class.
    static int FindRow(const CListRows& rows, const std::string& studentId);
    // Replaces the task's pre-assignments by copies of the rows', each with
    // its row's position as index. Does not write the task's files.
    static void SaveTo(CScheduleTask& task, const CListEditorRows& rows);
};
