#include "cli/PrintTableCommand.h"

#include "base/task/ScheduleTask.h"
#include "cli/CommandTexts.h"
#include "cli/RecordFinder.h"
#ifdef QUILLON_CLI_PRINT
#include "cli/PdfResultWriter.h"
#endif

CPrintTableCommand::CPrintTableCommand()
    : CTaskCommand("print-table", "把各班名单（或一个班的名单）打印成 PDF", Access::Read,
                   {{"OUT.pdf", CommandTexts::MissingPdf}}, {{"--class", "班级", CommandTexts::ClassProblem}})
{
}

std::optional<ExitCode> CPrintTableCommand::Check(const CArguments&, CConsole& console) const
{
    return CheckPrinting(console);
}

ExitCode CPrintTableCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    std::string classId;
    if (const ExitCode found = CRecordFinder(task, console).ClassByName(arguments.OptionOr("--class", ""), classId);
        found != ExitCode::Done)
        return found;
#ifdef QUILLON_CLI_PRINT
    const std::string& pdfPath = arguments.operands[1];
    if (!CPdfResultWriter::WriteRosters(task, classId, pdfPath))
        return console.Error(ExitCode::NotWritten, CommandTexts::PdfNotWritten(pdfPath));
#endif
    return ExitCode::Done;
}
