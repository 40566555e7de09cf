#pragma once

#include <memory>
#include <string>
#include <vector>

class CListEditorRows;
class CMutexStudent;
class CScheduleTask;

// The rows of the exclusive groups editor without its window, shared by
// the window and quillon-cli. Every row carries its own copy of its group.
//
// Rows: "ID", "序号" (the row's number from 1), "互斥学生列表" (the names).
class CMutexGroupRows
{
public:
    enum Column
    {
        ColumnId = 0,
        ColumnNumber,
        ColumnNames,
    };

    // Drops from the task what no longer fits its students first; then one
    // row per group that has students, in index order.
    static void Load(CScheduleTask& task, CListEditorRows& rows);
    // The rows alone, of a task whose groups name only its students.
    static void Fill(const CScheduleTask& task, CListEditorRows& rows);
    // As Load, dropping what no longer fits in memory only: the caller's
    // own save writes it.
    static void LoadInMemory(CScheduleTask& task, CListEditorRows& rows);
    // The cells of the row of group at zero-based position row.
    static std::vector<std::string> Cells(const CScheduleTask& task, const CMutexStudent& group, int row);
    // A new group of the students, with a new id.
    static std::unique_ptr<CMutexStudent> NewGroup(const std::vector<std::string>& studentIds);
    // Replaces the task's groups by copies of the rows' groups, each with
    // its row's position as index. Does not write the task's files.
    static void SaveTo(CScheduleTask& task, const CListEditorRows& rows);
};
