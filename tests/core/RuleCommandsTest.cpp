// quillon-cli set, settings, together, add-together and remove-together
// keep the division rules in the task's own rules file, beside input.xml.
#include "CliRun.h"
#include "TaskBuilder.h"
#include "TestSupport.h"

#include "base/task/ScheduleTask.h"
#include "cli/ExitCode.h"

#ifdef QUILLON_CLI_PATH

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

class RuleCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CTaskInfo info;
        info.SetTaskName("任务");
        info.SetTaskFolder((m_root.Path() / "task").string());
        fs::create_directory(m_root.Path() / "task");
        m_task.SetTaskInfo(info);
        AddClass(m_task, "c1", "一班", 0, 40);
        AddStudent(m_task, "s1", "张三", 0, 1);
        AddStudent(m_task, "s2", "李四", 1, 0);
        AddStudent(m_task, "s3", "王五", 2, 1);
        ASSERT_TRUE(m_task.SaveInputData());
        ASSERT_TRUE(m_task.GetTaskInfo().WriteToFile());
        m_file = "\"" + m_task.GetTaskInfo().GetTaskFile() + "\"";
        m_input = ReadBytes(m_task.GetTaskInfo().GetInputFilePath());
    }

    CliOutcome Cli(const std::string& arguments) const
    {
        return RunCli(QUILLON_CLI_PATH, arguments + " " + m_file, m_output.Path());
    }
    CliOutcome Cli(const std::string& command, const std::string& rest) const
    {
        return RunCli(QUILLON_CLI_PATH, command + " " + m_file + " " + rest, m_output.Path());
    }
    std::string RulesFile() const { return m_task.GetTaskInfo().GetRulesFilePath(); }

    TempFolder m_root;
    TempFolder m_output;
    CScheduleTask m_task;
    std::string m_file;
    std::string m_input;
};

TEST_F(RuleCommands, SettingsAreSwitchedAndListedAndInputXmlKeepsItsBytes)
{
    EXPECT_EQ(Cli("settings").out, "同名学生分开\t关\n同音学生分开\t关\n分数段均衡\t关\n同班学生组\t0\n");
    EXPECT_FALSE(fs::exists(RulesFile())) << "reading writes nothing";

    EXPECT_EQ(Cli("set", "same-name-apart on").out, "同名学生分开：开\n");
    EXPECT_EQ(Cli("set", "same-sound-apart 开").out, "同音学生分开：开\n");
    EXPECT_EQ(Cli("set", "score-bands on").out, "分数段均衡：10,30,60\n");
    EXPECT_EQ(Cli("set", "score-bands \"5，25\"").out, "分数段均衡：5,25\n");
    EXPECT_EQ(Cli("settings").out, "同名学生分开\t开\n同音学生分开\t开\n分数段均衡\t5,25\n同班学生组\t0\n");
    EXPECT_TRUE(fs::exists(RulesFile()));
    EXPECT_EQ(ReadBytes(m_task.GetTaskInfo().GetInputFilePath()), m_input)
        << "the Windows program's file has no place for them and is written as it was";

    EXPECT_EQ(Cli("set", "score-bands 30,10").code, static_cast<int>(ExitCode::Usage));
    EXPECT_EQ(Cli("set", "same-name-apart maybe").code, static_cast<int>(ExitCode::Usage));
    EXPECT_EQ(Cli("set", "seats 40").code, static_cast<int>(ExitCode::Usage));
    EXPECT_EQ(Cli("set", "score-bands off").out, "分数段均衡：关\n");
}

TEST_F(RuleCommands, OneStudentFoundIsTooFewWhateverElseWasTyped)
{
    // One student and a name without one: refused as too few, not a crash.
    const CliOutcome oneAndUnknown = Cli("add-together", "\"张三，赵六\"");
    EXPECT_EQ(oneAndUnknown.code, static_cast<int>(ExitCode::TooFewMembers)) << oneAndUnknown.err;
    EXPECT_NE(oneAndUnknown.err.find("同班学生组至少应包含两名同学信息"), std::string::npos) << oneAndUnknown.err;
    EXPECT_NE(oneAndUnknown.err.find("赵六"), std::string::npos) << "the name not found is named";
    EXPECT_EQ(oneAndUnknown.out, "");

    const CliOutcome twiceAndUnknown = Cli("add-together", "\"李四，赵六，李四\"");
    EXPECT_EQ(twiceAndUnknown.code, static_cast<int>(ExitCode::TooFewMembers)) << twiceAndUnknown.err;

    EXPECT_FALSE(fs::exists(RulesFile()));
    EXPECT_EQ(ReadBytes(m_task.GetTaskInfo().GetInputFilePath()), m_input);
}

TEST_F(RuleCommands, ADamagedRulesFileRefusesEveryChangeAndKeepsItsBytes)
{
    const std::string damaged = "<QuillonRules version=\"1\"><Together><Group id=\"g\"><Student id=\"s1\"/>";
    WriteBytes(RulesFile(), damaged);
    for (const char* change : {"add-together \"张三，李四\"", "remove-together 1", "set same-name-apart on",
                               "set score-bands 10,30,60"}) {
        const std::string command(change);
        const std::size_t space = command.find(' ');
        const CliOutcome outcome = Cli(command.substr(0, space), command.substr(space + 1));
        EXPECT_EQ(outcome.code, static_cast<int>(ExitCode::NotSaved)) << change << "\n" << outcome.err;
        EXPECT_NE(outcome.err.find("无法读取"), std::string::npos) << change << "\n" << outcome.err;
        EXPECT_EQ(outcome.out, "") << change << ": nothing is said to be done";
        EXPECT_EQ(ReadBytes(RulesFile()), damaged) << change;
        EXPECT_EQ(ReadBytes(m_task.GetTaskInfo().GetInputFilePath()), m_input) << change;
    }
    // Reading still works and says what it could read.
    EXPECT_EQ(Cli("together").code, 0);
}

TEST_F(RuleCommands, TogetherGroupsAreAddedListedAndRemoved)
{
    const CliOutcome added = Cli("add-together", "\"张三，李四，赵六\"");
    ASSERT_EQ(added.code, 0) << added.err;
    EXPECT_EQ(added.out, "已添加同班学生组 1：张三，李四\n");
    EXPECT_NE(added.err.find("赵六"), std::string::npos) << "a name without a student is named";
    EXPECT_EQ(Cli("add-together", "\"王五，王五\"").code, static_cast<int>(ExitCode::TooFewMembers));
    EXPECT_EQ(Cli("add-together", "\"赵六，钱七\"").code, static_cast<int>(ExitCode::NoStudent));
    ASSERT_EQ(Cli("add-together", "\"王五，张三\"").code, 0);
    EXPECT_EQ(Cli("together").out, "序号\t同班学生列表\n1\t张三，李四\n2\t王五，张三\n");

    CScheduleTask reopened;
    ASSERT_TRUE(reopened.Open(m_task.GetTaskInfo().GetTaskFile()));
    ASSERT_EQ(reopened.GetDivisionRules().TogetherGroups().size(), 2u);
    EXPECT_EQ(reopened.GetDivisionRules().TogetherGroups()[1].studentIds, (std::vector<std::string>{"s3", "s1"}));

    EXPECT_EQ(Cli("remove-together", "3").code, static_cast<int>(ExitCode::Usage));
    EXPECT_EQ(Cli("remove-together", "1").out, "已删除同班学生组 1：张三，李四\n");
    EXPECT_EQ(Cli("together").out, "序号\t同班学生列表\n1\t王五，张三\n");
}

// The result commands show the condition columns: the table a column per
// condition, the statistics a column per category, the chart a category.
TEST_F(RuleCommands, TheResultsShowTheConditionColumnsAndTheirCategories)
{
    EXPECT_EQ(Cli("chart", "\"" + (m_output.Path() / "a.png").string() + "\" --kind category").code,
              static_cast<int>(ExitCode::NotFound))
        << "a task without them has no category to draw";
    for (const char* id : {"s1", "s2", "s3"})
        m_task.GetStudentInfoList().FindAs<CStudentInfo>(id)->SetClassId("c1");
    m_task.GetDivisionRules().SetConditionNames({"#住校", "#特长"});
    m_task.GetDivisionRules().SetConditions("s1", {"是", "美术"});
    m_task.GetDivisionRules().SetConditions("s3", {"否", ""});
    ASSERT_TRUE(m_task.SaveInputData());

    const CliOutcome table = Cli("table");
    ASSERT_EQ(table.code, 0) << table.err;
    EXPECT_EQ(table.out, "序号\t姓名\t班级\t性别\t原学校\t总分\t#住校\t#特长\n"
                         "1\t张三\t一班\t男\t第一中学\t0\t是\t美术\n"
                         "2\t李四\t一班\t女\t第一中学\t0\t\t\n"
                         "3\t王五\t一班\t男\t第一中学\t0\t否\t\n");
    const CliOutcome stats = Cli("stats");
    ASSERT_EQ(stats.code, 0) << stats.err;
    EXPECT_EQ(stats.out, "班级\t人数\t女生\t男生\t总分平均分\t#住校:否\t#住校:是\t#特长:美术\n"
                         "一班\t3\t1\t2\t0.0\t1\t1\t1\n"
                         "全校\t3\t1\t2\t0.0\t1\t1\t1\n");
    const CliOutcome unknown =
        Cli("chart", "\"" + (m_output.Path() / "a.png").string() + "\" --category \"#住校:也许\"");
    EXPECT_EQ(unknown.code, static_cast<int>(ExitCode::NotFound));
    EXPECT_NE(unknown.err.find("#住校:否、#住校:是、#特长:美术"), std::string::npos) << unknown.err;
}

} // namespace

#endif
