#include "cli/ChartCommand.h"

#include "base/task/ScheduleTask.h"
#include "core/DivisionCategoryCounts.h"
#include "logic/import/SheetText.h"
#ifdef QUILLON_CLI_PRINT
#include "cli/ChartImageWriter.h"
#endif

#include <algorithm>
#include <iterator>
#include <string_view>

namespace {

const char* const SizeProblem = "--width 与 --height 后面应是 100 到 20000 之间的整数（像素）。";

// The chart asked for: a subject without a kind asks for its averages, a
// category for its counts.
std::string Kind(const CArguments& arguments)
{
    const char* const implied = arguments.Has("--subject")    ? "subject"
                                : arguments.Has("--category") ? "category"
                                                              : "total";
    return arguments.OptionOr("--kind", implied);
}

// A picture's width or height in pixels; 0 when not given.
bool ReadSize(const CArguments& arguments, const std::string& name, int& size)
{
    size = 0;
    return !arguments.Has(name) || (arguments.Number(name, size) && size >= 100 && size <= 20000);
}

} // namespace

CChartCommand::CChartCommand()
    : CTaskCommand(
        "chart",
        "把分班图表画成 PNG（OUT 以 .svg 结尾时为 SVG）：\n"
        "各班总分或某科平均分与全校之差、男女生人数、分数分布（箱线图）\n"
        "或特别条件、分数段一类的人数；默认 3200×1800 像素，班级多时更宽",
        Access::Read, {{"OUT.png", "缺少输出的图片文件（.png 或 .svg）。"}},
        {{"--kind", "total|subject|sex|box|category", "--kind 后面应是 total、subject、sex、box 或 category。"},
         {"--subject", "科目", "--subject 后面应是科目名称。"},
         {"--category", "类别", "--category 后面应是一类的名称，例如 #住校:是、分数段:前10%。"},
         {"--width", "W", SizeProblem},
         {"--height", "H", SizeProblem, false, true}})
{
}

std::optional<ExitCode> CChartCommand::Check(const CArguments& arguments, CConsole& console) const
{
    static const char* const kinds[] = {"total", "subject", "sex", "box", "category"};
    if (std::find(std::begin(kinds), std::end(kinds), Kind(arguments)) == std::end(kinds))
        return OptionUsage("--kind", console);
    int width = 0;
    int height = 0;
    if (!ReadSize(arguments, "--width", width) || !ReadSize(arguments, "--height", height))
        return console.Usage(SizeProblem);
    const std::string& file = arguments.operands[1];
    const auto ends = [&file](std::string_view suffix) {
        return file.size() > suffix.size()
               && CSheetText::EqualsNoCase(std::string_view(file).substr(file.size() - suffix.size()), suffix);
    };
    if (!ends(".png") && !ends(".svg"))
        return console.Usage("图片文件名应以 .png 或 .svg 结尾。");
    return std::nullopt;
}

ExitCode CChartCommand::Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const
{
    const std::string kind = Kind(arguments);
    // The total, unless a subject is named (or the averages of a subject
    // are asked for: the first one then).
    const std::string* subject = arguments.Option("--subject");
    const auto& subjects = task.GetCustomSubjectArray();
    std::size_t measure = static_cast<std::size_t>(-1);
    if (kind == "category") {
        // The category named, or the first one.
        const CDivisionCategoryCounts categories(task);
        const std::vector<std::string>& titles = categories.ColumnTitles();
        if (titles.empty())
            return console.Error(ExitCode::NotFound, "这个任务没有特别条件，也没有打开分数段均衡。");
        measure = 0;
        if (const std::string* category = arguments.Option("--category")) {
            const auto found = std::find(titles.begin(), titles.end(), *category);
            if (found == titles.end()) {
                std::string known;
                for (const std::string& title : titles)
                    known += (known.empty() ? "" : "、") + title;
                return console.Error(ExitCode::NotFound, "这个任务没有“" + *category + "”这一类。可选：" + known);
            }
            measure = static_cast<std::size_t>(found - titles.begin());
        }
    } else if (subject) {
        const auto found = std::find(subjects.begin(), subjects.end(), *subject);
        if (found == subjects.end())
            return console.Error(ExitCode::NotFound, "这个任务没有名为“" + *subject + "”的科目。");
        measure = static_cast<std::size_t>(found - subjects.begin());
    } else if (kind == "subject") {
        if (subjects.empty())
            return console.Error(ExitCode::NotFound, "这个任务没有科目。");
        measure = 0;
    }
#ifdef QUILLON_CLI_PRINT
    int width = 0;
    int height = 0;
    ReadSize(arguments, "--width", width); // checked before the task was opened
    ReadSize(arguments, "--height", height);
    const std::string& file = arguments.operands[1];
    using Chart = CDivisionChart::Kind;
    const Chart chart = kind == "sex"        ? Chart::Headcount
                        : kind == "box"      ? Chart::Distribution
                        : kind == "category" ? Chart::Category
                                             : Chart::Averages;
    std::string title;
    if (!CChartImageWriter::Write(task, chart, measure, width, height, file, title))
        return console.Error(ExitCode::NotWritten, "无法写入图片文件 " + file);
    console.Out() << "已画出“" << title << "”：" << file << '\n';
    console.Out().flush();
    return ExitCode::Done;
#else
    (void)measure;
    return console.Usage("这个版本的 quillon-cli 不含图表功能。");
#endif
}
