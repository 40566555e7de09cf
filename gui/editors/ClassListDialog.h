#pragma once

#include "logic/editing/ClassRows.h"
#include "gui/editors/ListEditorDialog.h"

class QPushButton;

// "班级信息列表": the classes of the task with their planned number of
// students and their head teachers. Classes are added one at a time
// (CClassEditDialog) or after a numbering pattern (CBatchAddClassDialog);
// both hand their rows to SubmitRow, so every name passes the duplicate
// test. An empty list opens the batch dialog by itself. "修改" with several
// classes selected sets the number or the head teacher of all of them in
// one step (CClassesChangeDialog).
//
// Rows: "ID", "班级名称", "人数", "班主任". A submitted row is the name,
// the number of students as decimal text and, if given, the head teacher.
class CClassListDialog : public CListEditorDialog
{
    Q_OBJECT

public:
    using Column = CClassRows::Column;
    using enum CClassRows::Column;

    explicit CClassListDialog(CScheduleTask& task, QWidget* parent = nullptr);

    void InitList() override;
    // Updates the task's classes in place (their other data stays), adds
    // the new ones and removes the deleted ones with the pre-assignments to
    // them, then saves. The deleted ids are kept until a save succeeds: a
    // failed save puts the task back as it was, and the next save must
    // still remove them.
    bool SaveList() override;
    // Asks first when students are pre-assigned to a selected class: their
    // pre-assignments go with it when the list is saved.
    void DeleteSelected() override;
    void AddItem() override;
    // One selected class: its dialog; several: the dialog for all of them.
    void ModifyItem() override;
    void OnItemDoubleClick() override;
    QString GetPrintTitle() const override;
    // The count, and under it the shortage of planned seats for the
    // task's students, if any.
    void UpdateCountText() override;
    int SubmitRow(RowRequest& request, const Row& row) override;

    // Writes change into every selected row.
    void changeSelected(const CClassRows::Change& change);

    // The batch dialog; refreshes the count when it added.
    virtual void OpenBatchAdd();
    // The program's settings file, where the batch dialog remembers its
    // last batch; none by default.
    void setSettingsFile(const std::string& path) { m_settingsFile = path; }

    QPushButton* batchButton() const { return m_batchButton; }

private:
    QPushButton* m_batchButton = nullptr;
    std::string m_settingsFile;
};
