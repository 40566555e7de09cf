#include "CommandLine.h"

#include "BalanceModel.h"
#include "BalanceOptimizer.h"
#include "BalanceReport.h"
#include "ClassInfo.h"
#include "ConsoleOwner.h"
#include "Core.h"
#include "DivisionStatistics.h"
#include "DivisionTableData.h"
#include "FileUtil.h"
#include "ScheduleTask.h"
#include "TextCodec.h"

#include <charconv>
#include <random>

namespace {

template <class T>
bool ParseNumber(const std::string& text, T& value)
{
    const char* first = text.data();
    const char* last = first + text.size();
    const auto result = std::from_chars(first, last, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == last;
}

} // namespace

CCommandLine::CCommandLine(std::ostream& out, std::ostream& err) : m_out(out), m_err(err)
{
}

int CCommandLine::Run(const std::vector<std::string>& args)
{
    if (args.empty())
        return Usage("缺少命令。");
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        Help();
        return 0;
    }

    std::string path;
    std::string className;
    bool hasClass = false;
    unsigned long long seed = 0;
    double seconds = 10.0;
    unsigned long long iterations = 0;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            Help();
            return 0;
        }
        const bool runs = command == "divide" || command == "balance";
        if (arg == "--seed" && runs) {
            if (i + 1 >= args.size() || !ParseNumber(args[i + 1], seed))
                return Usage("--seed 后面应是一个非负整数。");
            ++i;
        } else if (arg == "--seconds" && command == "balance") {
            if (i + 1 >= args.size() || !ParseNumber(args[i + 1], seconds) || !(seconds > 0.0) || seconds > 86400.0)
                return Usage("--seconds 后面应是一个正数（秒）。");
            ++i;
        } else if (arg == "--iterations" && command == "balance") {
            if (i + 1 >= args.size() || !ParseNumber(args[i + 1], iterations) || iterations == 0)
                return Usage("--iterations 后面应是一个正整数。");
            ++i;
        } else if (arg == "--class" && command == "table") {
            if (i + 1 >= args.size())
                return Usage("--class 后面应是班级名称。");
            className = args[++i];
            hasClass = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage("未知选项：" + arg);
        } else if (path.empty()) {
            path = arg;
        } else {
            return Usage("多余的参数：" + arg);
        }
    }

    if (command != "divide" && command != "balance" && command != "report" && command != "table"
        && command != "stats")
        return Usage("未知命令：" + command);
    if (path.empty())
        return Usage("缺少任务文件（.qz）。");

    if (command == "divide")
        return Divide(path, seed);
    if (command == "balance")
        return Balance(path, seed, seconds, iterations);
    if (command == "report")
        return Report(path);
    if (command == "table")
        return hasClass && className.empty() ? Usage("--class 后面应是班级名称。") : Table(path, className);
    return Stats(path);
}

bool CCommandLine::OpenTask(CScheduleTask& task, const std::string& path)
{
    task.SetMessageHandler([this](const std::string& text) { m_err << text << std::endl; });
    if (!CFileUtil::FileExists(path) || !task.Open(path)) {
        m_err << "错误：找不到任务文件 " << path << std::endl;
        return false;
    }
    const std::string input = task.GetTaskInfo().GetInputFilePath();
    const bool unreadable =
        task.GetInputState() == CScheduleTask::InputState::Missing && CFileUtil::FileExists(input);
    if (task.IsInputDamaged() || unreadable) {
        m_err << "错误：任务数据文件已损坏，无法完整读取：" << input << std::endl;
        return false;
    }
    return true;
}

int CCommandLine::Divide(const std::string& path, unsigned long long seed)
{
    CScheduleTask task;
    if (!OpenTask(task, path))
        return ExitTask; // a damaged data file is never overwritten

    seed = ChooseSeed(seed);

    // The engine does not look at whether its files were written; a message
    // from the task during the run means input.xml was not saved.
    bool saveFailed = false;
    task.SetMessageHandler([this, &saveFailed](const std::string& text) {
        m_err << text << std::endl;
        saveFailed = true;
    });

    CConsoleOwner owner(m_err);
    {
        CCore core(task);
        core.Init(&owner);
        core.SetFilter({});
        core.SetSeed(seed);
        core.Start();
        core.Wait();
        core.Free();
    }
    if (!owner.HasEnded()) {
        m_err << "错误：分班未能完成。" << std::endl;
        return ExitFailed;
    }
    m_out << task.GetLastReportInfo().GetReportInfo();
    const std::string text = task.GetLastReportInfo().GetReportInfo();
    if (!text.empty() && text.back() != '\n')
        m_out << '\n';
    m_out.flush();

    const int result = owner.GetResult();
    if (result != DIVISION_RESULT_REFUSED) {
        const auto stored = CFileUtil::ReadFile(task.GetTaskInfo().GetReportFilePath());
        if (saveFailed || stored != CTextCodec::ToGbk(text) + std::string(1, '\0')) {
            m_err << "错误：分班结果未能保存到任务文件夹。" << std::endl;
            return ExitNotSaved;
        }
    }
    return result;
}

unsigned long long CCommandLine::ChooseSeed(unsigned long long seed)
{
    std::random_device device;
    while (seed == 0)
        seed = (static_cast<unsigned long long>(device()) << 32) ^ device();
    m_err << "随机种子：" << seed << std::endl;
    return seed;
}

int CCommandLine::Balance(const std::string& path, unsigned long long seed, double seconds,
                          unsigned long long iterations)
{
    CScheduleTask task;
    if (!OpenTask(task, path))
        return ExitTask;

    CBalanceOptimizer optimizer(task);
    CBalanceOptions options;
    options.seconds = seconds;
    options.iterations = iterations;
    options.seed = ChooseSeed(seed);
    int shown = 0;
    options.progress = [this, &shown](const CBalanceProgress& progress) {
        const int percent = static_cast<int>(progress.share * 100.0);
        if (percent >= shown + 10 && percent < 100) {
            shown = percent / 10 * 10;
            m_err << "进度：" << shown << "%，总分平均分相差 " << CBalanceReport::Points(progress.spreads.total)
                  << std::endl;
        }
    };
    optimizer.SetOptions(options);
    m_err << "正在均衡优化,请稍候..." << std::endl;
    const CBalanceResult& result = optimizer.Run();
    if (!result.divided) {
        m_err << "错误：该任务还没有分班，无法均衡优化。请先自动分班（quillon-cli divide）。" << std::endl;
        return DIVISION_RESULT_REFUSED;
    }
    optimizer.Apply();

    const CBalanceModel& model = *optimizer.GetModel();
    CReportInfo& report = task.GetLastReportInfo();
    CReportInfo stamp; // now, in the report's own format
    report.SetReportInfo(
        CBalanceReport::AddSection(report.GetReportInfo(), CBalanceReport::Section(model, result, stamp.GetTime())));

    for (const auto& row : CBalanceReport::Table(model, result))
        m_out << row.label << '\t' << row.before << '\t' << row.after << '\n';
    m_out << (result.movedStudents > 0 ? "调整了 " + std::to_string(result.movedStudents) + " 名学生的班级。"
                                       : std::string("没有找到更均衡的分班，各班学生未作调整。"))
          << '\n';
    m_out.flush();

    // The report is written only with the data it describes.
    bool saved = false;
    task.SetMessageHandler([this](const std::string& text) { m_err << text << std::endl; });
    if (task.SaveInputData())
        saved = task.SaveLastReportInfo();
    if (!saved) {
        m_err << "错误：均衡优化的结果未能保存到任务文件夹。" << std::endl;
        return ExitNotSaved;
    }
    m_err << "均衡优化完成。" << std::endl;
    return model.GetUnplacedCount() > 0 ? DIVISION_RESULT_UNPLACED : DIVISION_RESULT_DONE;
}

int CCommandLine::Report(const std::string& path)
{
    CScheduleTask task;
    if (!OpenTask(task, path))
        return ExitTask;
    const std::string text = task.GetLastReportInfo().GetReportInfo();
    if (text.empty()) {
        m_err << "该任务还没有分班报告。" << std::endl;
        return 0;
    }
    m_out << text;
    if (text.back() != '\n')
        m_out << '\n';
    m_out.flush();
    return 0;
}

int CCommandLine::Table(const std::string& path, const std::string& className)
{
    CScheduleTask task;
    if (!OpenTask(task, path))
        return ExitTask;

    std::string classId;
    if (!className.empty()) {
        for (const CClassInfo* info : CDivisionTableData::ClassesInOrder(task)) {
            if (info->NameRef() == className) {
                classId = info->GetId();
                break;
            }
        }
        if (classId.empty()) {
            m_err << "错误：没有名为“" << className << "”的班级。" << std::endl;
            return ExitNotFound;
        }
    }

    CDivisionTableData table(task);
    table.Fill(classId);
    // The student id column stays internal.
    PrintLine(table.ColumnTitles(), CDivisionTableData::ColumnNumber);
    for (std::size_t row = 0; row < table.GetRowCount(); ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < table.GetColumnCount(); ++column)
            cells.push_back(table.CellText(row, column));
        PrintLine(cells, CDivisionTableData::ColumnNumber);
    }
    m_out.flush();
    return 0;
}

int CCommandLine::Stats(const std::string& path)
{
    CScheduleTask task;
    if (!OpenTask(task, path))
        return ExitTask;

    CDivisionStatistics statistics(task);
    statistics.Calculate();
    // The class id column stays internal.
    PrintLine(CDivisionStatistics::ColumnTitles(task.GetCustomSubjectArray()), 1);
    for (const auto& row : statistics.GetRows())
        PrintLine(CDivisionStatistics::RowTexts(row), 1);
    m_out.flush();
    return 0;
}

void CCommandLine::PrintLine(const std::vector<std::string>& cells, std::size_t from)
{
    for (std::size_t i = from; i < cells.size(); ++i) {
        if (i > from)
            m_out << '\t';
        m_out << cells[i];
    }
    m_out << '\n';
}

int CCommandLine::Usage(const std::string& problem)
{
    m_err << "用法错误：" << problem << "\n用 quillon-cli --help 查看用法。" << std::endl;
    return ExitUsage;
}

void CCommandLine::Help()
{
    m_out << "quillon-cli —— 不开窗口的分班、均衡优化、报告、分班表与统计\n"
             "\n"
             "用法：\n"
             "  quillon-cli divide TASK.qz [--seed N]   自动分班，保存结果与报告，输出报告\n"
             "  quillon-cli balance TASK.qz [--seconds S] [--seed N] [--iterations N]\n"
             "                                          对已分班的任务做均衡优化，保存结果，\n"
             "                                          在报告后添加均衡结果，输出优化前后的各班差距\n"
             "  quillon-cli report TASK.qz              输出上次分班的报告\n"
             "  quillon-cli table TASK.qz [--class 班级] 输出分班表（制表符分隔）\n"
             "  quillon-cli stats TASK.qz               输出各班与全校的分班统计（制表符分隔）\n"
             "  quillon-cli --help                      显示本说明\n"
             "\n"
             "--seed N 决定同分时的先后与班级的访问次序：同一任务用同一种子得到同一分班结果；\n"
             "不给或为 0 时每次随机选取，所用种子显示在标准错误输出上。\n"
             "--seconds S 均衡优化的时长（秒，默认 10）；--iterations N 改为固定的搜索步数，\n"
             "同一种子与步数在任何机器上得到同一结果。\n"
             "\n"
             "退出码：0 分班（或均衡优化）完成（其他命令：成功）；1 数据检查未通过，未分班\n"
             "（均衡优化：任务还没有分班）；2 有学生未能分班；\n"
             "3 用法错误；4 任务文件不存在或数据文件已损坏；5 没有该班级；6 分班未能完成；\n"
             "7 已分班（或已优化），但结果未能保存。\n";
    m_out.flush();
}
