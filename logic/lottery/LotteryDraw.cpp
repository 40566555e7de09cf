#include "logic/lottery/LotteryDraw.h"

#include "base/records/ClassInfo.h"
#include "base/records/StudentInfo.h"
#include "base/task/ScheduleTask.h"
#include "core/BalanceReport.h"
#include "core/DivisionCore.h"
#include "core/DivisionOwner.h"
#include "logic/lottery/LotteryDigest.h"
#include "logic/lottery/LotterySeed.h"
#include "logic/pinyin/PinyinConverter.h"

#include <charconv>

bool CLotteryDraw::Outcome::Divided() const
{
    return divisionResult == DIVISION_RESULT_DONE || divisionResult == DIVISION_RESULT_UNPLACED;
}

CLotteryDraw::Outcome CLotteryDraw::Run(const CLotteryInput& input, const std::string& seedDigits, std::uint64_t work,
                                        const std::function<void(double share)>& progress)
{
    Outcome outcome;
    outcome.drawn = std::make_unique<CScheduleTask>();
    CScheduleTask& task = *outcome.drawn;
    task.SetMessageHandler([](const std::string&) {});
    task.SetSoundKey(&CPinyinConverter::SoundKey);
    CLotteryCanonicalForm::BuildTask(input, task);

    const std::uint64_t seed = CLotterySeed::Value(seedDigits);
    {
        CDivisionCore division;
        division.Init(nullptr, &task);
        division.SetSaveFiles(false);
        division.SetSeed(seed);
        outcome.divisionResult = division.RunSynchronously();
    }
    if (outcome.Divided()) {
        CBalanceOptimizer optimizer(task);
        CBalanceOptions options;
        options.iterations = work;
        options.seed = seed;
        // Drawn as every record so far was, so that each can be checked.
        options.method = CBalanceMethod::FirstRelease;
        if (progress)
            options.progress = [&progress](const CBalanceProgress& step) { progress(step.share); };
        optimizer.SetOptions(options);
        outcome.balance = optimizer.Run();
        optimizer.Apply();
        if (const CBalanceModel* model = optimizer.GetModel()) {
            CReportInfo& report = task.GetLastReportInfo();
            report.SetReportInfo(CBalanceReport::AddSection(
                report.GetReportInfo(), CBalanceReport::Section(*model, outcome.balance, report.GetTime())));
        }
        outcome.division = CLotteryCanonicalForm::DivisionOf(task);
    }
    outcome.report = task.GetLastReportInfo().GetReportInfo();
    return outcome;
}

void CLotteryDraw::Apply(const Outcome& outcome, CScheduleTask& task)
{
    if (!outcome.drawn)
        return;
    const CScheduleTask& drawn = *outcome.drawn;
    for (CStudentInfo* student : task.GetStudentInfoList().Records<CStudentInfo>()) {
        const auto* made = drawn.GetStudentInfoList().FindAs<CStudentInfo>(student->GetId());
        if (!made) {
            student->SetClassId(std::string());
            continue;
        }
        student->SetClassId(made->GetClassId());
        student->SetPresetFlag(made->isPreset());
        student->SetMutex(made->GetMutex());
    }
    for (CClassInfo* info : task.GetClassInfoList().Records<CClassInfo>()) {
        const auto* made = drawn.GetClassInfoList().FindAs<CClassInfo>(info->GetId());
        info->GetStudentArray() = made ? made->GetStudentArray() : std::vector<std::string>();
    }
    task.GetLastReportInfo() = drawn.GetLastReportInfo();
}

std::string CLotteryDraw::WorkProblem(const std::string& text, std::uint64_t& work)
{
    const char* last = text.data() + text.size();
    std::uint64_t value = 0;
    const auto result = std::from_chars(text.data(), last, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != last || value == 0 || value > kMaxWork)
        return "搜索步数应是 1 到 " + std::to_string(kMaxWork) + " 之间的整数：" + text;
    work = value;
    return {};
}

CLotteryRecord CLotteryDraw::MakeRecord(const CScheduleTask& task, const CLotteryInput& input,
                                        const std::string& inputText, const Outcome& outcome,
                                        const std::string& seedDigits, bool seedDrawn, std::uint64_t work)
{
    CLotteryRecord record;
    record.taskName = task.GetTaskInfo().GetTaskName();
    record.time = task.GetLastReportInfo().GetTime();
    record.version = CLotteryRecord::ProgramVersion();
    record.seed = seedDigits;
    record.seedDrawn = seedDrawn;
    record.work = work;
    record.students = static_cast<int>(input.students.size());
    record.classes = static_cast<int>(input.classes.size());
    for (const auto& [student, classId] : outcome.division)
        record.placed += classId.empty() ? 0 : 1;
    record.inputDigest = CLotteryDigest::Sha256Hex(inputText);
    record.resultDigest = CLotteryDigest::Sha256Hex(CLotteryCanonicalForm::DivisionText(outcome.division));
    record.rules = CLotteryRecord::RulesOf(input);
    record.figures = CLotteryRecord::FiguresOf(task);
    return record;
}
