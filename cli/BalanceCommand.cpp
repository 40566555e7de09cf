#include "cli/BalanceCommand.h"

#include "base/task/ScheduleTask.h"
#include "cli/CommandTexts.h"
#include "cli/RunSeed.h"
#include "core/BalanceModel.h"
#include "core/BalanceOptimizer.h"
#include "core/BalanceReport.h"

namespace {

// The options as they were given, checked.
struct BalanceChoices
{
    unsigned long long seed = 0;
    double seconds = 10.0;
    unsigned long long iterations = 0;
};

// The first option whose value is wrong, or empty.
std::string ReadChoices(const CArguments& arguments, BalanceChoices& choices)
{
    if (!arguments.Number("--seed", choices.seed))
        return "--seed";
    if (!arguments.Number("--seconds", choices.seconds) || !(choices.seconds > 0.0) || choices.seconds > 86400.0)
        return "--seconds";
    if (!arguments.Number("--iterations", choices.iterations)
        || (arguments.Has("--iterations") && choices.iterations == 0))
        return "--iterations";
    return {};
}

} // namespace

CBalanceCommand::CBalanceCommand()
    : CTaskCommand("balance", "对已分班的任务做均衡优化，保存结果，\n在报告后添加均衡结果，输出优化前后的各班差距",
                   Access::Change, {},
                   {{"--seconds", "S", "--seconds 后面应是一个正数（秒）。"},
                    {"--seed", "N", CommandTexts::SeedProblem},
                    {"--iterations", "N", "--iterations 后面应是一个正整数。"}})
{
}

std::optional<ExitCode> CBalanceCommand::Check(const CArguments& arguments, CConsole& console) const
{
    BalanceChoices choices;
    if (const std::string wrong = ReadChoices(arguments, choices); !wrong.empty())
        return OptionUsage(wrong, console);
    return std::nullopt;
}

ExitCode CBalanceCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    BalanceChoices choices;
    ReadChoices(arguments, choices); // checked before the task was opened
    std::ostream& err = console.Err();
    std::ostream& out = console.Out();

    CBalanceOptimizer optimizer(task);
    CBalanceOptions options;
    options.seconds = choices.seconds;
    options.iterations = choices.iterations;
    options.seed = CRunSeed::Choose(choices.seed, err);
    int shown = 0;
    options.progress = [&err, &shown](const CBalanceProgress& progress) {
        const int percent = static_cast<int>(progress.share * 100.0);
        if (percent >= shown + 10 && percent < 100) {
            shown = percent / 10 * 10;
            err << "进度：" << shown << "%，总分平均分相差 " << CBalanceReport::Points(progress.spreads.total)
                << std::endl;
        }
    };
    optimizer.SetOptions(options);
    err << "正在均衡优化,请稍候..." << std::endl;
    const CBalanceResult& result = optimizer.Run();
    if (!result.divided)
        return console.Error(ExitCode::Refused, "该任务还没有分班，无法均衡优化。请先自动分班（quillon-cli divide）。");
    optimizer.Apply();

    const CBalanceModel& model = *optimizer.GetModel();
    CReportInfo& report = task.GetLastReportInfo();
    CReportInfo stamp; // now, in the report's own format
    report.SetReportInfo(
        CBalanceReport::AddSection(report.GetReportInfo(), CBalanceReport::Section(model, result, stamp.GetTime())));

    for (const auto& row : CBalanceReport::Table(model, result))
        out << row.label << '\t' << row.before << '\t' << row.after << '\n';
    out << (result.movedStudents > 0 ? "调整了 " + std::to_string(result.movedStudents) + " 名学生的班级。"
                                     : std::string("没有找到更均衡的分班，各班学生未作调整。"))
        << '\n';
    out.flush();

    // The report is written only with the data it describes, as a pair.
    if (!task.SaveInputDataWithReport())
        return console.Error(ExitCode::NotSaved, CommandTexts::NotSaved("均衡优化的结果"));
    err << "均衡优化完成。" << std::endl;
    return model.GetUnplacedCount() > 0 ? ExitCode::Unplaced : ExitCode::Done;
}
