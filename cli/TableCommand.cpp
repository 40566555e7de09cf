#include "cli/TableCommand.h"

#include "base/task/ScheduleTask.h"
#include "cli/CommandTexts.h"
#include "cli/RecordFinder.h"
#include "cli/TableRowChoice.h"
#include "core/DivisionTableData.h"

namespace {
std::vector<CCommand::Option> TableOptions()
{
    std::vector<CCommand::Option> options = {{"--class", "班级", CommandTexts::ClassProblem}};
    for (CCommand::Option& option : CTableRowChoice::Options())
        options.push_back(std::move(option));
    return options;
}
} // namespace

CTableCommand::CTableCommand() : CTaskCommand("table", "输出分班表（制表符分隔）", Access::Read, {}, TableOptions()) {}

ExitCode CTableCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    std::string classId;
    if (const ExitCode found = CRecordFinder(task, console).ClassByName(arguments.OptionOr("--class", ""), classId);
        found != ExitCode::Done)
        return found;
    CDivisionTableData table(task);
    table.Fill(classId);
    if (const std::optional<ExitCode> wrong = CTableRowChoice::Apply(table, arguments, console))
        return *wrong;
    // The student id column stays internal.
    console.PrintLine(table.ColumnTitles(), CDivisionTableData::ColumnNumber);
    for (std::size_t row = 0; row < table.GetRowCount(); ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < table.GetColumnCount(); ++column)
            cells.push_back(table.CellText(row, column));
        console.PrintLine(cells, CDivisionTableData::ColumnNumber);
    }
    console.Out().flush();
    return ExitCode::Done;
}
