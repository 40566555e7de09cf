#include "cli/AddClassesCommand.h"

#include "base/task/ScheduleTask.h"
#include "logic/editing/ClassNamePattern.h"
#include "logic/editing/ClassRows.h"
#include "logic/editing/CountText.h"
#include "logic/editing/ListEditorRows.h"
#include "logic/editing/NameRules.h"

#include <utility>
#include <vector>

namespace {

// The batch add's patterns by number, as the usage message names them.
std::string PatternProblem()
{
    std::string text = "--pattern 后面应是班级格式的编号：";
    for (const ClassNamePattern& pattern : ClassNamePattern::Patterns())
        text += (pattern.id > 1 ? "，" : "") + std::to_string(pattern.id) + " " + pattern.description + "（"
                + pattern.ClassName(0) + "…）";
    return text + "。";
}

const char* const ClassesProblem = "--count 后面应是要添加的班级数（1 到 99）。";

// The batch dialog's choices: a pattern, how many classes, students per
// class. The usage problem, or empty.
std::string ReadPattern(const CArguments& arguments, ClassNamePattern& pattern)
{
    const std::vector<ClassNamePattern> patterns = ClassNamePattern::Patterns();
    int id = 0;
    const std::string* patternText = arguments.Option("--pattern");
    if (!patternText || CCountText::Parse(*patternText, id) != CCountText::Result::Number || id < 1
        || id > static_cast<int>(patterns.size()))
        return PatternProblem();
    pattern = patterns[static_cast<std::size_t>(id - 1)];
    const std::string* classes = arguments.Option("--count");
    if (!classes)
        return ClassesProblem;
    if (std::string problem = CClassRows::CheckNumberOfClasses(*classes, pattern.numberOfClasses); !problem.empty())
        return problem;
    if (const std::string* students = arguments.Option("--students")) {
        if (std::string problem = CClassRows::CheckStudentsPerClass(*students, pattern.studentsPerClass);
            !problem.empty())
            return problem;
    }
    pattern.prefix = arguments.OptionOr("--prefix", pattern.prefix);
    pattern.suffix = arguments.OptionOr("--suffix", pattern.suffix);
    return {};
}

} // namespace

CAddClassesCommand::CAddClassesCommand()
    : CTaskCommand("add-classes",
                   "按班级格式批量添加 N 个班级（1 到 99，每班默认 40 人）：\n"
                   "1 数字编号，2 幼儿园小班，3 小学一年级，4 初中一年级，\n"
                   "5 高中一年级；已有的名称跳过",
                   Access::Change, {},
                   {{"--pattern", "1..5", PatternProblem(), true},
                    {"--count", "N", ClassesProblem, true},
                    {"--students", "M", "--students 后面应是每班学生人数。"},
                    {"--prefix", "前缀", "--prefix 后面应是班级编号前的文字。"},
                    {"--suffix", "后缀", "--suffix 后面应是班级编号后的文字。"}})
{
}

std::optional<ExitCode> CAddClassesCommand::Check(const CArguments& arguments, CConsole& console) const
{
    ClassNamePattern pattern;
    if (const std::string problem = ReadPattern(arguments, pattern); !problem.empty())
        return console.Usage(problem);
    return std::nullopt;
}

ExitCode CAddClassesCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    ClassNamePattern pattern;
    ReadPattern(arguments, pattern); // checked before the task was opened
    // As the dialog hands its rows to the editor quietly: a name the list
    // has already is skipped.
    CListEditorRows rows;
    CClassRows::Load(task, rows);
    std::vector<std::pair<std::string, bool>> names; // and whether it was added
    int added = 0;
    for (int i = 0; i < pattern.numberOfClasses; ++i) {
        const std::string name = pattern.ClassName(i);
        names.emplace_back(name, CClassRows::Add(rows, name, pattern.studentsPerClass));
        added += names.back().second ? 1 : 0;
    }
    if (added > 0) {
        CClassRows::SaveTo(task, rows, {});
        if (!SaveChange(task, "新班级", console))
            return ExitCode::NotSaved;
    }
    std::ostream& out = console.Out();
    for (const auto& [name, taken] : names) {
        if (taken)
            out << "已添加 " << name << "（人数 " << pattern.studentsPerClass << "）\n";
        else
            out << "已跳过 " << CNameRules::DuplicateMessage(name) << '\n';
    }
    out << "共添加 " << added << " 个班级，跳过 " << names.size() - static_cast<std::size_t>(added) << " 个。"
        << std::endl;
    return ExitCode::Done;
}
