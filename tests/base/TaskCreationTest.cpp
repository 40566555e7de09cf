// A new task gets a folder of its own: the task file and empty data files
// are written only where no other task keeps its files. And the creator's
// name the system gives.
#include "FolderSnapshot.h"
#include "TestSupport.h"

#include "base/util/AccountName.h"
#include "base/util/FileUtil.h"
#include "base/task/ScheduleTask.h"
#include "base/task/TaskCreator.h"
#include "base/records/TaskInfo.h"
#include "base/task/TaskLock.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

class TaskCreation : public ::testing::Test
{
protected:
    CTaskInfo Header(const fs::path& folder, const std::string& name = "2026学年新生") const
    {
        CTaskInfo info;
        info.SetTaskName(name);
        info.SetTaskFolder(folder.string());
        info.SetTaskAuthor("王老师");
        info.SetCreateDate("2026-09-01 08:00:00");
        info.SetDescription("高一");
        return info;
    }

    TempFolder m_root;
};

TEST_F(TaskCreation, MakesTheFolderTheTaskFileAndEmptyDataFiles)
{
    const fs::path folder = m_root.Path() / "新生";
    const CTaskCreator::Result result = CTaskCreator::Create(Header(folder), "test");
    ASSERT_EQ(result.outcome, CTaskCreator::Outcome::Created) << result.message;
    EXPECT_TRUE(result.message.empty());
    EXPECT_TRUE(fs::is_regular_file(folder / "2026学年新生.qz"));
    EXPECT_TRUE(fs::is_regular_file(folder / "input.xml"));
    EXPECT_TRUE(fs::is_regular_file(folder / "output.xml"));
    EXPECT_FALSE(fs::exists(CTaskLock::LockFilePath(folder.string()))) << "the lock is let go";

    CScheduleTask task;
    ASSERT_TRUE(task.Open((folder / "2026学年新生.qz").string()));
    EXPECT_EQ(task.GetInputState(), CScheduleTask::InputState::Loaded);
    EXPECT_EQ(task.GetClassInfoList().GetCount(), 0u);
    EXPECT_EQ(task.GetTaskInfo().GetTaskAuthor(), "王老师");
    EXPECT_EQ(task.GetTaskInfo().GetCreateDate(), "2026-09-01 08:00:00");
    EXPECT_EQ(task.GetTaskInfo().GetDescription(), "高一");

    // An existing empty folder, or one with other files, will do as well.
    fs::create_directory(m_root.Path() / "空");
    WriteBytes((m_root.Path() / "空" / "名单.xlsx").string(), "x");
    EXPECT_EQ(CTaskCreator::Create(Header(m_root.Path() / "空"), "test").outcome, CTaskCreator::Outcome::Created);
}

TEST_F(TaskCreation, RefusesAFolderThatHoldsATaskAndLeavesItAsItWas)
{
    // Each of these marks a folder as a task's, whatever its letter case.
    int n = 0;
    for (const std::string entry : {"旧任务.qz", "input.xml", "OUTPUT.XML", "report.txt", "Backup/"}) {
        SCOPED_TRACE(entry);
        const fs::path folder = m_root.Path() / ("f" + std::to_string(++n));
        fs::create_directories(folder);
        if (entry.back() == '/')
            fs::create_directory(folder / entry.substr(0, entry.size() - 1));
        else
            WriteBytes((folder / entry).string(), "old task data");
        const auto before = FolderSnapshot(folder);

        const CTaskCreator::Result result = CTaskCreator::Create(Header(folder), "test");
        EXPECT_EQ(result.outcome, CTaskCreator::Outcome::HoldsTask);
        const std::string name = entry.back() == '/' ? entry.substr(0, entry.size() - 1) : entry;
        EXPECT_EQ(result.message, "保存位置 " + folder.string() + " 已是一个分班任务的文件夹（其中有 " + name
                                      + "）。请另选一个文件夹。");
        EXPECT_EQ(FolderSnapshot(folder), before);
        EXPECT_EQ(CTaskCreator::CheckFolder(folder.string() + "/").outcome, CTaskCreator::Outcome::HoldsTask);
    }

    // A whole task: its entries are named in order, a few of them.
    const fs::path full = m_root.Path() / "full";
    fs::create_directories(full / "Backup");
    for (const char* file : {"a.qz", "b.qz", "input.xml", "output.xml", "report.txt", "quillon.lock", "x.txt"})
        WriteBytes((full / file).string(), "1");
    EXPECT_EQ(CTaskCreator::TaskFilesIn(full.string()),
              (std::vector<std::string>{"Backup", "a.qz", "b.qz", "input.xml", "output.xml", "report.txt"}));
    EXPECT_NE(CTaskCreator::CheckFolder(full.string())
                  .message.find("（其中有 Backup、a.qz、b.qz、input.xml、output.xml 等）"),
              std::string::npos);
}

TEST_F(TaskCreation, RefusesBadNamesMissingParentsAndALockedFolder)
{
    for (const std::string name : {"", "  ", "\xE3\x80\x80", ".", "..", "a/b", "a\\b", "a:b", "a|b", "a\tb"}) {
        const CTaskCreator::Result result = CTaskCreator::Create(Header(m_root.Path() / "n", name), "test");
        EXPECT_EQ(result.outcome, CTaskCreator::Outcome::BadName) << name;
    }
    EXPECT_EQ(CTaskCreator::NameProblem(" "), "任务名称不能为空");
    EXPECT_TRUE(CTaskCreator::IsValidName("高一(1) 新生"));
    EXPECT_FALSE(fs::exists(m_root.Path() / "n"));

    // One level is made, no more.
    EXPECT_EQ(CTaskCreator::Create(Header(m_root.Path() / "no" / "such"), "test").outcome,
              CTaskCreator::Outcome::BadFolder);
    EXPECT_FALSE(fs::exists(m_root.Path() / "no"));
    WriteBytes((m_root.Path() / "file").string(), "x");
    EXPECT_EQ(CTaskCreator::Create(Header(m_root.Path() / "file"), "test").outcome, CTaskCreator::Outcome::BadFolder);

    // Another program is making a task in the folder.
    const fs::path folder = m_root.Path() / "locked";
    fs::create_directory(folder);
    CTaskLock other(folder.string());
    ASSERT_EQ(other.Acquire("Quillon"), CTaskLock::Result::Acquired);
    const auto before = FolderSnapshot(folder);
    const CTaskCreator::Result result = CTaskCreator::Create(Header(folder), "test");
    EXPECT_EQ(result.outcome, CTaskCreator::Outcome::Locked);
    EXPECT_NE(result.message.find("Quillon"), std::string::npos) << result.message;
    EXPECT_EQ(FolderSnapshot(folder), before);
}

TEST(AccountName, FullNameBeforeTheLoginName)
{
    EXPECT_EQ(CAccountName::FromEntry("Zhang San,Room 101,,", "zhangsan"), "Zhang San");
    EXPECT_EQ(CAccountName::FromEntry("张老师", "zhang"), "张老师");
    // No full name: the login name.
    EXPECT_EQ(CAccountName::FromEntry(",,,", "zhang"), "zhang");
    EXPECT_EQ(CAccountName::FromEntry("  ", "zhang"), "zhang");
    EXPECT_EQ(CAccountName::FromEntry(nullptr, "zhang"), "zhang");
    EXPECT_EQ(CAccountName::FromEntry("\xD5\xC5\xC8\xFD", "zhang"), "zhang") << "a full name that is not UTF-8";
    EXPECT_EQ(CAccountName::FromEntry(nullptr, nullptr), "");
}

} // namespace
