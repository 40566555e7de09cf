#include "cli/PresetCommand.h"

#include "base/records/StudentPreset.h"
#include "base/task/ScheduleTask.h"
#include "cli/EditorListCommand.h"
#include "cli/RecordFinder.h"
#include "logic/editing/ListEditorRows.h"
#include "logic/editing/PresetRows.h"

#include <memory>

CPresetCommand::CPresetCommand()
    : CTaskCommand("preset", "把一名学生预分到一个班级（姓名、名称或ID；\n已有预分班时改到这个班级）", Access::Change,
                   {{"学生", "缺少要预分班的学生（姓名或ID）。"}, {"班级", "缺少预分的班级（名称或ID）。"}})
{
}

ExitCode CPresetCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    std::string studentId;
    std::string classId;
    if (const ExitCode found = CRecordFinder(task, console)
                                   .StudentAndClass(arguments.operands[1], arguments.operands[2], studentId, classId);
        found != ExitCode::Done)
        return found;
    CListEditorRows rows;
    CEditorListCommand::LoadRows(task, rows, &CPresetRows::LoadInMemory);

    // A student has one pre-assignment at most: adding one for a student
    // who has one changes its class.
    std::ostream& out = console.Out();
    const std::string student = task.GetStudentName(studentId);
    const std::string className = task.GetClassName(classId);
    const int row = CPresetRows::FindRow(rows, studentId);
    std::string before;
    if (auto* preset = dynamic_cast<CStudentPreset*>(rows.Attached(row))) {
        before = task.GetClassName(preset->GetPresetClassId());
        if (preset->GetPresetClassId() == classId) {
            out << student << " 已预分在 " << className << "。没有改变。" << std::endl;
            return ExitCode::Done;
        }
        preset->SetPresetClassId(classId);
        rows.SetCellText(row, CPresetRows::ColumnClass, className);
    } else {
        std::unique_ptr<CStudentPreset> added = CPresetRows::NewPreset(studentId, classId);
        std::vector<std::string> cells = CPresetRows::Cells(task, *added);
        rows.Append(std::move(cells), std::move(added));
    }
    CPresetRows::SaveTo(task, rows);
    if (!SaveChange(task, "预分班", console))
        return ExitCode::NotSaved;
    if (before.empty())
        out << "已把 " << student << " 预分在 " << className << "。" << std::endl;
    else
        out << "已把 " << student << " 的预分班从 " << before << " 改为 " << className << "。" << std::endl;
    return ExitCode::Done;
}
