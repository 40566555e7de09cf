#include "cli/TableRowChoice.h"

#include "core/DivisionTableData.h"
#include "logic/pinyin/NameMatcher.h"

#include <algorithm>
#include <string>

namespace {
const char* const kSortProblem = "--sort 后面应是分班表的一列的标题，例如 总分、班级、原学校。";
} // namespace

std::vector<CCommand::Option> CTableRowChoice::Options()
{
    return {{"--find", "姓名或拼音", "--find 后面应是要找的姓名、拼音或拼音首字母。"},
            {"--sort", "列", kSortProblem},
            {"--reverse", "", "", false, true}};
}

std::optional<ExitCode> CTableRowChoice::Apply(CDivisionTableData& data, const CArguments& arguments, CConsole& console)
{
    if (const std::string* find = arguments.Option("--find")) {
        CNameMatcher matcher;
        matcher.SetText(*find);
        data.KeepRows([&matcher](const CDivisionTableData::Row& row) { return matcher.Matches(row.name); });
    }
    const std::string* sort = arguments.Option("--sort");
    if (!sort) {
        if (arguments.Has("--reverse"))
            return console.Usage("--reverse 需要与 --sort 一起使用。");
        return std::nullopt;
    }
    const std::vector<std::string> titles = data.ColumnTitles();
    // The student id is no column of the table as shown.
    const auto found = std::find(titles.begin() + CDivisionTableData::ColumnNumber, titles.end(), *sort);
    if (found == titles.end())
        return console.Usage(kSortProblem);
    const int column = static_cast<int>(found - titles.begin());
    data.SortBy(column, data.SortsHighestFirst(column) != arguments.Has("--reverse"));
    return std::nullopt;
}
