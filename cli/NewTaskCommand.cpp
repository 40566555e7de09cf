#include "cli/NewTaskCommand.h"

#include "base/records/TaskInfo.h"
#include "base/task/TaskCreator.h"
#include "base/util/AccountName.h"
#include "base/util/FileUtil.h"
#include "base/util/LocalTime.h"

#include <cstdio>
#include <ctime>
#include <filesystem>

CNewTaskCommand::CNewTaskCommand()
    : CCommand("new-task",
               "在文件夹中创建一个空的分班任务（文件夹不存在时创建，\n已有分班任务的文件夹不用）；创建者默认为当前用户",
               {{"文件夹", "缺少新任务的保存位置（文件夹）。"}, {"任务名称", "缺少任务名称。"}},
               {{"--creator", "创建者", "--creator 后面应是创建者。"}})
{
}

ExitCode CNewTaskCommand::Execute(const CArguments& arguments, CConsole& console) const
{
    const std::string& name = arguments.operands[1];
    if (!CTaskCreator::IsValidName(name))
        return console.Usage(CTaskCreator::NameProblem(name));
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(CFileUtil::ToPath(arguments.operands[0]), error);
    // As the new-task dialog fills the header.
    CTaskInfo info;
    info.SetTaskName(name);
    info.SetTaskFolder(CFileUtil::FromPath(error ? CFileUtil::ToPath(arguments.operands[0]) : folder));
    info.SetTaskAuthor(arguments.OptionOr("--creator", CAccountName::Current()));
    const std::tm now = CLocalTime::Of(std::time(nullptr));
    char created[80];
    std::snprintf(created, sizeof(created), "%04d-%02d-%02d %02d:%02d:%02d", now.tm_year + 1900, now.tm_mon + 1,
                  now.tm_mday, now.tm_hour, now.tm_min, now.tm_sec);
    info.SetCreateDate(created);

    const CTaskCreator::Result result = CTaskCreator::Create(info, "quillon-cli new-task");
    using Outcome = CTaskCreator::Outcome;
    switch (result.outcome) {
    case Outcome::Created:
        console.Out() << "已创建分班任务 " << name << "：" << info.GetTaskFile() << std::endl;
        return ExitCode::Done;
    case Outcome::BadName: return console.Usage(result.message);
    case Outcome::HoldsTask: return console.Error(ExitCode::HoldsTask, result.message);
    case Outcome::Locked: return console.Error(ExitCode::Locked, result.message);
    case Outcome::BadFolder:
    case Outcome::CannotWrite: break;
    }
    return console.Error(ExitCode::NotSaved, result.message);
}
