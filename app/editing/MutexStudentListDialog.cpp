#include "MutexStudentListDialog.h"

#include "MutexStudent.h"
#include "MutexStudentEditDialog.h"
#include "ScheduleTask.h"

#include <QPushButton>

CMutexStudentListDialog::CMutexStudentListDialog(CScheduleTask& task, QWidget* parent)
    : CListEditorDialog(task, parent)
{
    SetTitle(QStringLiteral("互斥学生组"));
    GetButton(Button::Print)->hide();
}

void CMutexStudentListDialog::InitList()
{
    CListEditorDialog::InitList();
    SetColumns({{QStringLiteral("ID"), 0},
                {QStringLiteral("序号"), 60},
                {QStringLiteral("互斥学生列表"), 400}});
    StretchLastColumn();

    // Filled outside the list's reset: the task's checks on opening may
    // have something to say.
    CListEditorRows loaded;
    CMutexGroupRows::Load(GetTask(), loaded);
    LoadRows([&loaded](CListEditorRows& rows) { rows = std::move(loaded); });
}

bool CMutexStudentListDialog::SaveList()
{
    ReplaceByRowRecords<CMutexStudent>(GetTask().GetMutexStudentList());
    return CListEditorDialog::SaveList();
}

void CMutexStudentListDialog::AddItem()
{
    CMutexStudentEditDialog dialog(*this, GetTask(), CMutexStudentEditDialog::Mode::Add, this);
    dialog.exec();
}

void CMutexStudentListDialog::ModifyItem()
{
    const int row = GetFirstSelectedRow();
    if (row < 0)
        return;
    CMutexStudentEditDialog dialog(*this, GetTask(), CMutexStudentEditDialog::Mode::Modify, this);
    dialog.SetNames(QString::fromStdString(GetCellText(row, ColumnNames)));
    dialog.exec();
}

void CMutexStudentListDialog::DeleteSelected()
{
    CListEditorDialog::DeleteSelected();
    RenumberRows(ColumnNumber);
}

void CMutexStudentListDialog::OnMovedUp()
{
    RenumberRows(ColumnNumber);
}

void CMutexStudentListDialog::OnMovedDown()
{
    RenumberRows(ColumnNumber);
}

void CMutexStudentListDialog::OnItemDoubleClick()
{
    ModifyItem();
}

int CMutexStudentListDialog::SubmitRow(RowRequest& request, const Row& row)
{
    request.accepted = false;
    if (request.mode == RowMode::Add) {
        std::unique_ptr<CMutexStudent> group = CMutexGroupRows::NewGroup(row);
        std::vector<std::string> cells = CMutexGroupRows::Cells(GetTask(), *group, GetRowCount());
        MakeVisible(AppendRow(std::move(cells), std::move(group)));
    } else {
        const int selected = GetFirstSelectedRow();
        auto* group = dynamic_cast<CMutexStudent*>(GetAttached(selected));
        // New students for a group need a selected group.
        if (!group) {
            request.message = "没有选择要修改的互斥学生组";
            return -1;
        }
        group->GetMutexStudents() = row;
        SetCellText(selected, ColumnNames, GetTask().GetStudentNameList(row));
    }
    request.accepted = true;
    SetModified(true);
    return 0;
}
