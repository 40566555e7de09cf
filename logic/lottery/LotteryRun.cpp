#include "logic/lottery/LotteryRun.h"

#include "base/task/ScheduleTask.h"
#include "core/DivisionOwner.h"
#include "logic/lottery/LotteryCanonicalForm.h"
#include "logic/lottery/LotteryDigest.h"

#include <utility>

CLotteryRun::CLotteryRun(CScheduleTask& task, std::string seedDigits, bool seedDrawn, std::uint64_t work)
    : m_task(task), m_seed(std::move(seedDigits)), m_seedDrawn(seedDrawn), m_work(work)
{
}

CLotteryRun::Result CLotteryRun::Prepare()
{
    if (m_task.IsRulesFileDamaged())
        return Result::RulesUnreadable;
    m_input = CLotteryCanonicalForm::InputOf(m_task);
    m_inputText = CLotteryCanonicalForm::InputText(m_input);
    if (CLotteryDigest::Sha256Hex(m_inputText).empty())
        return Result::NoDigest;
    return Result::Done;
}

void CLotteryRun::Draw(const std::function<void(double share)>& progress)
{
    m_outcome = CLotteryDraw::Run(m_input, m_seed, m_work, progress);
}

CLotteryRun::Result CLotteryRun::Finish()
{
    if (m_outcome.divisionResult == DIVISION_RESULT_REFUSED)
        return Result::Refused;
    if (!m_outcome.Divided())
        return Result::Failed;

    CLotteryDraw::Apply(m_outcome, m_task);
    m_record = CLotteryDraw::MakeRecord(m_task, m_input, m_inputText, m_outcome, m_seed, m_seedDrawn, m_work);
    CReportInfo& report = m_task.GetLastReportInfo();
    report.SetReportInfo(m_record.AddToReport(report.GetReportInfo()));

    // The division and its report first: a record never describes a
    // division that is not on disk.
    if (!m_task.SaveInputDataWithReport())
        return Result::DataNotSaved;
    if (!m_record.Save(m_task.GetTaskInfo().GetTaskFolder(), m_inputText))
        return Result::RecordNotSaved;
    return m_outcome.divisionResult == DIVISION_RESULT_UNPLACED ? Result::Unplaced : Result::Done;
}

std::string CLotteryRun::Problem(Result result)
{
    switch (result) {
    case Result::Done:
    case Result::Unplaced: return {};
    case Result::RulesUnreadable: return "任务的分班规则文件无法读取，摇号记录会缺少这些规则。请先修复或删除该文件。";
    case Result::NoDigest: return "无法计算 SHA-256 摘要，摇号没有进行。";
    case Result::Refused: return "分班检查没有通过，摇号没有进行，任务没有改变。";
    case Result::Failed: return "分班未能完成，任务没有改变。";
    case Result::DataNotSaved: return "摇号分班的结果未能保存到任务文件夹。";
    case Result::RecordNotSaved: return "摇号记录未能保存到任务文件夹。";
    }
    return {};
}
