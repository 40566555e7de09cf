// A task as the front ends open it: the lock, a damaged data file, a folder
// that cannot be written, the backups and the students' import.
#include "base/records/StudentInfo.h"
#include "base/records/TaskInfo.h"
#include "base/task/ScheduleTask.h"
#include "base/task/TaskBackup.h"
#include "base/task/TaskCreator.h"
#include "base/task/TaskLock.h"
#include "ImmutableFile.h"
#include "logic/import/SpreadsheetReader.h"
#include "logic/session/SheetImport.h"
#include "logic/session/StudentImport.h"
#include "logic/session/TaskSession.h"
#include "TestSupport.h"
#include "XlsxBuilder.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using testsupport::ReadBytes;

namespace {

using Outcome = CTaskSession::Outcome;
using WhenHeld = CTaskSession::WhenHeld;

class TaskSessionTest : public ::testing::Test
{
protected:
    // An empty task 甲 in folder "a"; the path of its task file.
    std::string MakeTask()
    {
        CTaskInfo info;
        info.SetTaskName("甲");
        info.SetTaskFolder(m_root.File("a"));
        EXPECT_EQ(CTaskCreator::Create(info, "test").outcome, CTaskCreator::Outcome::Created);
        return info.GetTaskFile();
    }
    std::string Folder() const { return m_root.Dir() + "a/"; }

    static void Write(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }

    testsupport::TempFolder m_root;
    std::vector<std::string> m_messages;
};

} // namespace

TEST_F(TaskSessionTest, TaskHeldByAnotherProgram)
{
    const std::string path = MakeTask();
    CTaskLock other(Folder());
    ASSERT_EQ(other.Acquire("quillon-cli divide"), CTaskLock::Result::Acquired);
    const CTaskLock::Holder& holder = [&] {
        CTaskLock probe(Folder());
        probe.Acquire("x");
        return probe.GetHolder();
    }();
    const std::string who =
        "quillon-cli divide，用户 " + holder.user + "，计算机 " + holder.host + "，自 " + holder.time + " 起";

    // The window asks whether to open it read-only, and then opens it so.
    CTaskSession window("Quillon", WhenHeld::OfferReadOnly);
    const CTaskSession::Result asked = window.Lock(path);
    EXPECT_EQ(asked.outcome, Outcome::HeldByOther);
    EXPECT_EQ(asked.message, "分班任务 " + path + " 正被另一程序使用（" + who
                                 + "）。\n两个程序同时修改同一个分班任务，其中一个的修改会丢失。\n"
                                   "要以只读方式打开该分班任务吗？");
    EXPECT_FALSE(window.HoldsLock());
    const CTaskSession::Result opened = window.Open(path);
    EXPECT_EQ(opened.outcome, Outcome::ReadOnly);
    EXPECT_TRUE(opened.message.empty()) << "the question said it all";
    EXPECT_TRUE(window.IsReadOnly());
    EXPECT_TRUE(window.Task().IsReadOnly());
    EXPECT_EQ(window.Task().WriteInputData(), CScheduleTask::SaveResult::ReadOnly);

    // The command line refuses.
    CTaskSession cli("quillon-cli move", WhenHeld::Refuse);
    const CTaskSession::Result refused = cli.Lock(path);
    EXPECT_EQ(refused.outcome, Outcome::HeldByOther);
    EXPECT_EQ(refused.message, "该任务正被另一程序修改（" + who + "），请等它结束后再试：" + path);

    // Once it is free, the lock is the session's until the session ends.
    other.Release();
    {
        CTaskSession free("Quillon", WhenHeld::OfferReadOnly);
        EXPECT_EQ(free.Lock(path).outcome, Outcome::Opened);
        EXPECT_TRUE(free.HoldsLock());
        const CTaskSession::Result result = free.Open(path);
        EXPECT_EQ(result.outcome, Outcome::Opened) << result.message;
        EXPECT_FALSE(free.IsReadOnly());
        EXPECT_TRUE(CTaskLock(Folder()).IsHeldByOther());
    }
    EXPECT_FALSE(fs::exists(CTaskLock::LockFilePath(Folder())));

    // No task file: told in each front end's words, and no lock is taken.
    EXPECT_EQ(CTaskSession("Quillon", WhenHeld::OfferReadOnly).Lock(Folder() + "乙.qz").message,
              "分班任务文件 " + Folder() + "乙.qz 不存在");
    CTaskSession missing("quillon-cli divide", WhenHeld::Refuse);
    EXPECT_EQ(missing.Lock(Folder() + "乙.qz").outcome, Outcome::NotFound);
    EXPECT_EQ(missing.Open(Folder() + "乙.qz").message, "找不到任务文件 " + Folder() + "乙.qz");
}

TEST_F(TaskSessionTest, DamagedInputIsCopiedOrRefused)
{
    const std::string path = MakeTask();
    const std::string input = Folder() + "input.xml";
    const std::string garbage = "<?xml version=\"1.0\"?><Task><Student";
    Write(input, garbage);

    // The command line never changes such a task.
    CTaskSession cli("quillon-cli import-students", WhenHeld::Refuse);
    ASSERT_EQ(cli.Lock(path).outcome, Outcome::Opened);
    cli.Task().SetMessageHandler([this](const std::string& text) { m_messages.push_back(text); });
    const CTaskSession::Result refused = cli.Open(path);
    EXPECT_EQ(refused.outcome, Outcome::InputDamaged);
    EXPECT_EQ(refused.message, "任务数据文件已损坏，无法完整读取：" + input);

    // The window keeps a copy beside it before the file is rewritten.
    CTaskSession window("Quillon", WhenHeld::OfferReadOnly);
    window.Task().SetMessageHandler([this](const std::string& text) { m_messages.push_back(text); });
    ASSERT_EQ(window.Open(path).outcome, Outcome::Opened);
    const CTaskSession::CopyResult kept = window.KeepDamagedInput();
    ASSERT_EQ(kept.copy, CTaskSession::InputCopy::Copied);
    std::vector<fs::path> copies;
    for (const auto& entry : fs::directory_iterator(Folder()))
        if (entry.path().filename().string().starts_with("input.damaged-"))
            copies.push_back(entry.path());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(ReadBytes(copies[0].string()), garbage);
    EXPECT_TRUE(kept.message.starts_with("分班数据文件 " + input));
    EXPECT_TRUE(kept.message.ends_with("\n原文件已另存为：\n" + copies[0].string())) << kept.message;

    // An empty data file holds nothing to keep; the command line still
    // refuses it.
    Write(input, "");
    CTaskSession empty("Quillon", WhenHeld::OfferReadOnly);
    ASSERT_EQ(empty.Open(path).outcome, Outcome::Opened);
    EXPECT_EQ(empty.KeepDamagedInput().copy, CTaskSession::InputCopy::NotNeeded);
    EXPECT_EQ(CTaskSession("quillon-cli table", WhenHeld::Refuse).Open(path).outcome, Outcome::InputDamaged);
}

TEST_F(TaskSessionTest, SaveSaysWhyItFailed)
{
    const std::string path = MakeTask();
    CScheduleTask task;
    task.SetMessageHandler([this](const std::string& text) { m_messages.push_back(text); });
    ASSERT_TRUE(task.Open(path));
    const std::string input = task.GetTaskInfo().GetInputFilePath();
    EXPECT_EQ(task.WriteInputData(), CScheduleTask::SaveResult::Saved);

    {
        // A folder nothing can be written into, not even by root.
        testsupport::ImmutableFile locked(Folder());
        if (!locked.IsSet())
            GTEST_SKIP() << "no immutable flag on this file system";
        EXPECT_FALSE(CTaskSession::CanWriteIn(Folder()));
        CTaskSession session("Quillon", WhenHeld::OfferReadOnly);
        const CTaskSession::Result opened = session.Open(path);
        EXPECT_EQ(opened.outcome, Outcome::ReadOnly);
        EXPECT_TRUE(opened.message.starts_with("分班任务文件夹 " + Folder() + " 不能写入")) << opened.message;

        // Written as if it could: the write itself fails.
        EXPECT_EQ(task.WriteInputData(), CScheduleTask::SaveResult::NotWritten);
        EXPECT_EQ(task.WriteInputDataWithReport(), CScheduleTask::SaveResult::NotWritten);
        EXPECT_EQ(CTaskSession::SaveFailureText(task, CScheduleTask::SaveResult::NotWritten, input),
                  "无法写入文件 " + input + "，请检查文件夹的写入权限和磁盘空间。");
        EXPECT_TRUE(m_messages.empty()) << "the write forms tell nobody";
        EXPECT_FALSE(task.SaveOutputData());
        EXPECT_EQ(m_messages, std::vector<std::string>{"exception in SaveOutputData"});
    }
    EXPECT_TRUE(CTaskSession::CanWriteIn(Folder()));
    for (const auto& entry : fs::directory_iterator(Folder()))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".quillon-probe")) << "the probe leaves nothing";

    task.SetReadOnly(true);
    EXPECT_EQ(task.WriteOutputData(), CScheduleTask::SaveResult::ReadOnly);
    EXPECT_EQ(CTaskSession::SaveFailureText(task, CScheduleTask::SaveResult::ReadOnly, input),
              "分班任务以只读方式打开，不能保存到它的文件夹。");
    task.SetReadOnly(false);
    task.GetTaskInfo().SetTaskFolder(Folder() + "gone");
    EXPECT_EQ(task.WriteInputData(), CScheduleTask::SaveResult::FolderMissing);
    EXPECT_EQ(CTaskSession::SaveFailureText(task, CScheduleTask::SaveResult::FolderMissing, input),
              "文件夹 " + Folder() + "gone/ 不存在。");
    task.GetTaskInfo().SetTaskFolder("");
    EXPECT_EQ(task.WriteInputData(), CScheduleTask::SaveResult::NoFolder);
    EXPECT_EQ(CTaskSession::SaveFailureText(task, CScheduleTask::SaveResult::NoFolder, input),
              "分班任务没有保存位置。");
}

TEST_F(TaskSessionTest, BackupsCopyTheTaskFiles)
{
    const std::string path = MakeTask();
    CScheduleTask task;
    task.SetMessageHandler([this](const std::string& text) { m_messages.push_back(text); });
    ASSERT_TRUE(task.Open(path));
    const CTaskInfo& info = task.GetTaskInfo();

    // Without a report there is none to copy.
    fs::create_directory(m_root.File("copy1"));
    ASSERT_TRUE(CTaskBackup::CopyTask(info, m_root.File("copy1"), "乙.qz"));
    EXPECT_EQ(ReadBytes(m_root.File("copy1/乙.qz")), ReadBytes(path));
    EXPECT_EQ(ReadBytes(m_root.File("copy1/input.xml")), ReadBytes(Folder() + "input.xml"));
    EXPECT_EQ(ReadBytes(m_root.File("copy1/output.xml")), ReadBytes(Folder() + "output.xml"));
    EXPECT_FALSE(fs::exists(m_root.File("copy1/report.txt")));

    // With one, the report goes with the data.
    task.GetLastReportInfo().SetReportInfo("分班报告");
    ASSERT_TRUE(task.SaveInputDataWithReport());
    fs::create_directory(m_root.File("copy2"));
    ASSERT_TRUE(CTaskBackup::CopyTask(info, m_root.File("copy2"), "甲.qz"));
    EXPECT_EQ(ReadBytes(m_root.File("copy2/report.txt")), ReadBytes(Folder() + "report.txt"));
    EXPECT_FALSE(CTaskBackup::CopyTask(info, m_root.File("nowhere"), "甲.qz"));

    // The day's copy holds the data files only.
    std::vector<std::string> days;
    for (const auto& entry : fs::directory_iterator(Folder() + "Backup"))
        days.push_back(entry.path().filename().string());
    ASSERT_EQ(days.size(), 1u);
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(Folder() + "Backup/" + days[0]))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"input.xml", "output.xml"}));
    EXPECT_EQ(ReadBytes(Folder() + "Backup/" + days[0] + "/input.xml"), ReadBytes(Folder() + "input.xml"));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(TaskSessionTest, StudentImport)
{
    const std::string path = MakeTask();
    CScheduleTask task;
    task.SetMessageHandler([this](const std::string& text) { m_messages.push_back(text); });
    ASSERT_TRUE(task.Open(path));
    const std::string before = ReadBytes(Folder() + "input.xml");

    // A sheet without students, or without a name column, changes nothing.
    const std::string empty = m_root.File("empty.xlsx");
    testsupport::XlsxBuilder(empty).Sheet("名单").Text(0, 0, "姓名").Text(0, 1, "*语文").Close();
    CStudentImport::Result result = CStudentImport::Run(task, empty);
    EXPECT_EQ(result.outcome, CStudentImport::Outcome::Empty);
    EXPECT_EQ(result.message, "表格中没有可导入的学生，分班任务没有改变。");
    const std::string nameless = m_root.File("nameless.csv");
    Write(nameless, "学号,*语文\n1,80\n");
    result = CStudentImport::Run(task, nameless);
    EXPECT_EQ(result.outcome, CStudentImport::Outcome::Unreadable);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(CStudentImport::Run(task, m_root.File("none.xlsx")).outcome, CStudentImport::Outcome::Unreadable);
    EXPECT_EQ(ReadBytes(Folder() + "input.xml"), before);
    EXPECT_EQ(task.GetStudentInfoList().GetCount(), 0u);

    const std::string sheet = m_root.File("students.xlsx");
    testsupport::XlsxBuilder(sheet)
        .Sheet("名单")
        .Text(0, 0, "姓名")
        .Text(0, 1, "性别")
        .Text(0, 2, "*语文")
        .Text(0, 3, "*数学")
        .Text(1, 0, "张三")
        .Text(1, 1, "男")
        .Number(1, 2, 85)
        .Number(1, 3, 90)
        .Text(2, 1, "女")
        .Number(2, 2, 70)
        .Text(3, 0, "李四")
        .Text(3, 1, "女")
        .Number(3, 2, 60)
        .Number(3, 3, 75.5)
        .Close();
    result = CStudentImport::Run(task, sheet);
    ASSERT_EQ(result.outcome, CStudentImport::Outcome::Imported) << result.message;
    EXPECT_EQ(CStudentImport::Summary(result),
              "已导入 3 名学生（工作表“名单”）。\n成绩列：语文、数学\n其中 1 名学生没有姓名，请检查表格。\n");

    // Saved: a reopened task has them.
    CScheduleTask reopened;
    reopened.SetMessageHandler([this](const std::string& text) { m_messages.push_back(text); });
    ASSERT_TRUE(reopened.Open(path));
    EXPECT_EQ(reopened.GetStudentInfoList().GetCount(), 3u);
    EXPECT_EQ(reopened.GetCustomSubjectArray(), (std::vector<std::string>{"语文", "数学"}));
    EXPECT_TRUE(m_messages.empty());

    // Not saved: told, and through the task's handler as well.
    task.SetReadOnly(true);
    result = CStudentImport::Run(task, sheet);
    EXPECT_EQ(result.outcome, CStudentImport::Outcome::NotSaved);
    EXPECT_EQ(result.message, "学生名单未能保存到任务文件夹。");
    EXPECT_EQ(m_messages, std::vector<std::string>{"exception in SaveInputData"});

    result.scoreNames.clear();
    result.nameless = 0;
    EXPECT_EQ(CStudentImport::Summary(result), "已导入 0 名学生（工作表“”）。\n成绩列：无\n");
}

TEST_F(TaskSessionTest, SheetRowsAreHandedOverUntilStoppedOrRefused)
{
    const std::string sheet = m_root.File("rows.csv");
    Write(sheet, "姓名,*语文\n甲,1\n乙,2\n丙,3\n丁,4\n");
    struct Seen
    {
        RowMode mode;
        std::string first;
        int percent;
    };
    // Refuses 乙 silently and 丙 with a word; stops at stopAt.
    auto feed = [&sheet](const std::string& stopAt, std::vector<Seen>& seen) {
        CSpreadsheetReader reader;
        reader.SetHeaderName("姓名");
        EXPECT_TRUE(reader.Open(sheet)) << reader.GetFailureText();
        return CSheetImport::Feed(
            reader, [&](RowMode mode, const std::vector<std::string>& cells, int percent, RowRequest& answer) {
                seen.push_back({mode, cells.empty() ? std::string() : cells[0], percent});
                if (cells[0] == stopAt)
                    return false;
                answer.accepted = cells[0] != "乙" && cells[0] != "丙";
                if (cells[0] == "丙")
                    answer.message = "丙不行";
                return true;
            });
    };

    std::vector<Seen> seen;
    CSheetImport::Result result = feed("", seen);
    EXPECT_EQ(result.outcome, CSheetImport::Outcome::Failed);
    EXPECT_EQ(result.error, "丙不行");
    ASSERT_EQ(seen.size(), 4u) << "nothing after the refusal with a word";
    EXPECT_EQ(seen[0].mode, RowMode::Header);
    EXPECT_EQ(seen[0].percent, -1);
    EXPECT_EQ(seen[1].mode, RowMode::Add);
    EXPECT_EQ(seen[2].first, "乙");
    EXPECT_GT(seen[3].percent, seen[1].percent);

    seen.clear();
    result = feed("乙", seen);
    EXPECT_EQ(result.outcome, CSheetImport::Outcome::Stopped);
    EXPECT_TRUE(result.error.empty());
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(TaskSessionTest, SheetRowsInBatchesAreHandedOverAsOneByOne)
{
    std::string text = "姓名,*语文\n";
    for (int i = 1; i <= 40; ++i)
        text += "学生" + std::to_string(i) + "," + std::to_string(i) + "\n";
    const std::string sheet = m_root.File("batches.csv");
    Write(sheet, text);

    struct Taker
    {
        std::vector<std::size_t> batches;      // sizes as handed over
        std::vector<std::string> taken;        // first cells, in order
        std::vector<int> percents;
        std::size_t perCall = 1000;            // rows taken per call at most
        std::string refuse;                    // refused with a word
        std::string stopAt;
    };
    auto feed = [&sheet](Taker& taker) {
        CSpreadsheetReader reader;
        reader.SetHeaderName("姓名");
        EXPECT_TRUE(reader.Open(sheet)) << reader.GetFailureText();
        return CSheetImport::FeedInBatches(
            reader,
            [&taker](RowMode mode, std::vector<CSheetImport::Row>& rows, RowRequest& answer) {
                if (mode == RowMode::Add)
                    taker.batches.push_back(rows.size());
                std::size_t n = 0;
                while (n < rows.size() && n < taker.perCall) {
                    const CSheetImport::Row& row = rows[n++];
                    if (row.cells[0] == taker.stopAt)
                        return false;
                    taker.taken.push_back(row.cells[0]);
                    taker.percents.push_back(row.percent);
                    answer = RowRequest();
                    answer.accepted = row.cells[0] != taker.refuse;
                    if (!answer.accepted) {
                        answer.message = row.cells[0] + "不行";
                        break;
                    }
                }
                rows.erase(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(n));
                return true;
            },
            4, 16);
    };

    // Every row once, in order, in growing batches; the percentages rise.
    Taker all;
    CSheetImport::Result result = feed(all);
    EXPECT_EQ(result.outcome, CSheetImport::Outcome::Done);
    ASSERT_EQ(all.taken.size(), 41u);
    EXPECT_EQ(all.taken[0], "姓名");
    EXPECT_EQ(all.percents[0], -1);
    EXPECT_EQ(all.taken[40], "学生40");
    EXPECT_TRUE(std::is_sorted(all.percents.begin(), all.percents.end()));
    EXPECT_EQ(all.batches, (std::vector<std::size_t>{4, 8, 16, 12}));

    // A taker that takes a few rows a call gets the rest again.
    Taker slow;
    slow.perCall = 3;
    EXPECT_EQ(feed(slow).outcome, CSheetImport::Outcome::Done);
    EXPECT_EQ(slow.taken, all.taken);

    // A refusal with a word ends the import at that row, a stop at once.
    Taker refusing;
    refusing.refuse = "学生7";
    result = feed(refusing);
    EXPECT_EQ(result.outcome, CSheetImport::Outcome::Failed);
    EXPECT_EQ(result.error, "学生7不行");
    EXPECT_EQ(refusing.taken.back(), "学生7");
    Taker stopping;
    stopping.stopAt = "学生3";
    EXPECT_EQ(feed(stopping).outcome, CSheetImport::Outcome::Stopped);
    EXPECT_EQ(stopping.taken.back(), "学生2");

    // A taker that takes nothing does not hold the import forever.
    Taker stuck;
    stuck.perCall = 0;
    EXPECT_EQ(feed(stuck).outcome, CSheetImport::Outcome::Stopped);
}
