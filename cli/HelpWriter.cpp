#include "cli/HelpWriter.h"

#include "cli/Command.h"

#include <algorithm>
#include <sstream>

namespace {

const char* const Title =
    "quillon-cli —— 不开窗口的分班、均衡优化、报告、分班表、统计、打印、班级与分班条件的维护和拼音转写\n"
    "\n"
    "用法：\n";

const char* const Notes = "\n"
                          "--seed N 决定同分时的先后与班级的访问次序：同一任务用同一种子得到同一分班结果；\n"
                          "不给或为 0 时每次随机选取，所用种子显示在标准错误输出上。\n"
                          "--seconds S 均衡优化的时长（秒，默认 10）；--iterations N 改为固定的搜索步数，\n"
                          "同一种子与步数在任何机器上得到同一结果。\n"
                          "lottery 与 draw-teachers 的 --seed DIGITS 是公开抽取的至少 6 位数字（前导 0 也算）；\n"
                          "--work N 均衡优化的搜索步数（默认 200000）。\n"
                          "\n"
                          "退出码：0 分班（或均衡优化）完成（其他命令：成功）；1 数据检查未通过，未分班\n"
                          "（均衡优化：任务还没有分班）；2 有学生未能分班；\n"
                          "3 用法错误；4 任务文件不存在或数据文件已损坏；5 没有该班级或科目；6 分班未能完成；\n"
                          "7 已分班（或已导入、已优化、已调整、已修改名单），但结果未能保存；8 PDF "
                          "文件、工作簿或图片未能写入；9 表格无法导入；\n"
                          "10 该任务正被另一程序修改；11 没有该学生；12 同名的学生或班级不止一个；\n"
                          "13 调整将使预排的学生离开预排的班级；14 调整将使同一互斥组的两名学生同班；\n"
                          "15 调整将使班级超出计划人数（违反多条时取最先列出的一条）；\n"
                          "16 已有同名的班级；17 互斥学生组只找到一名学生；18 该学生没有预分班；\n"
                          "19 保存位置已是一个分班任务的文件夹，没有创建新任务；\n"
                          "20 调整将使同班学生组的学生分在不同班级；21 调整将使应分开的同名（或同音）学生同班；\n"
                          "22 核验结果不一致；23 任务文件夹中没有可读的摇号记录。\n";

const std::string Program = "  quillon-cli";
// Where the summaries begin.
constexpr std::size_t SummaryColumn = 42;
// A synopsis wider than this goes on in a line of its own, indented.
constexpr std::size_t SynopsisWidth = 86;
constexpr std::size_t SynopsisIndent = 18;

} // namespace

void CHelpWriter::Write(std::ostream& out, const std::vector<std::unique_ptr<CCommand>>& commands)
{
    out << Title;
    for (const auto& command : commands)
        WriteEntry(out, command->Synopsis(), command->Summary());
    WriteEntry(out, {"--help"}, "显示本说明");
    out << Notes;
    out.flush();
}

std::size_t CHelpWriter::Columns(const std::string& text)
{
    std::size_t columns = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        const bool wide = (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF)
                          || (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF)
                          || (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60)
                          || (code >= 0xFFE0 && code <= 0xFFE6) || code >= 0x20000;
        columns += wide ? 2 : 1;
        i += length;
    }
    return columns;
}

void CHelpWriter::WriteEntry(std::ostream& out, const std::vector<std::string>& synopsis, const std::string& summary)
{
    std::string line = Program;
    bool wrapped = false;
    for (const std::string& word : synopsis) {
        if (Columns(line) + 1 + Columns(word) > SynopsisWidth) {
            out << line << '\n';
            line = std::string(SynopsisIndent - 1, ' ');
            wrapped = true;
        }
        line += ' ' + word;
    }
    std::istringstream lines(summary);
    std::string text;
    std::getline(lines, text);
    // A synopsis of one line that leaves room has the summary's first line
    // beside it.
    const std::size_t width = Columns(line);
    if (!wrapped && width <= SummaryColumn)
        out << line << std::string(std::max<std::size_t>(1, SummaryColumn - width), ' ') << text << '\n';
    else
        out << line << '\n' << std::string(SummaryColumn, ' ') << text << '\n';
    while (std::getline(lines, text))
        out << std::string(SummaryColumn, ' ') << text << '\n';
}
