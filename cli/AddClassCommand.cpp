#include "cli/AddClassCommand.h"

#include "base/task/ScheduleTask.h"
#include "logic/editing/ClassNamePattern.h"
#include "logic/editing/ClassRows.h"
#include "logic/editing/ListEditorRows.h"
#include "logic/editing/NameRules.h"

namespace {

// The name and number typed, checked as the class dialog checks them: the
// problem, or empty.
std::string ReadClass(const CArguments& arguments, std::string& name, int& count)
{
    count = ClassNamePattern().studentsPerClass;
    if (std::string problem = CClassRows::CheckName(arguments.operands[1], name); !problem.empty())
        return problem;
    if (const std::string* text = arguments.Option("--count"))
        return CClassRows::CheckCount(*text, count);
    return {};
}

} // namespace

CAddClassCommand::CAddClassCommand()
    : CTaskCommand("add-class",
                   "添加一个班级（人数默认 40）；已有同名班级（不计空格、\n括号的全角半角与字母大小写）时不添加",
                   Access::Change, {{"班级名称", "缺少班级名称。"}}, {{"--count", "N", "--count 后面应是班级人数。"}})
{
}

std::optional<ExitCode> CAddClassCommand::Check(const CArguments& arguments, CConsole& console) const
{
    std::string name;
    int count = 0;
    if (const std::string problem = ReadClass(arguments, name, count); !problem.empty())
        return console.Usage(problem);
    return std::nullopt;
}

ExitCode CAddClassCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    std::string name;
    int count = 0;
    ReadClass(arguments, name, count); // checked before the task was opened
    CListEditorRows rows;
    CClassRows::Load(task, rows);
    if (!CClassRows::Add(rows, name, count))
        return console.Error(ExitCode::NameExists, CNameRules::DuplicateMessage(name));
    CClassRows::SaveTo(task, rows, {});
    if (!SaveChange(task, "新班级", console))
        return ExitCode::NotSaved;
    console.Out() << "已添加班级 " << name << "（人数 " << count << "）。" << std::endl;
    return ExitCode::Done;
}
