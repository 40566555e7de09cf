#include "logic/editing/PresetRows.h"

#include "logic/editing/ListEditorRows.h"
#include "logic/editing/RecordOrder.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentPreset.h"

void CPresetRows::Load(CScheduleTask& task, CListEditorRows& rows)
{
    task.MaintainPresetDataIntegrity();
    Fill(task, rows);
}

void CPresetRows::LoadInMemory(CScheduleTask& task, CListEditorRows& rows)
{
    task.DropStalePresets();
    Fill(task, rows);
}

void CPresetRows::Fill(const CScheduleTask& task, CListEditorRows& rows)
{
    const std::vector<CStudentPreset*> presets =
        CRecordOrder::InIndexOrder<CStudentPreset>(task.GetStudentPresetList());
    rows.Reserve(static_cast<int>(presets.size()));
    for (CStudentPreset* preset : presets)
        rows.Append(Cells(task, *preset), CListEditorRows::CopyOf(preset));
}

std::vector<std::string> CPresetRows::Cells(const CScheduleTask& task, const CStudentPreset& preset)
{
    return {preset.GetId(), task.GetStudentName(preset.GetId()), task.GetClassName(preset.GetPresetClassId())};
}

std::unique_ptr<CStudentPreset> CPresetRows::NewPreset(const std::string& studentId, const std::string& classId)
{
    auto preset = std::make_unique<CStudentPreset>();
    preset->SetId(studentId);
    preset->SetPresetClassId(classId);
    return preset;
}

int CPresetRows::FindRow(const CListRows& rows, const std::string& studentId)
{
    const int count = rows.RowCount();
    for (int row = 0; row < count; ++row) {
        if (rows.CellText(row, ColumnId) == studentId)
            return row;
    }
    return -1;
}

void CPresetRows::SaveTo(CScheduleTask& task, const CListEditorRows& rows)
{
    CRecordOrder::ReplaceInOrder<CStudentPreset>(task.GetStudentPresetList(), rows.RowCount(),
                                                 [&rows](int row) { return rows.Attached(row); });
}
