#include "MutexStudentListDialog.h"

#include "MutexStudent.h"
#include "MutexStudentEditDialog.h"
#include "RecordOrder.h"
#include "ScheduleTask.h"

#include <QPushButton>

CMutexStudentListDialog::CMutexStudentListDialog(CScheduleTask& task, QWidget* parent)
    : CListEditorDialog(task, parent)
{
    setTitle(QStringLiteral("互斥学生组"));
    button(Button::Print)->hide();
}

void CMutexStudentListDialog::InitList()
{
    CListEditorDialog::InitList();
    setColumns({{QStringLiteral("ID"), 0},
                {QStringLiteral("序号"), 60},
                {QStringLiteral("互斥学生列表"), 400}});
    stretchLastColumn();

    CScheduleTask& task = this->task();
    task.MaintainMutexDataIntegrity();
    const std::vector<CMutexStudent*> groups = CRecordOrder::InIndexOrder<CMutexStudent>(task.GetMutexStudentList());
    loadRows([&task, &groups](CListEditorRows& rows) {
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
    replaceByRowRecords<CMutexStudent>(task().GetMutexStudentList());
    return CListEditorDialog::SaveList();
}

void CMutexStudentListDialog::AddItem()
{
    CMutexStudentEditDialog dialog(*this, task(), CMutexStudentEditDialog::Mode::Add, this);
    dialog.exec();
}

void CMutexStudentListDialog::ModifyItem()
{
    const int row = firstSelectedRow();
    if (row < 0)
        return;
    CMutexStudentEditDialog dialog(*this, task(), CMutexStudentEditDialog::Mode::Modify, this);
    dialog.setNames(QString::fromStdString(cellText(row, ColumnNames)));
    dialog.exec();
}

void CMutexStudentListDialog::DeleteSelected()
{
    CListEditorDialog::DeleteSelected();
    renumberRows(ColumnNumber);
}

void CMutexStudentListDialog::OnMovedUp()
{
    renumberRows(ColumnNumber);
}

void CMutexStudentListDialog::OnMovedDown()
{
    renumberRows(ColumnNumber);
}

void CMutexStudentListDialog::OnItemDoubleClick()
{
    ModifyItem();
}

int CMutexStudentListDialog::SubmitRow(RowRequest& request, const Row& row)
{
    request.accepted = false;
    const std::string names = task().GetStudentNameList(row);
    if (request.mode == RowMode::Add) {
        auto group = std::make_unique<CMutexStudent>();
        group->SetId(NewObjectId());
        group->GetMutexStudents() = row;
        const std::string id = group->GetId();
        const int added = appendRow({id, std::to_string(rowCount() + 1), names}, std::move(group));
        makeVisible(added);
    } else {
        const int selected = firstSelectedRow();
        auto* group = dynamic_cast<CMutexStudent*>(attached(selected));
        // New students for a group need a selected group.
        if (!group) {
            request.message = "没有选择要修改的互斥学生组";
            return -1;
        }
        group->GetMutexStudents() = row;
        setCellText(selected, ColumnNames, names);
    }
    request.accepted = true;
    SetModified(true);
    return 0;
}
