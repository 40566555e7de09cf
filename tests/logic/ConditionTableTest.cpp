// The condition columns in the division table and its export, and the
// counts per category beside the statistics, without a window.
#include "core/DivisionCategoryCounts.h"
#include "core/DivisionTableData.h"
#include "logic/export/DivisionTableExport.h"
#include "logic/export/WorkbookWriter.h"
#include "logic/import/SpreadsheetReader.h"
#include "TaskBuilder.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

// Two classes of three and a student without a class; "#宿舍" holds
// numbers, which are still categories, not figures.
void MakeTask(CScheduleTask& task, bool conditions)
{
    testsupport::AddClass(task, "c1", "一班", 0);
    testsupport::AddClass(task, "c2", "二班", 1);
    testsupport::AddClass(task, "c3", "三班", 2); // nobody in it
    task.GetCustomSubjectArray() = {"语文", "数学"};
    testsupport::AddStudent(task, "s1", "张一", 0, 0, "c1", {"90", "95"});
    testsupport::AddStudent(task, "s2", "张二", 1, 1, "c1", {"80", "85"});
    testsupport::AddStudent(task, "s3", "张三", 2, 0, "c1", {"70", "75"});
    testsupport::AddStudent(task, "s4", "李一", 3, 1, "c2", {"60", "65"});
    testsupport::AddStudent(task, "s5", "李二", 4, 0, "c2", {"50", "55"});
    testsupport::AddStudent(task, "s6", "李三", 5, 1, "c2", {"40", "45"});
    testsupport::AddStudent(task, "s7", "王一", 6, 0, "", {"30", "35"});
    if (!conditions)
        return;
    CDivisionRules& rules = task.GetDivisionRules();
    rules.SetConditionNames({"#住校", "#宿舍"});
    rules.SetConditions("s1", {"是", "3"});
    rules.SetConditions("s2", {"否", ""});
    rules.SetConditions("s4", {"是", "12"});
    rules.SetConditions("s6", {"", "3"});
    rules.SetConditions("s7", {"是", ""});
}

const std::vector<std::string> kOldTitles = {"ID", "序号", "姓名", "班级", "性别", "原学校", "语文", "数学", "总分"};

} // namespace

TEST(ConditionTable, TheTableAndItsExportHoldTheConditionColumnsAsTexts)
{
    CScheduleTask task;
    MakeTask(task, true);
    CDivisionTableData data(task);
    data.Fill();
    std::vector<std::string> titles = kOldTitles;
    titles.insert(titles.end(), {"#住校", "#宿舍"});
    ASSERT_EQ(data.ColumnTitles(), titles);
    ASSERT_EQ(data.GetColumnCount(), 11);
    EXPECT_EQ(data.GetTotalColumn(), 8);
    EXPECT_FALSE(data.IsFigureColumn(9));
    EXPECT_FALSE(data.SortsHighestFirst(10));
    ASSERT_EQ(data.GetRowCount(), 6u);
    EXPECT_EQ(data.CellText(0, 9), "是");
    EXPECT_EQ(data.CellText(0, 10), "3");
    EXPECT_EQ(data.CellText(2, 9), "");
    EXPECT_EQ(data.CellText(5, 10), "3");
    EXPECT_EQ(data.CellText(0, 11), "");

    // By "#宿舍": "3" before "12" as the table compares texts with numbers
    // in them, the empty cells last either way.
    data.SortBy(10, false);
    EXPECT_EQ(data.GetRows()[0].studentId, "s1");
    EXPECT_EQ(data.GetRows()[1].studentId, "s6");
    EXPECT_EQ(data.GetRows()[2].studentId, "s4");
    data.SortBy(10, true);
    EXPECT_EQ(data.GetRows()[0].studentId, "s4");
    EXPECT_EQ(data.CellText(5, 10), "");

    data.Fill("c1");
    const CWorkbookWriter::Table table = CDivisionTableExport::Build(data, "一班");
    EXPECT_EQ(table.columns, std::vector<std::string>(titles.begin() + 1, titles.end()));
    ASSERT_EQ(table.numeric.size(), table.columns.size());
    EXPECT_TRUE(table.numeric[7]);  // the total
    EXPECT_FALSE(table.numeric[8]); // "#住校"
    EXPECT_FALSE(table.numeric[9]); // "#宿舍": a room, not a figure
    ASSERT_EQ(table.widths.size(), table.columns.size());

    testsupport::TempFolder folder;
    const std::string path = folder.File("一班.xlsx");
    std::string error;
    ASSERT_TRUE(CWorkbookWriter::ExportTable(path, table, error)) << error;
    CSpreadsheetReader reader;
    reader.SetHeaderName("姓名");
    ASSERT_TRUE(reader.Open(path)) << reader.GetError();
    EXPECT_EQ(reader.GetHeader(), table.columns);
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> cells;
    int position = 0;
    while (reader.ReadRecord(cells, position)) {
        cells.resize(table.columns.size());
        rows.push_back(cells);
    }
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][8], "是");
    EXPECT_EQ(rows[0][9], "3");
    EXPECT_EQ(rows[1][8], "否");
    EXPECT_EQ(rows[2][8], "");
}

TEST(ConditionTable, CategoriesAreCountedPerClassAndForTheWholeSchool)
{
    CScheduleTask task;
    MakeTask(task, true);
    task.GetDivisionRules().SetScoreBands({50});
    const CDivisionCategoryCounts counts(task);
    ASSERT_EQ(counts.ColumnTitles(), (std::vector<std::string>{"#住校:否", "#住校:是", "#宿舍:12", "#宿舍:3",
                                                               "分数段:前50%", "分数段:后50%"}));
    // Seven students: the best four (rounded) are the top half.
    EXPECT_EQ(counts.Counts("c1"), (std::vector<int>{1, 1, 0, 1, 3, 0}));
    EXPECT_EQ(counts.Counts("c2"), (std::vector<int>{0, 1, 1, 1, 1, 2}));
    EXPECT_EQ(counts.Counts("c3"), (std::vector<int>(6, 0)));
    EXPECT_EQ(counts.Counts("no such class"), (std::vector<int>(6, 0)));
    // The whole school counts the student without a class too.
    EXPECT_EQ(counts.Counts(""), (std::vector<int>{1, 3, 1, 2, 4, 3}));
    EXPECT_EQ(counts.CountTexts("c2"), (std::vector<std::string>{"0", "1", "1", "1", "1", "2"}));

    CScheduleTask plain;
    MakeTask(plain, false);
    const CDivisionCategoryCounts none(plain);
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_TRUE(none.Counts("").empty());
    EXPECT_TRUE(none.CountTexts("c1").empty());
}

// A task without condition columns exports the very file it always did,
// and score bands, which are no column of the table, change nothing in it.
TEST(ConditionTable, WithoutConditionColumnsTheTableAndItsExportStayAsTheyWere)
{
    CScheduleTask plain;
    MakeTask(plain, false);
    CDivisionTableData plainData(plain);
    plainData.Fill();
    EXPECT_EQ(plainData.ColumnTitles(), kOldTitles);
    EXPECT_EQ(plainData.GetColumnCount(), 9);
    EXPECT_EQ(plainData.GetTotalColumn(), 8);
    EXPECT_TRUE(plainData.SortsHighestFirst(8));
    EXPECT_EQ(plainData.CellText(0, 9), "");

    CScheduleTask banded;
    MakeTask(banded, false);
    banded.GetDivisionRules().SetScoreBands({10, 30, 60});
    CDivisionTableData bandedData(banded);
    bandedData.Fill();

    testsupport::TempFolder folder;
    std::string error;
    const std::string first = folder.File("a.xlsx");
    const std::string second = folder.File("b.xlsx");
    ASSERT_TRUE(CWorkbookWriter::ExportTable(first, CDivisionTableExport::Build(plainData, ""), error)) << error;
    ASSERT_TRUE(CWorkbookWriter::ExportTable(second, CDivisionTableExport::Build(bandedData, ""), error)) << error;
    EXPECT_EQ(testsupport::ReadBytes(first), testsupport::ReadBytes(second));
    const CWorkbookWriter::Table table = CDivisionTableExport::Build(plainData, "");
    EXPECT_EQ(table.numeric, (std::vector<bool>{true, false, false, false, false, true, true, true}));
}
