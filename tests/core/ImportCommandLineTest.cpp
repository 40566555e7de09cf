// quillon-cli import-students takes only rows that hold a student, says how
// many of them have no name, and never empties a task with a sheet that
// holds no student.
#include "CliRun.h"
#include "EngineFixture.h"

#include "cli/CommandLine.h"
#include "base/util/FileUtil.h"

#include <cstdlib>
#include <fstream>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#ifdef QUILLON_CLI_PATH

namespace {

class ImportCommandLineTest : public EngineTest
{
protected:
    using Outcome = testsupport::CliOutcome;

    void SetUp() override
    {
        EngineTest::SetUp();
        AddClass("c1", 2, "一班");
        AddStudent("s1", 0, 90, "王芳");
        AddStudent("s2", 1, 70, "张伟");
        ASSERT_TRUE(task->SaveInputData());
        ASSERT_TRUE(task->GetTaskInfo().WriteToFile());
        taskFile = task->GetTaskInfo().GetTaskFile();
    }

    std::string Write(const std::string& name, const std::string& text) const
    {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::string Input() const { return CFileUtil::ReadFile((folder / "input.xml").string()).value_or(""); }

    Outcome Import(const std::string& list)
    {
        return testsupport::RunCli(QUILLON_CLI_PATH, "import-students \"" + taskFile + "\" \"" + list + "\"", folder);
    }

    std::string taskFile;
};

} // namespace

TEST_F(ImportCommandLineTest, RowsWithoutAnyValueTheImportReadsAreNoStudents)
{
    // A remark in a column the import does not read, then a stray cell far
    // to the right; one student has a score but no name.
    const std::string list = Write("名单.csv", "姓名,性别,*语文,备注,,,,,,\r\n"
                                               "李娜,女,88,,,,,,,\r\n"
                                               ",,,转学,,,,,,\r\n"
                                               ",,,,,,,,,x\r\n"
                                               ",男,75,,,,,,,\r\n");
    const Outcome imported = Import(list);
    ASSERT_EQ(imported.code, 0) << imported.err;
    EXPECT_EQ(imported.out, "已导入 2 名学生（工作表“Sheet1”）。\n成绩列：语文\n"
                            "其中 1 名学生没有姓名，请检查表格。\n");
    CScheduleTask reopened;
    ASSERT_TRUE(reopened.Open(taskFile));
    EXPECT_EQ(reopened.GetStudentInfoList().GetCount(), 2u);
}

TEST_F(ImportCommandLineTest, ASheetWithoutStudentsLeavesTheTaskAsItWas)
{
    const std::string before = Input();
    ASSERT_FALSE(before.empty());
    for (const std::string& text :
         {std::string("姓名,性别,*语文\r\n"), std::string("姓名,性别,备注\r\n,,转学\r\n,,\r\n")}) {
        const Outcome outcome = Import(Write("空名单.csv", text));
        EXPECT_EQ(outcome.code, CCommandLine::ExitImport) << text;
        EXPECT_EQ(outcome.err, "错误：表格中没有可导入的学生，分班任务没有改变。\n");
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(Input(), before) << "the task's data file is untouched";
    }
}

#endif
