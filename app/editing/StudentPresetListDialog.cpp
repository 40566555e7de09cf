#include "StudentPresetListDialog.h"

#include "ObjectPickerDialog.h"
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
    SetTitle(QStringLiteral("预分班"));
    GetButton(Button::Print)->hide();
}

void CStudentPresetListDialog::InitList()
{
    CListEditorDialog::InitList();
    SetColumns({{QStringLiteral("ID"), 0},
                {QStringLiteral("学生"), 200},
                {QStringLiteral("预先安排在"), 400}});
    StretchLastColumn();

    // Filled outside the list's reset: the task's checks on opening may
    // have something to say.
    CListEditorRows loaded;
    CPresetRows::Load(GetTask(), loaded);
    LoadRows([&loaded](CListEditorRows& rows) { rows = std::move(loaded); });
}

bool CStudentPresetListDialog::SaveList()
{
    ReplaceByRowRecords<CStudentPreset>(GetTask().GetStudentPresetList());
    return CListEditorDialog::SaveList();
}

int CStudentPresetListDialog::FindRow(const std::string& studentId) const
{
    return CPresetRows::FindRow(*model().GetRows(), studentId);
}

void CStudentPresetListDialog::AddItem()
{
    CScheduleTask& task = GetTask();
    const CQZObject* student = CObjectPickerDialog::Pick(this, task.GetStudentInfoList(),
                                                         CObjectPickerDialog::Kind::Students,
                                                         QStringLiteral("选择预分班的学生"));
    if (!student)
        return;
    // A student has one pre-assignment at most: adding changes its class.
    if (const int existing = FindRow(student->GetId()); existing >= 0) {
        SelectOnly(existing);
        MakeVisible(existing);
        ModifyItem();
        return;
    }
    const CQZObject* chosen = CObjectPickerDialog::Pick(this, task.GetClassInfoList(),
                                                        CObjectPickerDialog::Kind::Classes,
                                                        classCaption(student->GetName()));
    if (!chosen)
        return;
    std::unique_ptr<CStudentPreset> preset = CPresetRows::NewPreset(student->GetId(), chosen->GetId());
    std::vector<std::string> cells = CPresetRows::Cells(task, *preset);
    const int row = AppendRow(std::move(cells), std::move(preset));
    SelectOnly(row);
    MakeVisible(row);
    SetModified(true);
}

void CStudentPresetListDialog::ModifyItem()
{
    const int row = GetFirstSelectedRow();
    auto* preset = dynamic_cast<CStudentPreset*>(GetAttached(row));
    if (!preset)
        return;
    CScheduleTask& task = GetTask();
    const CQZObject* student = task.GetStudentInfoList().Find(GetCellText(row, ColumnId));
    if (!student)
        return;
    const CQZObject* chosen =
        CObjectPickerDialog::Pick(this, task.GetClassInfoList(), CObjectPickerDialog::Kind::Classes,
                                  classCaption(student->GetName()), preset->GetPresetClassId());
    if (!chosen)
        return;
    preset->SetPresetClassId(chosen->GetId());
    SetCellText(row, ColumnClass, chosen->GetName());
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
