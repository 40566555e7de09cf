// The planned size of a class as the limit of a change by hand: filling the
// last free place is allowed, going beyond it is a breach.
#include "EngineFixture.h"

#include "core/DivisionEditor.h"

#include <string>
#include <vector>

namespace {

class DivisionEditorCapacityTest : public EngineTest
{
protected:
    // 一班 planned for 3 and 二班 for 4, three students each after the run.
    void SetUp() override
    {
        EngineTest::SetUp();
        AddClass("c1", 3, "一班");
        AddClass("c2", 4, "二班");
        for (int i = 0; i < 6; ++i)
            AddStudent("s" + std::to_string(i), i % 2, 90 - 5 * i, "学生" + std::to_string(i));
        ASSERT_EQ(Run(), 0);
        ASSERT_EQ(Class("c1")->GetStudentArray().size(), 3u);
        ASSERT_EQ(Class("c2")->GetStudentArray().size(), 3u);
    }

    std::vector<CDivisionEditor::Breach> CheckMove(const std::vector<std::string>& ids, const std::string& classId)
    {
        CDivisionEditor editor(*task);
        std::string problem;
        const auto change = editor.MakeMove(ids, classId, problem);
        EXPECT_TRUE(change) << problem;
        return change ? editor.Check(*change) : std::vector<CDivisionEditor::Breach>{};
    }

    std::vector<std::string> InClass(const std::string& classId, std::size_t count) const
    {
        const auto& ids = Class(classId)->GetStudentArray();
        return std::vector<std::string>(ids.begin(), ids.begin() + static_cast<std::ptrdiff_t>(count));
    }
};

TEST_F(DivisionEditorCapacityTest, TheLastFreePlaceMayBeFilledButNotExceeded)
{
    // One free place in 二班: one student fits exactly.
    EXPECT_TRUE(CheckMove(InClass("c1", 1), "c2").empty());

    // Two do not.
    const auto two = CheckMove(InClass("c1", 2), "c2");
    ASSERT_EQ(two.size(), 1u);
    EXPECT_EQ(two[0].rule, CDivisionEditor::Rule::Capacity);
    EXPECT_EQ(two[0].text, "二班 计划人数 4 人，调整后将有 5 人。");

    // A full class takes nobody more; with the place freed it takes one.
    const auto full = CheckMove(InClass("c2", 1), "c1");
    ASSERT_EQ(full.size(), 1u);
    EXPECT_EQ(full[0].text, "一班 计划人数 3 人，调整后将有 4 人。");
    Class("c1")->SetStudentCount(4);
    EXPECT_TRUE(CheckMove(InClass("c2", 1), "c1").empty());
}

} // namespace
