#include "cli/DrawTeachersCommand.h"

#include "base/records/ClassInfo.h"
#include "base/task/ScheduleTask.h"
#include "base/util/FileUtil.h"
#include "cli/LotteryCommand.h"
#include "logic/lottery/LotterySeed.h"
#include "logic/lottery/TeacherDraw.h"
#include "logic/lottery/TeacherDrawRun.h"

#include <utility>

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
    std::optional<std::vector<std::string>> teachers;
    if (const std::string* file = arguments.Option("--teachers")) {
        const std::optional<std::string> text = CFileUtil::ReadFile(*file);
        if (!text)
            return console.Error(ExitCode::NotFound, "无法读取班主任名单文件 " + *file);
        teachers = CTeacherDraw::ParseTeacherList(*text);
    }
    CTeacherDrawRun run(task);
    const CTeacherDrawRun::Result prepared = run.Prepare(std::move(teachers));
    switch (prepared) {
    case CTeacherDrawRun::Result::Ready: break;
    case CTeacherDrawRun::Result::NoRecord:
        return console.Error(
            ExitCode::NoRecord,
            "任务文件夹中没有可读的摇号记录。班主任抽签在摇号分班之后进行：请先 quillon-cli lottery。");
    case CTeacherDrawRun::Result::NoTeachers:
        return console.Usage("有的班级没有填写班主任：请用 --teachers 给出班主任名单文件（每行一人）。");
    default: return console.Error(ExitCode::Refused, run.Problem(prepared));
    }

    std::string seed = arguments.OptionOr("--seed", "");
    if (seed.empty()) {
        seed = CLotterySeed::Draw();
        console.Out() << CLotteryCommand::SeedBanner(seed) << "请记下这个种子。" << std::endl;
    }
    const CTeacherDrawRun::Result result = run.Finish(seed);
    if (result != CTeacherDrawRun::Result::Done)
        return console.Error(ExitCode::NotSaved, run.Problem(result));
    // In the order of the task's classes, as the classes editor shows them.
    for (const CClassInfo* info : task.GetClassInfoList().Records<CClassInfo>())
        console.Out() << info->GetName() << '\t' << info->GetHeadTeacherName() << '\n';
    console.Out().flush();
    return ExitCode::Done;
}
