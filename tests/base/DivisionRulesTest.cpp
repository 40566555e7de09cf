#include "TestSupport.h"

#include "base/records/DivisionRules.h"
#include "base/task/DivisionRulesFile.h"
#include "base/task/ScheduleTask.h"
#include "base/task/TaskBackup.h"

#include <filesystem>

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

CDivisionRules SampleRules()
{
    CDivisionRules rules;
    rules.TogetherGroups().push_back({"g1", {"s1", "s2"}});
    rules.TogetherGroups().push_back({"g2", {"s3", "gone"}});
    rules.SetSameNameApart(true);
    rules.SetScoreBands({10, 30, 60});
    rules.SetConditionNames({"#住校", "#特长"});
    rules.SetConditions("s1", {"是", "美术"});
    rules.SetConditions("s2", {"否", ""});
    rules.SetConditions("gone", {"是", "体育 & <舞蹈>"});
    return rules;
}

TEST(DivisionRulesTest, ScoreBandsAreReadOnlyAsAscendingPercentLimits)
{
    using Limits = std::vector<int>;
    EXPECT_EQ(CDivisionRules::ParseScoreBands("10,30,60"), Limits({10, 30, 60}));
    EXPECT_EQ(CDivisionRules::ParseScoreBands(" 10， 30 ,60 "), Limits({10, 30, 60}));
    EXPECT_EQ(CDivisionRules::ParseScoreBands("50"), Limits({50}));
    for (const char* bad : {"", "30,10", "10,10", "0,50", "100", "10,,20", "a", "10,", "-5", "1.5", "123"})
        EXPECT_FALSE(CDivisionRules::ParseScoreBands(bad)) << bad;
    EXPECT_EQ(CDivisionRules::ScoreBandsText({10, 30, 60}), "10,30,60");
}

TEST(DivisionRulesTest, ConditionValuesFollowTheirColumnAndStaleStudentsGo)
{
    CDivisionRules rules = SampleRules();
    EXPECT_EQ(rules.ConditionCategories(0), (std::vector<std::string>{"否", "是"}));
    EXPECT_EQ(rules.ConditionCategories(1), (std::vector<std::string>{"体育 & <舞蹈>", "美术"}));

    rules.SetConditionNames({"#特长", "#班干部"});
    EXPECT_EQ(rules.GetConditions("s1"), (std::vector<std::string>{"美术", ""}));
    EXPECT_EQ(rules.GetConditions("s2"), (std::vector<std::string>{"", ""})) << "only 住校 was set";
    EXPECT_EQ(rules.GetConditions("nobody"), (std::vector<std::string>{"", ""}));

    EXPECT_TRUE(rules.DropStale([](const std::string& id) { return id != "gone"; }));
    ASSERT_EQ(rules.TogetherGroups().size(), 1u) << "a group left with one member goes";
    EXPECT_EQ(rules.TogetherGroups()[0].id, "g1");
    EXPECT_EQ(rules.ConditionCategories(0), (std::vector<std::string>{"美术"}));
    EXPECT_FALSE(rules.DropStale([](const std::string&) { return true; }));

    CDivisionRules none;
    EXPECT_TRUE(none.IsEmpty());
    none.SetSameSoundApart(true);
    EXPECT_FALSE(none.IsEmpty());
}

TEST(DivisionRulesTest, FileKeepsEveryRuleAndWritesTheSameBytesForTheSameRules)
{
    const CDivisionRules rules = SampleRules();
    const std::string bytes = CDivisionRulesFile::Write(rules);
    EXPECT_NE(bytes.find("encoding=\"UTF-8\""), std::string::npos);
    EXPECT_NE(bytes.find("住校"), std::string::npos) << "UTF-8, no references";

    CDivisionRules read;
    ASSERT_EQ(CDivisionRulesFile::ReadBytes(bytes, read), CDivisionRulesFile::ReadResult::Loaded);
    EXPECT_EQ(CDivisionRulesFile::Write(read), bytes);
    EXPECT_TRUE(read.GetSameNameApart());
    EXPECT_FALSE(read.GetSameSoundApart());
    EXPECT_EQ(read.GetScoreBands(), (std::vector<int>{10, 30, 60}));
    ASSERT_EQ(read.TogetherGroups().size(), 2u);
    EXPECT_EQ(read.TogetherGroups()[1].studentIds, (std::vector<std::string>{"s3", "gone"}));
    EXPECT_EQ(read.GetConditions("gone"), (std::vector<std::string>{"是", "体育 & <舞蹈>"}));

    CDivisionRules damaged = SampleRules();
    EXPECT_EQ(CDivisionRulesFile::ReadBytes("<QuillonRules><Settings", damaged),
              CDivisionRulesFile::ReadResult::Damaged);
    EXPECT_TRUE(damaged.IsEmpty());
    EXPECT_EQ(CDivisionRulesFile::ReadBytes("<?xml version=\"1.0\"?><Other/>", damaged),
              CDivisionRulesFile::ReadResult::Damaged);
}

class DivisionRulesTaskTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteBytes(dir.File("t.qz"), "[Task Info]\r\nName=t\r\n");
        Open();
    }

    void Open()
    {
        task = std::make_unique<CScheduleTask>();
        task->SetMessageHandler([this](const std::string& text) { messages.push_back(text); });
        ASSERT_TRUE(task->Open(dir.File("t.qz")));
    }

    TempFolder dir;
    std::unique_ptr<CScheduleTask> task;
    std::vector<std::string> messages;
};

TEST_F(DivisionRulesTaskTest, ATaskWithoutRulesWritesNoFileOfOurs)
{
    ASSERT_TRUE(task->SaveInputData());
    EXPECT_TRUE(fs::exists(dir.File("input.xml")));
    EXPECT_FALSE(fs::exists(dir.File("quillon-rules.xml")));

    task->GetDivisionRules().SetSameSoundApart(true);
    ASSERT_TRUE(task->SaveInputDataWithReport());
    EXPECT_TRUE(fs::exists(dir.File("quillon-rules.xml")));
    Open();
    EXPECT_TRUE(task->GetDivisionRules().GetSameSoundApart());

    // Switched off again, the file stays and says so.
    task->GetDivisionRules().SetSameSoundApart(false);
    ASSERT_TRUE(task->SaveInputData());
    Open();
    EXPECT_TRUE(task->GetDivisionRules().IsEmpty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(DivisionRulesTaskTest, ADamagedRulesFileIsSaidAndLeftAsItIs)
{
    const std::string damaged = "<QuillonRules><Together><Group id=\"g\">";
    WriteBytes(dir.File("quillon-rules.xml"), damaged);
    Open();
    EXPECT_TRUE(task->IsRulesFileDamaged());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("无法读取"), std::string::npos);
    ASSERT_TRUE(task->SaveInputData());
    EXPECT_EQ(ReadBytes(dir.File("quillon-rules.xml")), damaged);
}

TEST_F(DivisionRulesTaskTest, BackupsTakeTheRulesAlong)
{
    task->GetDivisionRules() = SampleRules();
    ASSERT_TRUE(task->SaveOutputData());
    ASSERT_TRUE(task->SaveInputData());
    const std::string copy = dir.File("copy");
    fs::create_directory(copy);
    ASSERT_TRUE(CTaskBackup::CopyTask(task->GetTaskInfo(), copy, "t.qz"));
    EXPECT_EQ(ReadBytes(copy + "/quillon-rules.xml"), ReadBytes(dir.File("quillon-rules.xml")));
    bool dayCopy = false;
    for (const auto& day : fs::directory_iterator(dir.File("Backup")))
        dayCopy = dayCopy || fs::exists(day.path() / "quillon-rules.xml");
    EXPECT_TRUE(dayCopy);
}

} // namespace
