#include "core/DivisionTableData.h"

#include "base/records/ClassInfo.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"
#include "TaskBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class DivisionTableTest : public ::testing::Test
{
protected:
    void AddClass(const std::string& id, const std::string& name, int index)
    {
        testsupport::AddClass(task, id, name, index);
    }

    CStudentInfo* AddStudent(const std::string& id, int index, const std::string& classId,
                             std::vector<std::string> scores = {})
    {
        return testsupport::AddStudent(task, id, "学生" + id, index, index % 2, classId, std::move(scores), "实验中学");
    }

    std::vector<std::string> Column(const CDivisionTableData& data, int column)
    {
        std::vector<std::string> texts;
        for (std::size_t row = 0; row < data.GetRowCount(); ++row)
            texts.push_back(data.CellText(row, column));
        return texts;
    }

    CScheduleTask task;
};

TEST_F(DivisionTableTest, RowsFollowStudentIndexAndFilterRenumbers)
{
    task.GetCustomSubjectArray() = {"语文"};
    AddClass("c1", "一班", 1);
    AddClass("c2", "二班", 0);
    AddStudent("a", 3, "c1");
    AddStudent("b", 1, "c2");
    AddStudent("c", 2, ""); // never placed
    AddStudent("d", 0, "c1");
    AddStudent("e", 4, "c2");

    const auto classes = CDivisionTableData::ClassesInOrder(task);
    ASSERT_EQ(classes.size(), 2u);
    EXPECT_EQ(classes[0]->GetName(), "二班");

    CDivisionTableData data(task);
    EXPECT_EQ(data.Fill(), 0);
    EXPECT_EQ(Column(data, CDivisionTableData::ColumnId), (std::vector<std::string>{"d", "b", "a", "e"}));
    EXPECT_EQ(Column(data, CDivisionTableData::ColumnNumber), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(Column(data, CDivisionTableData::ColumnClass),
              (std::vector<std::string>{"一班", "二班", "一班", "二班"}));
    EXPECT_EQ(Column(data, CDivisionTableData::ColumnSex), (std::vector<std::string>{"女", "男", "男", "女"}));

    data.Fill("c2");
    EXPECT_EQ(Column(data, CDivisionTableData::ColumnId), (std::vector<std::string>{"b", "e"}));
    EXPECT_EQ(Column(data, CDivisionTableData::ColumnNumber), (std::vector<std::string>{"1", "2"}));
}

TEST_F(DivisionTableTest, ClassIdOfMissingClassIsCleared)
{
    AddClass("c1", "一班", 0);
    AddStudent("a", 0, "c1");
    CStudentInfo* stray = AddStudent("b", 1, "deleted");

    CDivisionTableData data(task);
    // A filter on another class leaves the stray student alone.
    EXPECT_EQ(data.Fill("c1"), 0);
    EXPECT_EQ(stray->GetClassId(), "deleted");

    EXPECT_EQ(data.Fill(), 1);
    EXPECT_EQ(stray->GetClassId(), "");
    EXPECT_EQ(data.GetRowCount(), 1u);
    EXPECT_EQ(data.Fill(), 0);
}

TEST_F(DivisionTableTest, UnplacedStudentsHaveAViewOfTheirOwn)
{
    AddClass("c1", "一班", 0);
    AddStudent("a", 2, "c1");
    AddStudent("b", 1, "");
    CStudentInfo* stray = AddStudent("c", 0, "deleted");

    CDivisionTableData data(task);
    EXPECT_EQ(data.FillUnplaced(), 1);
    EXPECT_EQ(stray->GetClassId(), "");
    EXPECT_EQ(Column(data, CDivisionTableData::ColumnId), (std::vector<std::string>{"c", "b"}));
    EXPECT_EQ(Column(data, CDivisionTableData::ColumnNumber), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(Column(data, CDivisionTableData::ColumnClass), (std::vector<std::string>{"", ""}));
}

TEST_F(DivisionTableTest, TotalsAlwaysUnderTheTotalColumn)
{
    task.GetCustomSubjectArray() = {"语文", "数学", "英语"};
    AddClass("c1", "一班", 0);
    AddStudent("a", 0, "c1", {"30", "30", "30"});
    AddStudent("b", 1, "c1", {"40", "50.5"});          // one score short
    AddStudent("c", 2, "c1", {"10", "10", "10", "5"}); // one score without a column

    CDivisionTableData data(task);
    data.Fill();
    ASSERT_EQ(data.GetColumnCount(), 10);
    EXPECT_EQ(data.ColumnTitles().back(), "总分");
    EXPECT_EQ(data.ColumnTitles()[6], "语文");
    const int total = data.GetTotalColumn();
    EXPECT_EQ(Column(data, total), (std::vector<std::string>{"90", "90.5", "35"}));
    EXPECT_EQ(data.CellText(1, 8), "");
    EXPECT_EQ(data.CellText(1, 7), "50.5");
    EXPECT_EQ(data.CellText(2, 8), "10");
    EXPECT_EQ(data.CellText(0, 99), "");
    EXPECT_EQ(data.CellText(99, 1), "");
}

TEST_F(DivisionTableTest, NoSubjectsPutTheTotalInColumnSix)
{
    AddClass("c1", "一班", 0);
    AddStudent("a", 0, "c1", {"88"});
    CDivisionTableData data(task);
    data.Fill();
    ASSERT_EQ(data.GetColumnCount(), 7);
    EXPECT_EQ(data.ColumnTitles()[6], "总分");
    EXPECT_EQ(data.CellText(0, 6), "88");
}

TEST(DivisionTableFormat, TotalDropsOnlyATrailingPointZero)
{
    EXPECT_EQ(CDivisionTableData::FormatTotal(90.0f), "90");
    EXPECT_EQ(CDivisionTableData::FormatTotal(90.5f), "90.5");
    EXPECT_EQ(CDivisionTableData::FormatTotal(0.0f), "0");
    EXPECT_EQ(CDivisionTableData::FormatTotal(100.04f), "100");
    EXPECT_EQ(CDivisionTableData::FormatTotal(99.96f), "100");
}

} // namespace

// Sorting by a column: figures by value, classes in the classes' order,
// words by pinyin with numbers inside them by value; empty cells last both
// ways; equal cells keep the students' order.
TEST_F(DivisionTableTest, SortsEachKindOfColumnAndKeepsEmptyCellsLast)
{
    task.GetCustomSubjectArray() = {"语文"};
    AddClass("c1", "10班", 1); // after "2班" by name, first by the classes' order
    AddClass("c2", "2班", 2);
    testsupport::AddStudent(task, "a", "张伟", 0, 1, "c2", {"9"}, "第二小学");
    testsupport::AddStudent(task, "b", "李娜", 1, 0, "c1", {"缺考"}, "实验小学");
    testsupport::AddStudent(task, "c", "王芳", 2, 0, "c2", {"100"}, "");
    testsupport::AddStudent(task, "d", "刘洋", 3, 1, "c1", {""}, "第10小学");
    testsupport::AddStudent(task, "e", "陈静", 4, 0, "c1", {"85.5"}, "第9小学");

    CDivisionTableData data(task);
    data.Fill();
    const auto ids = [&] { return Column(data, CDivisionTableData::ColumnId); };
    using Ids = std::vector<std::string>;

    const int score = CDivisionTableData::ColumnFirstSubject;
    EXPECT_TRUE(data.SortsHighestFirst(score));
    EXPECT_TRUE(data.SortsHighestFirst(data.GetTotalColumn()));
    EXPECT_FALSE(data.SortsHighestFirst(CDivisionTableData::ColumnName));
    // 9 before 85.5 before 100 (not as text), a word after the figures,
    // the empty cell last.
    data.SortBy(score, false);
    EXPECT_EQ(ids(), (Ids{"a", "e", "c", "b", "d"}));
    // Highest first; the word and the empty cell stay last.
    data.SortBy(score, true);
    EXPECT_EQ(ids(), (Ids{"c", "e", "a", "b", "d"}));

    // The classes' own order; within a class the order before.
    data.Fill();
    data.SortBy(CDivisionTableData::ColumnClass, false);
    EXPECT_EQ(ids(), (Ids{"b", "d", "e", "a", "c"}));
    data.SortBy(CDivisionTableData::ColumnClass, true);
    EXPECT_EQ(ids(), (Ids{"a", "c", "b", "d", "e"}));

    // Names by pinyin: chen, li, liu, wang, zhang.
    data.SortBy(CDivisionTableData::ColumnName, false);
    EXPECT_EQ(ids(), (Ids{"e", "b", "d", "c", "a"}));
    // Schools: "第9" before "第10", the one without a school last either way.
    data.SortBy(CDivisionTableData::ColumnFromSchool, false);
    EXPECT_EQ(ids(), (Ids{"e", "d", "a", "b", "c"}));
    data.SortBy(CDivisionTableData::ColumnFromSchool, true);
    EXPECT_EQ(ids(), (Ids{"b", "a", "d", "e", "c"}));
    // Sex, stable: the boys (男) before the girls (女) by pinyin, each in the
    // order before.
    data.SortBy(CDivisionTableData::ColumnSex, false);
    EXPECT_EQ(ids(), (Ids{"a", "d", "b", "e", "c"}));
    // The number gives the students' order back; numbers stay with their rows.
    data.SortBy(CDivisionTableData::ColumnNumber, false);
    EXPECT_EQ(ids(), (Ids{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(Column(data, CDivisionTableData::ColumnNumber), (Ids{"1", "2", "3", "4", "5"}));

    // Narrowed rows keep their numbers.
    data.KeepRows([](const CDivisionTableData::Row& row) { return row.sex == "女"; });
    EXPECT_EQ(ids(), (Ids{"b", "c", "e"}));
    EXPECT_EQ(Column(data, CDivisionTableData::ColumnNumber), (Ids{"2", "3", "5"}));
}

TEST(DivisionTableTexts, CompareDigitRunsByValue)
{
    EXPECT_LT(CDivisionTableData::CompareTexts("2班", "10班"), 0);
    EXPECT_GT(CDivisionTableData::CompareTexts("七年级(12)班", "七年级(3)班"), 0);
    EXPECT_LT(CDivisionTableData::CompareTexts("3班", "03班"), 0); // equal value: fewer zeros first
    EXPECT_EQ(CDivisionTableData::CompareTexts("一中", "一中"), 0);
    EXPECT_LT(CDivisionTableData::CompareTexts("一中", "一中分校"), 0);
    EXPECT_LT(CDivisionTableData::CompareTexts("安", "白"), 0); // an, bai
}
