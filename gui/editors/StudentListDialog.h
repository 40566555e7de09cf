#pragma once

#include "gui/editors/ListEditorDialog.h"
#include "logic/editing/StudentTable.h"

#include <QTimer>

#include <memory>

class QPushButton;

// "学生信息列表": the students of the task and the names of their score
// subjects. Students are not typed in one by one: an empty list is filled
// by importing a spreadsheet (the import wizard opens by itself when the
// list is empty), emptied with "清空", and saved. Saving rebuilds every
// student record from the rows.
//
// The rows are a CStudentTable, which decides what an import brings in: the
// columns "姓名" (required), "性别" and "原学校", and every column whose
// title starts with a star, a score subject named by the rest of the title.
//
// Rows: "ID", "序号", "姓名", "性别", "原学校", then one column per score
// subject.
class CStudentListDialog : public CListEditorDialog
{
    Q_OBJECT

public:
    explicit CStudentListDialog(CScheduleTask& task, QWidget* parent = nullptr);

    void InitList() override;
    // Replaces the task's students and score subject names by the rows,
    // then saves as every editor does.
    bool SaveList() override;
    // Opens the import wizard; a list with rows must be cleared first.
    void ImportItems() override;
    // There is no dialog for one student.
    void OnItemDoubleClick() override;
    // The header row of an import (the column map and the score columns)
    // and the student rows; see CStudentTable::SubmitRow.
    int SubmitRow(RowRequest& request, const Row& row) override;
    // The rows and score columns as the import found them, to put back
    // when the user drops what an import brought.
    void BeginImport() override;
    // The list scrolls to the last row of a batch once, at its end.
    void BeginRows() override { m_rowsHeld = true; }
    void EndRows() override;
    bool UndoImport() override;
    // How many imported students have no name, if any.
    QString ImportNote() const override;
    // The count, and under it the shortage of the classes' planned seats
    // for the listed students, if any.
    void UpdateCountText() override;

    // "清空(&R)": removes every row; the score columns stay.
    void clearList();

    const CStudentTable& table() const { return m_table; }
    QPushButton* clearButton() const { return m_clearButton; }

    // The picture of a sample sheet that the import wizard shows.
    static QString samplePicture();

private:
    // The list's columns as the table has them.
    void showColumns();
    // An import hands over thousands of rows a second, and painting the
    // list for each would take most of the time: while rows keep coming,
    // the list is painted at most every 100 ms.
    void holdRepaints();

    CStudentTable m_table;
    std::unique_ptr<CStudentTable> m_beforeImport; // while the wizard is open
    bool m_modifiedBeforeImport = false;
    QPushButton* m_clearButton = nullptr;
    QTimer m_repaintHeld;
    bool m_rowsHeld = false;  // between BeginRows and EndRows
    bool m_rowsAdded = false; // rows added while held
};
