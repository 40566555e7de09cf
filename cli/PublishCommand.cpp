#include "cli/PublishCommand.h"

#include "base/task/ScheduleTask.h"
#include "logic/export/PublicationList.h"
#include "logic/export/WorkbookWriter.h"
#include "logic/import/SheetText.h"
#include "logic/lottery/PostedDigest.h"
#ifdef QUILLON_CLI_PRINT
#include "cli/PdfResultWriter.h"
#endif

#include <algorithm>
#include <string_view>

namespace {

bool EndsWith(const std::string& file, std::string_view suffix)
{
    return file.size() > suffix.size()
           && CSheetText::EqualsNoCase(std::string_view(file).substr(file.size() - suffix.size()), suffix);
}

} // namespace

CPublishCommand::CPublishCommand()
    : CTaskCommand("publish", "分班公示：各班名单按姓名拼音排序，一班一页（PDF）或一班一表（.xlsx），不含成绩",
                   Access::Read, {{"OUT.pdf|OUT.xlsx", "缺少公示名单的文件名（.pdf 或 .xlsx）。"}},
                   {{"--mask-names", "", ""},
                    {"--columns", "name,sex,school,number", "--columns 需要列名，如 name,sex,school。"},
                    {"--school", "学校名称", "--school 需要学校名称。"}})
{
}

std::optional<ExitCode> CPublishCommand::Check(const CArguments& arguments, CConsole& console) const
{
    const std::string& file = arguments.operands[1];
    if (EndsWith(file, ".pdf"))
        return CheckPrinting(console);
    if (!EndsWith(file, ".xlsx"))
        return console.Usage("公示名单的文件名应以 .pdf 或 .xlsx 结尾。");
    return std::nullopt;
}

ExitCode CPublishCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    CPublicationList::Options options;
    options.maskNames = arguments.Has("--mask-names");
    options.schoolName = arguments.OptionOr("--school", "");
    if (const std::string* columns = arguments.Option("--columns")) {
        std::string error;
        if (!CPublicationList::ParseColumns(*columns, options.columns, error, &task))
            return console.Usage(error);
    }
    const CPublicationList list(task, options);
    const auto& columns = options.columns;
    if (std::find(columns.begin(), columns.end(), CPublicationList::Column::ExamNumber) != columns.end()
        && !CPublicationList::HasExamNumbers(task))
        console.Err() << CPublicationList::kNoExamNumbers << '\n';
    if (list.IsEmpty())
        return console.Error(ExitCode::Refused, CPublicationList::kNothingToPost);

    const std::string& file = arguments.operands[1];
    // The lottery's result digest, while the division is the one drawn.
    const CPostedDigest::Outcome posted = CPostedDigest::Of(task);
    if (const std::string warning = CPostedDigest::Warning(posted.state); !warning.empty())
        console.Err() << warning << '\n';
    const std::string footer = CPublicationList::FooterText(CPublicationList::Today(), posted.digest);
    if (EndsWith(file, ".xlsx")) {
        std::string error;
        if (!CWorkbookWriter::ExportTables(file, list.Sheets(footer), error))
            return console.Error(ExitCode::NotWritten, std::string(CWorkbookWriter::kExportFailure) + '\n' + error);
    }
#ifdef QUILLON_CLI_PRINT
    else if (!CPdfResultWriter::WritePublication(list, footer, file)) {
        return console.Error(ExitCode::NotWritten, "无法写入文件：" + file);
    }
#endif
    console.Out() << "已写出分班公示名单（" << list.GetClasses().size() << " 个班）：" << file << '\n';
    if (!posted.digest.empty())
        console.Out() << "结果摘要：" << posted.digest << '\n';
    console.Out().flush();
    return ExitCode::Done;
}
