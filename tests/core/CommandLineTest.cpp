#include "EngineFixture.h"

#include "CommandLine.h"
#include "FileUtil.h"
#include "TaskLock.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#ifdef QUILLON_CLI_PATH

namespace {

struct Outcome
{
    int code = -1;
    std::string out;
    std::string err;
};

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

    Outcome Cli(const std::string& arguments)
    {
        const auto out = folder / "cli-out.txt";
        const auto err = folder / "cli-err.txt";
        const std::string command = std::string("\"") + QUILLON_CLI_PATH + "\" " + arguments + " > \"" + out.string()
                                    + "\" 2> \"" + err.string() + "\"";
        const int status = std::system(command.c_str());
        Outcome outcome;
#ifdef _WIN32
        outcome.code = status;
#else
        outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
        outcome.out = CFileUtil::ReadFile(out.string()).value_or("");
        outcome.err = CFileUtil::ReadFile(err.string()).value_or("");
        return outcome;
    }

    static std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    std::string Quoted(const std::string& path) const { return "\"" + path + "\""; }

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
    EXPECT_EQ(outcome.err, "错误：解析EXCEL的过程中出现异常，请确保EXCEL软件正常安装。\n原因：文件是空的。\n");
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
    if (std::system(("chattr +i " + Quoted(input) + " 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "no file can be made immutable here";
    const Outcome unsaved = move("s6 一班 --force");
    EXPECT_EQ(std::system(("chattr -i " + Quoted(input)).c_str()), 0);
    EXPECT_EQ(unsaved.code, CCommandLine::ExitNotSaved);
    EXPECT_NE(unsaved.err.find("错误：调整未能保存到任务文件夹，任务没有改变。"), std::string::npos) << unsaved.err;
    EXPECT_EQ(unsaved.out, "");
    EXPECT_EQ(CFileUtil::ReadFile(input), moved);
}

#endif
