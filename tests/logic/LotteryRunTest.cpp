// The draw sequences both front ends share: the lottery division from the
// input to the files in the folder, and the head-teacher draw after it;
// what each leaves behind when it is refused or cannot save.
#include "Cohort.h"
#include "TaskBuilder.h"
#include "TestSupport.h"

#include "base/records/ClassInfo.h"
#include "base/task/ScheduleTask.h"
#include "logic/lottery/LotteryRecord.h"
#include "logic/lottery/LotteryRun.h"
#include "logic/lottery/LotteryVerification.h"
#include "logic/lottery/TeacherDrawRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kWork = 2000;

class LotteryRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CTaskInfo info;
        info.SetTaskName("摇号");
        info.SetTaskFolder(folder.Path().string());
        task.SetTaskInfo(info);
        task.SetMessageHandler([](const std::string&) {});
        testsupport::CohortOptions cohort;
        cohort.students = 90;
        cohort.classes = 3;
        cohort.rules = true;
        testsupport::FillCohort(task, cohort);
    }

    std::string Folder() const { return folder.Path().string(); }
    bool HasRecord() const { return fs::exists(CLotteryRecord::PathIn(Folder())); }

    CLotteryRun::Result Lottery(const std::string& seed)
    {
        CLotteryRun run(task, seed, false, kWork);
        if (const CLotteryRun::Result prepared = run.Prepare(); prepared != CLotteryRun::Result::Done)
            return prepared;
        // The draw on another thread, as the window runs it.
        std::thread worker([&] { run.Draw([&](double share) { lastProgress = share; }); });
        worker.join();
        const CLotteryRun::Result result = run.Finish();
        lastRecord = run.GetRecord();
        return result;
    }

    void NameTeachers()
    {
        int n = 0;
        for (CClassInfo* info : task.GetClassInfoList().Records<CClassInfo>())
            info->SetHeadTeacherName("老师" + std::to_string(++n));
    }

    testsupport::TempFolder folder;
    CScheduleTask task;
    CLotteryRecord lastRecord;
    double lastProgress = 0;
};

TEST_F(LotteryRunTest, ADrawLeavesTheDivisionTheReportAndTheRecordThatVerifies)
{
    ASSERT_EQ(Lottery("314159"), CLotteryRun::Result::Done);
    EXPECT_DOUBLE_EQ(lastProgress, 1.0) << "the progress reaches its end";
    CLotteryRecord onDisk;
    std::string inputText;
    ASSERT_EQ(CLotteryRecord::Load(Folder(), onDisk, inputText), CLotteryRecord::LoadResult::Loaded);
    EXPECT_EQ(onDisk, lastRecord);
    EXPECT_EQ(onDisk.seed, "314159");
    EXPECT_EQ(onDisk.work, kWork);
    EXPECT_EQ(onDisk.placed, 90);
    EXPECT_NE(testsupport::ReadBytes(Folder() + "/report.txt").find("\xA1\xBE"), std::string::npos)
        << "the report, in GBK, has the record's section";
    EXPECT_EQ(CLotteryVerification::Verify(task).outcome, CLotteryVerification::Outcome::Consistent);
    EXPECT_FALSE(task.IsDirty());
}

TEST_F(LotteryRunTest, ARefusedOrUnsavableDrawLeavesNoRecord)
{
    // More students than seats: the checks refuse, nothing is written.
    std::vector<unsigned> seats;
    for (CClassInfo* info : task.GetClassInfoList().Records<CClassInfo>()) {
        seats.push_back(info->GetStudentCount());
        info->SetStudentCount(5);
    }
    EXPECT_EQ(Lottery("314159"), CLotteryRun::Result::Refused);
    EXPECT_FALSE(HasRecord());
    EXPECT_FALSE(fs::exists(Folder() + "/input.xml"));
    std::size_t next = 0;
    for (CClassInfo* info : task.GetClassInfoList().Records<CClassInfo>())
        info->SetStudentCount(seats[next++]);

    // A task that cannot be written: divided in memory, and no record
    // describes a division that is not on disk.
    task.SetReadOnly(true);
    EXPECT_EQ(Lottery("314159"), CLotteryRun::Result::DataNotSaved);
    EXPECT_FALSE(HasRecord());
    EXPECT_FALSE(CLotteryRun::Problem(CLotteryRun::Result::DataNotSaved).empty());
}

TEST_F(LotteryRunTest, TheTeacherDrawComesAfterTheLotteryAndChecksItsList)
{
    CTeacherDrawRun early(task);
    EXPECT_EQ(early.Prepare(std::vector<std::string>{"甲", "乙", "丙"}), CTeacherDrawRun::Result::NoRecord);
    EXPECT_EQ(early.Finish("424242"), CTeacherDrawRun::Result::NoRecord) << "no draw without a Prepare that passed";
    ASSERT_EQ(Lottery("271828"), CLotteryRun::Result::Done);

    CTeacherDrawRun run(task);
    EXPECT_EQ(run.Prepare(), CTeacherDrawRun::Result::NoTeachers) << "the classes name none";
    EXPECT_EQ(run.Prepare(std::vector<std::string>{}), CTeacherDrawRun::Result::Refused)
        << "an empty list is a list, not the classes' teachers";
    EXPECT_EQ(run.Prepare(std::vector<std::string>{"甲", "乙"}), CTeacherDrawRun::Result::Refused);
    EXPECT_NE(run.Problem(CTeacherDrawRun::Result::Refused).find("班级数"), std::string::npos);
    const std::string recordBefore = testsupport::ReadBytes(CLotteryRecord::PathIn(Folder()));

    NameTeachers();
    ASSERT_EQ(run.Prepare(), CTeacherDrawRun::Result::Ready);
    EXPECT_EQ(run.GetTeachers(), (std::vector<std::string>{"老师1", "老师2", "老师3"}));
    ASSERT_EQ(run.Finish("424242"), CTeacherDrawRun::Result::Done);
    ASSERT_TRUE(run.GetRecord().teacherDraw);
    const auto assignments = run.GetRecord().teacherDraw->assignments;
    ASSERT_EQ(assignments.size(), 3u);
    for (const auto& assignment : assignments)
        EXPECT_EQ(task.GetClassInfoList().FindAs<CClassInfo>(assignment.classId)->GetHeadTeacherName(),
                  assignment.teacher);
    CLotteryRecord onDisk;
    std::string inputText;
    ASSERT_EQ(CLotteryRecord::Load(Folder(), onDisk, inputText), CLotteryRecord::LoadResult::Loaded);
    EXPECT_EQ(onDisk, run.GetRecord());
    EXPECT_NE(testsupport::ReadBytes(CLotteryRecord::PathIn(Folder())), recordBefore);
    EXPECT_EQ(CLotteryVerification::Verify(task).outcome, CLotteryVerification::Outcome::Consistent);

    // Drawn again with the same seed from the same list: the same classes.
    CTeacherDrawRun again(task);
    ASSERT_EQ(again.Prepare(std::vector<std::string>{"老师3", "老师1", "老师2"}), CTeacherDrawRun::Result::Ready);
    ASSERT_EQ(again.Finish("424242"), CTeacherDrawRun::Result::Done);
    EXPECT_EQ(again.GetRecord().teacherDraw->assignments, assignments);
    EXPECT_EQ(again.Finish("424242"), CTeacherDrawRun::Result::NoRecord) << "one draw per Prepare";
}

TEST_F(LotteryRunTest, ATeacherDrawThatCannotBeSavedLeavesTheRecordAsItWas)
{
    ASSERT_EQ(Lottery("271828"), CLotteryRun::Result::Done);
    NameTeachers();
    const std::string recordBefore = testsupport::ReadBytes(CLotteryRecord::PathIn(Folder()));
    task.SetReadOnly(true);
    CTeacherDrawRun run(task);
    ASSERT_EQ(run.Prepare(), CTeacherDrawRun::Result::Ready);
    EXPECT_EQ(run.Finish("424242"), CTeacherDrawRun::Result::DataNotSaved);
    EXPECT_EQ(testsupport::ReadBytes(CLotteryRecord::PathIn(Folder())), recordBefore);
}

} // namespace
