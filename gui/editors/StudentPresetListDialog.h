#pragma once

#include "gui/editors/ListEditorDialog.h"
#include "logic/editing/PresetRows.h"

// "预分班": students placed in a class before the division. The user picks
// a student, then a class; a student has at most one pre-assignment, so
// adding one for a student who has one changes its class instead, once the
// user has agreed to replace it. Every row
// carries its own copy of its pre-assignment, which is what the editor
// changes and saves.
//
// Rows: "ID" (the student's id), "学生", "预先安排在".
class CStudentPresetListDialog : public CListEditorDialog
{
    Q_OBJECT

public:
    using Column = CPresetRows::Column;
    using enum CPresetRows::Column;

    explicit CStudentPresetListDialog(CScheduleTask& task, QWidget* parent = nullptr);

    // Drops pre-assignments of students or to classes that are gone first.
    void InitList() override;
    // Replaces the task's pre-assignments by copies of the rows', then saves.
    bool SaveList() override;
    void AddItem() override;
    // A new class for the first selected row.
    void ModifyItem() override;
    void OnItemDoubleClick() override;
    QString GetPrintTitle() const override;

    // The row of the student's pre-assignment, or -1.
    int findRow(const std::string& studentId) const;
};
