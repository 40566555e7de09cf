#pragma once

#include "gui/editors/StudentGroupListDialog.h"
#include "logic/editing/MutexGroupRows.h"

// "互斥学生组": groups of students who must not share a class. The user
// types a group as student names (CMutexStudentEditDialog); the editor
// keeps the students' ids. Every row carries its own copy of its group,
// which is what the editor changes and saves.
//
// Rows: "ID", "序号", "互斥学生列表" (the names). A submitted row is the
// list of the group's student ids. The same students may form several
// groups.
class CMutexStudentListDialog : public CStudentGroupListDialog
{
    Q_OBJECT

public:
    using Column = CMutexGroupRows::Column;
    using enum CMutexGroupRows::Column;

    explicit CMutexStudentListDialog(CScheduleTask& task, QWidget* parent = nullptr);

    // Drops what no longer fits the task's students first.
    void InitList() override;
    // Replaces the task's groups by copies of the rows' groups, then saves.
    bool SaveList() override;
    // Add: a new group. Replace: new students for the selected row's group.
    int SubmitRow(RowRequest& request, const Row& row) override;

protected:
    std::unique_ptr<CStudentNamesDialog> newNamesDialog(CRowEditDialog::Mode mode) override;
};
