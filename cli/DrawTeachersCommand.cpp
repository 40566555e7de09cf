#include "cli/DrawTeachersCommand.h"

#include "base/records/ClassInfo.h"
#include "base/task/ScheduleTask.h"
#include "base/util/FileUtil.h"
#include "cli/CommandTexts.h"
#include "cli/LotteryCommand.h"
#include "logic/lottery/LotteryRecord.h"
#include "logic/lottery/LotterySeed.h"
#include "logic/lottery/TeacherDraw.h"

#include <algorithm>

CDrawTeachersCommand::CDrawTeachersCommand()
    : CTaskCommand("draw-teachers",
                   "班主任抽签：摇号分班之后，用公开抽取的种子决定各班（各组学生）的班主任；\n"
                   "班主任取自各班已填写的班主任，或 --teachers 名单文件（每行一人）",
                   Access::Change, {},
                   {{"--seed", "DIGITS", "--seed 后面应是至少 6 位数字。"},
                    {"--teachers", "FILE", "--teachers 后面应是班主任名单文件。"}})
{
}

std::optional<ExitCode> CDrawTeachersCommand::Check(const CArguments& arguments, CConsole& console) const
{
    if (const std::string* seed = arguments.Option("--seed")) {
        if (std::string problem = CLotterySeed::Problem(*seed); !problem.empty())
            return console.Usage(problem);
    }
    return std::nullopt;
}

ExitCode CDrawTeachersCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    const std::string folder = task.GetTaskInfo().GetTaskFolder();
    CLotteryRecord record;
    std::string inputText;
    if (CLotteryRecord::Load(folder, record, inputText) != CLotteryRecord::LoadResult::Loaded)
        return console.Error(
            ExitCode::NoRecord,
            "任务文件夹中没有可读的摇号记录。班主任抽签在摇号分班之后进行：请先 quillon-cli lottery。");

    std::vector<std::string> teachers;
    if (const std::string* file = arguments.Option("--teachers")) {
        const std::optional<std::string> text = CFileUtil::ReadFile(*file);
        if (!text)
            return console.Error(ExitCode::NotFound, "无法读取班主任名单文件 " + *file);
        teachers = CTeacherDraw::ParseTeacherList(*text);
    } else {
        teachers = CTeacherDraw::TeachersOf(task);
        if (teachers.empty())
            return console.Usage("有的班级没有填写班主任：请用 --teachers 给出班主任名单文件（每行一人）。");
    }
    const std::vector<CTeacherDraw::Class> classes = CTeacherDraw::ClassesOf(task);
    if (const std::string problem = CTeacherDraw::Problem(classes, teachers); !problem.empty())
        return console.Error(ExitCode::Refused, problem);

    std::string seed = arguments.OptionOr("--seed", "");
    if (seed.empty()) {
        seed = CLotterySeed::Draw();
        console.Out() << CLotteryCommand::SeedBanner(seed) << "请记下这个种子。" << std::endl;
    }
    CLotteryRecord::TeacherDraw draw;
    draw.seed = seed;
    draw.teachers = teachers;
    std::sort(draw.teachers.begin(), draw.teachers.end());
    draw.assignments = CTeacherDraw::Draw(classes, teachers, seed);
    CReportInfo stamp; // now, in the report's own format
    stamp.SetCurrentTime();
    draw.time = stamp.GetTime();
    record.teacherDraw = draw;

    CTeacherDraw::Apply(draw.assignments, task);
    CReportInfo& report = task.GetLastReportInfo();
    report.SetReportInfo(record.AddToReport(report.GetReportInfo()));
    if (!task.SaveInputDataWithReport())
        return console.Error(ExitCode::NotSaved, CommandTexts::NotSaved("班主任抽签的结果"));
    if (!record.SaveRecord(folder))
        return console.Error(ExitCode::NotSaved, CommandTexts::NotSaved("班主任抽签的记录"));
    // In the order of the task's classes, as the classes editor shows them.
    for (const CClassInfo* info : task.GetClassInfoList().Records<CClassInfo>())
        console.Out() << info->GetName() << '\t' << info->GetHeadTeacherName() << '\n';
    console.Out().flush();
    return ExitCode::Done;
}
