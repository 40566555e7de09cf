#include "cli/SetClassesCommand.h"

#include "base/task/ScheduleTask.h"
#include "cli/RecordFinder.h"
#include "logic/editing/ClassRows.h"
#include "logic/editing/ListEditorRows.h"

#include <algorithm>

namespace {

// The change the options ask for, checked as the dialog checks its fields:
// the problem, or empty.
std::string ReadChange(const CArguments& arguments, CClassRows::Change& change)
{
    if (!arguments.Has("--seats") && !arguments.Has("--teacher"))
        return "请用 --seats 或 --teacher 指明要修改的内容。";
    if (const std::string* text = arguments.Option("--seats")) {
        int count = 0;
        if (std::string problem = CClassRows::CheckCount(*text, count); !problem.empty())
            return problem;
        change.count = count;
    }
    if (const std::string* text = arguments.Option("--teacher"))
        change.headTeacher = CClassRows::HeadTeacher(*text);
    return {};
}

} // namespace

CSetClassesCommand::CSetClassesCommand()
    : CTaskCommand(
        "set-classes", "修改一个或多个班级（名称或ID）的人数和/或班主任，\n一次保存", Access::Change,
        {{"班级", "缺少要修改的班级（名称或ID）。"}},
        {{"--seats", "N", "--seats 后面应是班级人数。"}, {"--teacher", "NAME", "--teacher 后面应是班主任姓名。"}})
{
    RepeatLastOperand();
}

std::optional<ExitCode> CSetClassesCommand::Check(const CArguments& arguments, CConsole& console) const
{
    CClassRows::Change change;
    if (const std::string problem = ReadChange(arguments, change); !problem.empty())
        return console.Usage(problem);
    return std::nullopt;
}

ExitCode CSetClassesCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    CClassRows::Change change;
    ReadChange(arguments, change); // checked before the task was opened
    std::vector<std::string> classIds;
    CRecordFinder finder(task, console);
    for (std::size_t i = 1; i < arguments.operands.size(); ++i) {
        std::string id;
        if (const ExitCode found = finder.Class(arguments.operands[i], id); found != ExitCode::Done)
            return found;
        classIds.push_back(id);
    }
    // As the classes editor writes the change into the selected rows and saves.
    CListEditorRows rows;
    CClassRows::Load(task, rows);
    const auto cells = CClassRows::ChangedCells(change);
    std::string names;
    for (int row = 0; row < rows.RowCount(); ++row) {
        if (std::find(classIds.begin(), classIds.end(), rows.CellText(row, CClassRows::ColumnId)) == classIds.end())
            continue;
        for (const auto& [column, text] : cells)
            rows.SetCellText(row, column, text);
        names += (names.empty() ? "" : "、") + rows.CellText(row, CClassRows::ColumnName);
    }
    CClassRows::SaveTo(task, rows, {});
    if (!SaveChange(task, "班级", console))
        return ExitCode::NotSaved;
    std::string what;
    if (change.count)
        what = "人数 " + std::to_string(*change.count);
    if (change.headTeacher)
        what += (what.empty() ? "" : "，") + std::string("班主任 ")
                + (change.headTeacher->empty() ? std::string("（无）") : *change.headTeacher);
    console.Out() << "已修改 " << names << "：" << what << "。" << std::endl;
    return ExitCode::Done;
}
