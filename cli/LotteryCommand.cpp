#include "cli/LotteryCommand.h"

#include "base/task/ScheduleTask.h"
#include "cli/CommandTexts.h"
#include "core/DivisionOwner.h"
#include "logic/lottery/LotteryCanonicalForm.h"
#include "logic/lottery/LotteryDigest.h"
#include "logic/lottery/LotteryDraw.h"
#include "logic/lottery/LotteryRecord.h"
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
    if (task.IsRulesFileDamaged())
        return console.Error(ExitCode::Task,
                             "任务的分班规则文件无法读取，摇号记录会缺少这些规则。请先修复或删除该文件。");

    const bool drawn = seed.empty();
    if (drawn) {
        seed = CLotterySeed::Draw();
        console.Out() << SeedBanner(seed) << "请记下这个种子。" << std::endl;
    }

    const CLotteryInput input = CLotteryCanonicalForm::InputOf(task);
    const std::string inputText = CLotteryCanonicalForm::InputText(input);
    if (CLotteryDigest::Sha256Hex(inputText).empty())
        return console.Error(ExitCode::Failed, "无法计算 SHA-256 摘要，摇号没有进行。");

    console.Err() << "正在摇号分班（种子 " << seed << "，搜索步数 " << work << "），请稍候..." << std::endl;
    const CLotteryDraw::Outcome outcome = CLotteryDraw::Run(input, seed, work);
    if (outcome.divisionResult == DIVISION_RESULT_REFUSED) {
        console.PrintText(outcome.report);
        return console.Error(ExitCode::Refused, "分班检查没有通过，摇号没有进行，任务没有改变。");
    }
    if (!outcome.Divided())
        return console.Error(ExitCode::Failed, "分班未能完成，任务没有改变。");

    CLotteryDraw::Apply(outcome, task);
    const CLotteryRecord record = CLotteryDraw::MakeRecord(task, input, inputText, outcome, seed, drawn, work);
    CReportInfo& report = task.GetLastReportInfo();
    report.SetReportInfo(record.AddToReport(report.GetReportInfo()));

    // The division and its report first: a record never describes a
    // division that is not on disk.
    if (!task.SaveInputDataWithReport())
        return console.Error(ExitCode::NotSaved, CommandTexts::NotSaved("摇号分班的结果"));
    if (!record.Save(task.GetTaskInfo().GetTaskFolder(), inputText))
        return console.Error(ExitCode::NotSaved, CommandTexts::NotSaved("摇号记录"));
    console.PrintText(record.Text());
    console.Err() << "摇号分班完成，记录已保存到 " << CLotteryRecord::kFileName << "。" << std::endl;
    return outcome.divisionResult == DIVISION_RESULT_UNPLACED ? ExitCode::Unplaced : ExitCode::Done;
}
