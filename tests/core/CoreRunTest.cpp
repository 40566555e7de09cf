#include "EngineFixture.h"

#include "base/util/FileUtil.h"
#include "base/util/TextCodec.h"

#include <atomic>
#include <ctime>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

const char* const kChecking = "正在检查分班数据,请稍候...";
const char* const kDividing = "正在分班,请稍候...";

std::string ReportHead(const CReportInfo& report, int classes, int students)
{
    return "【分班时间】\n" + report.GetTime() + "\n\n【基础数据】\n班级数：" + std::to_string(classes) + "\t学生数："
           + std::to_string(students) + "\n\n";
}

std::string RefusedReport(const CReportInfo& report, int classes, int students, const std::string& messages)
{
    return ReportHead(report, classes, students)
           + "【分班结果】\n本次自动分班未开始！\n\n请按以下提示调整您的基本数据或分班条件设置：\n" + messages;
}

// ---- checks -------------------------------------------------------------

using CheckTest = EngineTest;

TEST_F(CheckTest, EmptyTaskIsRefusedWithOneMessageAndTwoNotifications)
{
    // A group too large for any class count is not looked at.
    AddGroup("g", {"a", "b"});
    ASSERT_EQ(Run(), DIVISION_RESULT_REFUSED);

    const auto events = owner.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, DIVISION_NOTIFY_STATUS);
    EXPECT_EQ(events[0].text, kChecking);
    EXPECT_EQ(events[1].kind, DIVISION_NOTIFY_END);
    EXPECT_EQ(events[1].value, DIVISION_RESULT_REFUSED);

    const CReportInfo& report = task->GetLastReportInfo();
    EXPECT_EQ(report.GetReportInfo(), RefusedReport(report, 0, 0, "班级信息为空！请在基本数据维护中添加班级。\n"));
    EXPECT_FALSE(FileInFolder("input.xml"));
    EXPECT_FALSE(FileInFolder("report.txt"));
}

TEST_F(CheckTest, CapacitySumAllowsEqualityAndReportsTheExcess)
{
    AddClass("A", 20);
    AddClass("B", 20);
    for (int i = 0; i < 40; ++i)
        AddStudent("s" + std::to_string(i), i % 2, 60);
    EXPECT_EQ(Run(), DIVISION_RESULT_DONE);

    AddStudent("s40", 0, 60);
    AddGroup("big", {"s1", "s2", "s3"}); // would fail the next check
    ASSERT_EQ(Run(), DIVISION_RESULT_REFUSED);
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0], "学生人数 41 超出所有班级的学生容量之和 40");
}

TEST_F(CheckTest, CapacitySumDoesNotWrapAt32Bits)
{
    // 2 × 2^31 is 0 in 32 bits; the sum is taken in full, and a planned size
    // above the largest signed 32-bit value still takes students.
    AddClass("A", 0x80000000u);
    AddClass("B", 0x80000000u);
    AddStudent("s", 0, 50);
    EXPECT_EQ(Run(), DIVISION_RESULT_DONE);
    EXPECT_FALSE(ClassOf("s").empty());
}

TEST_F(CheckTest, GroupsLargerThanTheClassCountAreAllReported)
{
    for (const char* id : {"A", "B", "C"})
        AddClass(id, 10);
    const char* names[] = {"甲", "乙", "丙", "丁", "戊"};
    for (int i = 0; i < 5; ++i)
        AddStudent("s" + std::to_string(i), 0, 50, names[i]);

    AddGroup("g3", {"s0", "s1", "s2"}); // as large as the class count: passes
    EXPECT_EQ(Run(), DIVISION_RESULT_DONE);

    AddGroup("g4", {"s0", "s1", "s2", "s3"});
    // Entries count as stored: a repeated id and an id naming no student.
    AddGroup("g5", {"s4", "s4", "ghost", "s2"});
    ASSERT_EQ(Run(), DIVISION_RESULT_REFUSED);
    ASSERT_EQ(Errors().size(), 2u);
    EXPECT_EQ(Errors()[0], "互斥组（甲，乙，丙，丁）人数 4 超出了班级总数 3");
    EXPECT_EQ(Errors()[1], "互斥组（戊，戊，丙）人数 4 超出了班级总数 3");
    const CReportInfo& report = task->GetLastReportInfo();
    EXPECT_EQ(report.GetReportInfo(), RefusedReport(report, 3, 5, Errors()[0] + "\n" + Errors()[1] + "\n"));
}

// ---- a run and its files -----------------------------------------------------

using RunTest = EngineTest;

TEST_F(RunTest, CompletedRunNotifiesSavesAndReports)
{
    AddClass("A", 2);
    AddClass("B", 2);
    AddStudent("g1", 0, 90, "王芳");
    AddStudent("g2", 0, 80, "李娜");
    AddStudent("b1", 1, 70, "张伟");
    const std::time_t before = std::time(nullptr);
    ASSERT_EQ(Run(), DIVISION_RESULT_DONE);
    const std::time_t after = std::time(nullptr);

    const auto events = owner.Events();
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].text, kChecking);
    EXPECT_EQ(events[1].text, kDividing);
    EXPECT_EQ(events[2].kind, DIVISION_NOTIFY_PROGRESS);
    EXPECT_EQ(events[2].value, 100);
    EXPECT_EQ(events[3].kind, DIVISION_NOTIFY_STATUS);
    EXPECT_EQ(events[3].text, "分班完成.");
    EXPECT_EQ(events[4].kind, DIVISION_NOTIFY_END);
    EXPECT_EQ(events[4].value, DIVISION_RESULT_DONE);

    const CReportInfo& report = task->GetLastReportInfo();
    EXPECT_GE(report.GetTimeValue(), before);
    EXPECT_LE(report.GetTimeValue(), after);
    EXPECT_EQ(report.GetClassCount(), 2);
    EXPECT_EQ(report.GetSubjectCount(), 2);
    const std::string text = report.GetReportInfo();
    EXPECT_EQ(text, ReportHead(report, 2, 3) + "【分班结果】\n分班完成。您可以查看并导出分班表。");

    // report.txt: the text in the Chinese code page and one NUL byte.
    const auto bytes = CFileUtil::ReadFile((folder / "report.txt").string());
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, CTextCodec::ToGbk(text) + std::string(1, '\0'));
    EXPECT_TRUE(FileInFolder("input.xml"));
}

TEST_F(RunTest, UnplacedStudentsEndTheReportLineByLine)
{
    AddClass("A", 3, "一班");
    AddClass("B", 1, "二班");
    AddStudent("x", 0, 90, "赵一");
    AddStudent("y", 0, 80, "钱二");
    AddStudent("z", 1, 70, "孙三");
    AddStudent("w", 1, 95, "李四");
    AddPreset("x", "B");
    AddPreset("y", "B");
    AddPreset("w", "B");
    AddGroup("g", {"x", "z"});
    AddGroup("h", {"y", "z"});
    Student("z")->SetPresetFlag(true); // stale flags are rebuilt

    ASSERT_EQ(Run(), DIVISION_RESULT_UNPLACED);
    EXPECT_FALSE(Student("z")->isPreset());
    const CReportInfo& report = task->GetLastReportInfo();
    // x takes B; y and then w (fewer partners) find it full; z may not join
    // x in B and goes to A.
    EXPECT_EQ(ClassOf("x"), "B");
    EXPECT_EQ(ClassOf("y"), "");
    EXPECT_EQ(ClassOf("w"), "");
    EXPECT_EQ(ClassOf("z"), "A");
    EXPECT_EQ(report.GetReportInfo(),
              ReportHead(report, 2, 4)
                  + "【分班结果】\n本次自动分班结束。\n如果您对自动分班结果不满意，可以重新“开始自动分班”，"
                    "每次自动分班的结果可能不同。\n钱二 预排的班级 二班 人数已满\n李四 预排的班级 二班 人数已满\n");
    EXPECT_EQ(owner.Events().back().value, DIVISION_RESULT_UNPLACED);
}

TEST_F(RunTest, RefusedRunKeepsTheStoredReport)
{
    AddClass("A", 1);
    AddStudent("s", 0, 50);
    ASSERT_EQ(Run(), DIVISION_RESULT_DONE);
    const auto stored = CFileUtil::ReadFile((folder / "report.txt").string());
    ASSERT_TRUE(stored.has_value());

    AddStudent("t", 0, 50);
    ASSERT_EQ(Run(), DIVISION_RESULT_REFUSED);
    EXPECT_EQ(CFileUtil::ReadFile((folder / "report.txt").string()), stored);
    EXPECT_NE(task->GetLastReportInfo().GetReportInfo().find("本次自动分班未开始"), std::string::npos);
}

TEST_F(RunTest, ReportTimeFormat)
{
    std::tm local{};
    local.tm_year = 2024 - 1900;
    local.tm_mon = 2;
    local.tm_mday = 5;
    local.tm_hour = 8;
    local.tm_min = 7;
    local.tm_sec = 9;
    local.tm_isdst = -1;
    CReportInfo report;
    report.SetTime(std::mktime(&local));
    EXPECT_EQ(report.GetTime(), "2024年3月5日 8时7分9秒");
}

// ---- cancel and lifetime -----------------------------------------------------

TEST_F(RunTest, FreeAfterTheEndReturnsAtOnce)
{
    AddClass("A", 1);
    AddStudent("s", 0, 50);
    auto core = std::make_unique<CCore>(*task);
    core->Init(&owner);
    core->Start();
    core->Wait();
    EXPECT_FALSE(core->IsRunning());
    const auto start = Clock::now();
    core->Free();
    core->Free();
    core.reset();
    EXPECT_LT(Clock::now() - start, milliseconds(100));
    EXPECT_FALSE(CCore::IsTaskBusy(task.get()));
}

TEST_F(RunTest, CancelDuringALargeRunStopsItWithoutWriting)
{
    FillLarge(100000, 2000);
    for (auto* s : task->GetStudentInfoList().Records<CStudentInfo>())
        s->SetClassId("old");

    CCore core(*task);
    core.Init(&owner);
    core.SetSeed(3);
    core.Start();
    ASSERT_TRUE(owner.WaitForStatus(kDividing, milliseconds(10000)));
    const auto start = Clock::now();
    core.Cancel();
    EXPECT_LT(Clock::now() - start, milliseconds(1200));

    const std::size_t sent = owner.Events().size();
    std::this_thread::sleep_for(milliseconds(300));
    EXPECT_EQ(owner.Events().size(), sent);
    for (const auto& e : owner.Events())
        EXPECT_NE(e.kind, DIVISION_NOTIFY_END);
    EXPECT_FALSE(core.IsRunning());
    EXPECT_FALSE(FileInFolder("input.xml"));
    EXPECT_FALSE(FileInFolder("report.txt"));
    // The task is left as it was.
    for (auto* s : task->GetStudentInfoList().Records<CStudentInfo>())
        ASSERT_EQ(s->GetClassId(), "old");
    for (auto* c : task->GetClassInfoList().Records<CClassInfo>())
        ASSERT_TRUE(c->GetStudentArray().empty());
}

TEST_F(RunTest, CancelWhileTheOwnerBlocksGivesUpAfterASecond)
{
    AddClass("A", 2);
    AddStudent("s", 0, 50);
    Student("s")->SetClassId("old");

    std::mutex gate;
    std::condition_variable opened;
    bool open = false;
    owner.onEvent = [&](const RecordingOwner::Event& e) {
        if (e.text != kDividing)
            return;
        // Like a window thread that is busy in the call to Cancel.
        std::unique_lock lock(gate);
        opened.wait(lock, [&] { return open; });
    };

    auto core = std::make_unique<CCore>(*task);
    core->Init(&owner);
    core->Start();
    ASSERT_TRUE(owner.WaitForStatus(kDividing, milliseconds(5000)));
    const auto start = Clock::now();
    core->Cancel();
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, milliseconds(900));
    EXPECT_LT(waited, milliseconds(1500));

    // The worker is still inside the call; the facade can go regardless.
    EXPECT_TRUE(CCore::IsTaskBusy(task.get()));
    EXPECT_FALSE(CCore::WaitForTask(task.get(), 50));
    core.reset();
    {
        std::lock_guard lock(gate);
        open = true;
    }
    opened.notify_all();
    ASSERT_TRUE(CCore::WaitForTask(task.get(), 5000));
    EXPECT_FALSE(CCore::IsTaskBusy(task.get()));

    const auto events = owner.Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events.back().text, kDividing);
    EXPECT_EQ(ClassOf("s"), "old");
    EXPECT_FALSE(FileInFolder("input.xml"));
    EXPECT_FALSE(FileInFolder("report.txt"));
}

TEST_F(RunTest, CancelFromWithinANotificationStopsTheRun)
{
    AddClass("A", 2);
    AddStudent("s", 0, 50);
    CCore core(*task);
    owner.onEvent = [&](const RecordingOwner::Event& e) {
        if (e.text == kDividing)
            core.Cancel();
    };
    core.Init(&owner);
    core.Start();
    core.Wait();
    EXPECT_EQ(owner.Events().size(), 2u);
    EXPECT_FALSE(FileInFolder("input.xml"));
}

// A run that is stopped changes nothing in the task, wherever it stands; one
// stopped after its result was written completes the save instead, so the
// task in memory always equals its folder.
TEST_F(RunTest, StoppedRunLeavesTaskAsOnDisk)
{
    AddClass("A", 2);
    AddClass("B", 2);
    AddStudent("g", 0, 90);
    AddStudent("b", 1, 70);
    ASSERT_EQ(Run(), DIVISION_RESULT_DONE);
    const std::string storedText = task->GetLastReportInfo().GetReportInfo();
    const auto storedReport = CFileUtil::ReadFile((folder / "report.txt").string());
    const auto storedInput = CFileUtil::ReadFile((folder / "input.xml").string());
    const std::string classOfG = ClassOf("g");
    AddStudent("late", 1, 60); // in memory only until the next run saves

    struct Case
    {
        const char* stopAt; // the status line at which the run is stopped
        int result;
    };
    for (const Case& c : {Case{kChecking, DIVISION_RESULT_CANCELLED}, Case{kDividing, DIVISION_RESULT_CANCELLED},
                          Case{"分班完成.", DIVISION_RESULT_DONE}}) {
        const std::size_t sentBefore = owner.Events().size();
        CCore core(*task);
        owner.onEvent = [&](const RecordingOwner::Event& e) {
            if (e.text == c.stopAt)
                core.Cancel();
        };
        core.Init(&owner);
        core.SetListOrder(true);
        core.Start();
        core.Wait();
        owner.onEvent = nullptr;
        EXPECT_EQ(core.GetResult(), c.result) << c.stopAt;
        const auto events = owner.Events();
        for (std::size_t i = sentBefore; i < events.size(); ++i)
            EXPECT_NE(events[i].kind, DIVISION_NOTIFY_END);
        if (c.result == DIVISION_RESULT_CANCELLED) {
            EXPECT_EQ(task->GetLastReportInfo().GetReportInfo(), storedText) << c.stopAt;
            EXPECT_TRUE(task->GetLastReportInfo().GetErrorInfo().empty());
            EXPECT_EQ(CFileUtil::ReadFile((folder / "report.txt").string()), storedReport);
            EXPECT_EQ(CFileUtil::ReadFile((folder / "input.xml").string()), storedInput);
            EXPECT_EQ(ClassOf("g"), classOfG);
            EXPECT_EQ(ClassOf("late"), "");
        } else {
            // Too late to stop: the result and its report are saved.
            EXPECT_TRUE(core.IsResultSaved());
            EXPECT_FALSE(task->IsDirty());
            EXPECT_NE(ClassOf("late"), "");
            const auto bytes = CFileUtil::ReadFile((folder / "report.txt").string());
            EXPECT_EQ(bytes, CTextCodec::ToGbk(task->GetLastReportInfo().GetReportInfo()) + std::string(1, '\0'));
            EXPECT_NE(CFileUtil::ReadFile((folder / "input.xml").string()), storedInput);
        }
    }
}

TEST_F(RunTest, UnsavedResultIsMarked)
{
    AddClass("A", 2);
    AddStudent("s", 0, 50);
    ASSERT_EQ(Run(), DIVISION_RESULT_DONE);
    const auto storedReport = CFileUtil::ReadFile((folder / "report.txt").string());
    // input.xml cannot be replaced: a folder of that name is in the way.
    std::filesystem::remove(folder / "input.xml");
    std::filesystem::create_directories(folder / "input.xml" / "x");

    CCore core(*task);
    core.Init(&owner);
    core.Start();
    core.Wait();
    EXPECT_EQ(core.GetResult(), DIVISION_RESULT_DONE);
    EXPECT_FALSE(core.IsResultSaved());
    EXPECT_TRUE(task->IsDirty());
    EXPECT_EQ(ClassOf("s"), "A");
    // The report of a run whose data were not saved is not stored either.
    EXPECT_EQ(CFileUtil::ReadFile((folder / "report.txt").string()), storedReport);
}

} // namespace
