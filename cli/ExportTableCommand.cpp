#include "cli/ExportTableCommand.h"

#include "base/task/ScheduleTask.h"
#include "cli/CommandTexts.h"
#include "cli/RecordFinder.h"
#include "cli/TableRowChoice.h"
#include "core/DivisionTableData.h"
#include "logic/export/DivisionTableExport.h"
#include "logic/export/WorkbookWriter.h"
#include "logic/import/SheetText.h"

#include <string_view>

namespace {
std::vector<CCommand::Option> ExportOptions()
{
    std::vector<CCommand::Option> options = {{"--class", "班级", CommandTexts::ClassProblem}};
    for (CCommand::Option& option : CTableRowChoice::Options())
        options.push_back(std::move(option));
    return options;
}
} // namespace

CExportTableCommand::CExportTableCommand()
    : CTaskCommand("export-table", "把分班表导出为Excel工作簿", Access::Read,
                   {{"OUT.xlsx", "缺少导出的文件名（.xlsx）。"}}, ExportOptions())
{
}

std::optional<ExitCode> CExportTableCommand::Check(const CArguments& arguments, CConsole& console) const
{
    const std::string& file = arguments.operands[1];
    if (file.size() < 5 || !CSheetText::EqualsNoCase(std::string_view(file).substr(file.size() - 5), ".xlsx"))
        return console.Usage("导出的文件名应以 .xlsx 结尾。");
    return std::nullopt;
}

ExitCode CExportTableCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    const std::string& file = arguments.operands[1];
    const std::string className = arguments.OptionOr("--class", "");
    std::string classId;
    if (const ExitCode found = CRecordFinder(task, console).ClassByName(className, classId); found != ExitCode::Done)
        return found;
    CDivisionTableData data(task);
    data.Fill(classId);
    // The rows in the order and choice given, as the window exports them.
    if (const std::optional<ExitCode> wrong = CTableRowChoice::Apply(data, arguments, console))
        return *wrong;
    std::string error;
    if (!CWorkbookWriter::ExportTable(file, CDivisionTableExport::Build(data, className), error))
        return console.Error(ExitCode::NotWritten, std::string(CWorkbookWriter::kExportFailure) + '\n' + error);
    console.Out() << "已导出分班表 " << data.GetRowCount() << " 行：" << file << '\n';
    console.Out().flush();
    return ExitCode::Done;
}
