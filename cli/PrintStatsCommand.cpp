#include "cli/PrintStatsCommand.h"

#include "base/task/ScheduleTask.h"
#include "cli/CommandTexts.h"
#ifdef QUILLON_CLI_PRINT
#include "cli/PdfResultWriter.h"
#endif

CPrintStatsCommand::CPrintStatsCommand()
    : CTaskCommand("print-stats", "把分班统计表打印成 PDF", Access::Read, {{"OUT.pdf", CommandTexts::MissingPdf}})
{
}

std::optional<ExitCode> CPrintStatsCommand::Check(const CArguments&, CConsole& console) const
{
    return CheckPrinting(console);
}

ExitCode CPrintStatsCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
#ifdef QUILLON_CLI_PRINT
    const std::string& pdfPath = arguments.operands[1];
    if (!CPdfResultWriter::WriteStatistics(task, pdfPath))
        return console.Error(ExitCode::NotWritten, CommandTexts::PdfNotWritten(pdfPath));
#else
    (void)task;
    (void)arguments;
    (void)console;
#endif
    return ExitCode::Done;
}
