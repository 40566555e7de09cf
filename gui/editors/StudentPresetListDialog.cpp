#include "gui/editors/StudentPresetListDialog.h"

#include "gui/common/MessageBox.h"
#include "gui/editors/ObjectPickerDialog.h"
#include "base/task/ScheduleTask.h"

#include <QPushButton>
#include "base/records/StudentPreset.h"

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
    setObjectName(QStringLiteral("presetEditor"));
    button(Button::Print)->hide();
    // A student by name, or the students of a class.
    setSearchColumns({ColumnStudent, ColumnClass});
}

void CStudentPresetListDialog::InitList()
{
    CListEditorDialog::InitList();
    setColumns({{QStringLiteral("ID"), 0}, {QStringLiteral("学生"), 200}, {QStringLiteral("预先安排在"), 400}});
    stretchLastColumn();

    // Filled outside the list's reset: the task's checks on opening may
    // have something to say.
    CListEditorRows loaded;
    CPresetRows::Load(task(), loaded);
    loadRows([&loaded](CListEditorRows& rows) { rows = std::move(loaded); });
}

bool CStudentPresetListDialog::SaveList()
{
    replaceByRowRecords<CStudentPreset>(task().GetStudentPresetList());
    return CListEditorDialog::SaveList();
}

int CStudentPresetListDialog::findRow(const std::string& studentId) const
{
    return CPresetRows::FindRow(*model().rows(), studentId);
}

void CStudentPresetListDialog::AddItem()
{
    CScheduleTask& task = this->task();
    const CQZObject* student = CObjectPickerDialog::pick(
        this, task.GetStudentInfoList(), CObjectPickerDialog::Kind::Students, QStringLiteral("选择预分班的学生"));
    if (!student)
        return;
    // A student has one pre-assignment at most: adding one for a student
    // who has one replaces it, after asking.
    const int existing = findRow(student->GetId());
    auto* preset = dynamic_cast<CStudentPreset*>(attached(existing));
    if (existing >= 0) {
        selectOnly(existing);
        makeVisible(existing);
    }
    const CQZObject* chosen = CObjectPickerDialog::pick(
        this, task.GetClassInfoList(), CObjectPickerDialog::Kind::Classes, classCaption(student->GetName()),
        preset ? preset->GetPresetClassId() : std::string());
    if (!chosen)
        return;
    if (preset) {
        if (chosen->GetId() == preset->GetPresetClassId())
            return;
        const QString question = QStringLiteral("%1 已预先安排在 %2。\n要改为预分到 %3 吗?")
                                     .arg(QString::fromStdString(student->GetName()),
                                          QString::fromStdString(task.GetClassName(preset->GetPresetClassId())),
                                          QString::fromStdString(chosen->GetName()));
        if (!CMessageBox::question(this, question))
            return;
        preset->SetPresetClassId(chosen->GetId());
        setCellText(existing, ColumnClass, chosen->GetName());
        SetModified(true);
        return;
    }
    std::unique_ptr<CStudentPreset> added = CPresetRows::NewPreset(student->GetId(), chosen->GetId());
    std::vector<std::string> cells = CPresetRows::Cells(task, *added);
    const int row = appendRow(std::move(cells), std::move(added));
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
