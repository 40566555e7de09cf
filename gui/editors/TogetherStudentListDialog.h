#pragma once

#include "gui/editors/StudentGroupListDialog.h"
#include "logic/editing/TogetherGroupRows.h"

// "同班学生组": groups of students who must share a class (twins,
// siblings). The user types a group as student names
// (CTogetherStudentEditDialog); the editor keeps the students' ids. The
// groups belong to the task's division rules, which are saved with input.xml
// into the rules file beside it.
//
// Rows: "ID", "序号", "同班学生列表" (the names), and the ids, never shown.
// A submitted row is the list of the group's student ids.
class CTogetherStudentListDialog : public CStudentGroupListDialog
{
    Q_OBJECT

public:
    using Column = CTogetherGroupRows::Column;
    using enum CTogetherGroupRows::Column;

    explicit CTogetherStudentListDialog(CScheduleTask& task, QWidget* parent = nullptr);

    // Drops the students that are gone first.
    void InitList() override;
    // Replaces the task's together groups by the rows' groups, then saves.
    // Refused while the rules file cannot be read; a failed save leaves the
    // task's groups as they were.
    bool SaveList() override;
    // Add: a new group. Replace: new students for the selected row's group.
    int SubmitRow(RowRequest& request, const Row& row) override;

protected:
    std::unique_ptr<CStudentNamesDialog> newNamesDialog(CRowEditDialog::Mode mode) override;
};
