#include "cli/UnpresetCommand.h"

#include "base/task/ScheduleTask.h"
#include "cli/EditorListCommand.h"
#include "cli/RecordFinder.h"
#include "logic/editing/ListEditorRows.h"
#include "logic/editing/PresetRows.h"

CUnpresetCommand::CUnpresetCommand()
    : CTaskCommand("unpreset", "取消一名学生的预分班", Access::Change,
                   {{"学生", "缺少要取消预分班的学生（姓名或ID）。"}})
{
}

ExitCode CUnpresetCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    std::string studentId;
    if (const ExitCode found = CRecordFinder(task, console).Student(arguments.operands[1], studentId);
        found != ExitCode::Done)
        return found;
    CListEditorRows rows;
    CEditorListCommand::LoadRows(task, rows, &CPresetRows::LoadInMemory);
    const std::string student = task.GetStudentName(studentId);
    const int row = CPresetRows::FindRow(rows, studentId);
    if (row < 0)
        return console.Error(ExitCode::NoPreset, student + " 没有预分班。");
    const std::string className = rows.CellText(row, CPresetRows::ColumnClass);
    rows.RemoveRows({row});
    CPresetRows::SaveTo(task, rows);
    if (!SaveChange(task, "预分班", console))
        return ExitCode::NotSaved;
    console.Out() << "已取消 " << student << " 的预分班（原在 " << className << "）。" << std::endl;
    return ExitCode::Done;
}
