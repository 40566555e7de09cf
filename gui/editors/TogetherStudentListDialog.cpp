#include "gui/editors/TogetherStudentListDialog.h"

#include "base/task/ScheduleTask.h"
#include "gui/common/MessageBox.h"
#include "gui/editors/TogetherStudentEditDialog.h"
#include "logic/session/TaskSession.h"

CTogetherStudentListDialog::CTogetherStudentListDialog(CScheduleTask& task, QWidget* parent)
    : CStudentGroupListDialog(task, QStringLiteral("同班学生组"), QStringLiteral("togetherEditor"), parent)
{
    static_assert(ColumnNumber == kNumberColumn && ColumnNames == kNamesColumn);
}

void CTogetherStudentListDialog::InitList()
{
    CListEditorDialog::InitList();
    setColumns({{QStringLiteral("ID"), 0},
                {QStringLiteral("序号"), 60},
                {QStringLiteral("同班学生列表"), 400},
                {QStringLiteral("学生ID"), 0}});
    stretchLastColumn();

    CListEditorRows loaded;
    CTogetherGroupRows::Load(task(), loaded);
    loadRows([&loaded](CListEditorRows& rows) { rows = std::move(loaded); });
    if (task().IsRulesFileDamaged())
        setCountWarning(QStringLiteral("分班规则文件无法读取，这里的修改不能保存。"));
}

bool CTogetherStudentListDialog::SaveList()
{
    if (task().IsRulesFileDamaged()) {
        CMessageBox::error(this, QString::fromStdString(CTaskSession::RulesDamagedText(task(), "同班学生组")));
        return false;
    }
    std::vector<CDivisionRules::TogetherGroup>& groups = task().GetDivisionRules().TogetherGroups();
    const std::vector<CDivisionRules::TogetherGroup> before = groups;
    CTogetherGroupRows::SaveTo(task(), *model().rows());
    if (CListEditorDialog::SaveList())
        return true;
    // The rows stay in the editor; the task keeps what it had.
    groups = before;
    return false;
}

std::unique_ptr<CStudentNamesDialog> CTogetherStudentListDialog::newNamesDialog(CRowEditDialog::Mode mode)
{
    return std::make_unique<CTogetherStudentEditDialog>(*this, task(), mode, this);
}

int CTogetherStudentListDialog::SubmitRow(RowRequest& request, const Row& row)
{
    request.accepted = false;
    if (row.size() < 2) {
        request.message = "同班学生组至少应包含两名同学信息！";
        return -1;
    }
    if (request.mode == RowMode::Add) {
        makeVisible(appendRow(CTogetherGroupRows::Cells(task(), {}, row, rowCount())));
    } else {
        const int selected = firstSelectedRow();
        // New students for a group need a selected group.
        if (selected < 0) {
            request.message = "没有选择要修改的同班学生组";
            return -1;
        }
        setCellText(selected, ColumnNames, task().GetStudentNameList(row));
        setCellText(selected, ColumnStudentIds, CTogetherGroupRows::JoinIds(row));
    }
    request.accepted = true;
    SetModified(true);
    return 0;
}
