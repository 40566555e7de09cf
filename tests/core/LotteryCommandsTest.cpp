// quillon-cli lottery, verify and draw-teachers on a task folder: the seed's
// checks, the record in the folder and the report, the same draw on a copy
// of the task elsewhere, and what a change after the draw makes of verify.
#include "CliRun.h"
#include "Cohort.h"
#include "TaskBuilder.h"
#include "TestSupport.h"

#include "base/task/ScheduleTask.h"
#include "cli/ExitCode.h"

#ifdef QUILLON_CLI_PATH

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

constexpr const char* kWork = " --work 3000";

int Code(ExitCode code)
{
    return static_cast<int>(code);
}

// The line of text that starts with label.
std::string LineOf(const std::string& text, const std::string& label)
{
    const std::size_t start = text.find("\n" + label);
    if (start == std::string::npos)
        return {};
    return text.substr(start + 1, text.find('\n', start + 1) - start - 1);
}

class LotteryCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directory(m_root.Path() / "task");
        CScheduleTask task;
        task.SetMessageHandler([](const std::string&) {});
        CTaskInfo info;
        info.SetTaskName("新生");
        info.SetTaskFolder((m_root.Path() / "task").string());
        task.SetTaskInfo(info);
        CohortOptions cohort;
        cohort.students = 120;
        cohort.classes = 4;
        cohort.rules = true; // read back from quillon-rules.xml by every command
        cohort.togetherPairs = 4;
        cohort.sameNamePairs = 4;
        FillCohort(task, cohort);
        ASSERT_TRUE(task.SaveInputData());
        ASSERT_TRUE(task.GetTaskInfo().WriteToFile());
        m_file = task.GetTaskInfo().GetTaskFile();
    }

    CliOutcome Cli(const std::string& command, const std::string& rest = {}, const std::string& file = {}) const
    {
        return RunCli(QUILLON_CLI_PATH, command + " \"" + (file.empty() ? m_file : file) + "\" " + rest,
                      m_output.Path());
    }
    std::string Folder() const { return (m_root.Path() / "task").string(); }

    // Changes the saved task through its own file.
    template <class Change>
    void ChangeTask(Change change, const std::string& file = {}) const
    {
        CScheduleTask task;
        task.SetMessageHandler([](const std::string&) {});
        ASSERT_TRUE(task.Open(file.empty() ? m_file : file));
        change(task);
        ASSERT_TRUE(task.SaveInputData());
    }

    TempFolder m_root;
    TempFolder m_output;
    std::string m_file;
};

TEST_F(LotteryCommands, RefusesASeedOfFewerThanSixDigitsOrOtherSignsAndChangesNothing)
{
    const std::string input = ReadBytes(Folder() + "/input.xml");
    for (const char* seed : {"12345", "12a456", "'12 3456'", "１２３４５６"}) {
        const CliOutcome run = Cli("lottery", std::string("--seed ") + seed);
        EXPECT_EQ(run.code, Code(ExitCode::Usage)) << seed;
        EXPECT_NE(run.err.find("摇号种子"), std::string::npos) << run.err;
    }
    EXPECT_EQ(Cli("lottery", "--seed 123456 --work 0").code, Code(ExitCode::Usage));
    EXPECT_EQ(Cli("draw-teachers", "--seed 12x456").code, Code(ExitCode::Usage));
    EXPECT_EQ(ReadBytes(Folder() + "/input.xml"), input);
    EXPECT_FALSE(fs::exists(Folder() + "/quillon-lottery.txt"));
}

TEST_F(LotteryCommands, ARunTheChecksRefuseOrAnUnreadableRulesFileLeavesTheFolderAsItWas)
{
    ChangeTask([](CScheduleTask& task) {
        for (CClassInfo* info : task.GetClassInfoList().Records<CClassInfo>())
            info->SetStudentCount(10);
    });
    const std::string input = ReadBytes(Folder() + "/input.xml");
    const CliOutcome refused = Cli("lottery", std::string("--seed 123456") + kWork);
    EXPECT_EQ(refused.code, Code(ExitCode::Refused)) << refused.err;
    EXPECT_NE(refused.out.find("超出所有班级的学生容量之和"), std::string::npos) << refused.out;
    EXPECT_EQ(ReadBytes(Folder() + "/input.xml"), input);
    EXPECT_FALSE(fs::exists(Folder() + "/quillon-lottery.txt"));
    EXPECT_FALSE(fs::exists(Folder() + "/report.txt"));

    // Rules that cannot be read would be missing from the record.
    ChangeTask([](CScheduleTask& task) {
        for (CClassInfo* info : task.GetClassInfoList().Records<CClassInfo>())
            info->SetStudentCount(40);
    });
    WriteBytes(Folder() + "/quillon-rules.xml", "<not xml");
    const CliOutcome damaged = Cli("lottery", std::string("--seed 123456") + kWork);
    EXPECT_EQ(damaged.code, Code(ExitCode::Task)) << damaged.err;
    EXPECT_NE(damaged.err.find("规则文件无法读取"), std::string::npos) << damaged.err;
    EXPECT_FALSE(fs::exists(Folder() + "/quillon-lottery.txt"));
}

TEST_F(LotteryCommands, DrawsRecordsAndVerifiesAlsoOnACopyElsewhere)
{
    const CliOutcome noRecord = Cli("verify");
    EXPECT_EQ(noRecord.code, Code(ExitCode::NoRecord)) << noRecord.err;
    EXPECT_NE(noRecord.err.find("没有摇号记录"), std::string::npos) << noRecord.err;

    const CliOutcome draw = Cli("lottery", std::string("--seed 00271828") + kWork);
    ASSERT_EQ(draw.code, Code(ExitCode::Done)) << draw.err;
    EXPECT_EQ(draw.out.rfind("【摇号分班】\n任务：新生\n", 0), 0u) << draw.out;
    EXPECT_NE(draw.out.find("\n摇号种子：00271828\n种子来源：现场输入\n搜索步数：3000\n学生人数：120\n班级数：4\n"),
              std::string::npos)
        << draw.out;
    const std::string result = LineOf(draw.out, "结果摘要（SHA-256）：");
    EXPECT_EQ(result.size(), std::string("结果摘要（SHA-256）：").size() + 64) << result;

    // The record in the folder and, in GBK, the report.
    EXPECT_EQ(ReadBytes(Folder() + "/quillon-lottery.txt"), draw.out);
    EXPECT_EQ(ReadBytes(Folder() + "/quillon-lottery-input.txt").rfind("quillon-lottery-input 1\n", 0), 0u);
    const std::string report = ReadBytes(Folder() + "/report.txt");
    EXPECT_NE(report.find(Gbk("【均衡优化】")), std::string::npos);
    EXPECT_NE(report.find(Gbk(LineOf(draw.out, "输入摘要（SHA-256）："))), std::string::npos);
    EXPECT_EQ(report.back(), '\0') << "report.txt ends as the Windows program writes it";

    const CliOutcome verified = Cli("verify");
    EXPECT_EQ(verified.code, Code(ExitCode::Done)) << verified.out << verified.err;
    EXPECT_EQ(verified.out.rfind("一致", 0), 0u) << verified.out;

    // The whole folder under another name and path: still the same draw.
    const fs::path copy = m_output.Path() / "复制的任务";
    fs::copy(Folder(), copy, fs::copy_options::recursive);
    const std::string copiedFile = (copy / fs::path(m_file).filename()).string();
    EXPECT_EQ(Cli("verify", "", copiedFile).code, Code(ExitCode::Done));
    const CliOutcome again = Cli("lottery", std::string("--seed 00271828") + kWork, copiedFile);
    ASSERT_EQ(again.code, Code(ExitCode::Done)) << again.err;
    EXPECT_EQ(LineOf(again.out, "结果摘要（SHA-256）："), result);
    EXPECT_EQ(LineOf(again.out, "输入摘要（SHA-256）："), LineOf(draw.out, "输入摘要（SHA-256）："));
    EXPECT_EQ(ReadBytes(copy / "input.xml"), ReadBytes(Folder() + "/input.xml"));

    const CliOutcome other = Cli("lottery", std::string("--seed 271828") + kWork, copiedFile);
    EXPECT_NE(LineOf(other.out, "结果摘要（SHA-256）："), result) << "the leading zeros are part of the seed";
}

TEST_F(LotteryCommands, AScoreChangedAfterTheDrawIsNamed)
{
    ASSERT_EQ(Cli("lottery", std::string("--seed 161803") + kWork).code, Code(ExitCode::Done));
    ChangeTask([](CScheduleTask& task) {
        auto* student = task.GetStudentInfoList().FindAs<CStudentInfo>("s5");
        student->SetName("林小雨");
        student->GetScoreArray()[0] = "150";
    });
    const CliOutcome verified = Cli("verify");
    EXPECT_EQ(verified.code, Code(ExitCode::Mismatch)) << verified.err;
    EXPECT_EQ(verified.out.rfind("不一致", 0), 0u) << verified.out;
    EXPECT_NE(verified.out.find("学生 林小雨（s5）：语文 "), std::string::npos) << verified.out;
    EXPECT_NE(verified.out.find("→ 150"), std::string::npos) << verified.out;
}

TEST_F(LotteryCommands, AStudentMovedOrAClassChangedAfterTheDrawIsNamed)
{
    ASSERT_EQ(Cli("lottery", std::string("--seed 141421") + kWork).code, Code(ExitCode::Done));
    std::string from;
    ChangeTask([&from](CScheduleTask& task) {
        auto* student = task.GetStudentInfoList().FindAs<CStudentInfo>("s9");
        from = student->GetClassId();
        const std::string to = from == "c0" ? "c1" : "c0";
        student->SetClassId(to);
        task.GetClassInfoList().FindAs<CClassInfo>("c3")->SetName("实验班");
    });
    const CliOutcome verified = Cli("verify");
    EXPECT_EQ(verified.code, Code(ExitCode::Mismatch));
    EXPECT_NE(verified.out.find("（s9）：摇号分在 "), std::string::npos) << verified.out;
    EXPECT_NE(verified.out.find("班级 4班（c3）：名称 4班 → 实验班"), std::string::npos) << verified.out;

    ASSERT_EQ(Cli("set", "same-sound-apart on").code, Code(ExitCode::Done));
    const CliOutcome rule = Cli("verify");
    EXPECT_EQ(rule.code, Code(ExitCode::Mismatch));
    EXPECT_NE(rule.out.find("规则 同音学生分开 关 → 开"), std::string::npos) << rule.out;
}

TEST_F(LotteryCommands, ADrawnSeedIsShownFirstAndRecorded)
{
    const CliOutcome draw = Cli("lottery", kWork);
    ASSERT_EQ(draw.code, Code(ExitCode::Done)) << draw.err;
    EXPECT_EQ(draw.out.rfind("====", 0), 0u) << "the seed comes first, large: " << draw.out.substr(0, 200);
    const std::string seed = LineOf(draw.out, "摇号种子：");
    ASSERT_EQ(seed.size(), std::string("摇号种子：").size() + 12) << seed;
    std::string spaced;
    for (char c : seed.substr(seed.size() - 12))
        spaced += std::string(" ") + c;
    EXPECT_NE(draw.out.find("  摇号种子：" + spaced + "\n"), std::string::npos) << draw.out.substr(0, 200);
    EXPECT_NE(draw.out.find("种子来源：程序随机生成"), std::string::npos);
    EXPECT_EQ(Cli("verify").code, Code(ExitCode::Done));
}

TEST_F(LotteryCommands, HeadTeacherDrawIsReproducibleRecordedAndVerified)
{
    const std::string teachers = (m_output.Path() / "班主任.txt").string();
    WriteBytes(teachers, "王芳\r\n李强\r\n\r\n赵敏\n陈静\n");
    const CliOutcome early = Cli("draw-teachers", "--seed 424242 --teachers \"" + teachers + "\"");
    EXPECT_EQ(early.code, Code(ExitCode::NoRecord)) << "after the lottery only";

    ASSERT_EQ(Cli("lottery", std::string("--seed 112358") + kWork).code, Code(ExitCode::Done));
    EXPECT_EQ(Cli("draw-teachers", "--seed 424242").code, Code(ExitCode::Usage)) << "no teacher in the classes";
    WriteBytes(m_output.Path() / "three.txt", "王芳\n李强\n赵敏\n");
    EXPECT_EQ(
        Cli("draw-teachers", "--seed 424242 --teachers \"" + (m_output.Path() / "three.txt").string() + "\"").code,
        Code(ExitCode::Refused));

    const fs::path copy = m_output.Path() / "copy";
    fs::copy(Folder(), copy, fs::copy_options::recursive);
    const CliOutcome drawn = Cli("draw-teachers", "--seed 424242 --teachers \"" + teachers + "\"");
    ASSERT_EQ(drawn.code, Code(ExitCode::Done)) << drawn.err;
    EXPECT_EQ(std::count(drawn.out.begin(), drawn.out.end(), '\n'), 4) << drawn.out;
    const CliOutcome inCopy = Cli("draw-teachers", "--seed 424242 --teachers \"" + teachers + "\"",
                                  (copy / fs::path(m_file).filename()).string());
    EXPECT_EQ(inCopy.out, drawn.out) << "the same seed, the same teachers";

    const std::string record = ReadBytes(Folder() + "/quillon-lottery.txt");
    EXPECT_NE(record.find("\n班主任抽签种子：424242\n"), std::string::npos) << record;
    EXPECT_NE(record.find("\n班主任名单：李强\t王芳\t赵敏\t陈静\n"), std::string::npos) << record;
    EXPECT_NE(ReadBytes(Folder() + "/report.txt").find(Gbk("班主任抽签种子：424242")), std::string::npos);
    EXPECT_EQ(Cli("verify").code, Code(ExitCode::Done));

    // Teachers now in the classes: a second draw takes them from there.
    EXPECT_EQ(Cli("draw-teachers", "--seed 424242").out, drawn.out);
    ChangeTask(
        [](CScheduleTask& task) { task.GetClassInfoList().FindAs<CClassInfo>("c0")->SetHeadTeacherName("别人"); });
    const CliOutcome changed = Cli("verify");
    EXPECT_EQ(changed.code, Code(ExitCode::Mismatch));
    EXPECT_NE(changed.out.find("现在是 别人"), std::string::npos) << changed.out;
}

} // namespace

#endif
