#include "MutexStudentListDialog.h"

#include "MutexStudent.h"
#include "MutexStudentEditDialog.h"
#include "RecordOrder.h"
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

    CScheduleTask& task = GetTask();
    task.MaintainMutexDataIntegrity();
    const std::vector<CMutexStudent*> groups = CRecordOrder::InIndexOrder<CMutexStudent>(task.GetMutexStudentList());
    LoadRows([&task, &groups](CListEditorRows& rows) {
        rows.Reserve(static_cast<int>(groups.size()));
        for (CMutexStudent* group : groups) {
            if (group->GetMutexStudents().empty())
                continue;
            rows.Append({group->GetId(), std::to_string(rows.RowCount() + 1),
                         task.GetStudentNameList(group->GetMutexStudents())},
                        CListEditorRows::CopyOf(group));
        }
    });
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
    const std::string names = GetTask().GetStudentNameList(row);
    if (request.mode == RowMode::Add) {
        auto group = std::make_unique<CMutexStudent>();
        group->SetId(NewObjectId());
        group->GetMutexStudents() = row;
        const std::string id = group->GetId();
        const int added = AppendRow({id, std::to_string(GetRowCount() + 1), names}, std::move(group));
        MakeVisible(added);
    } else {
        const int selected = GetFirstSelectedRow();
        auto* group = dynamic_cast<CMutexStudent*>(GetAttached(selected));
        // New students for a group need a selected group.
        if (!group) {
            request.message = "没有选择要修改的互斥学生组";
            return -1;
        }
        group->GetMutexStudents() = row;
        SetCellText(selected, ColumnNames, names);
    }
    request.accepted = true;
    SetModified(true);
    return 0;
}
