#include "base/task/ScheduleTask.h"
#include "logic/editing/StudentTable.h"
#include "TaskBuilder.h"

#include <gtest/gtest.h>

namespace {

using Cells = std::vector<std::string>;

RowRequest Request(RowMode mode)
{
    RowRequest request;
    request.quiet = true;
    request.mode = mode;
    return request;
}

// An import into the table: the header, then the records.
void Import(CStudentTable& table, const Cells& header, const std::vector<Cells>& records)
{
    RowRequest request = Request(RowMode::Header);
    ASSERT_EQ(table.SubmitRow(request, header), 0) << request.message;
    for (const Cells& record : records) {
        request = Request(RowMode::Add);
        ASSERT_EQ(table.SubmitRow(request, record), 0);
        EXPECT_TRUE(request.accepted);
    }
}

const CStudentInfo* Student(const CScheduleTask& task, int index)
{
    for (CStudentInfo* student : task.GetStudentInfoList().Records<CStudentInfo>()) {
        if (student->GetIndex() == index)
            return student;
    }
    return nullptr;
}

} // namespace

TEST(StudentTableTest, HeaderTitlesMapTheColumns)
{
    CStudentTable table;
    // A star with a space, a star alone, the sex title with a space, an
    // unknown column, letter case, and a later duplicate that wins.
    Import(table, {"学号", "* 语文", "*", "性 别", "姓名", "*English", "原学校", "姓 名", "＊数学"},
           {{"001", "85", "x", "女", "张三", "92.5", "一中", "张三丰", "70"}, {"002", "60"}});
    EXPECT_EQ(table.GetScoreNames(), (Cells{"语文", "English", "数学"}));
    EXPECT_EQ(table.GetColumnMap(), (std::vector<int>{7, 3, 6, 1, 5, 8, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(table.ColumnTitles(), (Cells{"ID", "序号", "姓名", "性别", "原学校", "语文", "English", "数学"}));
    EXPECT_EQ(table.GetScoreColumnWidth(), CStudentTable::kImportedScoreWidth);

    ASSERT_EQ(table.GetRowCount(), 2u);
    const Cells& first = table.GetRow(0);
    EXPECT_EQ(first[CStudentTable::ColumnId].size(), 32u);
    EXPECT_EQ(first[CStudentTable::ColumnId].find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_EQ(Cells(first.begin() + 1, first.end()), (Cells{"1", "张三丰", "女", "一中", "85", "92.5", "70"}));
    // Cells past the end of a short row stay empty.
    EXPECT_EQ(Cells(table.GetRow(1).begin() + 1, table.GetRow(1).end()), (Cells{"2", "", "", "", "60", "", ""}));
    EXPECT_NE(table.GetRow(0)[0], table.GetRow(1)[0]);

    // Without a name column the header is refused and nothing changes.
    RowRequest request = Request(RowMode::Header);
    EXPECT_EQ(table.SubmitRow(request, {"性别", "*物理"}), -1);
    EXPECT_FALSE(request.accepted);
    EXPECT_EQ(request.message, "在EXCEL表格中没有找到“姓名”列");
    EXPECT_EQ(table.GetScoreNames(), (Cells{"语文", "English", "数学"}));
}

TEST(StudentTableTest, SexTexts)
{
    EXPECT_EQ(CStudentTable::SexCode("女"), 0);
    EXPECT_EQ(CStudentTable::SexCode(" 女\xE3\x80\x80"), 0);
    EXPECT_EQ(CStudentTable::SexCode("女生"), 1);
    EXPECT_EQ(CStudentTable::SexCode("F"), 1);
    EXPECT_EQ(CStudentTable::SexCode(""), 1);
    EXPECT_EQ(CStudentTable::SexText(0), "女");
    EXPECT_EQ(CStudentTable::SexText(1), "男");
    EXPECT_EQ(CStudentTable::SexText(7), "男");
}

TEST(StudentTableTest, SaveRebuildsTheStudentsAndReopeningShowsThem)
{
    CScheduleTask task;
    testsupport::AddClass(task, "c1", "一班", 0);
    testsupport::AddStudent(task, "old", "旧生", 0, 0, "c1", {"99"});
    task.GetCustomSubjectArray() = {"旧科目"};

    CStudentTable table;
    table.Load(task);
    ASSERT_EQ(table.GetRowCount(), 1u);
    EXPECT_EQ(table.GetRow(0), (Cells{"old", "1", "旧生", "女", "第一中学", "99"}));
    table.Clear();
    EXPECT_EQ(table.GetRowCount(), 0u);
    EXPECT_EQ(table.GetScoreNames(), Cells{"旧科目"}); // Clear keeps the score columns

    // Only a name column: sex reads as male, school and scores empty.
    Import(table, {"姓名"}, {{"张三"}, {"李四"}});
    table.SaveTo(task);
    EXPECT_TRUE(task.GetCustomSubjectArray().empty());
    ASSERT_EQ(task.GetStudentInfoList().GetCount(), 2u);
    const CStudentInfo* li = Student(task, 1);
    ASSERT_NE(li, nullptr);
    EXPECT_EQ(li->GetName(), "李四");
    EXPECT_EQ(li->GetSex(), 1);
    EXPECT_TRUE(li->GetFromSchool().empty());
    EXPECT_TRUE(li->GetClassId().empty()); // new records: nothing carried over

    // A full import, saved and opened again.
    table.Clear();
    Import(table, {"姓名", "性别", "原学校", "*语文", "*数学"},
           {{"王芳", " 女 ", "一中", "85", "92.5"}, {"刘洋", "女生", "", "", "70"}});
    table.SaveTo(task);
    EXPECT_EQ(task.GetCustomSubjectArray(), (Cells{"语文", "数学"}));
    CStudentTable reopened;
    reopened.Load(task);
    EXPECT_EQ(reopened.GetScoreColumnWidth(), CStudentTable::kLoadedScoreWidth);
    ASSERT_EQ(reopened.GetRowCount(), 2u);
    EXPECT_EQ(Cells(reopened.GetRow(0).begin() + 1, reopened.GetRow(0).end()),
              (Cells{"1", "王芳", "女", "一中", "85", "92.5"}));
    EXPECT_EQ(Cells(reopened.GetRow(1).begin() + 1, reopened.GetRow(1).end()),
              (Cells{"2", "刘洋", "男", "", "", "70"}));

    // After Clear and Save: no students, the score columns still named.
    reopened.Clear();
    reopened.SaveTo(task);
    EXPECT_EQ(task.GetStudentInfoList().GetCount(), 0u);
    EXPECT_EQ(task.GetCustomSubjectArray(), (Cells{"语文", "数学"}));
}

TEST(StudentTableTest, ReplaceWritesIntoTheSelectedRow)
{
    CStudentTable table;
    Import(table, {"姓名", "*语文"}, {{"张三", "80"}, {"李四", "70"}});
    RowRequest request = Request(RowMode::Replace);
    EXPECT_EQ(table.SubmitRow(request, {"李四", "75"}, 1), 0);
    EXPECT_EQ(table.CellText(1, CStudentTable::ColumnFirstScore), "75");
    EXPECT_EQ(table.CellText(1, CStudentTable::ColumnNumber), "2");
    request = Request(RowMode::Replace);
    EXPECT_EQ(table.SubmitRow(request, {"王五"}, 5), -1);
    EXPECT_EQ(table.GetRowCount(), 2u);
}

TEST(StudentTableTest, ConditionColumnsAreImportedEditedAndKeptInTheRules)
{
    CScheduleTask task;
    CStudentTable table;
    Import(table, {"姓名", "#住校", "*语文", "＃特长", "#", "#住校", "备注"},
           {{"张三", "是", "90", "美术", "x", "否"}, {"李四", " 否 ", "80"}, {"王五", "", "70", "体育"}});
    EXPECT_EQ(table.GetScoreNames(), (Cells{"语文"}));
    EXPECT_EQ(table.GetConditionNames(), (Cells{"#住校", "＃特长"})) << "a lone # and a repeated title are no columns";
    EXPECT_EQ(table.ColumnTitles(), (Cells{"ID", "序号", "姓名", "性别", "原学校", "语文", "#住校", "＃特长"}));
    EXPECT_EQ(table.FirstConditionColumn(), 6);
    EXPECT_EQ(Cells(table.GetRow(0).begin() + 5, table.GetRow(0).end()), (Cells{"90", "是", "美术"}));

    table.SaveTo(task);
    const CDivisionRules& rules = task.GetDivisionRules();
    EXPECT_EQ(rules.GetConditionNames(), (Cells{"#住校", "＃特长"}));
    EXPECT_EQ(Student(task, 0)->GetScoreArray(), (Cells{"90"})) << "conditions are no scores";
    EXPECT_EQ(rules.GetConditions(Student(task, 1)->GetId()), (Cells{"否", ""})) << "values are trimmed";
    EXPECT_EQ(rules.ConditionCategories(0), (Cells{"否", "是"}));
    EXPECT_EQ(rules.ConditionCategories(1), (Cells{"体育", "美术"}));

    CStudentTable loaded;
    loaded.Load(task);
    EXPECT_EQ(loaded.ColumnTitles(), table.ColumnTitles());
    EXPECT_EQ(Cells(loaded.GetRow(2).begin() + 5, loaded.GetRow(2).end()), (Cells{"70", "", "体育"}));

    // A sheet without condition columns takes the old ones away with the old students.
    CStudentTable plain;
    Import(plain, {"姓名", "*语文"}, {{"赵六", "60"}});
    plain.SaveTo(task);
    EXPECT_TRUE(task.GetDivisionRules().GetConditionNames().empty());
    EXPECT_TRUE(task.GetDivisionRules().IsEmpty());
}
