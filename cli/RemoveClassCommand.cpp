#include "cli/RemoveClassCommand.h"

#include "base/records/StudentPreset.h"
#include "base/task/ScheduleTask.h"
#include "cli/RecordFinder.h"
#include "logic/editing/ClassRows.h"
#include "logic/editing/ListEditorRows.h"

CRemoveClassCommand::CRemoveClassCommand()
    : CTaskCommand("remove-class", "删除一个班级（名称或ID），预分到该班的预分班一并删除", Access::Change,
                   {{"班级", "缺少要删除的班级（名称或ID）。"}})
{
}

ExitCode CRemoveClassCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    std::string classId;
    if (const ExitCode found = CRecordFinder(task, console).Class(arguments.operands[1], classId);
        found != ExitCode::Done)
        return found;
    // As the classes editor deletes the row and saves.
    CListEditorRows rows;
    CClassRows::Load(task, rows);
    for (int row = rows.RowCount() - 1; row >= 0; --row) {
        if (rows.CellText(row, CClassRows::ColumnId) == classId)
            rows.RemoveRows({row});
    }
    const std::string className = task.GetClassName(classId);
    std::vector<std::string> students;
    for (const CStudentPreset* preset : CClassRows::PresetsTo(task, {classId})) {
        const std::string student = task.GetStudentName(preset->GetId());
        students.push_back(student.empty() ? preset->GetId() : student);
    }
    CClassRows::SaveTo(task, rows, {classId});
    if (!SaveChange(task, "删除班级", console))
        return ExitCode::NotSaved;
    std::ostream& out = console.Out();
    out << "已删除班级 " << className << "。\n";
    for (const std::string& student : students)
        out << "已取消 " << student << " 的预分班（原在 " << className << "）。\n";
    out.flush();
    return ExitCode::Done;
}
