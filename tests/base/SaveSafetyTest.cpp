#include "TestSupport.h"

#include "base/util/FileUtil.h"
#include "base/task/ScheduleTask.h"
#include "base/task/TaskLock.h"
#include "base/util/TextCodec.h"

#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

class SaveSafetyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteBytes(dir.File("t.qz"), "[Task Info]\r\nName=t\r\n");
        task.SetMessageHandler([this](const std::string& text) { messages.push_back(text); });
        task.GetTaskInfo().SetTaskFolder(dir.Dir());
        task.GetTaskInfo().SetTaskName("t");
        auto* student = new CStudentInfo;
        student->SetId("s1");
        student->SetName("甲");
        task.GetStudentInfoList().Add(student);
    }

    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder dir;
    CScheduleTask task;
    std::vector<std::string> messages;
};

TEST_F(SaveSafetyTest, DataAndReportAreSavedAsAPair)
{
    task.GetLastReportInfo().SetReportInfo("第一次");
    ASSERT_TRUE(task.SaveInputDataWithReport());
    const std::string input = ReadBytes(dir.File("input.xml"));
    EXPECT_EQ(ReadBytes(dir.File("report.txt")), Gbk("第一次") + std::string(1, '\0'));
    EXPECT_TRUE(fs::exists(dir.Path() / "Backup")) << "the day's backup follows";

    // When either file cannot be written, neither is replaced.
    auto* second = new CStudentInfo;
    second->SetId("s2");
    task.GetStudentInfoList().Add(second);
    task.GetLastReportInfo().SetReportInfo("第二次");
    fs::rename(dir.File("report.txt"), dir.File("report.old"));
    fs::create_directory(dir.File("report.txt"));
    EXPECT_FALSE(task.SaveInputDataWithReport());
    EXPECT_EQ(ReadBytes(dir.File("input.xml")), input);
    EXPECT_EQ(messages, (std::vector<std::string>{"exception in SaveInputData"}));
    fs::remove(dir.File("report.txt"));
    fs::rename(dir.File("report.old"), dir.File("report.txt"));

    fs::rename(dir.File("input.xml"), dir.File("input.old"));
    fs::create_directory(dir.File("input.xml"));
    EXPECT_FALSE(task.SaveInputDataWithReport());
    EXPECT_EQ(ReadBytes(dir.File("report.txt")), Gbk("第一次") + std::string(1, '\0'));
    fs::remove(dir.File("input.xml"));

    ASSERT_TRUE(task.SaveInputDataWithReport());
    EXPECT_NE(ReadBytes(dir.File("input.xml")), input);
    EXPECT_EQ(ReadBytes(dir.File("report.txt")), Gbk("第二次") + std::string(1, '\0'));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Backup", "input.old", "input.xml", "report.txt", "t.qz"}))
        << "no temporary file left";
}

TEST_F(SaveSafetyTest, LeftoversOfInterruptedSavesGoAndNothingElse)
{
    const std::vector<std::string> leftovers = {"input.xml.tmp123456_0", "report.txt.tmp9_12", "output.xml.tmp1_1",
                                                "t.qz.tmp77_3", "~qz.tmp5_5"};
    const std::vector<std::string> others = {"input.xml.tmp", "input.xml.tmpx_1", "notes.tmp1_2", "input.xml.bak",
                                             "input.xml.tmp1_2.txt"};
    for (const std::string& name : leftovers)
        WriteBytes(dir.File(name), "half a file");
    for (const std::string& name : others)
        WriteBytes(dir.File(name), "mine");

    // A temporary file another writer is still busy with stays: it holds
    // the writer's lock.
    const int busy = ::open(dir.File("input.xml.tmp42_42").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(busy, 0);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);
    ASSERT_EQ(::write(busy, "x", 1), 1);

    CScheduleTask opened;
    ASSERT_TRUE(opened.Open(dir.File("t.qz")));
    for (const std::string& name : leftovers)
        EXPECT_FALSE(fs::exists(dir.File(name))) << name;
    for (const std::string& name : others)
        EXPECT_TRUE(fs::exists(dir.File(name))) << name;
    EXPECT_TRUE(fs::exists(dir.File("input.xml.tmp42_42")));

    // A later save removes it once its writer is gone.
    ::close(busy);
    ASSERT_TRUE(task.SaveInputData());
    EXPECT_FALSE(fs::exists(dir.File("input.xml.tmp42_42")));
    for (const std::string& name : others)
        EXPECT_TRUE(fs::exists(dir.File(name))) << name;
}

TEST_F(SaveSafetyTest, EveryTwoByteSequenceComesBackFromTheReport)
{
    std::string bytes;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail != 0x7F)
                bytes += {static_cast<char>(lead), static_cast<char>(trail)};
        }
        bytes += '\n';
    }
    task.GetLastReportInfo().SetReportInfo(CTextCodec::FromGbk(bytes));
    ASSERT_TRUE(task.SaveLastReportInfo());
    EXPECT_EQ(ReadBytes(dir.File("report.txt")), bytes + std::string(1, '\0'));
    CScheduleTask opened;
    ASSERT_TRUE(opened.Open(dir.File("t.qz")));
    EXPECT_EQ(opened.GetLastReportInfo().GetReportInfo(), task.GetLastReportInfo().GetReportInfo());
}

class TaskLockTest : public ::testing::Test
{
protected:
    static std::string Host()
    {
        char name[256] = {};
        ::gethostname(name, sizeof name - 1);
        return name;
    }
    static std::string LockContent(const std::string& host, long long pid, long long since)
    {
        return "user=someone\nhost=" + host + "\npid=" + std::to_string(pid)
               + "\nprogram=Quillon\ntime=2024-03-05 08:07:09\nsince=" + std::to_string(since) + "\n";
    }
    // The id of a process that has ended.
    static long long EndedProcess()
    {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        ::waitpid(child, nullptr, 0);
        return child;
    }

    TempFolder dir;
};

TEST_F(TaskLockTest, OneHolderAtATime)
{
    CTaskLock first(dir.Dir());
    ASSERT_EQ(first.Acquire("quillon-cli divide"), CTaskLock::Result::Acquired);
    EXPECT_TRUE(first.IsHeld());
    EXPECT_EQ(first.GetPath(), dir.File("quillon.lock"));
    EXPECT_FALSE(first.IsHeldByOther());

    CTaskLock second(dir.Dir());
    EXPECT_EQ(second.Acquire("Quillon"), CTaskLock::Result::HeldByOther);
    EXPECT_EQ(second.GetHolder().program, "quillon-cli divide");
    EXPECT_EQ(second.GetHolder().host, Host());
    EXPECT_EQ(second.GetHolder().pid, static_cast<long long>(::getpid()));
    EXPECT_FALSE(second.GetHolder().user.empty());
    EXPECT_EQ(second.GetHolder().time.size(), 19u);
    CTaskLock::Holder holder;
    EXPECT_TRUE(second.IsHeldByOther(&holder));
    EXPECT_EQ(holder.program, "quillon-cli divide");

    EXPECT_TRUE(first.Refresh());
    first.Release();
    EXPECT_FALSE(fs::exists(dir.File("quillon.lock")));
    EXPECT_FALSE(second.IsHeldByOther());
    EXPECT_EQ(second.Acquire("Quillon"), CTaskLock::Result::Acquired);
    {
        CTaskLock scoped(dir.Dir());
        EXPECT_EQ(scoped.Acquire("x"), CTaskLock::Result::HeldByOther);
    }
    EXPECT_TRUE(fs::exists(dir.File("quillon.lock"))) << "only the holder removes the lock";

    // A folder where no lock can be made.
    CTaskLock nowhere(dir.File("missing/folder"));
    EXPECT_EQ(nowhere.Acquire("x"), CTaskLock::Result::Failed);
}

TEST_F(TaskLockTest, StaleLocksAreTakenOver)
{
    const long long now = static_cast<long long>(std::time(nullptr));
    const std::string path = dir.File("quillon.lock");
    struct Case
    {
        std::string content;
        bool stale;
        const char* what;
    };
    const std::vector<Case> cases = {
        {LockContent(Host(), EndedProcess(), now), true, "a process of this machine that has ended"},
        {LockContent("elsewhere", 1, now - (CTaskLock::kStaleHours + 1) * 3600), true, "older than a day"},
        {LockContent("elsewhere", 1, now - 60), false, "another machine, a minute ago"},
        {LockContent(Host(), ::getpid(), now), false, "this very process"},
        {"", false, "being made right now"},
    };
    for (const Case& c : cases) {
        WriteBytes(path, c.content);
        CTaskLock lock(dir.Dir());
        EXPECT_EQ(lock.Acquire("Quillon"), c.stale ? CTaskLock::Result::Acquired : CTaskLock::Result::HeldByOther)
            << c.what;
        EXPECT_EQ(lock.IsHeld(), c.stale) << c.what;
        lock.Release();
        fs::remove(path);
    }

    // An empty or unreadable lock file left long ago.
    WriteBytes(path, "garbage");
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::minutes(5));
    CTaskLock lock(dir.Dir());
    EXPECT_EQ(lock.Acquire("Quillon"), CTaskLock::Result::Acquired);

    // A holder whose lock was taken over does not remove the new one.
    WriteBytes(path, LockContent("elsewhere", 1, now));
    EXPECT_FALSE(lock.Refresh());
    lock.Release();
    EXPECT_EQ(ReadBytes(path), LockContent("elsewhere", 1, now));
}

} // namespace

TEST_F(SaveSafetyTest, CopiesAreExactAndReplaceTheirTargetWhole)
{
    // Several pieces of every byte value, the way a backup copies a large task.
    std::string bytes;
    for (int i = 0; i < 3 * 1024 * 1024 + 17; ++i)
        bytes += static_cast<char>((i * 7 + i / 256) & 0xFF);
    WriteBytes(dir.File("big.xml"), bytes);
    fs::create_directory(dir.File("Backup"));
    const std::string target = dir.File("Backup/big.xml");
    WriteBytes(target, "an older, longer copy that must go completely ....................");

    ASSERT_TRUE(CFileUtil::CopyFileReplacing(dir.File("big.xml"), target));
    EXPECT_EQ(ReadBytes(target), bytes);
    ASSERT_TRUE(CFileUtil::CopyFileReplacing(dir.File("t.qz"), target));
    EXPECT_EQ(ReadBytes(target), "[Task Info]\r\nName=t\r\n");

    // Nothing to copy: the target stays as it was and no temporary is left.
    EXPECT_FALSE(CFileUtil::CopyFileReplacing(dir.File("none.xml"), target));
    EXPECT_FALSE(CFileUtil::CopyFileReplacing(dir.File("Backup"), target));
    EXPECT_FALSE(CFileUtil::CopyFileReplacing(dir.File("big.xml"), dir.File("Backup")));
    EXPECT_EQ(ReadBytes(target), "[Task Info]\r\nName=t\r\n");
    std::vector<std::string> backups;
    for (const auto& entry : fs::directory_iterator(dir.File("Backup")))
        backups.push_back(entry.path().filename().string());
    EXPECT_EQ(backups, std::vector<std::string>{"big.xml"});
}
