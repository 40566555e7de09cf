#include "logic/lottery/PostedDigest.h"

#include "base/task/ScheduleTask.h"
#include "logic/lottery/LotteryCanonicalForm.h"
#include "logic/lottery/LotteryDigest.h"
#include "logic/lottery/LotteryRecord.h"

CPostedDigest::Outcome CPostedDigest::Of(const CScheduleTask& task)
{
    Outcome outcome;
    CLotteryRecord record;
    std::string inputText;
    switch (CLotteryRecord::Load(task.GetTaskInfo().GetTaskFolder(), record, inputText)) {
    case CLotteryRecord::LoadResult::Missing: outcome.state = State::NoRecord; return outcome;
    case CLotteryRecord::LoadResult::Unreadable: outcome.state = State::Unreadable; return outcome;
    case CLotteryRecord::LoadResult::Loaded: break;
    }
    const std::string now =
        CLotteryDigest::Sha256Hex(CLotteryCanonicalForm::DivisionText(CLotteryCanonicalForm::DivisionOf(task)));
    if (record.resultDigest.empty() || now != record.resultDigest) {
        outcome.state = State::Changed;
        return outcome;
    }
    outcome.state = State::Recorded;
    outcome.digest = record.resultDigest;
    return outcome;
}

std::string CPostedDigest::Warning(State state)
{
    switch (state) {
    case State::Changed: return "现在的分班结果与摇号记录不一致（摇号后改动过），公示名单不附结果摘要。";
    case State::Unreadable: return "摇号记录无法读取，公示名单不附结果摘要。";
    case State::Recorded:
    case State::NoRecord: break;
    }
    return std::string();
}
