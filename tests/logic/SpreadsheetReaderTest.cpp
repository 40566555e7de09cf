#include "logic/import/CompoundFile.h"
#include "logic/import/SpreadsheetReader.h"
#include "TestSupport.h"
#include "XlsxBuilder.h"
#include "logic/import/XlsxSource.h"
#include "logic/import/SheetText.h"
#include "base/util/NumberText.h"

#include <filesystem>
#include <cmath>
#include <optional>
#include <random>

using testsupport::EditMember;
using testsupport::ReplaceAll;
using testsupport::XlsxBuilder;
using Rows = std::vector<std::vector<std::string>>;

namespace {

const std::string kData = QUILLON_TEST_DATA;
const std::string kIdeographicSpace = "\xE3\x80\x80";

struct Sheet
{
    bool ok = false;
    std::string error;
    std::string sheetName;
    std::vector<std::string> header;
    Rows records;
    std::vector<int> positions;
    int firstRow = 0;
    int firstColumn = 0;
    int rowCount = 0;
    bool headerFound = false;
};

// keptBytes 0: the sheet is read twice, as a sheet too large to keep is.
Sheet Read(const std::string& path, const std::string& headerName = "姓名", std::optional<std::size_t> keptBytes = {})
{
    CSpreadsheetReader reader;
    reader.SetHeaderName(headerName);
    if (keptBytes)
        reader.SetKeptBytes(*keptBytes);
    Sheet sheet;
    if (!reader.Open(path)) {
        sheet.error = reader.GetError();
        EXPECT_EQ(reader.GetFailureText(), std::string(CSpreadsheetReader::kParseFailure) + "\n原因：" + sheet.error);
        return sheet;
    }
    sheet.sheetName = reader.GetSheetName();
    sheet.header = reader.GetHeader();
    sheet.firstRow = reader.GetFirstRow();
    sheet.firstColumn = reader.GetFirstColumn();
    sheet.rowCount = reader.GetRowCount();
    sheet.headerFound = reader.IsHeaderFound();
    std::vector<std::string> cells;
    int position = 0;
    while (reader.ReadRecord(cells, position)) {
        sheet.records.push_back(cells);
        sheet.positions.push_back(position);
    }
    sheet.error = reader.GetError();
    sheet.ok = !reader.Failed();
    return sheet;
}

class SpreadsheetReaderTest : public ::testing::Test
{
protected:
    std::string File(const std::string& name) const { return folder.File(name); }
    std::string Copy(const std::string& dataFile, const std::string& name) const
    {
        std::filesystem::copy_file(kData + "/" + dataFile, File(name));
        return File(name);
    }

    testsupport::TempFolder folder;
};

// The list every legacy and text file of the test data holds.
void ExpectStudentList(const Sheet& sheet, bool withDates)
{
    ASSERT_TRUE(sheet.ok) << sheet.error;
    ASSERT_GE(sheet.header.size(), 6u);
    EXPECT_EQ(sheet.header[0], "姓名");
    EXPECT_EQ(sheet.header[1], "性 别");
    EXPECT_EQ(sheet.header[4], "* 数学");
    ASSERT_EQ(sheet.records.size(), 3u);
    EXPECT_EQ(sheet.records[0][0], "张三"); // ideographic spaces trimmed
    EXPECT_EQ(sheet.records[0][3], "85");
    EXPECT_EQ(sheet.records[0][4], "92.5");
    EXPECT_EQ(sheet.records[1][1], "女");
    EXPECT_EQ(sheet.records[1][3], "085");
    EXPECT_EQ(sheet.records[2][1], "");
    if (withDates) {
        ASSERT_GE(sheet.header.size(), 7u);
        EXPECT_EQ(sheet.records[0][6], "2009-09-01");
        EXPECT_EQ(sheet.records[1][6], "2010-01-31");
    }
}

} // namespace

TEST_F(SpreadsheetReaderTest, XlsxCellsBecomeTheTextsTheImportHandsOver)
{
    // The block starts at C4: the empty rows and columns before it are not read.
    const std::string path = File("cells.xlsx");
    XlsxBuilder(path)
        .Sheet("名单")
        .Text(3, 2, " 姓名 ")
        .Text(3, 3, "*语文")
        .Text(3, 4, "生日")
        .Text(3, 5, "备注")
        .Text(3, 6, "考号")
        .Text(4, 2, kIdeographicSpace + "张三\xC2\xA0")
        .Number(4, 3, 85)
        .Date(4, 4, 2009, 9, 1)
        .Boolean(4, 5, true)
        .Number(4, 6, 20240101001.0)
        .Text(5, 2, "李四")
        .Number(5, 3, 92.5)
        .Date(5, 4, 2010, 1, 31, 8)
        .Formula(5, 5, "=1+1", 2)
        .Text(6, 2, "王五")
        .Text(6, 3, "085")
        .RichText(6, 5, {"甲", "乙", "丙"})
        .FormulaText(7, 2, "=\"赵\"&\"六\"", "赵六")
        .Number(7, 3, 60.25);

    const Sheet sheet = Read(path);
    ASSERT_TRUE(sheet.ok) << sheet.error;
    EXPECT_EQ(sheet.firstRow, 4);
    EXPECT_EQ(sheet.firstColumn, 3);
    EXPECT_EQ(sheet.rowCount, 5);
    // The header as it stands; record cells trimmed of blanks, the
    // ideographic and the no-break space included.
    EXPECT_EQ(sheet.header, (std::vector<std::string>{" 姓名 ", "*语文", "生日", "备注", "考号"}));
    const Rows expected = {
        {"张三", "85", "2009-09-01", "", "20240101001"},
        {"李四", "92.5", "2010-01-31 08:00:00", "2", ""},
        {"王五", "085", "", "甲乙丙", ""},
        {"赵六", "60.2", "", "", ""},
    };
    EXPECT_EQ(sheet.records, expected);
    EXPECT_EQ(sheet.positions, (std::vector<int>{2, 3, 4, 5}));
}

TEST_F(SpreadsheetReaderTest, HeaderOnlyAndEmptySheets)
{
    const std::string header = File("header.xlsx");
    XlsxBuilder(header).Sheet("Sheet1").Text(0, 0, "姓名").Text(0, 1, "性别");
    Sheet sheet = Read(header);
    ASSERT_TRUE(sheet.ok);
    EXPECT_EQ(sheet.header, (std::vector<std::string>{"姓名", "性别"}));
    EXPECT_TRUE(sheet.records.empty());
    EXPECT_EQ(sheet.rowCount, 1);

    const std::string empty = File("empty.xlsx");
    XlsxBuilder(empty).Sheet("Sheet1");
    sheet = Read(empty);
    ASSERT_TRUE(sheet.ok) << sheet.error;
    EXPECT_TRUE(sheet.header.empty());
    EXPECT_EQ(sheet.rowCount, 0);
    EXPECT_FALSE(sheet.headerFound);
}

TEST_F(SpreadsheetReaderTest, TitleRowsAboveTheHeaderAreSkipped)
{
    const std::string path = File("title.xlsx");
    XlsxBuilder(path)
        .Sheet("Sheet1")
        .Merge(0, 0, 5, "2024级高一新生名单")
        .Text(1, 7, "打印日期：9月1日")
        .Text(2, 0, "姓 名")
        .Text(2, 1, "性别")
        .Text(3, 0, "张三")
        .Text(3, 1, "男")
        .Text(5, 0, "李四"); // the empty row between is passed over
    const Sheet sheet = Read(path);
    ASSERT_TRUE(sheet.ok);
    EXPECT_TRUE(sheet.headerFound);
    EXPECT_EQ(sheet.firstRow, 3);
    // The columns are those of the table, not of the title rows.
    EXPECT_EQ(sheet.header, (std::vector<std::string>{"姓 名", "性别"}));
    EXPECT_EQ(sheet.records, (Rows{{"张三", "男"}, {"李四", ""}}));
    EXPECT_EQ(sheet.positions, (std::vector<int>{2, 4}));

    // A "姓名" cell ten rows below the first is no header: the first row is.
    const std::string far = File("far.xlsx");
    XlsxBuilder builder(far);
    builder.Sheet("Sheet1").Text(0, 0, "标题");
    for (int row = 1; row < 10; ++row)
        builder.Text(row, 0, "说明" + std::to_string(row));
    builder.Text(10, 0, "姓名").Close();
    const Sheet untouched = Read(far);
    ASSERT_TRUE(untouched.ok);
    EXPECT_FALSE(untouched.headerFound);
    EXPECT_EQ(untouched.header, std::vector<std::string>{"标题"});
    EXPECT_EQ(untouched.records.size(), 10u);
}

TEST_F(SpreadsheetReaderTest, ALaterSheetWithTheHeaderIsTakenInTabOrder)
{
    const std::string path = File("sheets.xlsx");
    XlsxBuilder(path)
        .Sheet("说明")
        .Text(0, 0, "本表由教务处导出")
        .Sheet("名单")
        .Text(0, 0, "姓名")
        .Text(1, 0, "张三")
        .Sheet("旧名单")
        .Text(0, 0, "姓名")
        .Text(1, 0, "李四");
    Sheet sheet = Read(path);
    ASSERT_TRUE(sheet.ok);
    EXPECT_EQ(sheet.sheetName, "名单");
    EXPECT_EQ(sheet.records, Rows{{"张三"}});

    // Tabs reordered in the workbook: the order of the tabs counts, not
    // that of the sheet parts.
    EditMember(path, "xl/workbook.xml", [](std::string& xml) {
        const std::size_t second = xml.find("<sheet name=\"名单\"");
        const std::size_t third = xml.find("<sheet name=\"旧名单\"");
        const std::size_t end = xml.find("/>", third) + 2;
        const std::string moved = xml.substr(third, end - third);
        xml.erase(third, end - third);
        xml.insert(second, moved);
    });
    sheet = Read(path);
    EXPECT_EQ(sheet.sheetName, "旧名单");
    EXPECT_EQ(sheet.records, Rows{{"李四"}});

    // Without the header anywhere the first sheet's first row stands.
    sheet = Read(path, "学号");
    ASSERT_TRUE(sheet.ok);
    EXPECT_EQ(sheet.sheetName, "说明");
    EXPECT_FALSE(sheet.headerFound);
}

void ExpectSameSheet(const Sheet& once, const Sheet& twice, const std::string& file)
{
    SCOPED_TRACE(file);
    EXPECT_EQ(once.ok, twice.ok);
    EXPECT_EQ(once.error, twice.error);
    EXPECT_EQ(once.sheetName, twice.sheetName);
    EXPECT_EQ(once.header, twice.header);
    EXPECT_EQ(once.records, twice.records);
    EXPECT_EQ(once.positions, twice.positions);
    EXPECT_EQ(once.firstRow, twice.firstRow);
    EXPECT_EQ(once.firstColumn, twice.firstColumn);
    EXPECT_EQ(once.rowCount, twice.rowCount);
    EXPECT_EQ(once.headerFound, twice.headerFound);
}

TEST_F(SpreadsheetReaderTest, ASheetReadOnceGivesWhatReadingItTwiceGives)
{
    // Title rows, blank and space-only rows, cells outside the header's
    // columns, rows out of order, the header on a later sheet.
    const std::string path = File("odd.xlsx");
    XlsxBuilder(path)
        .Sheet("说明")
        .Text(0, 0, "本表由教务处导出")
        .Sheet("名单")
        .Merge(0, 1, 3, "2024级新生")
        .Text(1, 1, " 姓名 ")
        .Text(1, 2, "*语文")
        .Text(2, 1, "张三")
        .Number(2, 2, 85.5)
        .Text(3, 1, kIdeographicSpace)
        .Text(4, 4, "备注")
        .Text(5, 1, "李四")
        .Number(6, 2, 60)
        .Text(7, 0, "王五")
        .Boolean(8, 3, true);
    EditMember(path, "xl/worksheets/sheet2.xml", [](std::string& xml) { ReplaceAll(xml, "<row r=\"7\"", "<row r=\"4\""); });
    const Sheet once = Read(path);
    ASSERT_TRUE(once.ok) << once.error;
    EXPECT_EQ(once.sheetName, "名单");
    EXPECT_EQ(once.header, (std::vector<std::string>{"", " 姓名 ", "*语文", "", ""}));
    EXPECT_EQ(once.records.front(), (std::vector<std::string>{"", "张三", "85.5", "", ""}));
    ExpectSameSheet(once, Read(path, "姓名", 0), path);
    ExpectSameSheet(Read(path, "学号"), Read(path, "学号", 0), path);
    // A budget the sheet outgrows half-way.
    ExpectSameSheet(once, Read(path, "姓名", 100), path);

    for (const auto& entry : std::filesystem::recursive_directory_iterator(kData)) {
        const std::string file = entry.path().string();
        if (entry.is_regular_file() && (file.ends_with(".xls") || file.ends_with(".csv")))
            ExpectSameSheet(Read(file), Read(file, "姓名", 0), file);
    }
}

TEST_F(SpreadsheetReaderTest, StreamedXlsxWith1904DatesAndAWrongDimension)
{
    // The streaming writer stores inline strings.
    const std::string path = File("inline.xlsx");
    XlsxBuilder(path, true)
        .Sheet("Sheet1")
        .Text(0, 0, "姓名")
        .Text(0, 1, "生日")
        .Text(1, 0, "张三")
        .Date(1, 1, 2009, 9, 1);
    EditMember(path, "xl/worksheets/sheet1.xml", [](std::string& xml) {
        ReplaceAll(xml, "<dimension ref=\"A1:B2\"/>", "<dimension ref=\"A1:XFD1048576\"/>");
    });
    Sheet sheet = Read(path);
    ASSERT_TRUE(sheet.ok) << sheet.error;
    EXPECT_EQ(sheet.rowCount, 2);
    EXPECT_EQ(sheet.records, (Rows{{"张三", "2009-09-01"}}));

    // The same serial number is four years and a day later in the 1904 system.
    EditMember(path, "xl/workbook.xml",
               [](std::string& xml) { ReplaceAll(xml, "<workbookPr", "<workbookPr date1904=\"1\""); });
    sheet = Read(path);
    EXPECT_EQ(sheet.records, (Rows{{"张三", "2013-09-02"}}));
}

TEST_F(SpreadsheetReaderTest, LegacyWorkbooksIncludingOnesInTheMiniStream)
{
    // Written small enough for the mini stream, with the table at B2 under a title.
    Sheet sheet = Read(kData + "/students-mini.xls");
    ExpectStudentList(sheet, true);
    EXPECT_EQ(sheet.firstRow, 3);
    EXPECT_EQ(sheet.firstColumn, 2);
    EXPECT_EQ(sheet.sheetName, "名单");

    ExpectStudentList(Read(kData + "/students-1904.xls"), true);

    sheet = Read(kData + "/students-600.xls");
    ASSERT_TRUE(sheet.ok) << sheet.error;
    ASSERT_EQ(sheet.records.size(), 600u);
    EXPECT_EQ(sheet.records[599], (std::vector<std::string>{"学生600", "女", "第6中学", "86", "89.5"}));

    sheet = Read(kData + "/notes-first.xls");
    EXPECT_EQ(sheet.sheetName, "学生");
    EXPECT_EQ(sheet.records, (Rows{{"赵六", "88"}}));
}

TEST_F(SpreadsheetReaderTest, TextTablesInEveryEncoding)
{
    for (const char* name : {"students-utf8.csv", "students-utf8-bom.csv", "students-gbk.csv"}) {
        SCOPED_TRACE(name);
        ExpectStudentList(Read(kData + "/" + name), false);
    }

    const std::string path = File("quoted.csv");
    testsupport::WriteBytes(path, "姓名\t备注\t考号\r\n\"张\"\"三\"\t\"一,二\n三\"\t=\"0085\"\r\n\r\n李四\t\t\n");
    const Sheet sheet = Read(path);
    ASSERT_TRUE(sheet.ok) << sheet.error;
    EXPECT_EQ(sheet.records, (Rows{{"张\"三", "一,二\n三", "0085"}, {"李四", "", ""}}));
}

TEST_F(SpreadsheetReaderTest, TheKindOfFileIsToldByItsContent)
{
    const std::string xlsx = File("list.xlsx");
    XlsxBuilder(xlsx).Sheet("Sheet1").Text(0, 0, "姓名").Text(1, 0, "张三");
    std::filesystem::copy_file(xlsx, File("list.xls"));
    EXPECT_EQ(Read(File("list.xls")).records, Rows{{"张三"}});
    const std::string legacy = Copy("students-600.xls", "list.xlsx.csv");
    EXPECT_EQ(Read(legacy).records.size(), 600u);

    // A web page with a table, in GB2312, saved under an .xls name.
    const Sheet page = Read(kData + "/page-table.xls");
    ASSERT_TRUE(page.ok) << page.error;
    EXPECT_EQ(page.header, (std::vector<std::string>{"姓名", "性别", "*语文"}));
    EXPECT_EQ(page.records, (Rows{{"张三", "男", "85"}, {"李&四", "女", ""}}));

    EXPECT_EQ(Read(kData + "/page-no-table.xls").error, "这是一个网页文件，其中没有表格，无法导入。");
    EXPECT_NE(Read(kData + "/xml2003.xls").error.find("Excel 2003 XML"), std::string::npos);
}

TEST_F(SpreadsheetReaderTest, DamagedAndForeignFilesAreRefusedWithAReason)
{
    auto refusal = [this](const std::string& name, const std::string& bytes) {
        testsupport::WriteBytes(File(name), bytes);
        const Sheet sheet = Read(File(name));
        EXPECT_FALSE(sheet.ok) << name;
        return sheet.error;
    };
    EXPECT_EQ(refusal("empty.xlsx", ""), "文件是空的。");
    EXPECT_NE(refusal("binary.xls", std::string("\x01\x02\x00\x03", 4)).find("无法识别"), std::string::npos);
    EXPECT_EQ(Read(File("missing.xlsx")).error, "文件不存在。");

    // An archive cut short, and one whose sheet data is damaged.
    const std::string good = File("good.xlsx");
    XlsxBuilder builder(good);
    builder.Sheet("Sheet1");
    for (int row = 0; row < 2000; ++row)
        builder.Text(row, 0, "姓名" + std::to_string(row)).Number(row, 1, row);
    builder.Close();
    const std::string bytes = testsupport::ReadBytes(good);
    EXPECT_NE(refusal("cut.xlsx", bytes.substr(0, bytes.size() / 2)).find("损坏"), std::string::npos);
    std::string flipped = bytes;
    const std::size_t sheetData = flipped.find("xl/worksheets/sheet1.xml") + 200;
    for (std::size_t i = 0; i < 64; ++i)
        flipped[sheetData + i] = static_cast<char>(~flipped[sheetData + i]);
    EXPECT_NE(refusal("flipped.xlsx", flipped).find("损坏"), std::string::npos);

    // An archive that holds no workbook.
    testsupport::AddMember(File("other.xlsx"), "readme.txt", "hello");
    EXPECT_NE(Read(File("other.xlsx")).error.find("没有Excel工作簿"), std::string::npos);

    // An encrypted workbook is a compound file with the encrypted package;
    // a compound file without a workbook stream is some other document.
    ASSERT_TRUE(CCompoundFile::WriteSingleStream(File("locked.xlsx"), "EncryptedPackage", std::string(100, 'x')));
    EXPECT_NE(Read(File("locked.xlsx")).error.find("加密"), std::string::npos);
    ASSERT_TRUE(CCompoundFile::WriteSingleStream(File("letter.xls"), "WordDocument", std::string(100, 'x')));
    EXPECT_NE(Read(File("letter.xls")).error.find("不是Excel工作簿"), std::string::npos);

    // A legacy workbook cut short.
    const std::string legacy = testsupport::ReadBytes(kData + "/students-600.xls");
    EXPECT_FALSE(refusal("cut.xls", legacy.substr(0, legacy.size() / 3)).empty());
}

TEST_F(SpreadsheetReaderTest, LegacyWorkbookStreamsAreCheckedBeforeReading)
{
    CCompoundFile file;
    std::string error;
    std::string stream;
    ASSERT_TRUE(file.Open(kData + "/students-600.xls", error)) << error;
    ASSERT_TRUE(file.ReadStream("Workbook", stream, error)) << error;
    auto record = [&](std::uint16_t type) {
        for (std::size_t pos = 0; pos + 4 <= stream.size();) {
            const auto t = static_cast<std::uint16_t>(static_cast<unsigned char>(stream[pos])
                                                      | static_cast<unsigned char>(stream[pos + 1]) << 8);
            const std::size_t size =
                static_cast<unsigned char>(stream[pos + 2]) | static_cast<unsigned char>(stream[pos + 3]) << 8;
            if (t == type)
                return pos;
            pos += 4 + size;
        }
        return std::string::npos;
    };

    // A sheet that claims all 65536 × 256 cells is read in the memory its
    // cells need.
    std::string wide = stream;
    const std::size_t dimension = record(0x0200);
    ASSERT_NE(dimension, std::string::npos);
    wide.replace(dimension + 4, 12, std::string("\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x01", 12));
    ASSERT_TRUE(CCompoundFile::WriteSingleStream(File("wide.xls"), "Workbook", wide));
    EXPECT_EQ(Read(File("wide.xls")).records.size(), 600u);

    // A password turns the records after it into noise: refused.
    std::string locked = stream;
    const std::size_t afterBof = 4 + 16;
    locked.insert(afterBof, std::string("\x2F\x00\x06\x00\x00\x00\x01\x00\x01\x00", 10));
    ASSERT_TRUE(CCompoundFile::WriteSingleStream(File("locked.xls"), "Workbook", locked));
    EXPECT_NE(Read(File("locked.xls")).error.find("加密"), std::string::npos);
}

TEST_F(SpreadsheetReaderTest, PartsThatInflatePastTheirBoundAreRefused)
{
    const std::string path = File("big.xlsx");
    XlsxBuilder builder(path);
    builder.Sheet("Sheet1");
    for (int row = 0; row < 20000; ++row)
        builder.Text(row, 0, "学生").Number(row, 1, row);
    builder.Close();

    CXlsxSource::Limits limits;
    limits.sheet = 256 << 10;
    CXlsxSource source(limits);
    ASSERT_TRUE(source.Open(path)) << source.GetError();
    // Refused before inflating when the archive says how large the part is.
    EXPECT_FALSE(source.BeginSheet(0));
    EXPECT_NE(source.GetError().find("解压后超过"), std::string::npos) << source.GetError();

    limits = CXlsxSource::Limits();
    limits.storedText = 1 << 10;
    EditMember(path, "xl/sharedStrings.xml",
               [](std::string& xml) { ReplaceAll(xml, "<t>学生</t>", "<t>" + std::string(4096, 'x') + "</t>"); });
    CXlsxSource strings(limits);
    EXPECT_FALSE(strings.Open(path));
    EXPECT_NE(strings.GetError().find("文字超过"), std::string::npos);
}

TEST(SheetNumberText, NumbersBecomeTheTextsOfTheirSinglePrecisionTenths)
{
    // The short way must give what the decimal text of the float rounded
    // to tenths gives, ties and tiny negatives included.
    std::mt19937_64 random(7);
    std::vector<double> values = {0.25, 0.75, 1.25, -0.25, -0.04, -0.05, 0.05, 0.95, 99.95, 149.95, 88.5,
                                  -88.5, 1e-9, 123456.78, 999999.95, 1e11 + 0.5, 0.1 + 0.2, 59.999999};
    std::uniform_real_distribution<double> scores(-200.0, 1000.0);
    std::uniform_real_distribution<double> large(-1e12, 1e12);
    for (int i = 0; i < 200000; ++i)
        values.push_back(i % 4 == 3 ? large(random) : i % 2 ? scores(random) : std::round(scores(random) * 100) / 100);
    for (int hundredths = -2000; hundredths <= 20000; ++hundredths)
        values.push_back(hundredths / 100.0);
    for (const double value : values) {
        if (value == std::floor(value))
            continue;
        EXPECT_EQ(CSheetText::CellToText(value), CNumberText::OneDecimal(static_cast<float>(value))) << value;
    }
    EXPECT_EQ(CSheetText::CellToText(85.0), "85");
    EXPECT_EQ(CSheetText::CellToText(-0.04), "-0");
    EXPECT_EQ(CSheetText::CellToText(88.46), "88.5");
    EXPECT_EQ(CSheetText::CellToText(std::nan("")), "");
}
