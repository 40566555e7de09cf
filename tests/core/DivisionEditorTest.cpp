// Changing a division by hand: moves, exchanges, the rule check, saving,
// undo and redo.
#include "EngineFixture.h"

#include "core/DivisionBalance.h"
#include "core/DivisionEditor.h"
#include "core/DivisionStatistics.h"
#include "base/util/FileUtil.h"

#include <map>
#include <random>

namespace {

// Where every student is: each student's class id and each class's list.
struct Placement
{
    std::map<std::string, std::string> classOf;
    std::map<std::string, std::vector<std::string>> lists;

    bool operator==(const Placement&) const = default;
};

class DivisionEditorTest : public EngineTest
{
protected:
    // Two classes of three, divided: 一班 holds a, d, e; 二班 holds b, c, f
    // (girls a, b, c; boys d, e, f).
    void SetUp() override
    {
        EngineTest::SetUp();
        AddClass("c1", 3, "一班");
        AddClass("c2", 3, "二班");
        AddStudent("a", 0, 90, "王芳");
        AddStudent("b", 0, 80, "李娜");
        AddStudent("c", 0, 70, "张敏");
        AddStudent("d", 1, 60, "刘洋");
        AddStudent("e", 1, 50, "陈强");
        AddStudent("f", 1, 40, "杨磊");
        ASSERT_EQ(Run(), 0);
        ASSERT_TRUE(task->GetTaskInfo().WriteToFile());
    }

    Placement Now() const
    {
        Placement p;
        for (const auto* s : task->GetStudentInfoList().Records<CStudentInfo>())
            p.classOf[s->GetId()] = s->GetClassId();
        for (const auto* c : task->GetClassInfoList().Records<CClassInfo>())
            p.lists[c->GetId()] = c->GetStudentArray();
        return p;
    }

    // Each class lists exactly the students whose class id names it, girls first.
    void ExpectConsistent() const
    {
        for (const auto* c : task->GetClassInfoList().Records<CClassInfo>()) {
            std::size_t holders = 0;
            for (const auto* s : task->GetStudentInfoList().Records<CStudentInfo>())
                holders += s->GetClassId() == c->GetId();
            EXPECT_EQ(c->GetStudentArray().size(), holders) << c->GetId();
            bool boySeen = false;
            for (const std::string& id : c->GetStudentArray()) {
                ASSERT_EQ(ClassOf(id), c->GetId()) << id;
                EXPECT_FALSE(boySeen && Student(id)->IsGirl()) << "girls come first in " << c->GetId();
                boySeen = boySeen || !Student(id)->IsGirl();
            }
        }
    }

    // The task holds that placement, consistently, and input.xml has it.
    void ExpectHeldAndSaved(const Placement& expected) const
    {
        EXPECT_EQ(Now(), expected);
        ExpectConsistent();
        EXPECT_EQ(OnDisk(), expected.classOf);
    }

    // The class ids as input.xml holds them now.
    std::map<std::string, std::string> OnDisk() const
    {
        CScheduleTask reopened;
        reopened.SetMessageHandler([](const std::string&) {});
        EXPECT_TRUE(reopened.Open(task->GetTaskInfo().GetTaskFile()));
        std::map<std::string, std::string> classOf;
        for (const auto* s : reopened.GetStudentInfoList().Records<CStudentInfo>())
            classOf[s->GetId()] = s->GetClassId();
        return classOf;
    }

    CDivisionChange Move(const CDivisionEditor& editor, std::vector<std::string> ids, const std::string& classId)
    {
        std::string problem;
        auto change = editor.MakeMove(ids, classId, problem);
        EXPECT_TRUE(change) << problem;
        return change.value_or(CDivisionChange(CDivisionChange::Kind::Move, {}));
    }
};

TEST_F(DivisionEditorTest, MovesAndExchangesChangeOnlyTheirStudents)
{
    ASSERT_EQ(ClassOf("a"), "c1");
    ASSERT_EQ(ClassOf("b"), "c2");
    CDivisionEditor editor(*task);
    const Placement before = Now();

    // A girl of 一班 to 二班: she goes after 二班's girls, before its boys.
    const CDivisionChange move = Move(editor, {"a"}, "c2");
    EXPECT_EQ(move.Describe(*task), "王芳 调到 二班");
    ASSERT_TRUE(editor.Apply(move));
    Placement expected = before;
    expected.classOf["a"] = "c2";
    expected.lists["c1"] = {"d", "e"};
    expected.lists["c2"] = {"b", "c", "a", "f"};
    ExpectHeldAndSaved(expected);

    // An exchange of a boy of 一班 with a girl of 二班.
    std::string problem;
    const auto exchange = editor.MakeExchange("e", "c", problem);
    ASSERT_TRUE(exchange) << problem;
    EXPECT_EQ(exchange->Describe(*task), "陈强（一班）与 张敏（二班）对调");
    ASSERT_TRUE(editor.Apply(*exchange));
    expected.classOf["e"] = "c2";
    expected.classOf["c"] = "c1";
    expected.lists["c1"] = {"c", "d"};
    expected.lists["c2"] = {"b", "a", "f", "e"};
    ExpectHeldAndSaved(expected);

    // Several at once; those already there are left out.
    const CDivisionChange several = Move(editor, {"d", "b", "c"}, "c2");
    ASSERT_EQ(several.GetSteps().size(), 2u);
    EXPECT_EQ(several.Describe(*task), "刘洋 等 2 名学生调到 二班");

    // What cannot be made.
    EXPECT_FALSE(editor.MakeMove({"b"}, "c2", problem));
    EXPECT_EQ(problem, "李娜 已在 二班。");
    EXPECT_FALSE(editor.MakeMove({"a", "b"}, "c2", problem));
    EXPECT_EQ(problem, "选中的学生都已在 二班。");
    EXPECT_FALSE(editor.MakeMove({"a"}, "c9", problem));
    EXPECT_FALSE(editor.MakeMove({"zz"}, "c1", problem));
    EXPECT_FALSE(editor.MakeExchange("a", "b", problem)); // one class
    EXPECT_EQ(problem, "只能对调两名不同班级的学生。");
    EXPECT_EQ(Now(), expected);
}

TEST_F(DivisionEditorTest, EachRuleIsNamedAndCheckingChangesNothing)
{
    AddPreset("a", "c1");
    AddGroup("g-first", {"x", "y"});
    AddGroup("g-second", {"a", "b", "e", "zz"}); // zz names nobody
    AddGroup("g-third", {"c", "f"});
    task->GetMutexStudentList().FindAs<CMutexStudent>("g-second")->SetIndex(5);
    task->GetMutexStudentList().FindAs<CMutexStudent>("g-third")->SetIndex(6);
    CDivisionEditor editor(*task);
    const Placement before = Now();
    const auto bytes = CFileUtil::ReadFile(task->GetTaskInfo().GetInputFilePath());

    // 王芳 of 一班 is pre-assigned there and shares a group with 李娜 of
    // 二班, which is full (陈强 of the group stays in 一班).
    const auto breaches = editor.Check(Move(editor, {"a"}, "c2"));
    ASSERT_EQ(breaches.size(), 3u);
    EXPECT_EQ(breaches[0].rule, CDivisionEditor::Rule::PresetClass);
    EXPECT_EQ(breaches[0].text, "王芳 预排在 一班，调整后将在 二班。");
    EXPECT_EQ(breaches[1].rule, CDivisionEditor::Rule::ExclusiveGroup);
    EXPECT_EQ(breaches[1].text, "王芳 与 李娜 同在互斥组 2（王芳，李娜，陈强），调整后将同在 二班。");
    EXPECT_EQ(breaches[2].rule, CDivisionEditor::Rule::Capacity);
    EXPECT_EQ(breaches[2].text, "二班 计划人数 3 人，调整后将有 4 人。");

    // An exchange keeps the numbers; two members moving together into one
    // class are one pair.
    std::string problem;
    const auto exchange = editor.MakeExchange("c", "d", problem);
    ASSERT_TRUE(exchange) << problem;
    EXPECT_TRUE(editor.Check(*exchange).empty());
    task->GetClassInfoList().FindAs<CClassInfo>("c1")->SetStudentCount(10);
    const auto together = editor.Check(Move(editor, {"b", "c", "f"}, "c1"));
    ASSERT_EQ(together.size(), 3u);
    EXPECT_EQ(together[0].text, "李娜 与 王芳 同在互斥组 2（王芳，李娜，陈强），调整后将同在 一班。");
    EXPECT_EQ(together[1].text, "李娜 与 陈强 同在互斥组 2（王芳，李娜，陈强），调整后将同在 一班。");
    EXPECT_EQ(together[2].text, "张敏 与 杨磊 同在互斥组 3（张敏，杨磊），调整后将同在 一班。");

    // A pre-assignment to a class that is gone binds nobody.
    AddPreset("d", "gone");
    EXPECT_TRUE(editor.Check(Move(editor, {"d"}, "c2")).size() == 1u); // only 二班 is full

    // Checking is not changing: nothing was applied or saved.
    EXPECT_EQ(Now(), before);
    EXPECT_EQ(CFileUtil::ReadFile(task->GetTaskInfo().GetInputFilePath()), bytes);
    EXPECT_FALSE(editor.CanUndo());
}

TEST_F(DivisionEditorTest, UndoAndRedoRestoreExactStatesAndSaveEach)
{
    CDivisionEditor editor(*task);
    const Placement start = Now();
    ASSERT_TRUE(editor.Apply(Move(editor, {"a", "d"}, "c2")));
    const Placement afterFirst = Now();
    std::string problem;
    ASSERT_TRUE(editor.Apply(*editor.MakeExchange("b", "e", problem)));
    const Placement afterSecond = Now();
    EXPECT_EQ(editor.UndoChange()->Describe(*task), "李娜（二班）与 陈强（一班）对调");
    EXPECT_FALSE(editor.CanRedo());

    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(Now(), afterFirst);
    EXPECT_EQ(OnDisk(), afterFirst.classOf);
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(Now(), start); // the lists too, in their old order
    EXPECT_EQ(OnDisk(), start.classOf);
    EXPECT_FALSE(editor.Undo());

    ASSERT_TRUE(editor.Redo());
    EXPECT_EQ(Now(), afterFirst);
    ASSERT_TRUE(editor.Redo());
    EXPECT_EQ(Now(), afterSecond);
    EXPECT_EQ(OnDisk(), afterSecond.classOf);
    EXPECT_FALSE(editor.Redo());

    // A new change after an undo drops what was undone.
    ASSERT_TRUE(editor.Undo());
    ASSERT_TRUE(editor.Apply(Move(editor, {"f"}, "c1")));
    EXPECT_FALSE(editor.CanRedo());
    ExpectConsistent();
}

TEST_F(DivisionEditorTest, ChangeThatCannotBeSavedIsTakenBack)
{
    CDivisionEditor editor(*task);
    ASSERT_TRUE(editor.Apply(Move(editor, {"a"}, "c2")));
    const Placement saved = Now();
    const auto bytes = CFileUtil::ReadFile(task->GetTaskInfo().GetInputFilePath());
    std::vector<std::string> messages;
    task->SetMessageHandler([&messages](const std::string& text) { messages.push_back(text); });

    // A read-only task, then a folder in which input.xml cannot be replaced.
    task->SetReadOnly(true);
    EXPECT_FALSE(editor.Apply(Move(editor, {"b"}, "c1")));
    EXPECT_TRUE(editor.SaveFailed());
    EXPECT_EQ(Now(), saved);
    EXPECT_FALSE(editor.Undo());
    EXPECT_EQ(Now(), saved);
    task->SetReadOnly(false);

    const std::string input = task->GetTaskInfo().GetInputFilePath();
    std::filesystem::remove(input);
    std::filesystem::create_directories(std::filesystem::path(input) / "keep");
    EXPECT_FALSE(editor.Apply(Move(editor, {"b"}, "c1")));
    EXPECT_TRUE(editor.SaveFailed());
    EXPECT_EQ(Now(), saved);
    EXPECT_TRUE(editor.CanUndo());
    EXPECT_FALSE(editor.CanRedo());
    EXPECT_FALSE(editor.Undo());
    EXPECT_EQ(Now(), saved);
    EXPECT_TRUE(messages.empty()) << "the caller words the failure";

    // Writable again: the undo goes through.
    std::filesystem::remove_all(input);
    ASSERT_TRUE(CFileUtil::WriteFileAtomically(input, *bytes));
    EXPECT_TRUE(editor.Undo());
    EXPECT_EQ(ClassOf("a"), "c1");
    EXPECT_FALSE(editor.SaveFailed());
}

TEST_F(DivisionEditorTest, StaleChangeIsRefused)
{
    CDivisionEditor editor(*task);
    const CDivisionChange change = Move(editor, {"a"}, "c2");
    Student("a")->SetClassId("");
    const auto bytes = CFileUtil::ReadFile(task->GetTaskInfo().GetInputFilePath());
    EXPECT_FALSE(editor.Apply(change));
    EXPECT_FALSE(editor.SaveFailed());
    EXPECT_EQ(ClassOf("a"), "");
    EXPECT_EQ(CFileUtil::ReadFile(task->GetTaskInfo().GetInputFilePath()), bytes);
}

TEST_F(DivisionEditorTest, UnplacedStudentIsPlacedAndListsOfAReadTaskAreRebuilt)
{
    AddStudent("u", 0, 55, "孙丽");
    ASSERT_TRUE(task->SaveInputData());
    const std::string file = task->GetTaskInfo().GetTaskFile();
    task = std::make_unique<CScheduleTask>();
    task->SetMessageHandler([](const std::string&) {});
    ASSERT_TRUE(task->Open(file));
    ASSERT_TRUE(Class("c1")->GetStudentArray().empty()); // lists are not stored

    CDivisionEditor editor(*task);
    ExpectConsistent();
    EXPECT_EQ(Class("c1")->GetStudentArray().size(), 3u);

    const CDivisionChange place = Move(editor, {"u"}, "c1");
    EXPECT_EQ(place.GetSteps()[0].fromClassId, "");
    const auto breaches = editor.Check(place);
    ASSERT_EQ(breaches.size(), 1u);
    EXPECT_EQ(breaches[0].text, "一班 计划人数 3 人，调整后将有 4 人。");
    ASSERT_TRUE(editor.Apply(place));
    EXPECT_EQ(ClassOf("u"), "c1");
    ExpectConsistent();
    EXPECT_EQ(OnDisk()["u"], "c1");
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(ClassOf("u"), "");
    ExpectConsistent();
}

TEST_F(DivisionEditorTest, StatisticsAfterChangesEqualAFreshComputation)
{
    task = std::make_unique<CScheduleTask>();
    task->GetTaskInfo().SetTaskFolder(folder.string());
    task->GetTaskInfo().SetTaskName("测试任务");
    task->SetMessageHandler([](const std::string&) {});
    FillLarge(2000, 40);
    ASSERT_EQ(Run(), 0);
    CDivisionEditor editor(*task);

    std::mt19937 random(7);
    const auto students = task->GetStudentInfoList().Records<CStudentInfo>();
    const auto classes = task->GetClassInfoList().Records<CClassInfo>();
    for (int round = 0; round < 30; ++round) {
        const std::string one = students[random() % students.size()]->GetId();
        const std::string other = students[random() % students.size()]->GetId();
        std::string problem;
        auto change = round % 3 == 0
                          ? editor.MakeExchange(one, other, problem)
                          : editor.MakeMove({one, other}, classes[random() % classes.size()]->GetId(), problem);
        if (change) {
            ASSERT_TRUE(editor.Apply(*change));
        }
    }
    for (int round = 0; round < 5; ++round)
        ASSERT_TRUE(editor.Undo());
    ExpectConsistent();

    CDivisionStatistics moved(*task);
    moved.Calculate();
    CScheduleTask reopened;
    reopened.SetMessageHandler([](const std::string&) {});
    ASSERT_TRUE(task->GetTaskInfo().WriteToFile());
    ASSERT_TRUE(reopened.Open(task->GetTaskInfo().GetTaskFile()));
    CDivisionStatistics fresh(reopened);
    fresh.Calculate();
    const auto movedRows = moved.GetRows();
    const auto freshRows = fresh.GetRows();
    ASSERT_EQ(movedRows.size(), freshRows.size());
    for (std::size_t i = 0; i < movedRows.size(); ++i)
        EXPECT_EQ(CDivisionStatistics::RowTexts(movedRows[i]), CDivisionStatistics::RowTexts(freshRows[i]));

    const CDivisionBalance balance = CDivisionBalance::Of(moved);
    const CDivisionBalance again = CDivisionBalance::Of(reopened);
    EXPECT_EQ(balance.GetAverageSpread(), again.GetAverageSpread());
    EXPECT_EQ(balance.GetGirlsSpread(), again.GetGirlsSpread());
}

TEST(DivisionBalanceTest, SpreadOfClassesThatHoldStudents)
{
    CScheduleTask task;
    task.GetCustomSubjectArray() = {"语文"};
    testsupport::AddClass(task, "c1", "一班", 0);
    testsupport::AddClass(task, "c2", "二班", 1);
    testsupport::AddClass(task, "c3", "三班", 2); // empty: not compared
    EXPECT_EQ(CDivisionBalance::Describe(CDivisionBalance::Of(task)), "各班均衡：还没有学生分到班级");
    testsupport::AddStudent(task, "s1", "甲", 0, 0, "c1", {"90"});
    testsupport::AddStudent(task, "s2", "乙", 1, 0, "c1", {"80"});
    testsupport::AddStudent(task, "s3", "丙", 2, 1, "c2", {"70.5"});
    const CDivisionBalance before = CDivisionBalance::Of(task);
    EXPECT_EQ(before.GetClassCount(), 2);
    EXPECT_FLOAT_EQ(before.GetAverageSpread(), 14.5f);
    EXPECT_EQ(before.GetGirlsSpread(), 2);
    EXPECT_EQ(CDivisionBalance::Describe(before), "各班均衡：总分平均分极差 14.5 分，女生人数极差 2 人");

    task.GetStudentInfoList().FindAs<CStudentInfo>("s2")->SetClassId("c2");
    const CDivisionBalance after = CDivisionBalance::Of(task);
    EXPECT_EQ(CDivisionBalance::Describe(after, &before),
              "各班均衡：总分平均分极差 14.5 → 14.8 分，女生人数极差 2 → 0 人（最近一次调整前 → 后）");
}

} // namespace
