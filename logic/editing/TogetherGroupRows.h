#pragma once

#include <string>
#include <vector>

class CListEditorRows;
class CListRows;
class CScheduleTask;

// The rows of the editor of "同班学生组" (students who must share a class)
// without its window. The groups live in the task's division rules, not in
// a record list, so a row carries its students' ids in a hidden cell.
//
// Rows: "ID" (the group's id), "序号" (the row's number from 1), "同班学生列表"
// (the names), and the students' ids joined by ",", never shown.
class CTogetherGroupRows
{
public:
    enum Column
    {
        ColumnId = 0,
        ColumnNumber,
        ColumnNames,
        ColumnStudentIds,
    };

    // Drops from the task's rules the students that are gone (and the
    // groups left with fewer than two) and saves the task when anything was
    // dropped; then one row per group, in the rules' order.
    static void Load(CScheduleTask& task, CListEditorRows& rows);
    // The rows alone.
    static void Fill(const CScheduleTask& task, CListEditorRows& rows);
    // The cells of a group at zero-based position row; an empty id gets a
    // new one.
    static std::vector<std::string> Cells(const CScheduleTask& task, std::string id,
                                          const std::vector<std::string>& studentIds, int row);
    // The students of a row, as its hidden cell holds them.
    static std::vector<std::string> StudentIds(const CListRows& rows, int row);
    static std::string JoinIds(const std::vector<std::string>& studentIds);
    static std::vector<std::string> SplitIds(const std::string& joined);
    // Replaces the task's together groups by the rows' groups, in the rows'
    // order. Does not write the task's files.
    static void SaveTo(CScheduleTask& task, const CListRows& rows);
};
