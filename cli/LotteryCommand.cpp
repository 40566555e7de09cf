#include "cli/LotteryCommand.h"

#include "base/task/ScheduleTask.h"
#include "logic/lottery/LotteryDraw.h"
#include "logic/lottery/LotteryRecord.h"
#include "logic/lottery/LotteryRun.h"
#include "logic/lottery/LotterySeed.h"

#include <algorithm>

namespace {

// The first problem of the options, as the user is told; empty when none.
std::string ReadChoices(const CArguments& arguments, std::string& seed, std::uint64_t& work)
{
    if (const std::string* given = arguments.Option("--seed")) {
        if (std::string problem = CLotterySeed::Problem(*given); !problem.empty())
            return problem;
        seed = *given;
    }
    work = CLotteryDraw::kDefaultWork;
    if (const std::string* given = arguments.Option("--work"))
        return CLotteryDraw::WorkProblem(*given, work);
    return {};
}

} // namespace

CLotteryCommand::CLotteryCommand()
    : CTaskCommand("lottery",
                   "摇号分班：用公开抽取的种子（至少 6 位数字）分班，再按固定步数均衡优化；\n"
                   "保存结果，把摇号记录写入任务文件夹和报告。不给种子时由程序随机生成并先显示",
                   Access::Change, {},
                   {{"--seed", "DIGITS", "--seed 后面应是至少 6 位数字。"},
                    {"--work", "N", "--work 后面应是均衡优化的搜索步数（正整数）。"}})
{
}

std::string CLotteryCommand::SeedBanner(const std::string& digits)
{
    std::string spaced;
    for (char c : digits) {
        spaced += ' ';
        spaced += c;
    }
    const std::string rule(std::max<std::size_t>(24, 2 * digits.size() + 16), '=');
    return rule + "\n  摇号种子：" + spaced + "\n" + rule + "\n";
}

std::optional<ExitCode> CLotteryCommand::Check(const CArguments& arguments, CConsole& console) const
{
    std::string seed;
    std::uint64_t work = 0;
    if (const std::string problem = ReadChoices(arguments, seed, work); !problem.empty())
        return console.Usage(problem);
    return std::nullopt;
}

ExitCode CLotteryCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    std::string seed;
    std::uint64_t work = 0;
    ReadChoices(arguments, seed, work); // checked before the task was opened
    const bool drawn = seed.empty();
    if (drawn)
        seed = CLotterySeed::Draw();

    CLotteryRun run(task, seed, drawn, work);
    const CLotteryRun::Result prepared = run.Prepare();
    if (prepared == CLotteryRun::Result::RulesUnreadable)
        return console.Error(ExitCode::Task, CLotteryRun::Problem(prepared));
    if (prepared != CLotteryRun::Result::Done)
        return console.Error(ExitCode::Failed, CLotteryRun::Problem(prepared));
    if (drawn)
        console.Out() << SeedBanner(seed) << "请记下这个种子。" << std::endl;

    console.Err() << "正在摇号分班（种子 " << seed << "，搜索步数 " << work << "），请稍候..." << std::endl;
    run.Draw();
    const CLotteryRun::Result result = run.Finish();
    switch (result) {
    case CLotteryRun::Result::Done:
    case CLotteryRun::Result::Unplaced: break;
    case CLotteryRun::Result::Refused:
        console.PrintText(run.GetReport());
        return console.Error(ExitCode::Refused, CLotteryRun::Problem(result));
    case CLotteryRun::Result::DataNotSaved:
    case CLotteryRun::Result::RecordNotSaved: return console.Error(ExitCode::NotSaved, CLotteryRun::Problem(result));
    default: return console.Error(ExitCode::Failed, CLotteryRun::Problem(result));
    }
    console.PrintText(run.GetRecord().Text());
    console.Err() << "摇号分班完成，记录已保存到 " << CLotteryRecord::kFileName << "。" << std::endl;
    return result == CLotteryRun::Result::Unplaced ? ExitCode::Unplaced : ExitCode::Done;
}
