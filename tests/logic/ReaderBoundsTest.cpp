// How much of a file the readers take: rows, columns, cell and row sizes
// are bounded as they are read, and every refusal comes with a reason.
#include "logic/import/CsvSource.h"
#include "logic/import/HtmlTableSource.h"
#include "logic/import/SheetLimits.h"
#include "logic/import/SpreadsheetReader.h"
#include "TestSupport.h"
#include "XlsxBuilder.h"
#include "logic/import/XlsxSource.h"

using testsupport::EditMember;
using testsupport::ReplaceAll;
using testsupport::WriteBytes;
using testsupport::XlsxBuilder;

namespace {

struct Result
{
    bool ok = true;
    std::string error;
    std::vector<CSheetSource::Row> rows; // the first few
    std::size_t count = 0;
    int lastRow = -1;
};

// Reads the first sheet to its end, or to its failure.
template <class Source>
Result ReadSheet(Source& source, const std::string& path)
{
    Result result;
    if (!source.Open(path) || !source.BeginSheet(0)) {
        result.ok = false;
        result.error = source.GetError();
        return result;
    }
    CSheetSource::Row row;
    while (source.NextRow(row)) {
        if (result.rows.size() < 16)
            result.rows.push_back(row);
        ++result.count;
        result.lastRow = row.row;
    }
    result.error = source.GetError();
    result.ok = result.error.empty();
    return result;
}

class ReaderBoundsTest : public ::testing::Test
{
protected:
    std::string File(const std::string& name) const { return folder.File(name); }

    Result Csv(const std::string& bytes)
    {
        WriteBytes(File("table.csv"), bytes);
        CCsvSource source;
        return ReadSheet(source, File("table.csv"));
    }
    Result Html(const std::string& bytes)
    {
        WriteBytes(File("page.xls"), bytes);
        CHtmlTableSource source;
        return ReadSheet(source, File("page.xls"));
    }
    // A one-sheet workbook whose sheet data is replaced by rowsXml.
    Result Xlsx(const std::string& rowsXml)
    {
        const std::string path = File("book.xlsx");
        std::filesystem::remove(path);
        XlsxBuilder(path).Sheet("Sheet1").Text(0, 0, "姓名").Close();
        EditMember(path, "xl/worksheets/sheet1.xml", [&](std::string& xml) {
            const std::size_t begin = xml.find("<sheetData>") + 11;
            xml.replace(begin, xml.find("</sheetData>") - begin, rowsXml);
        });
        CXlsxSource source;
        return ReadSheet(source, path);
    }

    static std::string Repeat(const std::string& piece, std::size_t count)
    {
        std::string out;
        out.reserve(piece.size() * count);
        for (std::size_t i = 0; i < count; ++i)
            out += piece;
        return out;
    }

    testsupport::TempFolder folder;
};

const std::size_t kCell = CSheetLimits::kMaxCellCharacters;
const std::size_t kColumns = CSheetLimits::kMaxColumns;
const std::size_t kRows = CSheetLimits::kMaxRows;

} // namespace

TEST_F(ReaderBoundsTest, TextTableInGbkWhoseLeadBytesLookLikeUtf8)
{
    // Every lead byte of "张三,男" in GBK is C2 or above, as UTF-8 lead bytes are.
    const Result result = Csv("\xD5\xC5\xC8\xFD,\xC4\xD0");
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.rows.size(), 1u);
    ASSERT_EQ(result.rows[0].cells.size(), 2u);
    EXPECT_EQ(result.rows[0].cells[0].value.text, "张三");
    EXPECT_EQ(result.rows[0].cells[1].value.text, "男");
}

TEST_F(ReaderBoundsTest, TextTableCellsAndRecordsAreBoundedAsTheyAreRead)
{
    // A cell is counted in characters, whatever its encoding.
    Result result = Csv("姓名\n" + Repeat("张", kCell) + "\n");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.rows[1].cells[0].value.text.size(), kCell * 3);
    EXPECT_EQ(Csv(testsupport::Gbk("姓名\n") + Repeat("\xD5\xC5", kCell) + "\n").count, 2u);
    result = Csv("姓名\n\"" + Repeat("x", kCell + 1) + "\"\n");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, CSheetLimits::CellTooLong(1));

    // A line of short cells is refused once the record passes its bound,
    // not held whole.
    const std::string cell = Repeat("x", 30000) + ",";
    result = Csv("姓名\n" + Repeat(cell, (CSheetLimits::kMaxRowBytes / cell.size()) + 1) + "\n");
    EXPECT_EQ(result.error, CSheetLimits::RowTooLong(1));

    // Columns: a sheet's width and no more.
    EXPECT_TRUE(Csv(Repeat("a,", kColumns - 1) + "a\n").ok);
    result = Csv(Repeat("a,", kColumns) + "a\n");
    EXPECT_EQ(result.error, CSheetLimits::TooManyColumns(0));
    // An unclosed quote still says so.
    EXPECT_NE(Csv("\"abc\n").error.find("引号"), std::string::npos);
}

TEST_F(ReaderBoundsTest, TextTablesAndWebPagesStopAtASheetsRows)
{
    // Blank lines past the last row hold nothing to refuse.
    Result result = Csv(Repeat("a\n", kRows) + "\n,,\n");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.count, kRows);

    result = Html("<table>" + Repeat("<tr><td>a", kRows) + "</table>");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.count, kRows);
    EXPECT_EQ(result.lastRow, static_cast<int>(kRows) - 1);
    result = Html("<table>" + Repeat("<tr><td>a", kRows + 1) + "</table>");
    EXPECT_EQ(result.error, CSheetLimits::TooManyRows());

    // A text table one row longer, through the import.
    WriteBytes(File("long.csv"), "姓名\n" + Repeat("张三\n", kRows));
    CSpreadsheetReader reader;
    EXPECT_FALSE(reader.Open(File("long.csv")));
    EXPECT_EQ(reader.GetError(), CSheetLimits::TooManyRows());
}

TEST_F(ReaderBoundsTest, WebPageCellsAndColumnsAreBounded)
{
    Result result = Html("<table><tr><td>" + Repeat("张", kCell) + "</td></tr></table>");
    ASSERT_TRUE(result.ok) << result.error;
    result = Html("<table><tr><td>姓名<tr><td>" + Repeat("&amp;", kCell + 1) + "</td></tr></table>");
    EXPECT_EQ(result.error, CSheetLimits::CellTooLong(1));
    // Line breaks count as characters too.
    result = Html("<table><tr><td>a" + Repeat("<br>", kCell) + "</td></tr></table>");
    EXPECT_EQ(result.error, CSheetLimits::CellTooLong(0));

    // A cell past the sheet's last column is refused, not dropped; a wide
    // span at the edge is no cell.
    EXPECT_TRUE(Html("<table><tr>" + Repeat("<td>a", kColumns) + "<td colspan=9></table>").ok);
    result = Html("<table><tr>" + Repeat("<td>a", kColumns) + "<td>b</table>");
    EXPECT_EQ(result.error, CSheetLimits::TooManyColumns(0));
    result = Html("<table><tr>" + Repeat("<td colspan=256>", 70) + "<td>b</table>");
    EXPECT_EQ(result.error, CSheetLimits::TooManyColumns(0));

    // Rows come in order, tags in any letter case, scripts skipped.
    result = Html("<TABLE><TR><TD>姓名<TR><script>x='<tr><td>no'</SCRIPT><TD>张三</TABLE>");
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_EQ(result.rows[1].row, 1);
    EXPECT_EQ(result.rows[1].cells[0].value.text, "张三");
}

TEST_F(ReaderBoundsTest, WorkbookRowNumbersAndCellsAreChecked)
{
    const std::string outOfRange = "工作表的单元格超出了Excel的行列范围，文件可能已损坏。";
    for (const char* number : {"-2147483648", "0", "1048577", "-1"}) {
        SCOPED_TRACE(number);
        const Result result =
            Xlsx(std::string("<row r=\"") + number + "\"><c r=\"A1\" t=\"inlineStr\"><is><t>x</t></is></c></row>");
        EXPECT_EQ(result.error, outOfRange);
    }
    Result result = Xlsx("<row r=\"1048576\"><c t=\"inlineStr\"><is><t>x</t></is></c></row>");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.rows.at(0).row, static_cast<int>(kRows) - 1);

    // One cell named over and over is still one row of a sheet's width.
    result = Xlsx("<row r=\"1\">" + Repeat("<c r=\"A1\"><v>1</v></c>", kColumns + 1) + "</row>");
    EXPECT_EQ(result.error, CSheetLimits::TooManyColumns(0));

    // Inline text is counted in characters after its escapes.
    result = Xlsx("<row r=\"2\"><c t=\"inlineStr\"><is><t>" + Repeat("_x0041_", kCell) + "</t></is></c></row>");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.rows.at(0).cells.at(0).value.text, Repeat("A", kCell));
    result = Xlsx("<row r=\"2\"><c t=\"inlineStr\"><is><t>" + Repeat("张", kCell + 1) + "</t></is></c></row>");
    EXPECT_EQ(result.error, CSheetLimits::CellTooLong(1));

    // A shared text past a cell's length.
    const std::string path = File("shared.xlsx");
    XlsxBuilder(path).Sheet("Sheet1").Text(0, 0, "姓名").Text(1, 0, "长文").Close();
    EditMember(path, "xl/sharedStrings.xml",
               [&](std::string& xml) { ReplaceAll(xml, "<t>长文</t>", "<t>" + Repeat("x", kCell + 1) + "</t>"); });
    CXlsxSource source;
    result = ReadSheet(source, path);
    EXPECT_EQ(result.error, CSheetLimits::CellTooLong(1));
}
