#include "ClassListDialog.h"

#include "BatchAddClassDialog.h"
#include "ClassEditDialog.h"
#include "ClassInfo.h"
#include "RecordOrder.h"
#include "ScheduleTask.h"

#include <QPushButton>

#include <charconv>

namespace {
// The decimal value of a count cell; 0 when it holds none.
unsigned CountOf(const std::string& text)
{
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() ? value : 0;
}
} // namespace

CClassListDialog::CClassListDialog(CScheduleTask& task, QWidget* parent) : CListEditorDialog(task, parent)
{
    SetTitle(QStringLiteral("班级信息列表"));
    GetButton(Button::Print)->hide();
    m_batchButton = InsertButton(QStringLiteral("批量添加(&B)"), Button::Add);
    connect(m_batchButton, &QPushButton::clicked, this, [this] { OpenBatchAdd(); });
    OpenByItselfWhenEmpty([this] { OpenBatchAdd(); });
}

void CClassListDialog::InitList()
{
    CListEditorDialog::InitList();
    SetColumns({{QStringLiteral("ID"), 0},
                {QStringLiteral("班级名称"), 360},
                {QStringLiteral("人数"), 100}});
    const std::vector<CClassInfo*> classes = CRecordOrder::InIndexOrder<CClassInfo>(GetTask().GetClassInfoList());
    LoadRows([&classes](CListEditorRows& rows) {
        rows.Reserve(static_cast<int>(classes.size()));
        for (const CClassInfo* info : classes)
            rows.Append({info->GetId(), info->GetName(), std::to_string(info->GetStudentCount())});
    });
}

bool CClassListDialog::SaveList()
{
    CScheduleTask& task = GetTask();
    CQZObjectList& list = task.GetClassInfoList();
    const int rows = GetRowCount();
    for (int row = 0; row < rows; ++row) {
        const std::string id = GetCellText(row, ColumnId);
        if (auto* info = list.FindAs<CClassInfo>(id)) {
            info->SetName(GetCellText(row, ColumnName));
            info->SetStudentCount(CountOf(GetCellText(row, ColumnStudentCount)));
            info->SetIndex(row);
            list.Modify(info);
        } else {
            auto added = std::make_unique<CClassInfo>();
            added->SetId(id);
            added->SetName(GetCellText(row, ColumnName));
            added->SetStudentCount(CountOf(GetCellText(row, ColumnStudentCount)));
            added->SetIndex(row);
            list.Add(std::move(added));
        }
    }
    for (const std::string& id : GetDeletedIds()) {
        list.Remove(id);
        task.DelClassRelation(id);
    }
    ClearDeletedIds();
    return CListEditorDialog::SaveList();
}

void CClassListDialog::AddItem()
{
    CClassEditDialog dialog(*this, CClassEditDialog::Mode::Add, this);
    dialog.exec();
}

void CClassListDialog::ModifyItem()
{
    const int row = GetFirstSelectedRow();
    if (row < 0)
        return;
    CClassEditDialog dialog(*this, CClassEditDialog::Mode::Modify, this);
    dialog.SetFields(QString::fromStdString(GetCellText(row, ColumnName)),
                     QString::fromStdString(GetCellText(row, ColumnStudentCount)));
    dialog.exec();
}

void CClassListDialog::OnItemDoubleClick()
{
    ModifyItem();
}

QString CClassListDialog::GetPrintTitle() const
{
    return QStringLiteral("班级信息");
}

int CClassListDialog::SubmitRow(RowRequest& request, const Row& row)
{
    request.accepted = false;
    if (row.size() < 2)
        return -1;
    // New cells for the selected row need a selected row.
    const int selected = GetFirstSelectedRow();
    if (request.mode != RowMode::Add && selected < 0) {
        request.message = "没有选择要修改的班级";
        return -1;
    }
    if (IsDuplicateName(row, request))
        return -1;
    request.accepted = true;
    int target = selected;
    if (request.mode == RowMode::Add)
        target = AppendRow({NewObjectId(), row[0], row[1]});
    else {
        SetCellText(target, ColumnName, row[0]);
        SetCellText(target, ColumnStudentCount, row[1]);
    }
    SelectOnly(target);
    MakeVisible(target);
    SetModified(true);
    return 0;
}

void CClassListDialog::OpenBatchAdd()
{
    CBatchAddClassDialog dialog(*this, this);
    if (dialog.exec() == QDialog::Accepted)
        UpdateCountText();
}
