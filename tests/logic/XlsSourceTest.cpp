#include "logic/import/CompoundFile.h"
#include "logic/import/SpreadsheetReader.h"
#include "logic/import/XlsSource.h"

#include "TestSupport.h"

#include <cstdio>
#include <cstring>

using namespace std::string_literals;

namespace {

const std::string kData = QUILLON_TEST_DATA;

// Every cell of every sheet, one line each, so that two readings of a
// workbook can be compared as text.
std::string Dump(CXlsSource& source)
{
    std::string out;
    const std::vector<std::string> names = source.SheetNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        out += "sheet " + names[i] + "\n";
        if (!source.BeginSheet(i)) {
            out += "error " + source.GetError() + "\n";
            continue;
        }
        CSheetSource::Row row;
        while (source.NextRow(row)) {
            for (const CSheetSource::Cell& cell : row.cells) {
                char place[48];
                std::snprintf(place, sizeof place, "%d,%d ", row.row, cell.column);
                out += place;
                switch (cell.value.kind) {
                case CSheetCell::Kind::Empty: out += "empty"; break;
                case CSheetCell::Kind::Text: out += "text " + cell.value.text; break;
                case CSheetCell::Kind::Date: out += "date " + cell.value.text; break;
                case CSheetCell::Kind::Other: out += "other"; break;
                case CSheetCell::Kind::Number: {
                    char number[40];
                    std::snprintf(number, sizeof number, "number %.17g", cell.value.number);
                    out += number;
                    break;
                }
                }
                out += "\n";
            }
        }
        if (!source.GetError().empty())
            out += "error " + source.GetError() + "\n";
    }
    return out;
}

std::string WorkbookStream(const std::string& path)
{
    CCompoundFile file;
    std::string error;
    std::string stream;
    EXPECT_TRUE(file.Open(path, error)) << path << ": " << error;
    EXPECT_TRUE(file.ReadStream("Workbook", stream, error)) << path << ": " << error;
    return stream;
}

std::string Dump(std::string stream)
{
    CXlsSource source;
    if (!source.Open(std::move(stream)))
        return "error " + source.GetError() + "\n";
    return Dump(source);
}

// Little-endian fields and records of a workbook stream.
std::string Le16(unsigned value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)};
}

std::string Le32(std::uint32_t value)
{
    return Le16(value & 0xFFFF) + Le16(value >> 16);
}

std::string Le64(double value)
{
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return Le32(static_cast<std::uint32_t>(bits)) + Le32(static_cast<std::uint32_t>(bits >> 32));
}

std::string Record(unsigned type, const std::string& data)
{
    return Le16(type) + Le16(static_cast<unsigned>(data.size())) + data;
}

// A string of two-byte characters with a 16-bit count (8-bit with shortCount).
std::string Wide(const std::u16string& text, bool shortCount = false)
{
    std::string out =
        shortCount ? std::string(1, static_cast<char>(text.size())) : Le16(static_cast<unsigned>(text.size()));
    out += '\x01';
    for (char16_t unit : text)
        out += Le16(unit);
    return out;
}

// The same with one-byte characters.
std::string Narrow(const std::string& latin1)
{
    return Le16(static_cast<unsigned>(latin1.size())) + '\0' + latin1;
}

std::string Cell(unsigned row, unsigned column, unsigned format = 0)
{
    return Le16(row) + Le16(column) + Le16(format);
}

std::string Bof(unsigned kind, unsigned version = 0x0600)
{
    return Record(0x0809, Le16(version) + Le16(kind) + std::string(12, '\0'));
}

// UTF-8 text of the Basic Multilingual Plane as UTF-16.
std::u16string Utf16(const std::string& utf8)
{
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : 3;
        char16_t unit = length == 1 ? c : length == 2 ? c & 0x1F : c & 0x0F;
        for (std::size_t k = 1; k < length; ++k)
            unit = static_cast<char16_t>(unit << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F));
        out += unit;
        i += length;
    }
    return out;
}

struct SheetRecords
{
    std::string name;
    std::string records;
    unsigned kind = 0; // 0 worksheet, 2 chart
};

// A whole workbook stream: the global records given, the sheet list, and
// each sheet's records between its beginning and end.
std::string Workbook(const std::string& globals, const std::vector<SheetRecords>& sheets, unsigned version = 0x0600)
{
    std::string head = Bof(0x0005, version) + globals;
    std::vector<std::size_t> offsetAt;
    for (const SheetRecords& sheet : sheets) {
        offsetAt.push_back(head.size() + 4);
        const std::string gbk = testsupport::Gbk(sheet.name);
        const std::string name =
            version == 0x0600 ? Wide(Utf16(sheet.name), true) : static_cast<char>(gbk.size()) + gbk;
        head += Record(0x0085, Le32(0) + '\0' + static_cast<char>(sheet.kind) + name);
    }
    head += Record(0x000A, "");
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        head.replace(offsetAt[i], 4, Le32(static_cast<std::uint32_t>(head.size())));
        head += Bof(sheets[i].kind == 2 ? 0x0020 : 0x0010, version) + sheets[i].records + Record(0x000A, "");
    }
    return head;
}

std::string OneSheet(const std::string& globals, const std::string& cells)
{
    return Workbook(globals, {{"表", cells}});
}

} // namespace

// The cells of the legacy workbooks of the test data, as the reader gave
// them when the files were made.
TEST(XlsSourceTest, WorkbooksReadAsTheyAlwaysHave)
{
    const std::string expected = testsupport::ReadBytes(kData + "/legacy-cells.txt");
    ASSERT_FALSE(expected.empty());
    std::string actual;
    for (const char* name : {"students-mini.xls", "students-1904.xls", "students-600.xls", "notes-first.xls"}) {
        CXlsSource source;
        actual += std::string("file ") + name + "\n";
        if (!source.Open(WorkbookStream(kData + "/" + name)))
            actual += "error " + source.GetError() + "\n";
        else
            actual += Dump(source);
    }
    EXPECT_EQ(actual, expected);
}

TEST(XlsSourceTest, CellsOfEveryKindAWorkbookStores)
{
    // Shared strings, one of them with formatting runs and phonetic data
    // after its characters; a date format of the workbook's own and a
    // built-in one.
    const std::string strings = Le32(3) + Le32(3) + Narrow("Li") + Wide(u"张三") + Le16(2) + '\x0D' + Le16(1) + Le32(2)
                                + Le16('a') + Le16('b') + "RRRR" + "PP";
    const std::string globals = Record(0x041E, Le16(164) + Wide(u"yyyy\"年\"m\"月\"d\"日\""))
                                + Record(0x00E0, Le16(0) + Le16(0) + std::string(16, '\0'))
                                + Record(0x00E0, Le16(0) + Le16(164) + std::string(16, '\0'))
                                + Record(0x00E0, Le16(0) + Le16(20) + std::string(16, '\0')) + Record(0x00FC, strings);
    const double rkFloat = 2.5;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &rkFloat, sizeof bits);
    const std::string cells =
        Record(0x0200, std::string(14, '\0')) + Record(0x00FD, Cell(0, 0) + Le32(1))
        + Record(0x00FD, Cell(0, 1) + Le32(0)) + Record(0x00FD, Cell(0, 2) + Le32(2))
        + Record(0x027E, Cell(1, 0) + Le32(85u << 2 | 2)) +                         // integer
        Record(0x027E, Cell(1, 1) + Le32(9250u << 2 | 3)) +                         // integer / 100
        Record(0x027E, Cell(1, 2) + Le32(static_cast<std::uint32_t>(bits >> 32))) + // upper bits of a double
        Record(0x027E, Cell(1, 3) + Le32(static_cast<std::uint32_t>(-7) << 2 | 2))
        + Record(0x00BD, Le16(2) + Le16(1) + Le16(0) + Le32(1u << 2 | 2) + Le16(0) + Le32(2u << 2 | 2) + Le16(2))
        + Record(0x0203, Cell(3, 0, 1) + Le64(40057)) + // own date format
        Record(0x0203, Cell(3, 1, 2) + Le64(0.5)) +     // built-in time format
        Record(0x0203, Cell(3, 2, 9) + Le64(40057)) +   // a format that does not exist: a number
        Record(0x0006, Cell(4, 0) + Le64(3.5) + Le16(0) + Le32(0) + Le16(0))
        + Record(0x0006, Cell(4, 1) + "\x00\x00\x00\x00\x00\x00\xFF\xFF"s + Le16(0) + Le32(0) + Le16(0))
        + Record(0x04BC, std::string(8, '\0')) + // a shared formula between formula and result
        Record(0x0207, Wide(u"合计"))
        + Record(0x0006, Cell(4, 2) + "\x01\x00\x01\x00\x00\x00\xFF\xFF"s + Le16(0) + Le32(0) + Le16(0))
        + Record(0x0006, Cell(4, 3) + "\x03\x00\x00\x00\x00\x00\xFF\xFF"s + Le16(0) + Le32(0) + Le16(0))
        + Record(0x0205, Cell(5, 0) + "\x01\x00"s) + Record(0x0205, Cell(5, 1) + "\x07\x01"s)
        + Record(0x0201, Cell(5, 2)) + Record(0x0204, Cell(6, 0) + Wide(u"王五"))
        + Record(0x0204, Cell(6, 1) + Narrow(""));
    EXPECT_EQ(Dump(OneSheet(globals, cells)), "sheet 表\n"
                                              "0,0 text 张三\n0,1 text Li\n0,2 text ab\n"
                                              "1,0 number 85\n1,1 number 92.5\n1,2 number 2.5\n1,3 number -7\n"
                                              "2,1 number 1\n2,2 number 2\n"
                                              "3,0 date 2009-09-01\n3,1 date 12:00:00\n3,2 number 40057\n"
                                              "4,0 number 3.5\n4,1 text 合计\n4,2 other\n"
                                              "5,0 other\n5,1 other\n6,0 text 王五\n");
}

TEST(XlsSourceTest, StringsThatGoOnInContinuationRecords)
{
    // The second string starts in one-byte characters and goes on in two
    // bytes in the next record; its formatting runs go on in the third.
    const std::string sst = Record(0x00FC, Le32(2) + Le32(2) + Narrow("AB") + Le16(4) + '\x08' + Le16(2) + "xy")
                            + Record(0x003C, '\x01' + Le16(u'张') + Le16(u'三') + "RRRR") + Record(0x003C, "SSSS");
    const std::string cells = Record(0x00FD, Cell(0, 0) + Le32(0)) + Record(0x00FD, Cell(0, 1) + Le32(1)) +
                              // a text cell and a formula result that each go on in a record of their own
                              Record(0x0204, Cell(1, 0) + Le16(3) + '\0' + "ab") + Record(0x003C, "\x01"s + Le16(u'丙'))
                              + Record(0x0006, Cell(1, 1) + "\x00\x00\x00\x00\x00\x00\xFF\xFF"s + Le16(0) + Le32(0))
                              + Record(0x0207, Le16(2) + '\x01' + Le16(u'甲')) + Record(0x003C, "\x00z"s);
    EXPECT_EQ(Dump(OneSheet(sst, cells)), "sheet 表\n0,0 text AB\n0,1 text xy张三\n1,0 text ab丙\n1,1 text 甲z\n");

    // A string table whose count is far beyond its strings holds the
    // strings that are there; one whose string runs past its records is
    // damaged, as is a cell that asks for a string beyond the table.
    const std::string huge = Record(0x00FC, Le32(0xFFFFFFFF) + Le32(0xFFFFFFFF) + Narrow("A"));
    EXPECT_EQ(Dump(OneSheet(huge, Record(0x00FD, Cell(0, 0) + Le32(0)))), "sheet 表\n0,0 text A\n");
    EXPECT_EQ(Dump(OneSheet(huge, Record(0x00FD, Cell(0, 0) + Le32(1)))),
              "sheet 表\nerror 文件已损坏：单元格所引用的文字不在工作簿中。\n");
    const std::string cut =
        Record(0x00FC, Le32(1) + Le32(1) + Le16(0xFFFF) + '\x01' + "ab") + Record(0x003C, "\x01zz"s);
    EXPECT_EQ(Dump(OneSheet(cut, "")), "error 文件已损坏：工作簿的共享文字表无法读取。\n");
}

TEST(XlsSourceTest, CellsStoredOutOfOrderOrTwiceOrBeyondTheSheet)
{
    // The later record counts, a text on a number and a number on a text
    // alike; columns past the last a sheet has are no cells.
    const std::string cells = Record(0x0203, Cell(2, 0) + Le64(1)) + Record(0x0204, Cell(0, 1) + Wide(u"名"))
                              + Record(0x0203, Cell(0, 1) + Le64(7)) + Record(0x0204, Cell(2, 0) + Wide(u"后"))
                              + Record(0x0203, Cell(1, 300) + Le64(5))
                              + Record(0x00BD, Le16(1) + Le16(254) + Le16(0) + Le32(1u << 2 | 2) + Le16(0)
                                                   + Le32(2u << 2 | 2) + Le16(0) + Le32(3u << 2 | 2) + Le16(256))
                              + Record(0x0203, Cell(65535, 0) + Le64(9));
    EXPECT_EQ(Dump(OneSheet("", cells)),
              "sheet 表\n0,1 number 7\n1,254 number 1\n1,255 number 2\n2,0 text 后\n65535,0 number 9\n");
}

TEST(XlsSourceTest, SheetsChartsAndOlderWorkbooks)
{
    // A chart sheet is no worksheet; a chart inside a sheet has records of
    // its own that are not the sheet's. Dates count from 1904 where the
    // workbook says so.
    const std::string chartInside = Bof(0x0020) + Record(0x0203, Cell(0, 0) + Le64(99)) + Record(0x000A, "");
    const std::string xf = Record(0x00E0, Le16(0) + Le16(14) + std::string(16, '\0'));
    const std::string book = Workbook(
        Record(0x0022, Le16(1)) + xf,
        {{"图", Record(0x0203, Cell(0, 0) + Le64(1)), 2},
         {"名单", Record(0x0203, Cell(0, 0) + Le64(2)) + chartInside + Record(0x0203, Cell(1, 0) + Le64(0)), 0}});
    EXPECT_EQ(Dump(book), "sheet 名单\n0,0 date 1904-01-03\n1,0 date 1904-01-01\n");

    // The format of version 5: strings in the workbook's code page.
    const std::string label = testsupport::Gbk("张三");
    const std::string old =
        Workbook(Record(0x0042, Le16(936)), {{"学生", Record(0x0204, Cell(0, 0) + Le16(4) + label)}}, 0x0500);
    EXPECT_EQ(Dump(old), "sheet 学生\n0,0 text 张三\n");

    // Too old a version, and no workbook at all.
    EXPECT_NE(Dump(Workbook("", {{"a", ""}}, 0x0400)).find("早期版本"), std::string::npos);
    EXPECT_EQ(Dump(Workbook("", {})), "error 工作簿中没有工作表。\n");
}

TEST(XlsSourceTest, DamagedRecordsAreReportedNotRead)
{
    auto error = [](const std::string& cells) { return Dump(OneSheet("", cells)); };
    const std::string damaged = "sheet 表\nerror 文件已损坏：工作簿中有长度与内容不符的记录。\n";
    // Each cell record one byte short of its fields.
    EXPECT_EQ(error(Record(0x0203, Cell(0, 0) + "1234567"s)), damaged);
    EXPECT_EQ(error(Record(0x027E, Cell(0, 0) + "123"s)), damaged);
    EXPECT_EQ(error(Record(0x00BD, Cell(0, 0) + "1234"s)), damaged);
    EXPECT_EQ(error(Record(0x00FD, Cell(0, 0) + "123"s)), damaged);
    EXPECT_EQ(error(Record(0x0205, Cell(0, 0) + "1"s)), damaged);
    EXPECT_EQ(error(Record(0x0006, Cell(0, 0) + "1234567"s)), damaged);
    EXPECT_EQ(error(Record(0x0204, Cell(0, 0) + Le16(0xFFFF) + '\x01' + "ab")), damaged);
    EXPECT_EQ(error(Record(0x0204, "\x01"s)), damaged);

    // A record that runs past the end of the stream, and a sheet list that
    // points past it.
    std::string cut = OneSheet("", Record(0x0203, Cell(0, 0) + Le64(1)));
    cut.resize(cut.size() - 6);
    EXPECT_EQ(Dump(cut), "sheet 表\nerror 文件已损坏：工作簿的数据被截断。\n");
    std::string astray = OneSheet("", "");
    astray.replace(astray.find("\x85\x00"s) + 4, 4, Le32(1u << 30));
    EXPECT_EQ(Dump(astray), "sheet 表\nerror 文件已损坏：找不到工作表“表”的数据。\n");
}

// Files with a few bytes changed (made by tests/data/hostile/make-hostile.py)
// read as far as they are sound or are refused with a reason.
TEST(XlsSourceTest, DamagedFilesGiveAReasonOrTheirSoundRows)
{
    struct Case
    {
        const char* file;
        const char* error; // what the reason says; null when the file reads
        std::size_t records;
    };
    const Case cases[] = {
        {"dimension-13.xls", "文件已损坏", 0},
        {"label-count-ffff.xls", "文件已损坏：工作簿中有长度与内容不符的记录。", 0},
        {"number-on-text.xls", nullptr, 600},
        {"sst-count-huge.xls", nullptr, 600},
        {"label-continues.xls", "文件已损坏", 0},
        {"label-short.xls", "文件已损坏", 0},
        {"record-past-end.xls", "文件已损坏：工作簿的数据被截断。", 0},
        {"sheet-without-end.xls", nullptr, 600},
        {"directory-loop.xls", "文件已损坏：工作簿的内部结构无法读取。", 0},
        {"mini-stream-loop.xls", "文件已损坏：工作簿的内部结构无法读取。", 0},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.file);
        CSpreadsheetReader reader;
        reader.SetHeaderName("姓名");
        std::size_t records = 0;
        if (reader.Open(kData + "/hostile/" + test.file)) {
            std::vector<std::string> cells;
            int position = 0;
            while (reader.ReadRecord(cells, position))
                ++records;
        }
        if (test.error) {
            EXPECT_NE(reader.GetError().find(test.error), std::string::npos) << reader.GetError();
        } else {
            EXPECT_EQ(reader.GetError(), "");
            EXPECT_EQ(records, test.records);
        }
    }
}

// Any one byte of a workbook stream changed: read or refused, never more.
// (The sanitizer build checks that nothing is read out of bounds.)
TEST(XlsSourceTest, EveryByteOfAStreamChangedInTurn)
{
    const std::string stream = WorkbookStream(kData + "/students-mini.xls");
    ASSERT_FALSE(stream.empty());
    std::size_t refused = 0;
    for (std::size_t at = 0; at < stream.size(); ++at) {
        for (const int value : {0x00, 0xFF, static_cast<unsigned char>(stream[at]) + 1}) {
            std::string changed = stream;
            changed[at] = static_cast<char>(value);
            const std::string dump = Dump(changed);
            if (dump.find("error ") != std::string::npos) {
                ++refused;
                EXPECT_EQ(dump.find("error \n"), std::string::npos) << at << ": a refusal without a reason";
            }
        }
    }
    EXPECT_GT(refused, 0u);

    // The same for the container around it: its header, allocation tables
    // and directory, in the first four sectors.
    const std::string file = testsupport::ReadBytes(kData + "/students-mini.xls");
    ASSERT_GE(file.size(), 2048u);
    refused = 0;
    for (std::size_t at = 0; at < 2048; ++at) {
        for (const int value : {0x00, 0xFF, static_cast<unsigned char>(file[at]) + 1}) {
            std::string changed = file;
            changed[at] = static_cast<char>(value);
            CCompoundFile container;
            std::string error;
            std::string stream;
            if (!container.OpenBytes(changed, error) || !container.ReadStream("Workbook", stream, error)) {
                ++refused;
                EXPECT_FALSE(error.empty()) << at;
                continue;
            }
            Dump(stream);
        }
    }
    EXPECT_GT(refused, 0u);
}
