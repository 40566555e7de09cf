#include "EngineFixture.h"

#include "core/BalanceOptimizer.h"
#include "core/DivisionCategories.h"
#include "core/DivisionEditor.h"

#include <algorithm>
#include <set>

namespace {

class DivisionRulesEngineTest : public EngineTest
{
protected:
    CDivisionRules& Rules() { return task->GetDivisionRules(); }

    void Together(const std::vector<std::string>& ids)
    {
        Rules().TogetherGroups().push_back({"t" + std::to_string(Rules().TogetherGroups().size()), ids});
    }

    // Three classes of ten, thirty students of falling scores, the girls
    // every third.
    void Fill()
    {
        for (const char* id : {"c1", "c2", "c3"})
            AddClass(id, 10);
        for (int i = 0; i < 27; ++i)
            AddStudent("s" + std::to_string(i), i % 3 == 0 ? 0 : 1, 600 - i * 7);
    }

    bool SameClass(const std::vector<std::string>& ids) const
    {
        return std::all_of(ids.begin(), ids.end(),
                           [&](const std::string& id) { return ClassOf(id) == ClassOf(ids[0]); })
               && !ClassOf(ids[0]).empty();
    }

    bool AllApart(const std::vector<std::string>& ids) const
    {
        std::set<std::string> classes;
        for (const std::string& id : ids)
            classes.insert(ClassOf(id));
        return classes.size() == ids.size();
    }
};

TEST_F(DivisionRulesEngineTest, TogetherGroupsShareAClassAndFollowAPreAssignedMember)
{
    Fill();
    // The best three, who would otherwise go to three classes, and two
    // groups sharing s10, which merge into one.
    Together({"s0", "s1", "s2"});
    Together({"s9", "s10"});
    Together({"s10", "s20"});
    Together({"s25", "s26"});
    AddPreset("s26", "c3");
    for (const unsigned long long seed : {0ull, 7ull, 99ull}) {
        ASSERT_EQ(Run(seed), DIVISION_RESULT_DONE) << seed;
        EXPECT_TRUE(SameClass({"s0", "s1", "s2"})) << seed;
        EXPECT_TRUE(SameClass({"s9", "s10", "s20"})) << seed;
        EXPECT_TRUE(SameClass({"s25", "s26"})) << seed;
        EXPECT_EQ(ClassOf("s25"), "c3") << seed;
        for (const char* id : {"c1", "c2", "c3"})
            EXPECT_EQ(Class(id)->GetStudentArray().size(), 9u) << "sizes stay even, seed " << seed;
    }
}

TEST_F(DivisionRulesEngineTest, ChecksRefuseGroupsThatCannotBeKeptNamingThem)
{
    Fill();
    std::vector<std::string> eleven;
    for (int i = 0; i < 11; ++i)
        eleven.push_back("s" + std::to_string(i));
    Together(eleven);
    Together({"s20", "s21"});
    AddPreset("s20", "c1");
    AddPreset("s21", "c2");
    Together({"s22", "s23", "s24"});
    AddGroup("g1", {"s22", "s24"});

    EXPECT_EQ(Run(), DIVISION_RESULT_REFUSED);
    const std::vector<std::string>& errors = Errors();
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_NE(errors[0].find("人数 11 超出了最大班级的计划人数 10"), std::string::npos) << errors[0];
    EXPECT_NE(errors[1].find("同班学生组（s20，s21）中的学生预分在不同的班级：s20（c1班），s21（c2班）"),
              std::string::npos)
        << errors[1];
    EXPECT_NE(errors[2].find("有共同的学生 s22，s24"), std::string::npos) << errors[2];
    EXPECT_TRUE(ClassOf("s0").empty()) << "nothing was divided";
}

TEST_F(DivisionRulesEngineTest, SameNamesGoApartWhereTheClassesAllowAndTheRestAreReported)
{
    Fill();
    for (const char* id : {"s0", "s1", "s3"})
        Student(id)->SetName("张伟");
    Student("s4")->SetName(" 张伟 "); // blanks around a name do not make it another
    Student("s6")->SetName("章伟");
    Student("s7")->SetName("李娜");
    Student("s8")->SetName("李娜");
    Rules().SetSameNameApart(true);
    ASSERT_EQ(Run(5), DIVISION_RESULT_DONE);
    EXPECT_TRUE(AllApart({"s7", "s8"}));
    // Four of one name in three classes: one pair shares a class and is said.
    std::set<std::string> classes;
    for (const char* id : {"s0", "s1", "s3", "s4"})
        classes.insert(ClassOf(id));
    EXPECT_EQ(classes.size(), 3u);
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0].rfind("同名学生 张伟，", 0), 0u) << Errors()[0];
    EXPECT_NE(Errors()[0].find("未能分在不同的班级"), std::string::npos);

    // By sound, 章伟 joins them: it is told apart by the front end's key.
    task->SetSoundKey([](const std::string& name) { return name == "章伟" ? std::string("张伟") : name; });
    Rules().SetSameNameApart(false);
    Rules().SetSameSoundApart(true);
    Student("s4")->SetName("王芳");
    ASSERT_EQ(Run(5), DIVISION_RESULT_DONE);
    classes.clear();
    for (const char* id : {"s0", "s1", "s3", "s6"})
        classes.insert(ClassOf(id));
    EXPECT_EQ(classes.size(), 3u);
    ASSERT_FALSE(Errors().empty());
    EXPECT_EQ(Errors().back().rfind("同音学生 ", 0), 0u) << Errors().back();
}

TEST_F(DivisionRulesEngineTest, TheBalanceKeepsEveryRuleTheDivisionKept)
{
    for (int c = 0; c < 4; ++c)
        AddClass("c" + std::to_string(c), 30);
    for (int i = 0; i < 110; ++i)
        AddStudent("s" + std::to_string(i), i % 2, 300 + (i * 37) % 400);
    Together({"s3", "s50", "s90"});
    Together({"s7", "s8"});
    for (const char* id : {"s11", "s12", "s13"})
        Student(id)->SetName("刘洋");
    Rules().SetSameNameApart(true);
    ASSERT_EQ(Run(11), DIVISION_RESULT_DONE);
    ASSERT_TRUE(AllApart({"s11", "s12", "s13"}));

    CBalanceOptimizer optimizer(*task);
    CBalanceOptions options;
    options.iterations = 3000;
    optimizer.SetOptions(options);
    const CBalanceResult& result = optimizer.Run();
    EXPECT_GT(result.movedStudents, 0);
    EXPECT_TRUE(SameClass({"s3", "s50", "s90"}));
    EXPECT_TRUE(SameClass({"s7", "s8"}));
    EXPECT_TRUE(AllApart({"s11", "s12", "s13"}));
}

TEST_F(DivisionRulesEngineTest, MovesByHandSayWhichRuleTheyBreak)
{
    Fill();
    Together({"s0", "s1"});
    Student("s2")->SetName("张伟");
    Student("s5")->SetName("张伟");
    Rules().SetSameNameApart(true);
    ASSERT_EQ(Run(), DIVISION_RESULT_DONE);
    CDivisionEditor editor(*task);
    const std::string other = ClassOf("s0") == "c1" ? "c2" : "c1";
    std::string problem;
    auto move = editor.MakeMove({"s1"}, other, problem);
    ASSERT_TRUE(move) << problem;
    auto breaches = editor.Check(*move);
    ASSERT_EQ(breaches.size(), 1u);
    EXPECT_EQ(breaches[0].rule, CDivisionEditor::Rule::TogetherGroup);
    EXPECT_NE(breaches[0].text.find("同班学生组（s0，s1）调整后将不在同一班级"), std::string::npos) << breaches[0].text;

    // Moving both keeps the group; it breaks nothing of the rules.
    move = editor.MakeMove({"s0", "s1"}, other, problem);
    ASSERT_TRUE(move);
    for (const CDivisionEditor::Breach& breach : editor.Check(*move))
        EXPECT_EQ(breach.rule, CDivisionEditor::Rule::Capacity);

    ASSERT_NE(ClassOf("s2"), ClassOf("s5"));
    move = editor.MakeMove({"s2"}, ClassOf("s5"), problem);
    ASSERT_TRUE(move);
    breaches = editor.Check(*move);
    ASSERT_FALSE(breaches.empty());
    EXPECT_EQ(breaches[0].rule, CDivisionEditor::Rule::SameName);
    EXPECT_NE(breaches[0].text.find("张伟 与 张伟 同名，调整后将同在"), std::string::npos) << breaches[0].text;

    // An exchange of the two is no breach: they stay apart.
    auto exchange = editor.MakeExchange("s2", "s5", problem);
    ASSERT_TRUE(exchange);
    for (const CDivisionEditor::Breach& breach : editor.Check(*exchange))
        EXPECT_NE(breach.rule, CDivisionEditor::Rule::SameName);
}

TEST_F(DivisionRulesEngineTest, CategoriesAreConditionValuesAndScoreBandsByRank)
{
    EXPECT_EQ(CDivisionCategories::BandOfRanks(10, {10, 30, 60}), (std::vector<int>{0, 1, 1, 2, 2, 2, 3, 3, 3, 3}));
    EXPECT_EQ(CDivisionCategories::BandOfRanks(3, {50}), (std::vector<int>{0, 0, 1})) << "1.5 rounds to 2";
    EXPECT_EQ(CDivisionCategories::BandNames({10, 30, 60}),
              (std::vector<std::string>{"前10%", "10%-30%", "30%-60%", "后40%"}));

    Fill();
    EXPECT_TRUE(CDivisionCategories(*task).IsEmpty());
    Rules().SetConditionNames({"#住校"});
    Rules().SetConditions("s0", {"是"});
    Rules().SetConditions("s1", {"否"});
    Rules().SetConditions("s2", {"是"});
    Rules().SetScoreBands({10, 50});
    const CDivisionCategories categories(*task);
    EXPECT_EQ(categories.ColumnTitles(),
              (std::vector<std::string>{"#住校:否", "#住校:是", "分数段:前10%", "分数段:10%-50%", "分数段:后50%"}));
    // 27 students, best first s0, s1, …: three in the top tenth.
    EXPECT_EQ(categories.CategoryOf("s2", 1), 0);
    EXPECT_EQ(categories.CategoryOf("s3", 1), 1);
    EXPECT_EQ(categories.CategoryOf("s3", 0), -1);
    EXPECT_EQ(categories.Count({"s0", "s1", "s2", "s3", "s26"}), (std::vector<int>{1, 2, 3, 1, 1}));
}

} // namespace
