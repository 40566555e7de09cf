// The parts under the workbook writer: cell texts, numbers, the zip package,
// and the workbook as a reader of another make sees it.
#include "TestSupport.h"
#include "logic/export/CellText.h"
#include "logic/export/SheetXmlWriter.h"
#include "logic/export/WorkbookWriter.h"
#include "logic/export/ZipPackageWriter.h"
#include "logic/import/XlsxSource.h"
#include "logic/import/ZipArchive.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <random>
#include <sstream>

namespace {

std::string Escaped(std::string_view text, bool attribute = false)
{
    std::string out;
    CCellText::AppendEscaped(out, text, attribute);
    return out;
}

std::string Hex(const std::string& text)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const unsigned char c : text) {
        out += kDigits[c >> 4];
        out += kDigits[c & 0xF];
    }
    return out;
}

// The texts of every sheet as our own reader gives them: per sheet, per
// row, the cells' texts (numbers as the reader formats them).
std::vector<std::vector<std::vector<std::string>>> ReadBack(const std::string& path, std::vector<std::string>& names)
{
    std::vector<std::vector<std::vector<std::string>>> sheets;
    CXlsxSource source;
    EXPECT_TRUE(source.Open(path)) << source.GetError();
    names = source.SheetNames();
    for (std::size_t s = 0; s < names.size(); ++s) {
        EXPECT_TRUE(source.BeginSheet(s));
        std::vector<std::vector<std::string>> rows;
        CSheetSource::Row row;
        while (source.NextRow(row)) {
            std::vector<std::string> line;
            for (const auto& cell : row.cells) {
                if (cell.value.kind != CSheetCell::Kind::Number) {
                    line.push_back(cell.value.text);
                    continue;
                }
                char number[32];
                const auto written = std::to_chars(number, number + sizeof number, cell.value.number);
                line.emplace_back(number, written.ptr);
            }
            rows.push_back(line);
        }
        EXPECT_TRUE(source.GetError().empty()) << source.GetError();
        sheets.push_back(rows);
    }
    return sheets;
}

// What tests/logic/read_xlsx_package.py prints of the file; nullopt when
// there is no python3 to run it.
std::optional<std::string> ReadElsewhere(const std::string& path, int& status)
{
    if (std::system("python3 -c 'import zipfile, xml.etree.ElementTree' >/dev/null 2>&1") != 0)
        return std::nullopt;
    const std::string command = "python3 '" QUILLON_PACKAGE_READER "' '" + path + "' 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    status = pclose(pipe);
    return output;
}

CWorkbookWriter::Table Awkward()
{
    CWorkbookWriter::Table table;
    table.title = "名单 <A&B>";
    table.notes = {"注：第一行", " 前后有空格 "};
    table.footnotes = {"制表：教务处"};
    table.columns = {"序号", "姓名", "备注", "分数"};
    table.numeric = {true, false, false, true};
    table.widths = {6, 10, 20, 8};
    table.rows = {{"1", "张三", "a\rb\x01" "c", "92.5"},
                  {"2", "_x0041_", "tab\there\nline", "0.1"},
                  {"3", "  空格  ", "bad \xC3\x28 byte \xEF\xBF\xBF", "缺考"},
                  {"4", "李四", "", "-3"}};
    return table;
}

} // namespace

TEST(PackageWriterTest, CellTextsAreEscapedSoThatTheyReadBackUnchanged)
{
    EXPECT_EQ(Escaped("a<b>&c\"d'"), "a&lt;b&gt;&amp;c\"d'");
    EXPECT_EQ(Escaped("a\"b\tc\nd", true), "a&quot;b&#9;c&#10;d");
    // Control characters XML cannot hold, and text that looks like their escape.
    EXPECT_EQ(Escaped("a\rb\x01\x1F"), "a_x000D_b_x0001__x001F_");
    EXPECT_EQ(Escaped("_x0041_ _x004_ _y0041_ _"), "_x005F_x0041_ _x004_ _y0041_ _");
    EXPECT_EQ(Escaped("tab\there\nline"), "tab\there\nline");
    // Chinese passes; malformed, overlong, surrogate and non-characters do not.
    EXPECT_EQ(Escaped("分班表"), "分班表");
    EXPECT_EQ(Escaped("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Escaped("a\xC3(b"), "a\xEF\xBF\xBD(b");
    EXPECT_EQ(Escaped("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Escaped("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(Escaped("\xEF\xBF\xBE|\xEF\xBF\xBF"), "\xEF\xBF\xBD|\xEF\xBF\xBD");
    EXPECT_EQ(Escaped("\xE4\xB8"), "\xEF\xBF\xBD\xEF\xBF\xBD"); // cut short
    EXPECT_EQ(Escaped("\xF4\x90\x80\x80").substr(0, 3), "\xEF\xBF\xBD");

    EXPECT_TRUE(CCellText::NeedsPreserve(" a"));
    EXPECT_TRUE(CCellText::NeedsPreserve("a\n"));
    EXPECT_FALSE(CCellText::NeedsPreserve("a b"));
    EXPECT_FALSE(CCellText::NeedsPreserve(""));
    EXPECT_EQ(CCellText::Characters("分班 ab"), 5u);
}

TEST(PackageWriterTest, NumbersAreTheShortestTextOfTheSameValue)
{
    const auto text = [](double value) {
        std::string out;
        EXPECT_TRUE(CCellText::AppendNumber(out, value));
        return out;
    };
    EXPECT_EQ(text(85), "85");
    EXPECT_EQ(text(92.5), "92.5");
    EXPECT_EQ(text(-3), "-3");
    EXPECT_EQ(text(0), "0");
    EXPECT_EQ(text(0.1), "0.1");
    EXPECT_EQ(text(123456789012345.0), "123456789012345");
    EXPECT_EQ(text(1234567890.12345), "1234567890.12345");
    EXPECT_EQ(text(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(text(1e300), "1e+300");
    EXPECT_EQ(text(1e-7), "1e-07");
    std::string unused;
    EXPECT_FALSE(CCellText::AppendNumber(unused, std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(CCellText::AppendNumber(unused, std::nan("")));
    EXPECT_TRUE(unused.empty());

    // Every value reads back exactly.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> scores(-1000, 1000);
    for (int i = 0; i < 2000; ++i) {
        const double value = i % 2 ? scores(random) : std::ldexp(scores(random), static_cast<int>(random() % 200) - 100);
        const std::string written = text(value);
        double back = 0;
        const auto result = std::from_chars(written.data(), written.data() + written.size(), back);
        ASSERT_EQ(result.ptr, written.data() + written.size()) << written;
        ASSERT_EQ(back, value) << written;
        ASSERT_LE(written.size(), 24u) << written;
    }
}

TEST(PackageWriterTest, ColumnNamesReferencesAndWidths)
{
    const auto name = [](unsigned column) {
        std::string out;
        CCellText::AppendColumnName(out, column);
        return out;
    };
    EXPECT_EQ(name(0), "A");
    EXPECT_EQ(name(25), "Z");
    EXPECT_EQ(name(26), "AA");
    EXPECT_EQ(name(701), "ZZ");
    EXPECT_EQ(name(702), "AAA");
    EXPECT_EQ(name(16383), "XFD");
    EXPECT_EQ(CSheetXmlWriter::Reference(1, 1), "B2");
    EXPECT_EQ(CSheetXmlWriter::Reference(16383, 1048575), "XFD1048576");
    // Characters of the default font plus the cell's padding, in 256ths.
    EXPECT_EQ(CSheetXmlWriter::StoredWidth(3), 3.7109375);
    EXPECT_EQ(CSheetXmlWriter::StoredWidth(16), 16.7109375);
    EXPECT_EQ(CSheetXmlWriter::StoredWidth(8.43), 9.140625);
    EXPECT_EQ(CSheetXmlWriter::StoredWidth(0.5), 0.85546875);
    EXPECT_EQ(CSheetXmlWriter::StoredWidth(0), 0);
}

TEST(PackageWriterTest, PartsReadBackWhateverTheirSize)
{
    testsupport::TempFolder folder;
    const std::string path = folder.File("parts.zip");
    // Text that compresses well and noise that does not, each larger than
    // the writer's buffers, written in uneven pieces.
    std::string text;
    for (int i = 0; text.size() < (3u << 20); ++i)
        text += "<row r=\"" + std::to_string(i) + "\"><c>学生</c></row>";
    std::string noise(1u << 20, '\0');
    std::mt19937 random(11);
    for (char& c : noise)
        c = static_cast<char>(random());
    {
        CZipPackageWriter zip;
        ASSERT_TRUE(zip.Open(path));
        ASSERT_TRUE(zip.AddPart("empty.xml", ""));
        ASSERT_TRUE(zip.BeginPart("xl/text.xml"));
        for (std::size_t at = 0, piece = 1; at < text.size(); at += piece, piece = piece * 3 % 100003 + 1)
            ASSERT_TRUE(zip.Write(std::string_view(text).substr(at, piece)));
        ASSERT_TRUE(zip.EndPart());
        ASSERT_TRUE(zip.AddPart("noise.bin", noise));
        ASSERT_TRUE(zip.Close());
    }
    CZipArchive archive;
    std::string error;
    ASSERT_TRUE(archive.Open(path, error)) << error;
    for (const auto& [name, bytes] : std::map<std::string, std::string>{
             {"empty.xml", ""}, {"xl/text.xml", text}, {"noise.bin", noise}}) {
        std::string back;
        ASSERT_TRUE(archive.ReadMember(name, 64 << 20, back, error)) << name << ": " << error;
        EXPECT_EQ(back, bytes) << name;
    }
    EXPECT_LT(std::filesystem::file_size(path), noise.size() + text.size() / 5);
}

TEST(PackageWriterTest, MisuseAndUnwritableFilesFailThePackage)
{
    testsupport::TempFolder folder;
    {
        CZipPackageWriter zip;
        EXPECT_FALSE(zip.Open(folder.Dir()));
        EXPECT_FALSE(zip.AddPart("a.xml", "x"));
        EXPECT_FALSE(zip.Close());
    }
    {
        CZipPackageWriter zip;
        EXPECT_FALSE(zip.Open(folder.File("none/a.zip")));
    }
    for (int misuse = 0; misuse < 4; ++misuse) {
        CZipPackageWriter zip;
        ASSERT_TRUE(zip.Open(folder.File("bad.zip")));
        if (misuse == 0) {
            EXPECT_TRUE(zip.BeginPart("a.xml"));
            EXPECT_FALSE(zip.BeginPart("b.xml")); // the first is still open
        } else if (misuse == 1) {
            EXPECT_FALSE(zip.Write("x")); // outside a part
        } else if (misuse == 2) {
            EXPECT_FALSE(zip.AddPart("名单.xml", "x"));
        } else {
            EXPECT_TRUE(zip.BeginPart("a.xml"));
            EXPECT_TRUE(zip.Write("x")); // never ended
        }
        EXPECT_FALSE(zip.Close()) << misuse;
    }
}

TEST(PackageWriterTest, AwkwardTextsReadBackThroughOurReader)
{
    testsupport::TempFolder folder;
    const std::string path = folder.File("awkward.xlsx");
    const CWorkbookWriter::Table table = Awkward();
    std::string error;
    ASSERT_TRUE(CWorkbookWriter::ExportTables(path, {table, table}, error)) << error;

    std::vector<std::string> names;
    const auto sheets = ReadBack(path, names);
    EXPECT_EQ(names, (std::vector<std::string>{"名单 <A&B>", "名单 <A&B> (2)"}));
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0], sheets[1]);
    const auto& rows = sheets[0];
    ASSERT_EQ(rows.size(), 9u); // title, two notes, titles, four rows, footnote
    EXPECT_EQ(rows[0], std::vector<std::string>{"名单 <A&B>"});
    EXPECT_EQ(rows[2], std::vector<std::string>{" 前后有空格 "});
    EXPECT_EQ(rows[3], table.columns);
    EXPECT_EQ(rows[4], (std::vector<std::string>{"1", "张三", "a\rb\x01" "c", "92.5"}));
    EXPECT_EQ(rows[5], (std::vector<std::string>{"2", "_x0041_", "tab\there\nline", "0.1"}));
    EXPECT_EQ(rows[6], (std::vector<std::string>{"3", "  空格  ", "bad \xEF\xBF\xBD( byte \xEF\xBF\xBD", "缺考"}));
    EXPECT_EQ(rows[7], (std::vector<std::string>{"4", "李四", "-3"})); // the empty cell holds no value
    EXPECT_EQ(rows[8], std::vector<std::string>{"制表：教务处"});
}

TEST(PackageWriterTest, AnotherReaderSeesTheSameWorkbook)
{
    testsupport::TempFolder folder;
    const std::string path = folder.File("other.xlsx");
    CWorkbookWriter::Table big = Awkward();
    big.title = "大表";
    // Enough rows for the sheet to stream out in many pieces.
    for (int r = 5; r <= 6000; ++r)
        big.rows.push_back({std::to_string(r), "学生" + std::to_string(r), r % 2 ? "男" : "女",
                            std::to_string(r % 100) + ".5"});
    std::string error;
    ASSERT_TRUE(CWorkbookWriter::ExportTables(path, {Awkward(), big}, error)) << error;
    int status = -1;
    const std::optional<std::string> output = ReadElsewhere(path, status);
    if (!output)
        GTEST_SKIP() << "no python3 here";
    ASSERT_EQ(status, 0) << *output;

    std::istringstream lines(*output);
    std::vector<std::string> sheets;
    std::vector<std::map<std::string, std::string>> cells; // reference -> kind, look, value
    std::vector<std::vector<std::string>> merges;
    std::string widths;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string what, a, b, c, d;
        std::getline(fields, what, '\t');
        std::getline(fields, a, '\t');
        std::getline(fields, b, '\t');
        std::getline(fields, c, '\t');
        std::getline(fields, d, '\t');
        if (what == "sheet") {
            sheets.push_back(a);
            cells.emplace_back();
            merges.emplace_back();
        } else if (what == "cell") {
            cells.back()[a] = b + " " + c + " " + d;
        } else if (what == "merge") {
            merges.back().push_back(a);
        } else if (what == "width" && sheets.size() == 1) {
            widths += a + "-" + b + ":" + c + " ";
        }
    }
    ASSERT_EQ(sheets, (std::vector<std::string>{Hex("名单 <A&B>"), Hex("大表")}));
    const auto& first = cells[0];
    const auto at = [&](const std::map<std::string, std::string>& sheet, const std::string& reference) {
        const auto found = sheet.find(reference);
        return found == sheet.end() ? std::string("none") : found->second;
    };
    // Title and notes: merged over the table, centred and wrapped text.
    EXPECT_EQ(at(first, "B2"), "s tc " + Hex("名单 <A&B>"));
    EXPECT_EQ(at(first, "B4"), "s tc " + Hex(" 前后有空格 "));
    EXPECT_EQ(merges[0], (std::vector<std::string>{"B2:E2", "B3:E3", "B4:E4", "B10:E10"}));
    // Column titles bold, grey and framed; rows framed; figures in General.
    EXPECT_EQ(at(first, "C5"), "s bgftc " + Hex("姓名"));
    EXPECT_EQ(at(first, "B6"), "n fc " + Hex("1.0"));
    EXPECT_EQ(at(first, "E6"), "n fc " + Hex("92.5"));
    EXPECT_EQ(at(first, "D6"), "s ftc " + Hex("a\rb\x01" "c"));
    EXPECT_EQ(at(first, "C7"), "s ftc " + Hex("_x0041_"));
    EXPECT_EQ(at(first, "C8"), "s ftc " + Hex("  空格  "));
    EXPECT_EQ(at(first, "E8"), "s ftc " + Hex("缺考"));
    EXPECT_EQ(at(first, "D9"), "none");
    EXPECT_EQ(at(first, "B10"), "s tc " + Hex("制表：教务处"));
    EXPECT_EQ(widths, "1-1:3.7109375 2-2:6.7109375 3-3:10.7109375 4-4:20.7109375 5-5:8.7109375 "
                      "6-16384:16.7109375 ");
    // The second sheet, to its last row.
    ASSERT_EQ(cells[1].size(), first.size() + 5996 * 4);
    EXPECT_EQ(at(cells[1], "C6005"), "s ftc " + Hex("学生6000"));
    EXPECT_EQ(at(cells[1], "E6005"), "n fc " + Hex("0.5"));
    EXPECT_EQ(at(cells[1], "B6006"), "s tc " + Hex("制表：教务处"));
}

TEST(PackageWriterTest, ACellTooLongFailsAndLeavesTheFile)
{
    testsupport::TempFolder folder;
    const std::string path = folder.File("long.xlsx");
    CWorkbookWriter::Table table;
    table.title = "表";
    table.columns = {"备注"};
    std::string error;
    ASSERT_TRUE(CWorkbookWriter::ExportTable(path, table, error)) << error;
    const std::string before = testsupport::ReadBytes(path);

    // 32,767 characters fit a cell (Chinese ones take three bytes each).
    std::string fits;
    for (int i = 0; i < 32767; ++i)
        fits += "字";
    table.rows = {{fits}};
    ASSERT_TRUE(CWorkbookWriter::ExportTable(folder.File("fits.xlsx"), table, error)) << error;
    table.rows = {{fits + "a"}};
    EXPECT_FALSE(CWorkbookWriter::ExportTable(path, table, error));
    EXPECT_FALSE(error.empty());
    table.rows.clear();
    table.footnotes = {fits + "a"};
    EXPECT_FALSE(CWorkbookWriter::ExportTable(path, table, error));
    EXPECT_EQ(testsupport::ReadBytes(path), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2);
}
