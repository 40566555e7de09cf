#include "EngineFixture.h"

#include "cli/CommandLine.h"
#include "cli/ExitCode.h"
#include "CliRun.h"
#include "base/util/FileUtil.h"
#include "ImmutableFile.h"
#include "base/task/TaskLock.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#ifdef QUILLON_CLI_PATH

namespace {

using Outcome = testsupport::CliOutcome;

class CommandLineTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        AddClass("c1", 2, "一班");
        AddClass("c2", 2, "二班");
        AddStudent("s1", 0, 90, "王芳");
        AddStudent("s2", 0, 80, "李娜");
        AddStudent("s3", 1, 70, "张伟");
        AddStudent("s4", 1, 60, "刘洋");
        ASSERT_TRUE(task->SaveInputData());
        ASSERT_TRUE(task->GetTaskInfo().WriteToFile());
        taskFile = task->GetTaskInfo().GetTaskFile();
    }

    Outcome Cli(const std::string& arguments) { return testsupport::RunCli(QUILLON_CLI_PATH, arguments, folder); }

    static std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    std::string Quoted(const std::string& path) const { return "\"" + path + "\""; }

    // A command on the task: "command TASK.qz operands".
    Outcome OnTask(const std::string& command, const std::string& operands = std::string())
    {
        return Cli(command + " " + Quoted(taskFile) + (operands.empty() ? "" : " " + operands));
    }

    // Refused with code, having said err and nothing else.
    static void ExpectRefused(const Outcome& outcome, int code, const std::string& err)
    {
        EXPECT_EQ(outcome.code, code) << outcome.err;
        EXPECT_EQ(outcome.err, err);
        EXPECT_EQ(outcome.out, "");
    }

    // Done, having printed out.
    static void ExpectDone(const Outcome& outcome, const std::string& out)
    {
        EXPECT_EQ(outcome.code, 0) << outcome.err;
        EXPECT_EQ(outcome.out, out);
    }

    std::string InputBytes() const { return CFileUtil::ReadFile(task->GetTaskInfo().GetInputFilePath()).value_or(""); }

    // The task as a new run of the program reads it.
    std::unique_ptr<CScheduleTask> Reopen() const
    {
        auto reopened = std::make_unique<CScheduleTask>();
        reopened->SetMessageHandler([](const std::string&) {});
        EXPECT_TRUE(reopened->Open(taskFile));
        return reopened;
    }

    // The records of list as "name:index" (or "id:index" when byId), in
    // ascending index.
    static std::vector<std::string> ByIndex(const CQZObjectList& list, bool byId = false)
    {
        std::vector<const CQZObject*> records;
        for (const auto& entry : list)
            records.push_back(entry.object.get());
        std::stable_sort(records.begin(), records.end(),
                         [](const CQZObject* a, const CQZObject* b) { return a->GetIndex() < b->GetIndex(); });
        std::vector<std::string> texts;
        for (const CQZObject* record : records)
            texts.push_back((byId ? record->GetId() : record->GetName()) + ":" + std::to_string(record->GetIndex()));
        return texts;
    }

    static bool IsNewId(const std::string& id)
    {
        return id.size() == 32 && std::all_of(id.begin(), id.end(), [](char c) {
                   return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
               });
    }

    std::string taskFile;
};

TEST_F(CommandLineTest, DivideThenReadTheResults)
{
    const Outcome divided = Cli("divide " + Quoted(taskFile) + " --seed 5");
    ASSERT_EQ(divided.code, 0) << divided.err;
    EXPECT_NE(divided.out.find("【分班结果】\n分班完成。您可以查看并导出分班表。"), std::string::npos);
    EXPECT_NE(divided.err.find("正在分班,请稍候..."), std::string::npos);
    EXPECT_NE(divided.err.find("随机种子：5"), std::string::npos);
    EXPECT_TRUE(FileInFolder("report.txt"));

    const Outcome report = Cli("report " + Quoted(taskFile));
    EXPECT_EQ(report.code, 0);
    EXPECT_EQ(report.out, divided.out);

    const auto table = Lines(Cli("table " + Quoted(taskFile)).out);
    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table[0], "序号\t姓名\t班级\t性别\t原学校\t语文\t数学\t总分");
    EXPECT_EQ(table[1].substr(0, table[1].find('\t', 2)), "1\t王芳");

    const Outcome oneClass = Cli("table " + Quoted(taskFile) + " --class 二班");
    const auto rows = Lines(oneClass.out);
    ASSERT_EQ(rows.size(), 3u);
    for (std::size_t i = 1; i < rows.size(); ++i)
        EXPECT_NE(rows[i].find("\t二班\t"), std::string::npos) << rows[i];
    EXPECT_EQ(Cli("table " + Quoted(taskFile) + " --class 九班").code, 5);

    const auto stats = Lines(Cli("stats " + Quoted(taskFile)).out);
    ASSERT_EQ(stats.size(), 4u);
    EXPECT_EQ(stats[0], "班级\t人数\t女生\t男生\t语文平均分\t数学平均分\t总分平均分");
    EXPECT_EQ(stats[3], "全校\t4\t2\t2\t37.5\t37.5\t75.0");
}

// Each command the help lists is one the program knows: without operands it
// says which is missing, it refuses an option it does not take, and its
// --help is the program's help.
TEST_F(CommandLineTest, EveryCommandOfTheHelpReadsItsArguments)
{
    const Outcome help = Cli("--help");
    ASSERT_EQ(help.code, 0);
    std::vector<std::string> names;
    const std::string prefix = "  quillon-cli ";
    for (const std::string& line : Lines(help.out)) {
        if (line.rfind(prefix, 0) == 0 && line.compare(prefix.size(), 2, "--") != 0)
            names.push_back(line.substr(prefix.size(), line.find(' ', prefix.size()) - prefix.size()));
    }
    ASSERT_EQ(names.size(), 34u) << help.out;
    for (const std::string& name : names) {
        EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << name;
        const Outcome bare = Cli(name);
        EXPECT_EQ(bare.code, CCommandLine::ExitUsage) << name;
        EXPECT_EQ(bare.err.rfind("用法错误：缺少", 0), 0u) << name << ": " << bare.err;
        const Outcome unknown = Cli(name + " --bogus");
        EXPECT_EQ(unknown.code, CCommandLine::ExitUsage) << name;
        EXPECT_EQ(unknown.err, "用法错误：未知选项：--bogus\n用 quillon-cli --help 查看用法。\n") << name;
        const Outcome own = Cli(name + " -h");
        EXPECT_EQ(own.code, 0) << name;
        EXPECT_EQ(own.out, help.out) << name;
    }
}

TEST_F(CommandLineTest, RefusesBadUsageAndMissingOrDamagedTasks)
{
    const Outcome empty = Cli("");
    EXPECT_EQ(empty.code, 3);
    EXPECT_FALSE(empty.err.empty());
    EXPECT_EQ(Cli("divide").code, 3);
    EXPECT_EQ(Cli("divide " + Quoted(taskFile) + " --seed x").code, 3);
    EXPECT_EQ(Cli("shuffle " + Quoted(taskFile)).code, 3);
    const Outcome help = Cli("--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("divide"), std::string::npos);
    // Every exit code the program can end with is explained.
    for (int code = 3; code <= static_cast<int>(ExitCode::NoRecord); ++code) {
        const std::string number = std::to_string(code) + " ";
        EXPECT_TRUE(help.out.find("；" + number) != std::string::npos || help.out.find("\n" + number) != std::string::npos)
            << code;
    }

    const Outcome missing = Cli("divide " + Quoted((folder / "none.qz").string()));
    EXPECT_EQ(missing.code, 4);
    EXPECT_FALSE(missing.err.empty());

    // A data file that cannot be read is never overwritten by a division.
    const std::string input = task->GetTaskInfo().GetInputFilePath();
    {
        std::ofstream damaged(CFileUtil::ToPath(input), std::ios::binary | std::ios::trunc);
        damaged << "<?xml version=\"1.0\"?><Task><Students><Stu";
    }
    const auto before = CFileUtil::ReadFile(input);
    const Outcome refused = Cli("divide " + Quoted(taskFile));
    EXPECT_EQ(refused.code, 4);
    EXPECT_FALSE(refused.err.empty());
    EXPECT_EQ(CFileUtil::ReadFile(input), before);
    EXPECT_FALSE(FileInFolder("report.txt"));
}

TEST_F(CommandLineTest, DivisionWhoseReportCannotBeWrittenIsNotASuccess)
{
    // A folder where report.txt should be: the file cannot be written, and
    // the data is not saved without it.
    const auto input = CFileUtil::ReadFile(task->GetTaskInfo().GetInputFilePath());
    std::filesystem::create_directories(folder / "report.txt" / "keep");
    const Outcome divided = Cli("divide " + Quoted(taskFile) + " --seed 5");
    EXPECT_EQ(divided.code, 7);
    EXPECT_NE(divided.err.find("未能保存"), std::string::npos) << divided.err;
    EXPECT_EQ(divided.out, "") << "no success report for a division that is not on disk";
    EXPECT_EQ(CFileUtil::ReadFile(task->GetTaskInfo().GetInputFilePath()), input);
}

TEST_F(CommandLineTest, TaskHeldByAnotherProgramIsRefused)
{
    const auto input = CFileUtil::ReadFile(task->GetTaskInfo().GetInputFilePath());
    {
        CTaskLock lock(folder.string());
        ASSERT_EQ(lock.Acquire("Quillon"), CTaskLock::Result::Acquired);
        const Outcome refused = Cli("divide " + Quoted(taskFile) + " --seed 5");
        EXPECT_EQ(refused.code, CCommandLine::ExitLocked);
        EXPECT_NE(refused.err.find("正被另一程序修改"), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find("Quillon"), std::string::npos) << refused.err;
        EXPECT_EQ(refused.out, "");
        EXPECT_EQ(CFileUtil::ReadFile(task->GetTaskInfo().GetInputFilePath()), input);
        EXPECT_EQ(Cli("move " + Quoted(taskFile) + " 王芳 一班").code, CCommandLine::ExitLocked);
        for (const char* edit : {"add-class 三班", "add-classes --pattern 1 --count 2", "add-group 王芳,李娜",
                                 "preset 王芳 一班", "unpreset 王芳"}) {
            const std::string command(edit);
            const std::size_t space = command.find(' ');
            EXPECT_EQ(OnTask(command.substr(0, space), command.substr(space + 1)).code, CCommandLine::ExitLocked)
                << edit;
        }
        EXPECT_EQ(CFileUtil::ReadFile(task->GetTaskInfo().GetInputFilePath()), input);
        EXPECT_EQ(OnTask("classes").code, 0);
        // Reading is not writing.
        EXPECT_EQ(Cli("stats " + Quoted(taskFile)).code, 0);
    }
    const Outcome divided = Cli("divide " + Quoted(taskFile) + " --seed 5");
    EXPECT_EQ(divided.code, 0) << divided.err;
    EXPECT_FALSE(FileInFolder("quillon.lock")) << "released at the end";
}

TEST_F(CommandLineTest, PinyinOfAText)
{
    const Outcome full = Cli("pinyin \"李 Lei 张三（2）\"");
    EXPECT_EQ(full.code, 0) << full.err;
    EXPECT_EQ(full.out, "LI Lei ZHANGSAN?2?\n");
    const Outcome initials = Cli("pinyin 张三丰 --initials");
    EXPECT_EQ(initials.code, 0) << initials.err;
    EXPECT_EQ(initials.out, "ZSF\n");

    EXPECT_EQ(Cli("pinyin").code, 3);
    EXPECT_EQ(Cli("pinyin 张 三").code, 3);
    EXPECT_EQ(Cli("pinyin 张三 --seed 1").code, 3);
}

TEST_F(CommandLineTest, BalanceADividedTask)
{
    const Outcome early = Cli("balance " + Quoted(taskFile) + " --iterations 20");
    EXPECT_EQ(early.code, 1);
    EXPECT_NE(early.err.find("还没有分班"), std::string::npos) << early.err;
    EXPECT_FALSE(FileInFolder("report.txt"));
    EXPECT_EQ(Cli("balance " + Quoted(taskFile) + " --seconds x").code, 3);
    EXPECT_EQ(Cli("balance " + Quoted(taskFile) + " --iterations 0").code, 3);

    ASSERT_EQ(Cli("divide " + Quoted(taskFile) + " --seed 5").code, 0);
    const Outcome balanced = Cli("balance " + Quoted(taskFile) + " --iterations 50 --seed 3");
    ASSERT_EQ(balanced.code, 0) << balanced.err;
    const auto table = Lines(balanced.out);
    ASSERT_GE(table.size(), 7u);
    EXPECT_EQ(table[0], "项目\t优化前\t优化后");
    EXPECT_EQ(table[1].substr(0, table[1].find('\t')), "总分平均分");
    EXPECT_EQ(table[2].substr(0, table[2].find('\t')), "语文平均分");
    EXPECT_NE(balanced.err.find("随机种子：3"), std::string::npos);

    // The report keeps the division's sections and gains the balancing's,
    // in the stored format: the text and one NUL.
    const Outcome report = Cli("report " + Quoted(taskFile));
    const std::size_t result = report.out.find("【分班结果】\n分班完成。您可以查看并导出分班表。\n\n【均衡优化】\n");
    EXPECT_NE(result, std::string::npos) << report.out;
    EXPECT_NE(report.out.find("项目\t优化前\t优化后\n总分平均分\t"), std::string::npos);
    const auto stored = CFileUtil::ReadFile((folder / "report.txt").string()).value_or("");
    EXPECT_EQ(std::count(stored.begin(), stored.end(), '\0'), 1);
    EXPECT_EQ(stored.back(), '\0');

    // Balancing again replaces that section; every student still has one
    // of the two classes of two.
    ASSERT_EQ(Cli("balance " + Quoted(taskFile) + " --iterations 50").code, 0);
    const std::string again = Cli("report " + Quoted(taskFile)).out;
    EXPECT_EQ(again.find("【均衡优化】"), again.rfind("【均衡优化】"));
    const auto stats = Lines(Cli("stats " + Quoted(taskFile)).out);
    ASSERT_EQ(stats.size(), 4u);
    EXPECT_EQ(stats[1].substr(0, stats[1].find('\t', stats[1].find('\t') + 1)), "一班\t2");
    EXPECT_EQ(stats[2].substr(0, stats[2].find('\t', stats[2].find('\t') + 1)), "二班\t2");
}

TEST_F(CommandLineTest, BalanceWhoseReportCannotBeWrittenIsNotASuccess)
{
    ASSERT_EQ(Cli("divide " + Quoted(taskFile) + " --seed 5").code, 0);
    std::filesystem::remove(folder / "report.txt");
    std::filesystem::create_directories(folder / "report.txt" / "keep");
    const Outcome balanced = Cli("balance " + Quoted(taskFile) + " --iterations 20");
    EXPECT_EQ(balanced.code, 7);
    EXPECT_NE(balanced.err.find("未能保存"), std::string::npos) << balanced.err;
}

} // namespace

TEST_F(CommandLineTest, ImportStudentsReplacesTheListAndExportWritesTheTable)
{
    const std::string list = (folder / "名单.csv").string();
    {
        std::ofstream out(list, std::ios::binary);
        out << "2024级新生\r\n姓名,性 别,原学校,* 语文,*\r\n王芳, 女 ,一中,85,x\r\n张伟,男,,92.5,y\r\n";
    }
    const Outcome imported = Cli("import-students " + Quoted(taskFile) + " " + Quoted(list));
    ASSERT_EQ(imported.code, 0) << imported.err;
    EXPECT_EQ(imported.out, "已导入 2 名学生（工作表“Sheet1”）。\n成绩列：语文\n");

    CScheduleTask reopened;
    ASSERT_TRUE(reopened.Open(taskFile));
    EXPECT_EQ(reopened.GetCustomSubjectArray(), std::vector<std::string>{"语文"});
    ASSERT_EQ(reopened.GetStudentInfoList().GetCount(), 2u);

    ASSERT_EQ(Cli("divide " + Quoted(taskFile) + " --seed 3").code, 0);
    const std::string out = (folder / "分班表.xlsx").string();
    const Outcome exported = Cli("export-table " + Quoted(taskFile) + " " + Quoted(out) + " --class 一班");
    ASSERT_EQ(exported.code, 0) << exported.err;
    EXPECT_EQ(CFileUtil::ReadFile(out).value_or("").substr(0, 2), "PK");

    EXPECT_EQ(Cli("export-table " + Quoted(taskFile) + " " + Quoted(out) + " --class 九班").code,
              CCommandLine::ExitNotFound);
    EXPECT_EQ(Cli("export-table " + Quoted(taskFile) + " out.xls").code, CCommandLine::ExitUsage);
    EXPECT_EQ(Cli("import-students " + Quoted(taskFile)).code, CCommandLine::ExitUsage);
}

TEST_F(CommandLineTest, ImportThatCannotReadTheFileLeavesTheTaskAlone)
{
    const std::string before = CFileUtil::ReadFile((folder / "input.xml").string()).value_or("");
    const std::string noNames = (folder / "no-names.csv").string();
    std::ofstream(noNames) << "学号,*语文\n1,80\n";
    Outcome outcome = Cli("import-students " + Quoted(taskFile) + " " + Quoted(noNames));
    EXPECT_EQ(outcome.code, CCommandLine::ExitImport);
    EXPECT_EQ(outcome.err, "错误：在EXCEL表格中没有找到“姓名”列\n");

    const std::string empty = (folder / "empty.xlsx").string();
    std::ofstream(empty) << "";
    outcome = Cli("import-students " + Quoted(taskFile) + " " + Quoted(empty));
    EXPECT_EQ(outcome.code, CCommandLine::ExitImport);
    EXPECT_EQ(outcome.err, "错误：无法导入这个文件。\n原因：文件是空的。\n");
    EXPECT_EQ(CFileUtil::ReadFile((folder / "input.xml").string()).value_or(""), before);
}

TEST_F(CommandLineTest, MoveChecksTheRulesAndSavesOrSaysWhy)
{
    // 一班: 王芳, 张伟; 二班: 李娜, 刘洋 (both full). 王芳 is pre-assigned to
    // 一班; 李娜 and 张伟 form an exclusive group; two students are named 陈静.
    for (const char* id : {"s1", "s3"})
        Student(id)->SetClassId("c1");
    for (const char* id : {"s2", "s4"})
        Student(id)->SetClassId("c2");
    AddPreset("s1", "c1");
    AddGroup("g1", {"s2", "s3"});
    AddStudent("s5", 0, 75, "陈静");
    AddStudent("s6", 1, 65, "陈静");
    ASSERT_TRUE(task->SaveInputData());
    const std::string input = task->GetTaskInfo().GetInputFilePath();
    const auto before = CFileUtil::ReadFile(input);
    auto move = [&](const std::string& operands) { return Cli("move " + Quoted(taskFile) + " " + operands); };

    // Each rule refuses with its own code and leaves the task alone.
    Outcome refused = move("王芳 二班");
    EXPECT_EQ(refused.code, CCommandLine::ExitPresetClass);
    EXPECT_EQ(refused.err, "错误：王芳 预排在 一班，调整后将在 二班。\n错误：二班 计划人数 2 人，调整后将有 3 人。\n"
                           "没有调整。要仍然调整，请加 --force。\n");
    EXPECT_EQ(move("张伟 c2").code, CCommandLine::ExitExclusiveGroup);
    refused = move("s5 二班");
    EXPECT_EQ(refused.code, CCommandLine::ExitCapacity);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(CFileUtil::ReadFile(input), before);

    // Names it cannot tell apart or find.
    const Outcome ambiguous = move("陈静 一班");
    EXPECT_EQ(ambiguous.code, CCommandLine::ExitAmbiguous);
    EXPECT_EQ(ambiguous.err, "错误：有 2 个学生名为“陈静”，请改用ID：\n  s5\t未分班\t女\t\n  s6\t未分班\t男\t\n");
    EXPECT_EQ(move("赵六 一班").code, CCommandLine::ExitNoStudent);
    EXPECT_EQ(move("王芳 九班").code, CCommandLine::ExitNotFound);
    EXPECT_EQ(move("王芳").code, CCommandLine::ExitUsage);
    EXPECT_EQ(CFileUtil::ReadFile(input), before);

    // --force applies despite a broken rule; an unplaced student is placed.
    const Outcome forced = move("s5 二班 --force");
    ASSERT_EQ(forced.code, 0) << forced.err;
    EXPECT_EQ(forced.err, "注意：二班 计划人数 2 人，调整后将有 3 人。\n");
    EXPECT_EQ(forced.out.substr(0, forced.out.find('\n')), "已把 陈静 从 未分班 调到 二班。");
    EXPECT_NE(forced.out.find("各班均衡：总分平均分极差 "), std::string::npos) << forced.out;
    CScheduleTask reopened;
    reopened.SetMessageHandler([](const std::string&) {});
    ASSERT_TRUE(reopened.Open(taskFile));
    const auto classOf = [&reopened](const char* id) {
        return reopened.GetStudentInfoList().FindAs<CStudentInfo>(id)->GetClassId();
    };
    EXPECT_EQ(classOf("s5"), "c2");
    EXPECT_EQ(classOf("s1"), "c1");
    EXPECT_EQ(classOf("s6"), "");
    const Outcome again = move("s5 c2");
    EXPECT_EQ(again.code, 0);
    EXPECT_EQ(again.out, "陈静 已在 二班。没有调整。\n");

    // A task whose input.xml cannot be replaced: not saved, exit 7.
    const auto moved = CFileUtil::ReadFile(input);
    testsupport::ImmutableFile immutable(input);
    if (!immutable.IsSet())
        GTEST_SKIP() << "no file can be made immutable here";
    const Outcome unsaved = move("s6 一班 --force");
    EXPECT_TRUE(immutable.Clear());
    EXPECT_EQ(unsaved.code, CCommandLine::ExitNotSaved);
    EXPECT_NE(unsaved.err.find("错误：调整未能保存到任务文件夹，任务没有改变。"), std::string::npos) << unsaved.err;
    EXPECT_EQ(unsaved.out, "");
    EXPECT_EQ(CFileUtil::ReadFile(input), moved);
}

TEST_F(CommandLineTest, CompareTwoClassesSideBySide)
{
    // 一班: 王芳 (90), 张伟 (70); 二班: 李娜 (80), 刘洋 (60); each score
    // split evenly over the two subjects.
    for (const char* id : {"s1", "s3"})
        Student(id)->SetClassId("c1");
    for (const char* id : {"s2", "s4"})
        Student(id)->SetClassId("c2");
    ASSERT_TRUE(task->SaveInputData());

    ExpectDone(OnTask("compare", "一班 c2"), "项目\t一班\t二班\t差\n"
                                             "人数\t2\t2\t0\n"
                                             "女生\t1\t1\t0\n"
                                             "男生\t1\t1\t0\n"
                                             "语文平均分\t40.0\t35.0\t5.0\n"
                                             "数学平均分\t40.0\t35.0\t5.0\n"
                                             "总分平均分\t80.0\t70.0\t10.0\n");
    // The other way round the differences change sign.
    const auto reversed = Lines(OnTask("compare", "二班 一班").out);
    ASSERT_EQ(reversed.size(), 7u);
    EXPECT_EQ(reversed[6], "总分平均分\t70.0\t80.0\t-10.0");

    ExpectRefused(OnTask("compare", "一班 c1"), CCommandLine::ExitUsage,
                  "用法错误：两个班级相同，请指定两个不同的班级。\n用 quillon-cli --help 查看用法。\n");
    EXPECT_EQ(OnTask("compare", "一班 九班").code, CCommandLine::ExitNotFound);
    EXPECT_EQ(OnTask("compare", "一班").code, CCommandLine::ExitUsage);
}

using Lines_t = std::vector<std::string>;

TEST_F(CommandLineTest, ClassesAddedOneAtATimeOrInABatch)
{
    Class("c1")->SetShortName("1班");
    Class("c1")->SetHeadTeacherName("王老师");
    Class("c2")->SetIndex(7); // indexes need not be consecutive
    ASSERT_TRUE(task->SaveInputData());
    EXPECT_EQ(Lines(OnTask("classes").out),
              (Lines_t{"班级名称\t人数\t简称\t班主任", "一班\t2\t1班\t王老师", "二班\t2\t二班\t"}));

    // Blanks around the name go, the ideographic space too; 40 unless told.
    ExpectDone(OnTask("add-class", "\" 高一(1)班\xE3\x80\x80\""), "已添加班级 高一(1)班（人数 40）。\n");
    ASSERT_EQ(OnTask("add-class", "Class-A --count 30").code, 0);

    // The editor's duplicate test: spaces, either parentheses, letter case.
    const std::string before = InputBytes();
    ExpectRefused(OnTask("add-class", "高一（1）班"), CCommandLine::ExitNameExists, "错误：高一（1）班 已存在。\n");
    for (const char* name : {"\"高一 (1) 班\"", "class-a", "\" 一 班 \""})
        EXPECT_EQ(OnTask("add-class", name).code, CCommandLine::ExitNameExists) << name;
    // What the class dialog refuses, before the task is read.
    const std::pair<const char*, const char*> refused[] = {
        {"x --count 0", "用法错误：班级人数应该大于零\n"},
        {"x --count -5", "用法错误：班级人数应该大于零\n"},
        {"x --count 4x", "用法错误：班级人数必须是整数\n"},
        {"x --count 4294967336", "用法错误：班级人数不能超过 2147483647\n"},
        {"\"\xE3\x80\x80 \"", "用法错误：请输入班级名称\n"},
    };
    for (const auto& [operands, message] : refused) {
        const Outcome outcome = OnTask("add-class", operands);
        EXPECT_EQ(outcome.code, CCommandLine::ExitUsage) << operands;
        EXPECT_EQ(outcome.err.substr(0, outcome.err.find('\n') + 1), message) << operands;
    }
    EXPECT_EQ(InputBytes(), before);

    // The batch: existing names are skipped, the others added in order.
    const Outcome batch = OnTask("add-classes", "--pattern 5 --count 3 --students 45");
    ASSERT_EQ(batch.code, 0) << batch.err;
    EXPECT_EQ(batch.out, "已跳过 高一(1)班 已存在。\n已添加 高一(2)班（人数 45）\n已添加 高一(3)班（人数 45）\n"
                         "共添加 2 个班级，跳过 1 个。\n");
    const std::string batched = InputBytes();
    const Outcome repeated = OnTask("add-classes", "--pattern 5 --count 3");
    EXPECT_EQ(repeated.code, 0);
    EXPECT_EQ(Lines(repeated.out).back(), "共添加 0 个班级，跳过 3 个。");
    EXPECT_EQ(InputBytes(), batched) << "nothing added, nothing written";
    ASSERT_EQ(OnTask("add-classes", "--pattern 1 --count 2 --students 0").code, 0);
    const Outcome own = OnTask("add-classes", "--pattern 4 --count 1 --prefix 初二 --suffix 级");
    EXPECT_EQ(own.out.substr(0, own.out.find('\n')), "已添加 初二(1)级（人数 40）");
    for (const char* options : {"--pattern 0 --count 2", "--pattern 6 --count 2", "--pattern x --count 2", "--count 2",
                                "--pattern 1", "--pattern 1 --count 0", "--pattern 1 --count 100",
                                "--pattern 1 --count 2 --students -1", "--pattern 1 --count 2 --students x"})
        EXPECT_EQ(OnTask("add-classes", options).code, CCommandLine::ExitUsage) << options;

    // Saved as the editor saves: list order becomes the index, the other
    // data of a class stays, new classes have new ids.
    auto reopened = Reopen();
    EXPECT_EQ(ByIndex(reopened->GetClassInfoList()),
              (Lines_t{"一班:0", "二班:1", "高一(1)班:2", "Class-A:3", "高一(2)班:4", "高一(3)班:5", "1:6", "2:7",
                       "初二(1)级:8"}));
    const auto* first = reopened->GetClassInfoList().FindAs<CClassInfo>("c1");
    EXPECT_EQ(first->GetShortName(), "1班");
    EXPECT_EQ(first->GetHeadTeacherName(), "王老师");
    for (const auto& entry : reopened->GetClassInfoList()) {
        if (entry.id != "c1" && entry.id != "c2") {
            EXPECT_TRUE(IsNewId(entry.id)) << entry.id;
        }
    }
    const auto* batchClass =
        reopened->GetClassInfoList().FindAs<CClassInfo>(reopened->GetClassInfoList().GetObjectId("高一(2)班"));
    ASSERT_NE(batchClass, nullptr);
    EXPECT_EQ(batchClass->GetStudentCount(), 45u);
}

TEST_F(CommandLineTest, ExclusiveGroupsFromTypedNames)
{
    // A group with a student who is gone keeps its other member; a group of
    // only such students is dropped, as the editor drops them on opening.
    AddGroup("g1", {"s1", "gone"});
    AddGroup("g2", {"gone"});
    ASSERT_TRUE(task->SaveInputData());
    const std::string before = InputBytes();
    EXPECT_EQ(Lines(OnTask("groups").out), (Lines_t{"序号\t互斥学生列表", "1\t王芳"}));
    EXPECT_EQ(InputBytes(), before) << "listing writes nothing";

    // The dialog's refusals, each with its message; the task is not written.
    ExpectRefused(OnTask("add-group", "\"李娜 张伟\""), CCommandLine::ExitNoStudent,
                  "错误：在学生列表中没有找到对应的学生信息：李娜 张伟\n请确认输入的学生姓名有效并以逗号分隔。\n");
    ExpectRefused(OnTask("add-group", "\"李娜,王 芳，李 娜\""), CCommandLine::ExitTooFewMembers,
                  "错误：互斥学生组至少应包含两名同学信息！\n当前输入信息中只包含一个有效的学生信息：李娜\n"
                  "没有找到的学生：王 芳，李 娜\n");
    EXPECT_EQ(OnTask("add-group", "\" ,，\"").code, CCommandLine::ExitUsage);
    EXPECT_EQ(OnTask("add-group").code, CCommandLine::ExitUsage);
    EXPECT_EQ(InputBytes(), before);

    // Any mix of the separators, blanks around names; names not found are
    // said and left out.
    ExpectDone(OnTask("add-group", "\" 李娜，张伟\n刘洋 \""), "已添加互斥学生组 2：李娜，张伟，刘洋\n");
    const Outcome added = OnTask("add-group", "\"王芳,无名氏，李娜,,无名\"");
    ExpectDone(added, "已添加互斥学生组 3：王芳，李娜\n");
    EXPECT_EQ(added.err, "注意：部分学生姓名在学生列表中没有找到对应的信息：\n无名氏，无名\n");
    EXPECT_EQ(Lines(OnTask("groups").out),
              (Lines_t{"序号\t互斥学生列表", "1\t王芳", "2\t李娜，张伟，刘洋", "3\t王芳，李娜"}));

    auto reopened = Reopen();
    const Lines_t saved = ByIndex(reopened->GetMutexStudentList(), true);
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[0], "g1:0");
    EXPECT_EQ(reopened->GetMutexStudentList().FindAs<CMutexStudent>("g1")->GetMutexStudents(), Lines_t{"s1"});
    EXPECT_TRUE(IsNewId(saved[1].substr(0, saved[1].find(':'))));
    EXPECT_EQ(saved[2].substr(32), ":2");
}

TEST_F(CommandLineTest, PreAssignmentsAddChangeAndRemove)
{
    AddStudent("s5", 0, 75, "陈静");
    AddStudent("s6", 1, 65, "陈静");
    AddPreset("s2", "c2");
    AddPreset("s3", "gone"); // to a class that is gone: dropped
    ASSERT_TRUE(task->SaveInputData());
    EXPECT_EQ(Lines(OnTask("presets").out), (Lines_t{"学生\t预先安排在", "李娜\t二班"}));

    // Names it cannot find or tell apart; the task is not written.
    const std::string before = InputBytes();
    ExpectRefused(OnTask("preset", "陈静 一班"), CCommandLine::ExitAmbiguous,
                  "错误：有 2 个学生名为“陈静”，请改用ID：\n  s5\t未分班\t女\t\n  s6\t未分班\t男\t\n");
    EXPECT_EQ(OnTask("preset", "无名 一班").code, CCommandLine::ExitNoStudent);
    EXPECT_EQ(OnTask("preset", "王芳 九班").code, CCommandLine::ExitNotFound);
    EXPECT_EQ(OnTask("preset", "王芳").code, CCommandLine::ExitUsage);
    ExpectRefused(OnTask("unpreset", "刘洋"), CCommandLine::ExitNoPreset, "错误：刘洋 没有预分班。\n");
    EXPECT_EQ(InputBytes(), before);

    ExpectDone(OnTask("preset", "s6 一班"), "已把 陈静 预分在 一班。\n");
    // A student who has one gets the new class instead of a second one.
    ExpectDone(OnTask("preset", "李娜 c1"), "已把 李娜 的预分班从 二班 改为 一班。\n");
    const std::string changed = InputBytes();
    ExpectDone(OnTask("preset", "s2 一班"), "李娜 已预分在 一班。没有改变。\n");
    EXPECT_EQ(InputBytes(), changed);
    EXPECT_EQ(Lines(OnTask("presets").out), (Lines_t{"学生\t预先安排在", "李娜\t一班", "陈静\t一班"}));

    ExpectDone(OnTask("unpreset", "李娜"), "已取消 李娜 的预分班（原在 一班）。\n");
    auto reopened = Reopen();
    EXPECT_EQ(ByIndex(reopened->GetStudentPresetList(), true), Lines_t{"s6:0"});
    EXPECT_EQ(reopened->GetStudentPresetList().FindAs<CStudentPreset>("s6")->GetPresetClassId(), "c1");
}

TEST_F(CommandLineTest, EditsThatCannotBeSavedSaySo)
{
    const std::string input = task->GetTaskInfo().GetInputFilePath();
    const auto before = CFileUtil::ReadFile(input);
    testsupport::ImmutableFile immutable(input);
    if (!immutable.IsSet())
        GTEST_SKIP() << "no file can be made immutable here";
    const Outcome outcomes[] = {OnTask("add-class", "三班"), OnTask("add-classes", "--pattern 2 --count 2"),
                                OnTask("add-group", "王芳,李娜"), OnTask("preset", "王芳 一班")};
    EXPECT_TRUE(immutable.Clear());
    for (const Outcome& outcome : outcomes) {
        EXPECT_EQ(outcome.code, CCommandLine::ExitNotSaved) << outcome.err;
        EXPECT_NE(outcome.err.find("未能保存到任务文件夹，任务没有改变。"), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.out, "") << "no success reported for what is not on disk";
    }
    EXPECT_EQ(CFileUtil::ReadFile(input), before);
}

#endif

// table and export-table narrow and order the rows as the window does:
// --find by name, pinyin or initials, --sort by a column title (scores
// highest first), --reverse the other way.
TEST_F(CommandLineTest, TableRowsFoundAndSortedAsTheWindowShowsThem)
{
    ASSERT_EQ(Cli("divide " + Quoted(taskFile) + " --seed 5").code, 0);
    const auto names = [this](const std::string& options) {
        const Outcome outcome = OnTask("table", options);
        EXPECT_EQ(outcome.code, 0) << outcome.err;
        std::vector<std::string> found;
        const auto lines = Lines(outcome.out);
        for (std::size_t i = 1; i < lines.size(); ++i) {
            const std::size_t from = lines[i].find('\t') + 1;
            found.push_back(lines[i].substr(from, lines[i].find('\t', from) - from));
        }
        return found;
    };
    using Names = std::vector<std::string>;
    EXPECT_EQ(names("--sort 总分"), (Names{"王芳", "李娜", "张伟", "刘洋"}));
    EXPECT_EQ(names("--sort 总分 --reverse"), (Names{"刘洋", "张伟", "李娜", "王芳"}));
    EXPECT_EQ(names("--sort 姓名"), (Names{"李娜", "刘洋", "王芳", "张伟"}));
    EXPECT_EQ(names("--find zw"), (Names{"张伟"}));
    EXPECT_EQ(names("--find LIU"), (Names{"刘洋"}));
    EXPECT_EQ(names("--find 李 --sort 总分"), (Names{"李娜"}));
    EXPECT_TRUE(names("--find xyz").empty());

    ExpectRefused(
        OnTask("table", "--sort 身高"), CCommandLine::ExitUsage,
        "用法错误：--sort 后面应是分班表的一列的标题，例如 总分、班级、原学校。\n用 quillon-cli --help 查看用法。\n");
    EXPECT_EQ(OnTask("table", "--sort ID").code, CCommandLine::ExitUsage); // the hidden column
    EXPECT_EQ(OnTask("table", "--reverse").code, CCommandLine::ExitUsage);

    const std::string out = (folder / "排序.xlsx").string();
    const Outcome exported = Cli("export-table " + Quoted(taskFile) + " " + Quoted(out) + " --find l --sort 总分");
    ASSERT_EQ(exported.code, 0) << exported.err;
    EXPECT_EQ(exported.out, "已导出分班表 2 行：" + out + "\n");
}
