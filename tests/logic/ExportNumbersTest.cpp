// Figures in an exported workbook are number cells a spreadsheet can add
// up, shown as the table shows them; texts stay texts.
#include "core/DivisionTableData.h"
#include "logic/export/DivisionTableExport.h"
#include "TaskBuilder.h"
#include "TestSupport.h"
#include "logic/export/WorkbookWriter.h"
#include "logic/import/ZipArchive.h"

#include <regex>

namespace {

std::string Member(const std::string& path, const std::string& name)
{
    CZipArchive archive;
    std::string error;
    std::string xml;
    EXPECT_TRUE(archive.Open(path, error)) << error;
    EXPECT_TRUE(archive.ReadMember(name, 64 << 20, xml, error)) << error;
    return xml;
}

// One cell of the written sheet as the file holds it.
struct Cell
{
    bool found = false;
    std::string type;  // the t attribute; empty for a number
    int style = 0;     // the s attribute
    std::string value; // <v> of a number
};

Cell CellAt(const std::string& sheetXml, const std::string& ref)
{
    Cell cell;
    const std::regex pattern("<c r=\"" + ref + "\"([^>]*?)(/>|>(.*?)</c>)");
    std::smatch match;
    if (!std::regex_search(sheetXml, match, pattern))
        return cell;
    cell.found = true;
    const std::string attributes = match[1];
    std::smatch attribute;
    if (std::regex_search(attributes, attribute, std::regex("t=\"([^\"]*)\"")))
        cell.type = attribute[1];
    if (std::regex_search(attributes, attribute, std::regex("s=\"([0-9]+)\"")))
        cell.style = std::stoi(attribute[1]);
    const std::string content = match[3];
    if (std::regex_search(content, attribute, std::regex("<v>([^<]*)</v>")))
        cell.value = attribute[1];
    return cell;
}

// The number format of a cell style (the index into cellXfs).
std::string NumberFormatOf(const std::string& stylesXml, int style)
{
    const std::size_t xfs = stylesXml.find("<cellXfs");
    std::size_t at = xfs;
    for (int k = 0; k <= style && at != std::string::npos; ++k)
        at = stylesXml.find("<xf ", at + 1);
    if (at == std::string::npos)
        return "?";
    std::smatch id;
    const std::string xf = stylesXml.substr(at, stylesXml.find('>', at) - at);
    return std::regex_search(xf, id, std::regex("numFmtId=\"([0-9]+)\"")) ? std::string(id[1]) : "0";
}

} // namespace

TEST(ExportNumbersTest, TheDivisionTableExportsItsFiguresAsNumbers)
{
    CScheduleTask task;
    testsupport::AddClass(task, "c1", "高一(1)班", 0);
    task.GetCustomSubjectArray() = {"语文", "数学"};
    testsupport::AddStudent(task, "s1", "张三", 0, 1, "c1", {"85", "92.5"});
    testsupport::AddStudent(task, "s2", "007", 1, 0, "c1", {"085", "缺考"});
    testsupport::AddStudent(task, "s3", "李四", 2, 1, "c1", {"1234567890123456", ""});
    CDivisionTableData data(task);
    data.Fill();

    testsupport::TempFolder folder;
    const std::string path = folder.File("分班表.xlsx");
    std::string error;
    ASSERT_TRUE(CWorkbookWriter::ExportTable(path, CDivisionTableExport::Build(data, ""), error)) << error;
    const std::string sheet = Member(path, "xl/worksheets/sheet1.xml");
    const std::string styles = Member(path, "xl/styles.xml");

    // Columns: B 序号, C 姓名, D 班级, E 性别, F 原学校, G 语文, H 数学, I 总分.
    const auto expectNumber = [&](const std::string& ref, const std::string& value) {
        const Cell cell = CellAt(sheet, ref);
        ASSERT_TRUE(cell.found) << ref;
        EXPECT_EQ(cell.type, "") << ref << " is no number cell";
        EXPECT_EQ(cell.value, value) << ref;
        EXPECT_EQ(NumberFormatOf(styles, cell.style), "0") << ref << " is not shown in the General format";
    };
    const auto expectText = [&](const std::string& ref) {
        const Cell cell = CellAt(sheet, ref);
        ASSERT_TRUE(cell.found) << ref;
        EXPECT_NE(cell.type, "") << ref << " should stay text";
        EXPECT_NE(NumberFormatOf(styles, cell.style), "0") << ref << " keeps the text format";
    };
    expectNumber("B4", "1");
    expectNumber("G4", "85");
    expectNumber("H4", "92.5");
    expectNumber("I4", "177.5");
    expectNumber("B5", "2");
    // A name that looks like a number is still a name; a leading zero, a
    // word and a number longer than a spreadsheet keeps stay text.
    expectText("C5");
    expectText("G5");
    expectText("H5");
    expectText("G6");
    expectText("C4");
    expectText("E4");
}

TEST(ExportNumbersTest, OnlyTextsShownUnchangedAsNumbersBecomeNumbers)
{
    for (const auto& [text, value] :
         std::vector<std::pair<std::string, double>>{{"85", 85},
                                                     {"92.5", 92.5},
                                                     {"0", 0},
                                                     {"0.5", 0.5},
                                                     {"-3", -3},
                                                     {"123456789012345", 123456789012345.0},
                                                     {"1234567890.12345", 1234567890.12345}}) {
        const std::optional<double> number = CWorkbookWriter::NumberOf(text);
        ASSERT_TRUE(number.has_value()) << text;
        EXPECT_DOUBLE_EQ(*number, value) << text;
    }
    for (const char* text : {"",
                             "085",
                             "00",
                             "1234567890123456",
                             "12345678901234.56",
                             "90.50",
                             "90.",
                             ".5",
                             "-",
                             "-0",
                             "+5",
                             "1e3",
                             " 5",
                             "5 ",
                             "0x1A",
                             "八十",
                             "缺考",
                             "12a",
                             "1,000",
                             "inf",
                             "nan"})
        EXPECT_FALSE(CWorkbookWriter::NumberOf(text).has_value()) << text;
}

TEST(ExportNumbersTest, ATableWithoutNumericColumnsStaysText)
{
    testsupport::TempFolder folder;
    const std::string path = folder.File("表.xlsx");
    CWorkbookWriter::Table table;
    table.title = "表";
    table.columns = {"编号", "分数"};
    table.rows = {{"12", "80"}};
    table.numeric = {false, true};
    std::string error;
    ASSERT_TRUE(CWorkbookWriter::ExportTable(path, table, error)) << error;
    const std::string sheet = Member(path, "xl/worksheets/sheet1.xml");
    EXPECT_NE(CellAt(sheet, "B4").type, "");
    EXPECT_EQ(CellAt(sheet, "C4").type, "");
    EXPECT_EQ(CellAt(sheet, "C4").value, "80");
}
