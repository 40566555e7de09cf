#include "TestSupport.h"

#include "base/util/FileUtil.h"
#include "base/util/IniFile.h"
#include "base/task/ScheduleTask.h"
#include "base/records/TaskInfo.h"

#include <ctime>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

std::string Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];
    std::snprintf(text, sizeof text, "%04d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    return text;
}

TEST(TaskInfoTest, PathsAndTaskFile)
{
    CTaskInfo info;
    info.SetTaskName("高一新生");
    info.SetTaskFolder("/data/Tasks/A");
    EXPECT_EQ(info.GetTaskFolder(), "/data/Tasks/A/");
    EXPECT_EQ(info.GetTaskFile(), "/data/Tasks/A/高一新生.qz");
    EXPECT_EQ(info.GetInputFilePath(), "/data/Tasks/A/input.xml");
    EXPECT_EQ(info.GetOutputFilePath(), "/data/Tasks/A/output.xml");
    EXPECT_EQ(info.GetReportFilePath(), "/data/Tasks/A/report.txt");
    info.SetTaskFolder("/data/Tasks/B/");
    EXPECT_EQ(info.GetTaskFolder(), "/data/Tasks/B/");

    TempFolder dir;
    CTaskInfo unnamed;
    unnamed.SetTaskFolder(dir.Dir());
    unnamed.WriteToFile();
    EXPECT_TRUE(fs::is_empty(dir.Path())) << "nothing written without a name";

    CTaskInfo task;
    task.SetTaskFolder(dir.Dir());
    task.SetTaskName("高一新生");
    task.SetTaskAuthor("张老师");
    task.SetCreateDate("2024-03-05");
    task.SetDescription("说明\n第二行");
    ASSERT_TRUE(task.WriteToFile());
    CIniFile::WriteString(task.GetTaskFile(), "Extra", "Keep", "1");

    // Opening a copy under another name: the task file follows the path.
    fs::copy_file(task.GetTaskFile(), dir.File("copy.qz"));
    CTaskInfo opened;
    opened.ReadFromFile(dir.File("copy.qz"));
    EXPECT_EQ(opened.GetTaskName(), "高一新生");
    EXPECT_EQ(opened.GetTaskAuthor(), "张老师");
    EXPECT_EQ(opened.GetCreateDate(), "2024-03-05");
    EXPECT_EQ(opened.GetDescription(), "说明\n第二行");
    EXPECT_EQ(opened.GetTaskFile(), dir.File("copy.qz"));
    EXPECT_TRUE(CFileUtil::SamePath(opened.GetTaskFolder(), dir.Dir()));
    ASSERT_TRUE(opened.WriteToFile());
    EXPECT_EQ(CIniFile::ReadString(dir.File("copy.qz"), "Extra", "Keep", ""), "1");

    CIniFile::WriteString(dir.File("copy.qz"), "Task Info", "Description", std::string(400, 'd'));
    opened.ReadFromFile(dir.File("copy.qz"));
    EXPECT_EQ(opened.GetDescription().size(), 259u);
}

class BackupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        task.GetTaskInfo().SetTaskFolder(dir.Dir());
        task.GetTaskInfo().SetTaskName("t");
    }
    void MakeDay(const std::string& name, bool complete = true)
    {
        fs::create_directories(dir.Path() / "Backup" / name);
        WriteBytes((dir.Path() / "Backup" / name / "input.xml").string(), "old");
        if (complete)
            WriteBytes((dir.Path() / "Backup" / name / "output.xml").string(), "old");
    }
    bool Exists(const std::string& name) const { return fs::exists(dir.Path() / "Backup" / name); }

    TempFolder dir;
    CScheduleTask task;
};

TEST_F(BackupTest, KeepsFiveNewestDaysAndNeverTouchesOtherFolders)
{
    const char* days[] = {"20000101", "20000102", "20000103", "20000104", "20000105", "20000106", "20000107"};
    for (const char* day : days)
        MakeDay(day);
    MakeDay("2000010");         // seven digits
    MakeDay("2000010a");        // a letter
    MakeDay("19990101x");       // nine characters
    MakeDay("19990102", false); // incomplete: not counted, not touched
    WriteBytes((dir.Path() / "Backup" / "19990101").string(), "a file, not a folder");

    ASSERT_TRUE(task.SaveOutputData());
    ASSERT_TRUE(task.SaveInputData());

    EXPECT_TRUE(Exists(Today()));
    EXPECT_EQ(ReadBytes((dir.Path() / "Backup" / Today() / "input.xml").string()), ReadBytes(dir.File("input.xml")));
    // Today plus the four newest of the seven.
    for (const char* day : {"20000104", "20000105", "20000106", "20000107"})
        EXPECT_TRUE(Exists(day)) << day;
    for (const char* day : {"20000101", "20000102", "20000103"})
        EXPECT_FALSE(Exists(day)) << day;
    for (const char* other : {"2000010", "2000010a", "19990101x", "19990102", "19990101"})
        EXPECT_TRUE(Exists(other)) << other;
    EXPECT_TRUE(fs::exists(dir.Path() / "Backup" / "2000010" / "input.xml"));
}

TEST_F(BackupTest, FolderWithForeignFilesStaysAndMissingOutputStopsBeforePruning)
{
    for (const char* day : {"20000101", "20000102", "20000103", "20000104", "20000105", "20000106"})
        MakeDay(day);
    WriteBytes((dir.Path() / "Backup" / "20000101" / "notes.txt").string(), "mine");

    // No output.xml yet: today's folder gets the input copy, nothing pruned.
    ASSERT_TRUE(task.SaveInputData());
    EXPECT_TRUE(fs::exists(dir.Path() / "Backup" / Today() / "input.xml"));
    EXPECT_TRUE(Exists("20000101"));
    EXPECT_TRUE(Exists("20000102"));

    ASSERT_TRUE(task.SaveOutputData());
    EXPECT_FALSE(Exists("20000102"));
    EXPECT_TRUE(fs::exists(dir.Path() / "Backup" / "20000101" / "notes.txt")) << "a folder holding other files stays";
    EXPECT_FALSE(fs::exists(dir.Path() / "Backup" / "20000101" / "input.xml"));
}

TEST_F(BackupTest, TodaysCopySurvivesWhenTheClockWasSetBack)
{
    // Folders dated after today, as left by a machine whose clock ran ahead.
    for (const char* day : {"29990101", "29990102", "29990103", "29990104", "29990105"})
        MakeDay(day);
    ASSERT_TRUE(task.SaveOutputData());
    ASSERT_TRUE(task.SaveInputData());
    EXPECT_EQ(ReadBytes((dir.Path() / "Backup" / Today() / "input.xml").string()), ReadBytes(dir.File("input.xml")));
    EXPECT_FALSE(Exists("29990101")) << "the oldest of the others goes instead";
    for (const char* day : {"29990102", "29990103", "29990104", "29990105"})
        EXPECT_TRUE(Exists(day)) << day;
}

} // namespace
