#include "gui/editors/MutexStudentListDialog.h"

#include "base/records/MutexStudent.h"
#include "gui/editors/MutexStudentEditDialog.h"
#include "base/task/ScheduleTask.h"

CMutexStudentListDialog::CMutexStudentListDialog(CScheduleTask& task, QWidget* parent)
    : CStudentGroupListDialog(task, QStringLiteral("互斥学生组"), QStringLiteral("mutexEditor"), parent)
{
    static_assert(ColumnNumber == kNumberColumn && ColumnNames == kNamesColumn);
}

void CMutexStudentListDialog::InitList()
{
    CListEditorDialog::InitList();
    setColumns({{QStringLiteral("ID"), 0}, {QStringLiteral("序号"), 60}, {QStringLiteral("互斥学生列表"), 400}});
    stretchLastColumn();

    // Filled outside the list's reset: the task's checks on opening may
    // have something to say.
    CListEditorRows loaded;
    CMutexGroupRows::Load(task(), loaded);
    loadRows([&loaded](CListEditorRows& rows) { rows = std::move(loaded); });
}

bool CMutexStudentListDialog::SaveList()
{
    replaceByRowRecords<CMutexStudent>(task().GetMutexStudentList());
    return CListEditorDialog::SaveList();
}

std::unique_ptr<CStudentNamesDialog> CMutexStudentListDialog::newNamesDialog(CRowEditDialog::Mode mode)
{
    return std::make_unique<CMutexStudentEditDialog>(*this, task(), mode, this);
}

int CMutexStudentListDialog::SubmitRow(RowRequest& request, const Row& row)
{
    request.accepted = false;
    if (request.mode == RowMode::Add) {
        std::unique_ptr<CMutexStudent> group = CMutexGroupRows::NewGroup(row);
        std::vector<std::string> cells = CMutexGroupRows::Cells(task(), *group, rowCount());
        makeVisible(appendRow(std::move(cells), std::move(group)));
    } else {
        const int selected = firstSelectedRow();
        auto* group = dynamic_cast<CMutexStudent*>(attached(selected));
        // New students for a group need a selected group.
        if (!group) {
            request.message = "没有选择要修改的互斥学生组";
            return -1;
        }
        group->GetMutexStudents() = row;
        setCellText(selected, ColumnNames, task().GetStudentNameList(row));
    }
    request.accepted = true;
    SetModified(true);
    return 0;
}
