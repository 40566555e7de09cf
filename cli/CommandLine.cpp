#include "cli/CommandLine.h"

#include "base/util/AccountName.h"
#include "core/BalanceModel.h"
#include "core/BalanceOptimizer.h"
#include "core/BalanceReport.h"
#include "base/records/ClassInfo.h"
#include "logic/editing/ClassNamePattern.h"
#include "logic/editing/ClassRows.h"
#include "cli/ConsoleOwner.h"
#include "logic/editing/CountText.h"
#include "core/Core.h"
#include "core/DivisionBalance.h"
#include "core/DivisionEditor.h"
#include "core/DivisionStatistics.h"
#include "core/DivisionTableData.h"
#include "logic/export/DivisionTableExport.h"
#include "base/util/FileUtil.h"
#include "logic/editing/ListEditorRows.h"
#include "base/util/LocalTime.h"
#include "logic/editing/MutexGroupRows.h"
#include "logic/editing/MutexNameParser.h"
#include "base/records/MutexStudent.h"
#include "logic/editing/NameRules.h"
#ifdef QUILLON_CLI_PRINT
#include "cli/ChartImageWriter.h"
#include "cli/PdfResultWriter.h"
#endif
#include "logic/pinyin/PinyinConverter.h"
#include "logic/editing/PresetRows.h"
#include "logic/editing/RecordOrder.h"
#include "base/task/ScheduleTask.h"
#include "logic/import/SheetText.h"
#include "logic/import/SpreadsheetReader.h"
#include "base/records/StudentInfo.h"
#include "base/records/StudentPreset.h"
#include "logic/editing/StudentTable.h"
#include "base/task/TaskCreator.h"
#include "base/records/TaskInfo.h"
#include "base/task/TaskLock.h"
#include "base/util/TextCodec.h"
#include "logic/export/WorkbookWriter.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <random>

namespace {

const char* const MissingTask = "缺少任务文件（.qz）。";
const char* const MissingPdf = "缺少输出的 PDF 文件。";
const char* const SizeProblem = "--width 与 --height 后面应是 100 到 20000 之间的整数（像素）。";
const CCommandLine::Option ClassOption = {"--class", true, "--class 后面应是班级名称。"};
const char* const ClassesProblem = "--count 后面应是要添加的班级数（1 到 99）。";

// The batch add's patterns by number, as the usage message names them.
std::string PatternProblem()
{
    std::string text = "--pattern 后面应是班级格式的编号：";
    for (const ClassNamePattern& pattern : ClassNamePattern::Patterns())
        text += (pattern.id > 1 ? "，" : "") + std::to_string(pattern.id) + " " + pattern.description + "（"
                + pattern.ClassName(0) + "…）";
    return text + "。";
}

template <class T>
bool ParseNumber(const std::string& text, T& value)
{
    const char* first = text.data();
    const char* last = first + text.size();
    const auto result = std::from_chars(first, last, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == last;
}

// A picture's width or height in pixels; 0 when not given.
bool ParseSize(const std::string* text, int& size)
{
    size = 0;
    if (!text)
        return true;
    const char* last = text->data() + text->size();
    const auto result = std::from_chars(text->data(), last, size);
    return result.ec == std::errc() && result.ptr == last && size >= 100 && size <= 20000;
}

// The name of a student's class, "未分班" when it has none.
std::string ClassNameOrNone(const CScheduleTask& task, const std::string& classId)
{
    const std::string name = task.GetClassName(classId);
    return name.empty() ? std::string("未分班") : name;
}

// Fills rows as an editor does when it opens (load). Its checks on opening
// drop what no longer fits the task and save it at once; here they change
// the task in memory only, and the command's own save (if any) writes it all.
void LoadEditorRows(CScheduleTask& task, CListEditorRows& rows, CCommandLine::EditorLoad load)
{
    const CScheduleTask::MessageHandler handler = task.GetMessageHandler();
    const bool readOnly = task.IsReadOnly();
    task.SetReadOnly(true);
    task.SetMessageHandler([](const std::string&) {});
    load(task, rows);
    task.SetReadOnly(readOnly);
    task.SetMessageHandler(handler);
}

} // namespace

CCommandLine::CCommandLine(std::ostream& out, std::ostream& err) : m_out(out), m_err(err)
{
}

int CCommandLine::Run(const std::vector<std::string>& args)
{
    if (args.empty())
        return Usage("缺少命令。");
    const std::string& name = args[0];
    if (name == "--help" || name == "-h" || name == "help") {
        Help();
        return 0;
    }
    const Command* command = FindCommand(name);
    if (!command)
        return Usage("未知命令：" + name);

    Arguments arguments;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            Help();
            return 0;
        }
        if (const Option* option = command->FindOption(arg)) {
            std::string value;
            if (option->takesValue) {
                if (i + 1 >= args.size() || args[i + 1].empty())
                    return Usage(option->valueProblem);
                value = args[++i];
            }
            arguments.options[arg] = value;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage("未知选项：" + arg);
        } else if (arguments.operands.size() < command->operands.size()) {
            arguments.operands.push_back(arg);
        } else {
            return Usage("多余的参数：" + arg);
        }
    }
    if (arguments.operands.size() < command->operands.size())
        return Usage(command->operands[arguments.operands.size()]);
    return (this->*command->run)(arguments);
}

const CCommandLine::Command* CCommandLine::FindCommand(const std::string& name)
{
    static const std::vector<Command> commands = {
        {"divide", {MissingTask}, {{"--seed", true, "--seed 后面应是一个非负整数。"}}, &CCommandLine::Divide},
        {"balance", {MissingTask},
         {{"--seed", true, "--seed 后面应是一个非负整数。"},
          {"--seconds", true, "--seconds 后面应是一个正数（秒）。"},
          {"--iterations", true, "--iterations 后面应是一个正整数。"}},
         &CCommandLine::Balance},
        {"report", {MissingTask}, {}, &CCommandLine::Report},
        {"table", {MissingTask}, {ClassOption}, &CCommandLine::Table},
        {"stats", {MissingTask}, {}, &CCommandLine::Stats},
        {"print-table", {MissingTask, MissingPdf}, {ClassOption}, &CCommandLine::PrintTable},
        {"print-stats", {MissingTask, MissingPdf}, {}, &CCommandLine::PrintStats},
        {"chart",
         {MissingTask, "缺少输出的图片文件（.png 或 .svg）。"},
         {{"--kind", true, "--kind 后面应是 total、subject、sex 或 box。"},
          {"--subject", true, "--subject 后面应是科目名称。"},
          {"--width", true, SizeProblem},
          {"--height", true, SizeProblem}},
         &CCommandLine::Chart},
        {"import-students", {MissingTask, "缺少要导入的表格文件。"}, {}, &CCommandLine::ImportStudents},
        {"export-table", {MissingTask, "缺少导出的文件名（.xlsx）。"}, {ClassOption}, &CCommandLine::ExportTable},
        {"move", {MissingTask, "缺少要调整的学生（姓名或ID）。", "缺少要调到的班级（名称或ID）。"}, {{"--force", false, ""}},
         &CCommandLine::Move},
        {"pinyin", {"缺少要转写的文字。"}, {{"--initials", false, ""}}, &CCommandLine::Pinyin},
        {"classes", {MissingTask}, {}, &CCommandLine::Classes},
        {"add-class", {MissingTask, "缺少班级名称。"}, {{"--count", true, "--count 后面应是班级人数。"}},
         &CCommandLine::AddClass},
        {"add-classes", {MissingTask},
         {{"--pattern", true, PatternProblem()},
          {"--count", true, ClassesProblem},
          {"--students", true, "--students 后面应是每班学生人数。"},
          {"--prefix", true, "--prefix 后面应是班级编号前的文字。"},
          {"--suffix", true, "--suffix 后面应是班级编号后的文字。"}},
         &CCommandLine::AddClasses},
        {"groups", {MissingTask}, {}, &CCommandLine::Groups},
        {"add-group", {MissingTask, "缺少互斥学生组的学生姓名（以逗号分隔）。"}, {}, &CCommandLine::AddGroup},
        {"presets", {MissingTask}, {}, &CCommandLine::Presets},
        {"preset", {MissingTask, "缺少要预分班的学生（姓名或ID）。", "缺少预分的班级（名称或ID）。"}, {},
         &CCommandLine::Preset},
        {"unpreset", {MissingTask, "缺少要取消预分班的学生（姓名或ID）。"}, {}, &CCommandLine::Unpreset},
        {"new-task", {"缺少新任务的保存位置（文件夹）。", "缺少任务名称。"},
         {{"--creator", true, "--creator 后面应是创建者。"}}, &CCommandLine::NewTask},
        {"remove-class", {MissingTask, "缺少要删除的班级（名称或ID）。"}, {}, &CCommandLine::RemoveClass},
    };
    for (const Command& command : commands) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

const CCommandLine::Option* CCommandLine::Command::FindOption(const std::string& text) const
{
    for (const Option& option : options) {
        if (option.name == text)
            return &option;
    }
    return nullptr;
}

std::string CCommandLine::TaskFolder(const std::string& path)
{
    return CFileUtil::FromPath(CFileUtil::ToPath(path).parent_path());
}

int CCommandLine::LockTask(CTaskLock& lock, const std::string& path, const std::string& program)
{
    // One writer at a time: the task is locked before it is read. A lock
    // that cannot be made (a read-only folder) stops nothing: the save
    // fails then and says so.
    if (!CFileUtil::FileExists(path) || lock.Acquire(program) != CTaskLock::Result::HeldByOther)
        return 0;
    const CTaskLock::Holder& holder = lock.GetHolder();
    m_err << "错误：该任务正被另一程序修改";
    if (!holder.program.empty())
        m_err << "（" << holder.program << "，用户 " << holder.user << "，计算机 " << holder.host << "，自 "
              << holder.time << " 起）";
    m_err << "，请等它结束后再试：" << path << std::endl;
    return ExitLocked;
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

int CCommandLine::OpenTaskToChange(CTaskLock& lock, CScheduleTask& task, const std::string& path,
                                   const std::string& program)
{
    if (const int locked = LockTask(lock, path, program))
        return locked;
    return OpenTask(task, path) ? 0 : ExitTask; // a damaged data file is never overwritten
}

int CCommandLine::ChangeTask(const std::string& path, const std::string& program,
                             const std::function<int(CScheduleTask&)>& change)
{
    CTaskLock lock(TaskFolder(path));
    CScheduleTask task;
    if (const int failed = OpenTaskToChange(lock, task, path, program))
        return failed;
    return change(task);
}

bool CCommandLine::SaveChange(CScheduleTask& task, const std::string& what)
{
    if (task.SaveInputData())
        return true;
    m_err << "错误：" << what << "未能保存到任务文件夹，任务没有改变。" << std::endl;
    return false;
}

int CCommandLine::Divide(const Arguments& arguments)
{
    const std::string& path = arguments.Task();
    unsigned long long seed = 0;
    if (const std::string* text = arguments.Option("--seed"); text && !ParseNumber(*text, seed))
        return Usage("--seed 后面应是一个非负整数。");
    CTaskLock lock(TaskFolder(path));
    if (const int locked = LockTask(lock, path, "quillon-cli divide"))
        return locked;

    CScheduleTask task;
    if (!OpenTask(task, path))
        return ExitTask; // a damaged data file is never overwritten

    seed = ChooseSeed(seed);

    CConsoleOwner owner(m_err);
    bool saved = false; // input.xml and report.txt, as the pair the engine writes
    {
        CCore core(task);
        core.Init(&owner);
        core.SetFilter({});
        core.SetSeed(seed);
        core.Start();
        core.Wait();
        saved = core.IsResultSaved();
        core.Free();
    }
    if (!owner.HasEnded()) {
        m_err << "错误：分班未能完成。" << std::endl;
        return ExitFailed;
    }
    // A division whose files were not written is no success: its report is
    // not printed as one.
    const std::string text = task.GetLastReportInfo().GetReportInfo();
    const int result = owner.GetResult();
    if (result != DIVISION_RESULT_REFUSED && !saved) {
        m_err << "错误：分班结果未能保存到任务文件夹。" << std::endl;
        return ExitNotSaved;
    }
    m_out << text;
    if (!text.empty() && text.back() != '\n')
        m_out << '\n';
    m_out.flush();
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

int CCommandLine::Balance(const Arguments& arguments)
{
    const std::string& path = arguments.Task();
    unsigned long long seed = 0;
    double seconds = 10.0;
    unsigned long long iterations = 0;
    if (const std::string* text = arguments.Option("--seed"); text && !ParseNumber(*text, seed))
        return Usage("--seed 后面应是一个非负整数。");
    if (const std::string* text = arguments.Option("--seconds");
        text && (!ParseNumber(*text, seconds) || !(seconds > 0.0) || seconds > 86400.0))
        return Usage("--seconds 后面应是一个正数（秒）。");
    if (const std::string* text = arguments.Option("--iterations");
        text && (!ParseNumber(*text, iterations) || iterations == 0))
        return Usage("--iterations 后面应是一个正整数。");

    CTaskLock lock(TaskFolder(path));
    if (const int locked = LockTask(lock, path, "quillon-cli balance"))
        return locked;
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

    // The report is written only with the data it describes, as a pair.
    task.SetMessageHandler([this](const std::string& text) { m_err << text << std::endl; });
    if (!task.SaveInputDataWithReport()) {
        m_err << "错误：均衡优化的结果未能保存到任务文件夹。" << std::endl;
        return ExitNotSaved;
    }
    m_err << "均衡优化完成。" << std::endl;
    return model.GetUnplacedCount() > 0 ? DIVISION_RESULT_UNPLACED : DIVISION_RESULT_DONE;
}

int CCommandLine::Report(const Arguments& arguments)
{
    const std::string& path = arguments.Task();
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

bool CCommandLine::FindClass(const CScheduleTask& task, const std::string& className, std::string& classId)
{
    classId.clear();
    if (className.empty())
        return true;
    for (const CClassInfo* info : CDivisionTableData::ClassesInOrder(task)) {
        if (info->NameRef() == className) {
            classId = info->GetId();
            return true;
        }
    }
    m_err << "错误：没有名为“" << className << "”的班级。" << std::endl;
    return false;
}

int CCommandLine::OpenTaskForClass(CScheduleTask& task, const std::string& path, const std::string& className,
                                   std::string& classId)
{
    if (!OpenTask(task, path))
        return ExitTask;
    return FindClass(task, className, classId) ? 0 : ExitNotFound;
}

int CCommandLine::Table(const Arguments& arguments)
{
    CScheduleTask task;
    std::string classId;
    if (const int failed = OpenTaskForClass(task, arguments.Task(), arguments.OptionOr("--class", ""), classId))
        return failed;
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

int CCommandLine::ImportStudents(const Arguments& arguments)
{
    const std::string& path = arguments.Task();
    const std::string& file = arguments.operands[1];
    CTaskLock lock(TaskFolder(path));
    CScheduleTask task;
    if (const int failed = OpenTaskToChange(lock, task, path, "quillon-cli import-students"))
        return failed;

    // As the import wizard feeds an empty students editor: the header row,
    // then every record row; then the editor's save.
    CSpreadsheetReader reader;
    reader.SetHeaderName("姓名");
    if (!reader.Open(file)) {
        m_err << "错误：" << reader.GetFailureText() << std::endl;
        return ExitImport;
    }
    CStudentTable students;
    RowRequest header;
    header.quiet = true;
    header.mode = RowMode::Header;
    students.SubmitRow(header, reader.GetHeader());
    if (!header.accepted && !header.message.empty()) {
        m_err << "错误：" << header.message << std::endl;
        return ExitImport;
    }
    std::vector<std::string> cells;
    int position = 0;
    while (reader.ReadRecord(cells, position)) {
        RowRequest request;
        request.quiet = true;
        students.SubmitRow(request, cells);
        if (!request.accepted && !request.message.empty()) {
            m_err << "错误：" << request.message << std::endl;
            return ExitImport;
        }
    }
    if (reader.Failed()) {
        m_err << "错误：" << reader.GetFailureText() << std::endl;
        return ExitImport;
    }

    // A sheet without a single student never empties the task.
    if (students.GetRowCount() == 0) {
        m_err << "错误：表格中没有可导入的学生，分班任务没有改变。" << std::endl;
        return ExitImport;
    }
    students.SaveTo(task);
    if (!task.SaveInputData()) {
        m_err << "错误：学生名单未能保存到任务文件夹。" << std::endl;
        return ExitNotSaved;
    }
    std::string scores;
    for (const std::string& name : students.GetScoreNames())
        scores += (scores.empty() ? "" : "、") + name;
    m_out << "已导入 " << students.GetRowCount() << " 名学生（工作表“" << reader.GetSheetName() << "”）。\n"
          << "成绩列：" << (scores.empty() ? "无" : scores) << '\n';
    if (const std::size_t nameless = students.NamelessCount())
        m_out << "其中 " << nameless << " 名学生没有姓名，请检查表格。\n";
    m_out.flush();
    return 0;
}

int CCommandLine::ExportTable(const Arguments& arguments)
{
    const std::string& file = arguments.operands[1];
    if (file.size() < 5 || !CSheetText::EqualsNoCase(std::string_view(file).substr(file.size() - 5), ".xlsx"))
        return Usage("导出的文件名应以 .xlsx 结尾。");
    const std::string className = arguments.OptionOr("--class", "");
    CScheduleTask task;
    std::string classId;
    if (const int failed = OpenTaskForClass(task, arguments.Task(), className, classId))
        return failed;
    CDivisionTableData data(task);
    data.Fill(classId);
    std::string error;
    if (!CWorkbookWriter::ExportTable(file, CDivisionTableExport::Build(data, className), error)) {
        m_err << "错误：" << CWorkbookWriter::kExportFailure << '\n' << error << std::endl;
        return ExitNotWritten;
    }
    m_out << "已导出分班表 " << data.GetRowCount() << " 行：" << file << '\n';
    m_out.flush();
    return 0;
}

int CCommandLine::FindRecord(const CQZObjectList& list, const std::string& text, const std::string& kind,
                            int notFound, const std::function<std::string(const CQZObject&)>& describe,
                            std::string& id)
{
    if (list.Find(text)) {
        id = text;
        return 0;
    }
    std::vector<const CQZObject*> named;
    for (const auto& entry : list) {
        if (entry.object->NameRef() == text)
            named.push_back(entry.object.get());
    }
    if (named.size() == 1) {
        id = named.front()->GetId();
        return 0;
    }
    if (named.empty()) {
        m_err << "错误：没有名称或ID为“" << text << "”的" << kind << "。" << std::endl;
        return notFound;
    }
    std::stable_sort(named.begin(), named.end(),
                     [](const CQZObject* a, const CQZObject* b) { return a->GetIndex() < b->GetIndex(); });
    m_err << "错误：有 " << named.size() << " 个" << kind << "名为“" << text << "”，请改用ID：\n";
    for (const CQZObject* record : named)
        m_err << "  " << record->GetId() << '\t' << describe(*record) << '\n';
    m_err.flush();
    return ExitAmbiguous;
}

int CCommandLine::FindStudent(const CScheduleTask& task, const std::string& text, std::string& id)
{
    return FindRecord(
        task.GetStudentInfoList(), text, "学生", ExitNoStudent,
        [&task](const CQZObject& record) {
            const auto& student = static_cast<const CStudentInfo&>(record);
            return ClassNameOrNone(task, student.ClassIdRef()) + '\t' + (student.IsGirl() ? "女" : "男") + '\t'
                   + student.GetFromSchool();
        },
        id);
}

int CCommandLine::FindStudentAndClass(const CScheduleTask& task, const Arguments& arguments, std::string& studentId,
                                      std::string& classId)
{
    if (const int studentFound = FindStudent(task, arguments.operands[1], studentId))
        return studentFound;
    return FindRecord(
        task.GetClassInfoList(), arguments.operands[2], "班级", ExitNotFound,
        [](const CQZObject& record) {
            return "计划人数 " + std::to_string(static_cast<const CClassInfo&>(record).GetStudentCount());
        },
        classId);
}

int CCommandLine::Move(const Arguments& arguments)
{
    const std::string& path = arguments.Task();
    const bool force = arguments.Option("--force") != nullptr;
    CTaskLock lock(TaskFolder(path));
    CScheduleTask task;
    if (const int failed = OpenTaskToChange(lock, task, path, "quillon-cli move"))
        return failed;

    auto className = [&task](const std::string& classId) { return ClassNameOrNone(task, classId); };
    std::string studentId;
    std::string classId;
    if (const int notFound = FindStudentAndClass(task, arguments, studentId, classId))
        return notFound;

    CDivisionEditor editor(task);
    std::string problem;
    const auto change = editor.MakeMove({studentId}, classId, problem);
    if (!change) {
        m_out << problem << "没有调整。" << std::endl;
        return 0;
    }
    const std::vector<CDivisionEditor::Breach> breaches = editor.Check(*change);
    for (const CDivisionEditor::Breach& breach : breaches)
        m_err << (force ? "注意：" : "错误：") << breach.text << '\n';
    if (!breaches.empty() && !force) {
        m_err << "没有调整。要仍然调整，请加 --force。" << std::endl;
        switch (breaches.front().rule) {
        case CDivisionEditor::Rule::PresetClass: return ExitPresetClass;
        case CDivisionEditor::Rule::ExclusiveGroup: return ExitExclusiveGroup;
        case CDivisionEditor::Rule::Capacity: return ExitCapacity;
        }
    }

    const CDivisionBalance before = CDivisionBalance::Of(task);
    const std::string from = className(change->GetSteps().front().fromClassId);
    if (!editor.Apply(*change)) {
        m_err << "错误：调整未能保存到任务文件夹，任务没有改变。" << std::endl;
        return ExitNotSaved;
    }
    m_out << "已把 " << task.GetStudentName(studentId) << " 从 " << from << " 调到 " << className(classId) << "。\n"
          << CDivisionBalance::Describe(CDivisionBalance::Of(task), &before) << std::endl;
    return 0;
}

int CCommandLine::Classes(const Arguments& arguments)
{
    CScheduleTask task;
    if (!OpenTask(task, arguments.Task()))
        return ExitTask;
    PrintLine({"班级名称", "人数", "简称", "班主任"}, 0);
    for (const CClassInfo* info : CRecordOrder::InIndexOrder<CClassInfo>(task.GetClassInfoList()))
        PrintLine({info->GetName(), std::to_string(info->GetStudentCount()), info->GetShortName(),
                   info->GetHeadTeacherName()},
                  0);
    m_out.flush();
    return 0;
}

int CCommandLine::AddClass(const Arguments& arguments)
{
    // Checked as the class dialog checks what is typed, before the task is touched.
    std::string name;
    int count = ClassNamePattern().studentsPerClass;
    if (const std::string problem = CClassRows::CheckName(arguments.operands[1], name); !problem.empty())
        return Usage(problem);
    if (const std::string* text = arguments.Option("--count")) {
        if (const std::string problem = CClassRows::CheckCount(*text, count); !problem.empty())
            return Usage(problem);
    }
    return ChangeTask(arguments.Task(), "quillon-cli add-class", [&](CScheduleTask& task) {
        CListEditorRows rows;
        CClassRows::Load(task, rows);
        if (!CClassRows::Add(rows, name, count)) {
            m_err << "错误：" << CNameRules::DuplicateMessage(name) << std::endl;
            return ExitNameExists;
        }
        CClassRows::SaveTo(task, rows, {});
        if (!SaveChange(task, "新班级"))
            return ExitNotSaved;
        m_out << "已添加班级 " << name << "（人数 " << count << "）。" << std::endl;
        return 0;
    });
}

int CCommandLine::AddClasses(const Arguments& arguments)
{
    // The batch dialog's choices: a pattern, how many classes, students per class.
    const std::vector<ClassNamePattern> patterns = ClassNamePattern::Patterns();
    int id = 0;
    const std::string* patternText = arguments.Option("--pattern");
    if (!patternText || CCountText::Parse(*patternText, id) != CCountText::Result::Number || id < 1
        || id > static_cast<int>(patterns.size()))
        return Usage(PatternProblem());
    ClassNamePattern pattern = patterns[static_cast<std::size_t>(id - 1)];
    const std::string* classes = arguments.Option("--count");
    if (!classes)
        return Usage(ClassesProblem);
    if (const std::string problem = CClassRows::CheckNumberOfClasses(*classes, pattern.numberOfClasses);
        !problem.empty())
        return Usage(problem);
    if (const std::string* students = arguments.Option("--students")) {
        if (const std::string problem = CClassRows::CheckStudentsPerClass(*students, pattern.studentsPerClass);
            !problem.empty())
            return Usage(problem);
    }
    pattern.prefix = arguments.OptionOr("--prefix", pattern.prefix);
    pattern.suffix = arguments.OptionOr("--suffix", pattern.suffix);

    return ChangeTask(arguments.Task(), "quillon-cli add-classes", [&](CScheduleTask& task) {
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
            if (!SaveChange(task, "新班级"))
                return ExitNotSaved;
        }
        for (const auto& [name, taken] : names) {
            if (taken)
                m_out << "已添加 " << name << "（人数 " << pattern.studentsPerClass << "）\n";
            else
                m_out << "已跳过 " << CNameRules::DuplicateMessage(name) << '\n';
        }
        m_out << "共添加 " << added << " 个班级，跳过 " << names.size() - static_cast<std::size_t>(added) << " 个。"
              << std::endl;
        return 0;
    });
}

int CCommandLine::Groups(const Arguments& arguments)
{
    return PrintEditorRows(arguments.Task(), &CMutexGroupRows::Load, {"序号", "互斥学生列表"});
}

int CCommandLine::AddGroup(const Arguments& arguments)
{
    return ChangeTask(arguments.Task(), "quillon-cli add-group", [&](CScheduleTask& task) {
        const CMutexNameParser::Group read = CMutexNameParser::ReadGroup(task, arguments.operands[1]);
        using Outcome = CMutexNameParser::Group::Outcome;
        switch (read.outcome) {
        case Outcome::NoName: return Usage(read.message);
        case Outcome::NoStudent: m_err << "错误：" << read.message << std::endl; return ExitNoStudent;
        case Outcome::OneStudent: m_err << "错误：" << read.message << std::endl; return ExitTooFewMembers;
        case Outcome::Made: break;
        }
        if (!read.message.empty())
            m_err << "注意：" << read.message << std::endl;

        CListEditorRows rows;
        LoadEditorRows(task, rows, &CMutexGroupRows::Load);
        std::unique_ptr<CMutexStudent> group = CMutexGroupRows::NewGroup(read.ids);
        std::vector<std::string> cells = CMutexGroupRows::Cells(task, *group, rows.RowCount());
        rows.Append(cells, std::move(group));
        CMutexGroupRows::SaveTo(task, rows);
        if (!SaveChange(task, "互斥学生组"))
            return ExitNotSaved;
        m_out << "已添加互斥学生组 " << cells[CMutexGroupRows::ColumnNumber] << "："
              << cells[CMutexGroupRows::ColumnNames] << std::endl;
        return 0;
    });
}

int CCommandLine::Presets(const Arguments& arguments)
{
    return PrintEditorRows(arguments.Task(), &CPresetRows::Load, {"学生", "预先安排在"});
}

int CCommandLine::Preset(const Arguments& arguments)
{
    return ChangeTask(arguments.Task(), "quillon-cli preset", [&](CScheduleTask& task) {
        std::string studentId;
        std::string classId;
        if (const int notFound = FindStudentAndClass(task, arguments, studentId, classId))
            return notFound;
        CListEditorRows rows;
        LoadEditorRows(task, rows, &CPresetRows::Load);

        // A student has one pre-assignment at most: adding one for a student
        // who has one changes its class.
        const std::string student = task.GetStudentName(studentId);
        const std::string className = task.GetClassName(classId);
        const int row = CPresetRows::FindRow(rows, studentId);
        std::string before;
        if (auto* preset = dynamic_cast<CStudentPreset*>(rows.Attached(row))) {
            before = task.GetClassName(preset->GetPresetClassId());
            if (preset->GetPresetClassId() == classId) {
                m_out << student << " 已预分在 " << className << "。没有改变。" << std::endl;
                return 0;
            }
            preset->SetPresetClassId(classId);
            rows.SetCellText(row, CPresetRows::ColumnClass, className);
        } else {
            std::unique_ptr<CStudentPreset> added = CPresetRows::NewPreset(studentId, classId);
            std::vector<std::string> cells = CPresetRows::Cells(task, *added);
            rows.Append(std::move(cells), std::move(added));
        }
        CPresetRows::SaveTo(task, rows);
        if (!SaveChange(task, "预分班"))
            return ExitNotSaved;
        if (before.empty())
            m_out << "已把 " << student << " 预分在 " << className << "。" << std::endl;
        else
            m_out << "已把 " << student << " 的预分班从 " << before << " 改为 " << className << "。" << std::endl;
        return 0;
    });
}

int CCommandLine::Unpreset(const Arguments& arguments)
{
    return ChangeTask(arguments.Task(), "quillon-cli unpreset", [&](CScheduleTask& task) {
        std::string studentId;
        if (const int studentFound = FindStudent(task, arguments.operands[1], studentId))
            return studentFound;
        CListEditorRows rows;
        LoadEditorRows(task, rows, &CPresetRows::Load);
        const std::string student = task.GetStudentName(studentId);
        const int row = CPresetRows::FindRow(rows, studentId);
        if (row < 0) {
            m_err << "错误：" << student << " 没有预分班。" << std::endl;
            return ExitNoPreset;
        }
        const std::string className = rows.CellText(row, CPresetRows::ColumnClass);
        rows.RemoveRows({row});
        CPresetRows::SaveTo(task, rows);
        if (!SaveChange(task, "预分班"))
            return ExitNotSaved;
        m_out << "已取消 " << student << " 的预分班（原在 " << className << "）。" << std::endl;
        return 0;
    });
}

int CCommandLine::NewTask(const Arguments& arguments)
{
    const std::string& name = arguments.operands[1];
    if (!CTaskCreator::IsValidName(name))
        return Usage(CTaskCreator::NameProblem(name));
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
        m_out << "已创建分班任务 " << name << "：" << info.GetTaskFile() << std::endl;
        return 0;
    case Outcome::BadName: return Usage(result.message);
    case Outcome::HoldsTask: m_err << "错误：" << result.message << std::endl; return ExitHoldsTask;
    case Outcome::Locked: m_err << "错误：" << result.message << std::endl; return ExitLocked;
    case Outcome::BadFolder:
    case Outcome::CannotWrite: break;
    }
    m_err << "错误：" << result.message << std::endl;
    return ExitNotSaved;
}

int CCommandLine::RemoveClass(const Arguments& arguments)
{
    return ChangeTask(arguments.Task(), "quillon-cli remove-class", [&](CScheduleTask& task) {
        std::string classId;
        if (const int notFound = FindRecord(
                task.GetClassInfoList(), arguments.operands[1], "班级", ExitNotFound,
                [](const CQZObject& record) {
                    return "计划人数 " + std::to_string(static_cast<const CClassInfo&>(record).GetStudentCount());
                },
                classId))
            return notFound;
        // As the classes editor deletes the row and saves.
        CListEditorRows rows;
        CClassRows::Load(task, rows);
        for (int row = rows.RowCount() - 1; row >= 0; --row) {
            if (rows.CellText(row, CClassRows::ColumnId) == classId)
                rows.RemoveRows({row});
        }
        const std::string className = task.GetClassName(classId);
        std::vector<std::string> students;
        for (const CStudentPreset* preset : CClassRows::PresetsTo(task, {classId})) {
            const std::string student = task.GetStudentName(preset->GetId());
            students.push_back(student.empty() ? preset->GetId() : student);
        }
        CClassRows::SaveTo(task, rows, {classId});
        if (!SaveChange(task, "删除班级"))
            return ExitNotSaved;
        m_out << "已删除班级 " << className << "。\n";
        for (const std::string& student : students)
            m_out << "已取消 " << student << " 的预分班（原在 " << className << "）。\n";
        m_out.flush();
        return 0;
    });
}

int CCommandLine::PrintTable(const Arguments& arguments)
{
    return PrintPdf(arguments.Task(), arguments.operands[1], arguments.OptionOr("--class", ""), true);
}

int CCommandLine::PrintStats(const Arguments& arguments)
{
    return PrintPdf(arguments.Task(), arguments.operands[1], "", false);
}

int CCommandLine::PrintPdf(const std::string& path, const std::string& pdfPath, const std::string& className,
                           bool rosters)
{
#ifdef QUILLON_CLI_PRINT
    CScheduleTask task;
    std::string classId;
    if (const int failed = OpenTaskForClass(task, path, className, classId))
        return failed;
    const bool written = rosters ? CPdfResultWriter::WriteRosters(task, classId, pdfPath)
                                 : CPdfResultWriter::WriteStatistics(task, pdfPath);
    if (!written) {
        m_err << "错误：无法写入 PDF 文件 " << pdfPath << std::endl;
        return ExitNotWritten;
    }
    return 0;
#else
    (void)path;
    (void)pdfPath;
    (void)className;
    (void)rosters;
    return Usage("这个版本的 quillon-cli 不含打印功能。");
#endif
}

int CCommandLine::Chart(const Arguments& arguments)
{
    // A subject without a kind asks for its averages.
    const std::string* subject = arguments.Option("--subject");
    const std::string kind = arguments.OptionOr("--kind", subject ? "subject" : "total");
    static const char* const kinds[] = {"total", "subject", "sex", "box"};
    if (std::find(std::begin(kinds), std::end(kinds), kind) == std::end(kinds))
        return Usage("--kind 后面应是 total、subject、sex 或 box。");
    int width = 0;
    int height = 0;
    if (!ParseSize(arguments.Option("--width"), width) || !ParseSize(arguments.Option("--height"), height))
        return Usage(SizeProblem);
    const std::string& file = arguments.operands[1];
    const auto ends = [&file](std::string_view suffix) {
        return file.size() > suffix.size() && CSheetText::EqualsNoCase(std::string_view(file).substr(file.size() - suffix.size()), suffix);
    };
    if (!ends(".png") && !ends(".svg"))
        return Usage("图片文件名应以 .png 或 .svg 结尾。");

    CScheduleTask task;
    if (!OpenTask(task, arguments.Task()))
        return ExitTask;
    // The total, unless a subject is named (or the averages of a subject
    // are asked for: the first one then).
    const auto& subjects = task.GetCustomSubjectArray();
    std::size_t measure = static_cast<std::size_t>(-1);
    if (subject) {
        const auto found = std::find(subjects.begin(), subjects.end(), *subject);
        if (found == subjects.end()) {
            m_err << "错误：这个任务没有名为“" << *subject << "”的科目。" << std::endl;
            return ExitNotFound;
        }
        measure = static_cast<std::size_t>(found - subjects.begin());
    } else if (kind == "subject") {
        if (subjects.empty()) {
            m_err << "错误：这个任务没有科目。" << std::endl;
            return ExitNotFound;
        }
        measure = 0;
    }
#ifdef QUILLON_CLI_PRINT
    using Kind = CDivisionChart::Kind;
    const Kind chart = kind == "sex" ? Kind::Headcount : kind == "box" ? Kind::Distribution : Kind::Averages;
    std::string title;
    if (!CChartImageWriter::Write(task, chart, measure, width, height, file, title)) {
        m_err << "错误：无法写入图片文件 " << file << std::endl;
        return ExitNotWritten;
    }
    m_out << "已画出“" << title << "”：" << file << '\n';
    m_out.flush();
    return 0;
#else
    (void)measure;
    return Usage("这个版本的 quillon-cli 不含图表功能。");
#endif
}

int CCommandLine::Stats(const Arguments& arguments)
{
    const std::string& path = arguments.Task();
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

int CCommandLine::Pinyin(const Arguments& arguments)
{
    CPinyinConverter converter;
    converter.SetInitialsOnly(arguments.Option("--initials") != nullptr);
    m_out << converter.Transcribe(CTextCodec::ToGbk(arguments.operands[0])) << std::endl;
    return 0;
}

int CCommandLine::PrintEditorRows(const std::string& path, EditorLoad load, const std::vector<std::string>& titles)
{
    CScheduleTask task;
    if (!OpenTask(task, path))
        return ExitTask;
    CListEditorRows rows;
    LoadEditorRows(task, rows, load);
    PrintLine(titles, 0);
    const int count = rows.RowCount();
    for (int row = 0; row < count; ++row) {
        std::vector<std::string> cells;
        for (std::size_t column = 1; column <= titles.size(); ++column)
            cells.push_back(rows.CellText(row, static_cast<int>(column)));
        PrintLine(cells, 0);
    }
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
    m_out << "quillon-cli —— 不开窗口的分班、均衡优化、报告、分班表、统计、打印、班级与分班条件的维护和拼音转写\n"
             "\n"
             "用法：\n"
             "  quillon-cli divide TASK.qz [--seed N]   自动分班，保存结果与报告，输出报告\n"
             "  quillon-cli balance TASK.qz [--seconds S] [--seed N] [--iterations N]\n"
             "                                          对已分班的任务做均衡优化，保存结果，\n"
             "                                          在报告后添加均衡结果，输出优化前后的各班差距\n"
             "  quillon-cli report TASK.qz              输出上次分班的报告\n"
             "  quillon-cli table TASK.qz [--class 班级] 输出分班表（制表符分隔）\n"
             "  quillon-cli stats TASK.qz               输出各班与全校的分班统计（制表符分隔）\n"
             "  quillon-cli print-table TASK.qz OUT.pdf [--class 班级]\n"
             "                                          把各班名单（或一个班的名单）打印成 PDF\n"
             "  quillon-cli print-stats TASK.qz OUT.pdf 把分班统计表打印成 PDF\n"
             "  quillon-cli chart TASK.qz OUT.png [--kind total|subject|sex|box] [--subject 科目]\n"
             "                  [--width W --height H]\n"
             "                                          把分班图表画成 PNG（OUT 以 .svg 结尾时为 SVG）：\n"
             "                                          各班总分平均分、某科平均分、男女生人数或分数分布（箱线图）\n"
             "  quillon-cli pinyin 文字 [--initials]    输出文字的拼音（--initials 只取每个音节的首字母）\n"
             "  quillon-cli import-students TASK.qz 表格文件\n"
             "                                          从表格（.xlsx、.xls、.csv）导入学生，替换任务的学生与成绩科目\n"
             "  quillon-cli export-table TASK.qz OUT.xlsx [--class 班级]\n"
             "                                          把分班表导出为Excel工作簿\n"
             "  quillon-cli move TASK.qz 学生 班级 [--force]\n"
             "                                          把一名学生调到一个班级（姓名、名称或ID），先检查预排、\n"
             "                                          互斥组与计划人数；--force 违反规则也调整\n"
             "  quillon-cli classes TASK.qz             输出各班的名称、人数、简称与班主任（制表符分隔）\n"
             "  quillon-cli add-class TASK.qz 班级名称 [--count N]\n"
             "                                          添加一个班级（人数默认 40）；已有同名班级（不计空格、\n"
             "                                          括号的全角半角与字母大小写）时不添加\n"
             "  quillon-cli add-classes TASK.qz --pattern 1..5 --count N [--students M]\n"
             "                  [--prefix 前缀] [--suffix 后缀]\n"
             "                                          按班级格式批量添加 N 个班级（1 到 99，每班默认 40 人）：\n"
             "                                          1 数字编号，2 幼儿园小班，3 小学一年级，4 初中一年级，\n"
             "                                          5 高中一年级；已有的名称跳过\n"
             "  quillon-cli groups TASK.qz              输出互斥学生组（序号与学生姓名）\n"
             "  quillon-cli add-group TASK.qz \"张三，李四,王五\"\n"
             "                                          添加一个互斥学生组：姓名以逗号（全角或半角）或换行分隔，\n"
             "                                          至少两名学生\n"
             "  quillon-cli presets TASK.qz             输出预分班（学生与班级）\n"
             "  quillon-cli preset TASK.qz 学生 班级    把一名学生预分到一个班级（姓名、名称或ID；\n"
             "                                          已有预分班时改到这个班级）\n"
             "  quillon-cli unpreset TASK.qz 学生       取消一名学生的预分班\n"
             "  quillon-cli new-task 文件夹 任务名称 [--creator 创建者]\n"
             "                                          在文件夹中创建一个空的分班任务（文件夹不存在时创建，\n"
             "                                          已有分班任务的文件夹不用）；创建者默认为当前用户\n"
             "  quillon-cli remove-class TASK.qz 班级   删除一个班级（名称或ID），预分到该班的预分班一并删除\n"
             "  quillon-cli --help                      显示本说明\n"
             "\n"
             "--seed N 决定同分时的先后与班级的访问次序：同一任务用同一种子得到同一分班结果；\n"
             "不给或为 0 时每次随机选取，所用种子显示在标准错误输出上。\n"
             "--seconds S 均衡优化的时长（秒，默认 10）；--iterations N 改为固定的搜索步数，\n"
             "同一种子与步数在任何机器上得到同一结果。\n"
             "\n"
             "退出码：0 分班（或均衡优化）完成（其他命令：成功）；1 数据检查未通过，未分班\n"
             "（均衡优化：任务还没有分班）；2 有学生未能分班；\n"
             "3 用法错误；4 任务文件不存在或数据文件已损坏；5 没有该班级或科目；6 分班未能完成；\n"
             "7 已分班（或已导入、已优化、已调整、已修改名单），但结果未能保存；8 PDF 文件、工作簿或图片未能写入；9 表格无法导入；\n"
             "10 该任务正被另一程序修改；11 没有该学生；12 同名的学生或班级不止一个；\n"
             "13 调整将使预排的学生离开预排的班级；14 调整将使同一互斥组的两名学生同班；\n"
             "15 调整将使班级超出计划人数（违反多条时取最先列出的一条）；\n"
             "16 已有同名的班级；17 互斥学生组只找到一名学生；18 该学生没有预分班；\n"
             "19 保存位置已是一个分班任务的文件夹，没有创建新任务。\n";
    m_out.flush();
}
