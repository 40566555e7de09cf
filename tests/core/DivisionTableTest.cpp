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
