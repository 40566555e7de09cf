#include "cli/CertificateCommand.h"

#include "base/task/ScheduleTask.h"
#include "cli/CommandTexts.h"
#include "logic/lottery/LotteryRecord.h"
#ifdef QUILLON_CLI_PRINT
#include "cli/PdfResultWriter.h"
#endif

CCertificateCommand::CCertificateCommand()
    : CTaskCommand("certificate", "把摇号分班的公证记录（分班公证记录）打印成 PDF，留出主持人、公证人、监督人签字处",
                   Access::Read, {{"OUT.pdf", CommandTexts::MissingPdf}},
                   {{"--school", "NAME", "--school 后面应是学校名称。"}})
{
}

std::optional<ExitCode> CCertificateCommand::Check(const CArguments&, CConsole& console) const
{
    return CheckPrinting(console);
}

ExitCode CCertificateCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    CLotteryRecord record;
    std::string inputText;
    switch (CLotteryRecord::Load(task.GetTaskInfo().GetTaskFolder(), record, inputText)) {
    case CLotteryRecord::LoadResult::Loaded: break;
    case CLotteryRecord::LoadResult::Missing:
        return console.Error(ExitCode::NoRecord, "任务文件夹中没有摇号记录：请先用 lottery 摇号分班。");
    case CLotteryRecord::LoadResult::Unreadable:
        return console.Error(ExitCode::NoRecord, "任务文件夹中的摇号记录无法读取。");
    }
#ifdef QUILLON_CLI_PRINT
    const std::string* school = arguments.Option("--school");
    const std::string& pdfPath = arguments.operands[1];
    if (!CPdfResultWriter::WriteLotteryCertificate(record, school ? *school : std::string(), pdfPath))
        return console.Error(ExitCode::NotWritten, CommandTexts::PdfNotWritten(pdfPath));
#else
    (void)arguments;
#endif
    return ExitCode::Done;
}
