#include "cli/VerifyCommand.h"

#include "base/task/ScheduleTask.h"
#include "logic/lottery/LotteryVerification.h"

CVerifyCommand::CVerifyCommand()
    : CTaskCommand("verify",
                   "核验摇号分班：按摇号记录重新摇号，与任务现在的数据和分班结果比较，\n"
                   "输出“一致”，或“不一致”及不同之处",
                   Access::Read)
{
}

ExitCode CVerifyCommand::Run(CScheduleTask& task, const CArguments&, CConsole& console) const
{
    const CLotteryVerification::Result result = CLotteryVerification::Verify(task);
    switch (result.outcome) {
    case CLotteryVerification::Outcome::Consistent:
        console.Out() << CLotteryVerification::Text(result);
        return ExitCode::Done;
    case CLotteryVerification::Outcome::Inconsistent:
        console.Out() << CLotteryVerification::Text(result);
        return ExitCode::Mismatch;
    case CLotteryVerification::Outcome::NoRecord:
    case CLotteryVerification::Outcome::Unreadable: break;
    }
    return console.Error(ExitCode::NoRecord, result.message);
}
