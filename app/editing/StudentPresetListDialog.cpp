#include "StudentPresetListDialog.h"

#include "ObjectPickerDialog.h"
#include "RecordOrder.h"
#include "ScheduleTask.h"

#include <QPushButton>
#include "StudentPreset.h"

namespace {
QString classCaption(const std::string& studentName)
{
    return QStringLiteral("选择 %1 预分的班级").arg(QString::fromStdString(studentName));
}
} // namespace

CStudentPresetListDialog::CStudentPresetListDialog(CScheduleTask& task, QWidget* parent)
    : CListEditorDialog(task, parent)
{
    setTitle(QStringLiteral("预分班"));
    button(Button::Print)->hide();
}

void CStudentPresetListDialog::InitList()
{
    CListEditorDialog::InitList();
    setColumns({{QStringLiteral("ID"), 0},
                {QStringLiteral("学生"), 200},
                {QStringLiteral("预先安排在"), 400}});
    stretchLastColumn();

    CScheduleTask& task = this->task();
    task.MaintainPresetDataIntegrity();
    const std::vector<CStudentPreset*> presets =
        CRecordOrder::InIndexOrder<CStudentPreset>(task.GetStudentPresetList());
    loadRows([&task, &presets](CListEditorRows& rows) {
        rows.Reserve(static_cast<int>(presets.size()));
        for (CStudentPreset* preset : presets) {
            rows.Append({preset->GetId(), task.GetStudentName(preset->GetId()),
                         task.GetClassName(preset->GetPresetClassId())},
                        CListEditorRows::CopyOf(preset));
        }
    });
}

bool CStudentPresetListDialog::SaveList()
{
    replaceByRowRecords<CStudentPreset>(task().GetStudentPresetList());
    return CListEditorDialog::SaveList();
}

int CStudentPresetListDialog::findRow(const std::string& studentId) const
{
    const int rows = rowCount();
    for (int row = 0; row < rows; ++row) {
        if (cellText(row, ColumnId) == studentId)
            return row;
    }
    return -1;
}

void CStudentPresetListDialog::AddItem()
{
    CScheduleTask& task = this->task();
    const CQZObject* student = CObjectPickerDialog::pick(this, task.GetStudentInfoList(),
                                                         CObjectPickerDialog::Kind::Students,
                                                         QStringLiteral("选择预分班的学生"));
    if (!student)
        return;
    // A student has one pre-assignment at most: adding changes its class.
    if (const int existing = findRow(student->GetId()); existing >= 0) {
        selectOnly(existing);
        makeVisible(existing);
        ModifyItem();
        return;
    }
    const CQZObject* chosen = CObjectPickerDialog::pick(this, task.GetClassInfoList(),
                                                        CObjectPickerDialog::Kind::Classes,
                                                        classCaption(student->GetName()));
    if (!chosen)
        return;
    auto preset = std::make_unique<CStudentPreset>();
    preset->SetId(student->GetId());
    preset->SetPresetClassId(chosen->GetId());
    const int row = appendRow({student->GetId(), student->GetName(), chosen->GetName()}, std::move(preset));
    selectOnly(row);
    makeVisible(row);
    SetModified(true);
}

void CStudentPresetListDialog::ModifyItem()
{
    const int row = firstSelectedRow();
    auto* preset = dynamic_cast<CStudentPreset*>(attached(row));
    if (!preset)
        return;
    CScheduleTask& task = this->task();
    const CQZObject* student = task.GetStudentInfoList().Find(cellText(row, ColumnId));
    if (!student)
        return;
    const CQZObject* chosen =
        CObjectPickerDialog::pick(this, task.GetClassInfoList(), CObjectPickerDialog::Kind::Classes,
                                  classCaption(student->GetName()), preset->GetPresetClassId());
    if (!chosen)
        return;
    preset->SetPresetClassId(chosen->GetId());
    setCellText(row, ColumnClass, chosen->GetName());
    SetModified(true);
}

void CStudentPresetListDialog::OnItemDoubleClick()
{
    ModifyItem();
}

QString CStudentPresetListDialog::GetPrintTitle() const
{
    return QStringLiteral("预分班");
}
