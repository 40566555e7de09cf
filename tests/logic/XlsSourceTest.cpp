#include "CompoundFile.h"
#include "XlsSource.h"

#include "TestSupport.h"

#include <cstdio>

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
