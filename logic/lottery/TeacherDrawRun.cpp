#include "logic/lottery/TeacherDrawRun.h"

#include "base/task/ScheduleTask.h"

#include <algorithm>
#include <utility>

CTeacherDrawRun::CTeacherDrawRun(CScheduleTask& task) : m_task(task)
{
}

CTeacherDrawRun::Result CTeacherDrawRun::Prepare(std::optional<std::vector<std::string>> teachers)
{
    m_ready = false;
    std::string inputText;
    if (CLotteryRecord::Load(m_task.GetTaskInfo().GetTaskFolder(), m_record, inputText)
        != CLotteryRecord::LoadResult::Loaded)
        return Result::NoRecord;
    if (!teachers) {
        teachers = CTeacherDraw::TeachersOf(m_task);
        if (teachers->empty())
            return Result::NoTeachers;
    }
    m_classes = CTeacherDraw::ClassesOf(m_task);
    m_problem = CTeacherDraw::Problem(m_classes, *teachers);
    if (!m_problem.empty())
        return Result::Refused;
    m_teachers = std::move(*teachers);
    std::sort(m_teachers.begin(), m_teachers.end());
    m_ready = true;
    return Result::Ready;
}

CTeacherDrawRun::Result CTeacherDrawRun::Finish(const std::string& seedDigits)
{
    if (!m_ready)
        return Result::NoRecord;
    m_ready = false; // one draw per Prepare

    CLotteryRecord::TeacherDraw draw;
    draw.seed = seedDigits;
    draw.teachers = m_teachers;
    draw.assignments = CTeacherDraw::Draw(m_classes, m_teachers, seedDigits);
    CReportInfo stamp; // now, in the report's own format
    stamp.SetCurrentTime();
    draw.time = stamp.GetTime();
    m_record.teacherDraw = draw;

    CTeacherDraw::Apply(draw.assignments, m_task);
    CReportInfo& report = m_task.GetLastReportInfo();
    report.SetReportInfo(m_record.AddToReport(report.GetReportInfo()));
    // The classes and the report first: a record never names teachers
    // that are not on disk.
    if (!m_task.SaveInputDataWithReport())
        return Result::DataNotSaved;
    if (!m_record.SaveRecord(m_task.GetTaskInfo().GetTaskFolder()))
        return Result::RecordNotSaved;
    return Result::Done;
}

std::string CTeacherDrawRun::Problem(Result result) const
{
    switch (result) {
    case Result::Ready:
    case Result::Done: return {};
    case Result::NoRecord: return "任务文件夹中没有可读的摇号记录。班主任抽签在摇号分班之后进行：请先摇号分班。";
    case Result::NoTeachers: return "有的班级没有填写班主任：请给出班主任名单（每行一人）。";
    case Result::Refused: return m_problem;
    case Result::DataNotSaved: return "班主任抽签的结果未能保存到任务文件夹。";
    case Result::RecordNotSaved: return "班主任抽签的记录未能保存到任务文件夹。";
    }
    return {};
}
