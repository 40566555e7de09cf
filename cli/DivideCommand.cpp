#include "cli/DivideCommand.h"

#include "base/task/ScheduleTask.h"
#include "cli/CommandTexts.h"
#include "cli/ConsoleOwner.h"
#include "cli/RunSeed.h"
#include "core/Core.h"

CDivideCommand::CDivideCommand()
    : CTaskCommand("divide", "自动分班，保存结果与报告，输出报告", Access::Change, {},
                   {{"--seed", "N", CommandTexts::SeedProblem}})
{
}

std::optional<ExitCode> CDivideCommand::Check(const CArguments& arguments, CConsole& console) const
{
    unsigned long long seed = 0;
    if (!arguments.Number("--seed", seed))
        return OptionUsage("--seed", console);
    return std::nullopt;
}

ExitCode CDivideCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    unsigned long long seed = 0;
    arguments.Number("--seed", seed); // checked before the task was opened
    seed = CRunSeed::Choose(seed, console.Err());

    CConsoleOwner owner(console.Err());
    bool saved = false; // input.xml and report.txt, as the pair the engine writes
    {
        CCore core(task);
        core.Init(&owner);
        core.SetFilter({});
        core.SetSeed(seed);
        core.Start();
        core.Wait();
        saved = core.IsResultSaved();
        core.Free();
    }
    if (!owner.HasEnded())
        return console.Error(ExitCode::Failed, "分班未能完成。");
    // A division whose files were not written is no success: its report is
    // not printed as one.
    const std::string text = task.GetLastReportInfo().GetReportInfo();
    const int result = owner.GetResult();
    if (result != DIVISION_RESULT_REFUSED && !saved)
        return console.Error(ExitCode::NotSaved, CommandTexts::NotSaved("分班结果"));
    console.PrintText(text);
    return static_cast<ExitCode>(result);
}
