// The lottery division: the canonical texts and their digests, the seed,
// the draw's independence of everything but input, seed and work, the
// record, the check of a task against it and the head-teacher draw.
#include "Cohort.h"
#include "TaskBuilder.h"
#include "TestSupport.h"

#include "base/records/ClassInfo.h"
#include "base/task/ScheduleTask.h"
#include "base/util/FileUtil.h"
#include "core/BalanceOptimizer.h"
#include "logic/lottery/LotteryCanonicalForm.h"
#include "logic/lottery/LotteryDifference.h"
#include "logic/lottery/LotteryDigest.h"
#include "logic/lottery/LotteryDraw.h"
#include "logic/lottery/LotteryRecord.h"
#include "logic/lottery/LotterySeed.h"
#include "logic/lottery/LotteryVerification.h"
#include "logic/lottery/TeacherDraw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using testsupport::AddClass;
using testsupport::AddGroup;
using testsupport::AddPreset;
using testsupport::AddStudent;

constexpr std::uint64_t kWork = 3000;

void FillRuledCohort(CScheduleTask& task)
{
    task.SetMessageHandler([](const std::string&) {});
    testsupport::CohortOptions cohort;
    cohort.students = 240;
    cohort.classes = 6;
    cohort.rules = true;
    cohort.togetherPairs = 6;
    cohort.sameNamePairs = 6;
    cohort.presetShare = 0.02;
    cohort.groupedShare = 0.05;
    testsupport::FillCohort(task, cohort);
}

// The same input with every list in the opposite order.
void FillReversed(const CLotteryInput& input, CScheduleTask& task)
{
    CLotteryInput reversed = input;
    std::reverse(reversed.classes.begin(), reversed.classes.end());
    std::reverse(reversed.students.begin(), reversed.students.end());
    std::reverse(reversed.presets.begin(), reversed.presets.end());
    std::reverse(reversed.exclusiveGroups.begin(), reversed.exclusiveGroups.end());
    for (auto& group : reversed.exclusiveGroups)
        std::reverse(group.members.begin(), group.members.end());
    std::reverse(reversed.togetherGroups.begin(), reversed.togetherGroups.end());
    task.SetMessageHandler([](const std::string&) {});
    CLotteryCanonicalForm::BuildTask(reversed, task);
}

// A task in a folder, drawn with seed and saved as the lottery command does.
struct DrawnTask
{
    testsupport::TempFolder folder;
    CScheduleTask task;
    CLotteryRecord record;

    explicit DrawnTask(const std::string& seed)
    {
        CTaskInfo info;
        info.SetTaskName("摇号");
        info.SetTaskFolder(folder.Path().string());
        task.SetTaskInfo(info);
        FillRuledCohort(task);
        const CLotteryInput input = CLotteryCanonicalForm::InputOf(task);
        const std::string inputText = CLotteryCanonicalForm::InputText(input);
        const CLotteryDraw::Outcome outcome = CLotteryDraw::Run(input, seed, kWork);
        EXPECT_TRUE(outcome.Divided());
        CLotteryDraw::Apply(outcome, task);
        record = CLotteryDraw::MakeRecord(task, input, inputText, outcome, seed, false, kWork);
        EXPECT_EQ(record.placed, 240);
        EXPECT_EQ(record.figures.size(), 6u);
        EXPECT_TRUE(record.Save(folder.Path().string(), inputText));
    }

    CLotteryVerification::Result Verify() const { return CLotteryVerification::Verify(task); }
};

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

TEST(LotteryDigest, IsTheStandardSha256)
{
    EXPECT_EQ(CLotteryDigest::Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(CLotteryDigest::Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(CLotteryDigest::Sha256Prefix("abc"), 0xba7816bf8f01cfeaull);
}

TEST(LotterySeed, RefusesWhatIsNotSixDigitsOrMoreInChinese)
{
    EXPECT_NE(CLotterySeed::Problem("12345").find("至少应有 6 位数字"), std::string::npos);
    EXPECT_NE(CLotterySeed::Problem("12a456").find("只能由数字"), std::string::npos);
    EXPECT_NE(CLotterySeed::Problem("１２３４５６").find("只能由数字"), std::string::npos) << "full-width digits";
    EXPECT_NE(CLotterySeed::Problem("-123456").find("只能由数字"), std::string::npos);
    EXPECT_NE(CLotterySeed::Problem("").find("不能为空"), std::string::npos);
    EXPECT_FALSE(CLotterySeed::Problem(std::string(65, '1')).empty());
    EXPECT_EQ(CLotterySeed::Problem("000123"), "");

    // Leading zeros are part of what was read out.
    EXPECT_NE(CLotterySeed::Value("000123456"), CLotterySeed::Value("123456"));
    EXPECT_EQ(CLotterySeed::Value("123456"), CLotterySeed::Value("123456"));
    const std::string drawn = CLotterySeed::Draw();
    EXPECT_EQ(drawn.size(), 12u);
    EXPECT_EQ(CLotterySeed::Problem(drawn), "");
}

TEST(LotteryCanonicalForm, DependsOnTheValuesNotTheListOrderAndReadsBack)
{
    CScheduleTask task;
    FillRuledCohort(task);
    const CLotteryInput input = CLotteryCanonicalForm::InputOf(task);
    CScheduleTask reversed;
    FillReversed(input, reversed);
    const std::string text = CLotteryCanonicalForm::InputText(input);
    EXPECT_EQ(CLotteryCanonicalForm::InputText(CLotteryCanonicalForm::InputOf(reversed)), text);

    const std::optional<CLotteryInput> parsed = CLotteryCanonicalForm::ParseInput(text);
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(*parsed == input);
    EXPECT_EQ(text.rfind("quillon-lottery-input 1\nsubject\t1\t语文\n", 0), 0u) << text.substr(0, 80);
    EXPECT_NE(text.find("\nsetting\tscore-bands\t10,30,60\n"), std::string::npos);
    EXPECT_NE(text.find("\ncondition\t1\t#住校\n"), std::string::npos);

    // One changed score is one changed digest.
    auto* student = task.GetStudentInfoList().FindAs<CStudentInfo>("s7");
    student->GetScoreArray()[1] += "0";
    EXPECT_NE(CLotteryDigest::Sha256Hex(CLotteryCanonicalForm::InputText(CLotteryCanonicalForm::InputOf(task))),
              CLotteryDigest::Sha256Hex(text));
}

TEST(LotteryCanonicalForm, EscapesFieldsAndRefusesWhatItDidNotWrite)
{
    CScheduleTask task;
    AddClass(task, "c1", "一\t班", 0, 3);
    AddStudent(task, "s1", "张\\三\n", 0, 0, "", {"9\t0", ""}, "");
    AddGroup(task, "g1", {"s2", "s1"});
    AddPreset(task, "s1", "c1");
    const CLotteryInput input = CLotteryCanonicalForm::InputOf(task);
    const std::string text = CLotteryCanonicalForm::InputText(input);
    EXPECT_NE(text.find("student\ts1\t张\\\\三\\n\t0\t\t9\\t0\t\n"), std::string::npos) << text;
    EXPECT_NE(text.find("exclusive\tg1\ts1\ts2\n"), std::string::npos) << "members sorted";
    const auto parsed = CLotteryCanonicalForm::ParseInput(text);
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(*parsed == input);

    const std::string header = "quillon-lottery-input 1\n";
    EXPECT_FALSE(CLotteryCanonicalForm::ParseInput(""));
    EXPECT_FALSE(CLotteryCanonicalForm::ParseInput(header + "class\tc2\tb\t1\nclass\tc1\ta\t1\n")) << "unsorted";
    EXPECT_FALSE(CLotteryCanonicalForm::ParseInput(header + "class\tc1\ta\tmany\n"));
    EXPECT_FALSE(CLotteryCanonicalForm::ParseInput(header + "class\tc1\ta\t1")) << "unfinished line";
    EXPECT_FALSE(CLotteryCanonicalForm::ParseInput(header + "student\ts1\ta\\q\t1\t\n")) << "unknown escape";
    EXPECT_FALSE(CLotteryCanonicalForm::ParseInput(header + "teacher\tt1\n"));
    EXPECT_FALSE(CLotteryCanonicalForm::ParseInput(header + "subject\t2\t语文\n")) << "column out of order";
    EXPECT_FALSE(CLotteryCanonicalForm::ParseInput(header + "conditions\ts9\tx\n")) << "values of no student";
}

TEST(LotteryDraw, SameSeedAndWorkGiveTheSameDivisionWhateverTheListOrderOrThread)
{
    CScheduleTask task;
    FillRuledCohort(task);
    const CLotteryInput input = CLotteryCanonicalForm::InputOf(task);
    const CLotteryDraw::Outcome first = CLotteryDraw::Run(input, "314159", kWork);
    ASSERT_TRUE(first.Divided());
    EXPECT_GT(first.balance.steps, 0u);
    EXPECT_LE(first.balance.steps, kWork) << "it may end early, when nothing is left to gain";
    const auto placed = std::count_if(first.division.begin(), first.division.end(),
                                      [](const auto& entry) { return !entry.second.empty(); });
    EXPECT_EQ(placed, 240);

    double reported = 0.0;
    EXPECT_EQ(CLotteryDraw::Run(input, "314159", kWork, [&reported](double share) { reported = share; }).division,
              first.division)
        << "again, with progress";
    EXPECT_EQ(reported, 1.0);

    CScheduleTask reversed;
    FillReversed(input, reversed);
    EXPECT_EQ(CLotteryDraw::Run(CLotteryCanonicalForm::InputOf(reversed), "314159", kWork).division, first.division)
        << "the lists in another order";

    CLotteryCanonicalForm::Division onThread;
    std::thread worker([&] { onThread = CLotteryDraw::Run(input, "314159", kWork).division; });
    worker.join();
    EXPECT_EQ(onThread, first.division) << "on another thread";

    EXPECT_NE(CLotteryDraw::Run(input, "314160", kWork).division, first.division) << "another seed";
    EXPECT_NE(CLotteryDraw::Run(input, "0314159", kWork).division, first.division) << "a leading zero";
}

TEST(LotteryDraw, KeepsEveryRuleAndPutsTheDivisionIntoTheTask)
{
    CScheduleTask task;
    FillRuledCohort(task);
    const CLotteryInput input = CLotteryCanonicalForm::InputOf(task);
    const CLotteryDraw::Outcome outcome = CLotteryDraw::Run(input, "271828", kWork);
    ASSERT_TRUE(outcome.Divided());
    CLotteryDraw::Apply(outcome, task);
    EXPECT_EQ(CLotteryCanonicalForm::DivisionOf(task), outcome.division);

    for (const auto& preset : input.presets)
        EXPECT_EQ(outcome.division.at(preset.studentId), preset.classId) << preset.studentId;
    for (const auto& group : input.exclusiveGroups) {
        std::vector<std::string> classes;
        for (const auto& member : group.members)
            classes.push_back(outcome.division.at(member));
        std::sort(classes.begin(), classes.end());
        EXPECT_EQ(std::adjacent_find(classes.begin(), classes.end()), classes.end()) << group.id;
    }
    for (const auto& group : input.togetherGroups) {
        for (const auto& member : group.members)
            EXPECT_EQ(outcome.division.at(member), outcome.division.at(group.members.front())) << group.id;
    }
    // The classes' lists hold exactly their students.
    std::size_t listed = 0;
    for (const CClassInfo* info : task.GetClassInfoList().Records<CClassInfo>()) {
        for (const std::string& id : info->GetStudentArray())
            EXPECT_EQ(outcome.division.at(id), info->GetId());
        listed += info->GetStudentArray().size();
    }
    EXPECT_EQ(listed, input.students.size());
    EXPECT_NE(task.GetLastReportInfo().GetReportInfo().find("【均衡优化】"), std::string::npos);
}

TEST(LotteryDraw, RefusesWhatTheChecksRefuseAndChangesNothing)
{
    CScheduleTask task;
    task.SetMessageHandler([](const std::string&) {});
    AddClass(task, "c1", "一班", 0, 1);
    AddStudent(task, "s1", "甲", 0, 0);
    AddStudent(task, "s2", "乙", 1, 1);
    const CLotteryDraw::Outcome outcome = CLotteryDraw::Run(CLotteryCanonicalForm::InputOf(task), "123456", kWork);
    EXPECT_FALSE(outcome.Divided());
    EXPECT_TRUE(outcome.division.empty());
    EXPECT_NE(outcome.report.find("超出所有班级的学生容量"), std::string::npos) << outcome.report;

    std::uint64_t work = 0;
    EXPECT_FALSE(CLotteryDraw::WorkProblem("0", work).empty());
    EXPECT_FALSE(CLotteryDraw::WorkProblem("-5", work).empty());
    EXPECT_FALSE(CLotteryDraw::WorkProblem("1e6", work).empty());
    EXPECT_TRUE(CLotteryDraw::WorkProblem("5000", work).empty());
    EXPECT_EQ(work, 5000u);
}

// The fixed-steps mode of the balance decides nothing by the clock: a run
// slowed down (so that its progress reports fall on other steps) ends
// with the same division.
TEST(LotteryDraw, BalanceStepsDoNotDependOnTheClock)
{
    const auto balanced = [](bool slow) {
        CScheduleTask task;
        FillRuledCohort(task);
        testsupport::DivideInMemory(task, 5);
        CBalanceOptimizer optimizer(task);
        CBalanceOptions options;
        options.iterations = 4000;
        options.seconds = 0.001; // no time budget in this mode
        options.seed = 9;
        if (slow)
            options.progress = [](const CBalanceProgress&) {
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
            };
        optimizer.SetOptions(options);
        EXPECT_LE(optimizer.Run().steps, 4000u);
        optimizer.Apply();
        return CLotteryCanonicalForm::DivisionOf(task);
    };
    EXPECT_EQ(balanced(true), balanced(false));
}

TEST(LotteryVerification, UntouchedIsConsistentAndAChangedScoreNamesTheStudent)
{
    DrawnTask drawn("20240901");
    CLotteryVerification::Result result = drawn.Verify();
    EXPECT_EQ(result.outcome, CLotteryVerification::Outcome::Consistent) << CLotteryVerification::Text(result);
    EXPECT_EQ(result.message.rfind("一致", 0), 0u);

    auto* student = drawn.task.GetStudentInfoList().FindAs<CStudentInfo>("s12");
    student->SetName("周小明");
    const std::string before = student->GetScoreArray()[1];
    student->GetScoreArray()[1] = "149";
    result = drawn.Verify();
    ASSERT_EQ(result.outcome, CLotteryVerification::Outcome::Inconsistent);
    const std::string text = CLotteryVerification::Text(result);
    EXPECT_EQ(text.rfind("不一致", 0), 0u) << text;
    EXPECT_NE(text.find("学生 周小明（s12）：数学 " + before + " → 149"), std::string::npos) << text;
    EXPECT_TRUE(result.divisionChanges.empty()) << "the division itself was not touched";
}

TEST(LotteryVerification, NamesAChangedClassRuleGroupOrMovedStudent)
{
    DrawnTask drawn("777777");
    auto& task = drawn.task;
    task.GetClassInfoList().FindAs<CClassInfo>("c2")->SetStudentCount(99);
    task.GetDivisionRules().SetSameSoundApart(true);
    task.GetDivisionRules().TogetherGroups().pop_back();
    AddPreset(task, "s3", "c1");
    const CLotteryVerification::Result changed = drawn.Verify();
    ASSERT_EQ(changed.outcome, CLotteryVerification::Outcome::Inconsistent);
    const std::string lines = Joined(changed.inputChanges);
    EXPECT_NE(lines.find("班级 3班（c2）：计划人数"), std::string::npos) << lines;
    EXPECT_NE(lines.find("规则 同音学生分开 关 → 开"), std::string::npos) << lines;
    EXPECT_NE(lines.find("同班学生组 t5 已删除：学生"), std::string::npos) << lines;
    EXPECT_NE(lines.find("学生 学生3（s3）：新增预先分班 2班"), std::string::npos) << lines;

    DrawnTask moved("777777");
    auto* student = moved.task.GetStudentInfoList().FindAs<CStudentInfo>("s40");
    const std::string to = student->GetClassId() == "c0" ? "c1" : "c0";
    student->SetClassId(to);
    const CLotteryVerification::Result result = moved.Verify();
    ASSERT_EQ(result.outcome, CLotteryVerification::Outcome::Inconsistent);
    ASSERT_EQ(result.divisionChanges.size(), 1u) << Joined(result.divisionChanges);
    EXPECT_NE(result.divisionChanges[0].find("学生 学生40（s40）"), std::string::npos) << result.divisionChanges[0];
    EXPECT_NE(result.divisionChanges[0].find("现在在 " + std::string(to == "c0" ? "1班" : "2班")), std::string::npos)
        << result.divisionChanges[0];
    EXPECT_TRUE(result.inputChanges.empty());
}

TEST(LotteryVerification, ARecordThatLiesOrIsMissingIsNeverConsistent)
{
    CScheduleTask bare;
    testsupport::TempFolder empty;
    CTaskInfo info;
    info.SetTaskFolder(empty.Path().string());
    bare.SetTaskInfo(info);
    EXPECT_EQ(CLotteryVerification::Verify(bare).outcome, CLotteryVerification::Outcome::NoRecord);

    DrawnTask drawn("123456");
    const std::string folder = drawn.folder.Path().string();
    // A result digest that the draw does not give.
    CLotteryRecord forged = drawn.record;
    forged.resultDigest = std::string(64, '0');
    ASSERT_TRUE(forged.SaveRecord(folder));
    EXPECT_EQ(drawn.Verify().outcome, CLotteryVerification::Outcome::Inconsistent);
    // Another seed than the one drawn with.
    forged = drawn.record;
    forged.seed = "123457";
    ASSERT_TRUE(forged.SaveRecord(folder));
    EXPECT_EQ(drawn.Verify().outcome, CLotteryVerification::Outcome::Inconsistent);
    // An input snapshot edited to match a changed task.
    ASSERT_TRUE(drawn.record.SaveRecord(folder));
    EXPECT_EQ(drawn.Verify().outcome, CLotteryVerification::Outcome::Consistent);
    std::string input = *CFileUtil::ReadFile(CLotteryRecord::InputPathIn(folder));
    input.replace(input.find("\nclass\tc0\t1班\t"), 12, "\nclass\tc0\t9班\t");
    ASSERT_TRUE(CFileUtil::WriteFileAtomically(CLotteryRecord::InputPathIn(folder), input));
    drawn.task.GetClassInfoList().FindAs<CClassInfo>("c0")->SetName("9班");
    const auto result = drawn.Verify();
    EXPECT_EQ(result.outcome, CLotteryVerification::Outcome::Inconsistent);
    EXPECT_NE(Joined(result.otherChanges).find("输入摘要不符"), std::string::npos) << Joined(result.otherChanges);
    // Garbage.
    ASSERT_TRUE(CFileUtil::WriteFileAtomically(CLotteryRecord::PathIn(folder), "【摇号分班】\n摇号种子：1\n"));
    EXPECT_EQ(drawn.Verify().outcome, CLotteryVerification::Outcome::Unreadable);
}

TEST(LotteryRecord, ReadsBackWhatItWritesAndTakesTheReportsLastSection)
{
    CLotteryRecord record;
    record.taskName = "高一\n新生";
    record.time = "2026年12月10日 8时3分11秒";
    record.version = "1.0.0";
    record.seed = "0042195";
    record.seedDrawn = true;
    record.work = 200000;
    record.students = 3;
    record.classes = 2;
    record.placed = 3;
    record.inputDigest = std::string(64, 'a');
    record.resultDigest = std::string(64, 'b');
    record.rules = {"同名学生分开：开", "预先分班：张三 → 一班"};
    record.figures = {{"一班", 2, 1, 1, "532.5"}, {"二班", 1, 0, 1, "-"}};
    record.teacherDraw = CLotteryRecord::TeacherDraw{"987654",
                                                     "2026年12月10日 9时0分0秒",
                                                     {"李老师", "王老师"},
                                                     {{"c1", "一班", "王老师"}, {"c2", "二班", "李老师"}}};
    const std::string text = record.Text();
    EXPECT_NE(text.find("任务：高一 新生\n"), std::string::npos) << "one line";
    const auto parsed = CLotteryRecord::Parse(text);
    ASSERT_TRUE(parsed);
    CLotteryRecord expected = record;
    expected.taskName = "高一 新生";
    EXPECT_TRUE(*parsed == expected);
    EXPECT_FALSE(CLotteryRecord::Parse("摇号种子：123456\n")) << "no title";
    EXPECT_FALSE(CLotteryRecord::Parse(text + "搜索步数：5\n")) << "twice";
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_TRUE(CLotteryRecord::Parse(crlf)) << "a record an editor saved with CRLF";
    EXPECT_TRUE(CLotteryRecord::Parse("\xEF\xBB\xBF" + crlf)) << "and a byte order mark";

    const std::string report = "【分班时间】\n…\n\n【均衡优化】\n…\n";
    const std::string once = record.AddToReport(report);
    EXPECT_EQ(once, report + "\n" + text);
    record.seed = "111111";
    EXPECT_EQ(record.AddToReport(once), report + "\n" + record.Text()) << "replaced, not added";
    EXPECT_EQ(record.AddToReport(""), record.Text());
}

TEST(TeacherDraw, IsReproducibleAndChecksItsList)
{
    CScheduleTask task;
    for (int c = 0; c < 8; ++c)
        AddClass(task, "c" + std::to_string(c), std::to_string(c + 1) + "班", c)
            ->SetHeadTeacherName("老师" + std::to_string(c));
    const auto classes = CTeacherDraw::ClassesOf(task);
    const auto teachers = CTeacherDraw::TeachersOf(task);
    ASSERT_EQ(teachers.size(), 8u);
    EXPECT_EQ(CTeacherDraw::Problem(classes, teachers), "");

    const auto first = CTeacherDraw::Draw(classes, teachers, "246810");
    std::vector<std::string> shuffled = teachers;
    std::reverse(shuffled.begin(), shuffled.end());
    EXPECT_EQ(CTeacherDraw::Draw(classes, shuffled, "246810"), first) << "the list's order does not count";
    EXPECT_NE(CTeacherDraw::Draw(classes, teachers, "246811"), first);
    std::vector<std::string> got;
    for (const auto& a : first)
        got.push_back(a.teacher);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, teachers) << "every teacher once";

    CTeacherDraw::Apply(first, task);
    EXPECT_EQ(task.GetClassInfoList().FindAs<CClassInfo>(first[3].classId)->GetHeadTeacherName(), first[3].teacher);

    EXPECT_EQ(CTeacherDraw::ParseTeacherList("\xEF\xBB\xBF王芳\r\n\r\n　李强 \n赵\t六"),
              (std::vector<std::string>{"王芳", "李强", "赵 六"}))
        << "a tab inside a name would split it in the record";
    EXPECT_NE(CTeacherDraw::Problem(classes, {"甲", "乙"}).find("与班级数（8）不同"), std::string::npos);
    std::vector<std::string> twice = teachers;
    twice.back() = twice.front();
    EXPECT_NE(CTeacherDraw::Problem(classes, twice).find("重名"), std::string::npos);
    task.GetClassInfoList().FindAs<CClassInfo>("c5")->SetHeadTeacherName(" ");
    EXPECT_TRUE(CTeacherDraw::TeachersOf(task).empty()) << "a class without one";
}

TEST(TeacherDraw, AChangedHeadTeacherIsInconsistent)
{
    DrawnTask drawn("135790");
    std::vector<std::string> teachers;
    for (int c = 0; c < 6; ++c)
        teachers.push_back("老师" + std::to_string(c));
    const auto classes = CTeacherDraw::ClassesOf(drawn.task);
    CLotteryRecord::TeacherDraw draw{"555555", "", teachers, CTeacherDraw::Draw(classes, teachers, "555555")};
    drawn.record.teacherDraw = draw;
    ASSERT_TRUE(drawn.record.SaveRecord(drawn.folder.Path().string()));
    CTeacherDraw::Apply(draw.assignments, drawn.task);
    EXPECT_EQ(drawn.Verify().outcome, CLotteryVerification::Outcome::Consistent);

    drawn.task.GetClassInfoList().FindAs<CClassInfo>(draw.assignments[0].classId)->SetHeadTeacherName("别人");
    const auto result = drawn.Verify();
    ASSERT_EQ(result.outcome, CLotteryVerification::Outcome::Inconsistent);
    EXPECT_NE(Joined(result.otherChanges).find("的班主任应为 " + draw.assignments[0].teacher + "，现在是 别人"),
              std::string::npos)
        << Joined(result.otherChanges);
}

} // namespace
