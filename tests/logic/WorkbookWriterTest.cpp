#include "core/DivisionTableData.h"
#include "logic/export/DivisionTableExport.h"
#include "logic/import/SpreadsheetReader.h"
#include "TaskBuilder.h"
#include "TestSupport.h"
#include "logic/export/WorkbookWriter.h"
#include "logic/import/ZipArchive.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

std::string SheetXml(const std::string& path)
{
    CZipArchive archive;
    std::string error;
    std::string xml;
    EXPECT_TRUE(archive.Open(path, error)) << error;
    EXPECT_TRUE(archive.ReadMember("xl/worksheets/sheet1.xml", 64 << 20, xml, error)) << error;
    return xml;
}

} // namespace

TEST(WorkbookWriterTest, TheTableReadsBackWithItsLayout)
{
    testsupport::TempFolder folder;
    const std::string path = folder.File("表.xlsx");
    CWorkbookWriter::Table table;
    table.title = "分班表";
    table.columns = {"序号", "姓名", "性别", "总分"};
    table.rows = {{"1", "张三", "男", "085"}, {"2", "李四", "", "90.5"}};
    table.widths = {6, 10, 6, 8};
    std::string error;
    ASSERT_TRUE(CWorkbookWriter::ExportTable(path, table, error)) << error;

    const std::string xml = SheetXml(path);
    EXPECT_NE(xml.find("<mergeCell ref=\"B2:E2\"/>"), std::string::npos);
    // Column A is a 3-unit margin; the sheet's other columns 65 / 4 = 16 wide.
    EXPECT_NE(xml.find("<col min=\"1\" max=\"1\" width=\"3.7109375\""), std::string::npos);
    EXPECT_NE(xml.find("<col min=\"6\" max=\"16384\" width=\"16.7109375\" style=\"4\""), std::string::npos);
    // The columns carry their format although they are set after the rows;
    // the used range spans them as before.
    EXPECT_NE(xml.find("<col min=\"1\" max=\"1\" width=\"3.7109375\" style=\"4\""), std::string::npos);
    EXPECT_NE(xml.find("<dimension ref=\"A2:XFD5\"/>"), std::string::npos);
    EXPECT_LT(xml.find("<cols>"), xml.find("<sheetData>"));
    EXPECT_NE(xml.find("<row r=\"2\" ht=\"32\""), std::string::npos);
    EXPECT_NE(xml.find("<row r=\"4\" ht=\"18\""), std::string::npos);

    // Read back: the title row above the table, cells as text ("085" stays).
    CSpreadsheetReader reader;
    reader.SetHeaderName("姓名");
    ASSERT_TRUE(reader.Open(path)) << reader.GetError();
    EXPECT_EQ(reader.GetSheetName(), "分班表");
    EXPECT_EQ(reader.GetFirstRow(), 3);
    EXPECT_EQ(reader.GetFirstColumn(), 2);
    EXPECT_EQ(reader.GetHeader(), table.columns);
    Rows rows;
    std::vector<std::string> cells;
    int position = 0;
    while (reader.ReadRecord(cells, position))
        rows.push_back(cells);
    EXPECT_EQ(rows, table.rows);
}

TEST(WorkbookWriterTest, WideTablesAndFailuresThatLeaveTheFileAsItWas)
{
    testsupport::TempFolder folder;
    const std::string path = folder.File("wide.xlsx");
    CWorkbookWriter::Table table;
    table.title = "a/b:c*d?e[f]g' and a name far longer than a sheet name may be";
    for (int c = 0; c < 30; ++c)
        table.columns.push_back("列" + std::to_string(c + 1));
    table.rows.push_back(table.columns);
    std::string error;
    ASSERT_TRUE(CWorkbookWriter::ExportTable(path, table, error)) << error;
    EXPECT_NE(SheetXml(path).find("<mergeCell ref=\"B2:AE2\"/>"), std::string::npos);
    EXPECT_EQ(CWorkbookWriter::SheetName(table.title), "a_b_c_d_e_f_g' and a name far l");
    EXPECT_EQ(CWorkbookWriter::SheetName("'"), "_");

    // A folder in the way, or no folder at all: nothing written.
    const std::string before = testsupport::ReadBytes(path);
    EXPECT_FALSE(CWorkbookWriter::ExportTable(folder.Dir(), table, error));
    EXPECT_FALSE(CWorkbookWriter::ExportTable(folder.File("none/x.xlsx"), table, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(testsupport::ReadBytes(path), before);
    EXPECT_EQ(std::filesystem::directory_iterator(folder.Path())->path().filename(), "wide.xlsx");
}

TEST(WorkbookWriterTest, DivisionTableExportHoldsWhatTheTableShows)
{
    CScheduleTask task;
    testsupport::AddClass(task, "c1", "高一(1)班", 0);
    testsupport::AddClass(task, "c2", "高一(2)班", 1);
    task.GetCustomSubjectArray() = {"语文", "数学"};
    testsupport::AddStudent(task, "s1", "欧阳娜娜", 0, 0, "c2", {"90", "80.5"});
    testsupport::AddStudent(task, "s2", "李四", 1, 1, "c1", {"70"});
    testsupport::AddStudent(task, "s3", "未分", 2, 1, "", {"60", "60"});

    CDivisionTableData data(task);
    data.Fill();
    CWorkbookWriter::Table table = CDivisionTableExport::Build(data, "");
    EXPECT_EQ(table.title, "分班表");
    EXPECT_EQ(table.columns,
              (std::vector<std::string>{"序号", "姓名", "班级", "性别", "原学校", "语文", "数学", "总分"}));
    EXPECT_EQ(table.rows, (Rows{{"1", "欧阳娜娜", "高一(2)班", "女", "第一中学", "90", "80.5", "170.5"},
                                {"2", "李四", "高一(1)班", "男", "第一中学", "70", "", "70"}}));
    ASSERT_EQ(table.widths.size(), table.columns.size());
    EXPECT_EQ(table.widths[1], 10); // four Chinese characters and a margin
    EXPECT_GE(*std::min_element(table.widths.begin(), table.widths.end()), 6);

    data.Fill("c1");
    table = CDivisionTableExport::Build(data, "高一(1)班");
    EXPECT_EQ(table.title, "高一(1)班");
    EXPECT_EQ(table.rows, (Rows{{"1", "李四", "高一(1)班", "男", "第一中学", "70", "", "70"}}));
}
