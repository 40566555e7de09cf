// Which rows of a sheet become students: a row has to hold something in a
// column the import reads; a row without a name but with other values is
// kept and counted.
#include "logic/import/SpreadsheetReader.h"
#include "logic/editing/StudentTable.h"
#include "TestSupport.h"
#include "XlsxBuilder.h"

#include <gtest/gtest.h>

namespace {

// Feeds the sheet to the table as the import does; the rows refused.
int ImportSheet(CStudentTable& table, const std::string& path)
{
    CSpreadsheetReader reader;
    reader.SetHeaderName("姓名");
    EXPECT_TRUE(reader.Open(path)) << reader.GetFailureText();
    RowRequest header;
    header.quiet = true;
    header.mode = RowMode::Header;
    EXPECT_EQ(table.SubmitRow(header, reader.GetHeader()), 0);
    int refused = 0;
    std::vector<std::string> cells;
    int position = 0;
    while (reader.ReadRecord(cells, position)) {
        RowRequest request;
        request.quiet = true;
        if (table.SubmitRow(request, cells) != 0) {
            ++refused;
            EXPECT_FALSE(request.accepted);
            EXPECT_TRUE(request.message.empty()) << "a skipped row stops nothing";
        }
    }
    return refused;
}

} // namespace

TEST(StudentRowsTest, AStrayCellFarRightMakesNoStudent)
{
    testsupport::TempFolder folder;
    const std::string path = folder.File("名单.xlsx");
    {
        testsupport::XlsxBuilder book(path);
        book.Sheet("名单").Text(0, 0, "姓名").Text(0, 1, "性别").Text(0, 2, "*语文").Text(0, 3, "备注");
        book.Text(1, 0, "张三").Text(1, 1, "男").Number(1, 2, 85);
        // A note in a column the import does not read, and a stray cell far
        // to the right: no students.
        book.Text(2, 3, "转学");
        book.Number(3, 40, 1);
        book.Text(4, 0, "  ").Text(4, 40, "x");
        // No name but a sex and a score: a student to look at.
        book.Text(5, 1, "女").Number(5, 2, 70);
        book.Number(6, 2, 0);
        book.Text(7, 0, "李四");
    }
    CStudentTable table;
    EXPECT_EQ(ImportSheet(table, path), 3);
    ASSERT_EQ(table.GetRowCount(), 4u);
    EXPECT_EQ(table.CellText(0, CStudentTable::ColumnName), "张三");
    EXPECT_EQ(table.CellText(1, CStudentTable::ColumnSex), "女");
    EXPECT_EQ(table.CellText(2, CStudentTable::ColumnFirstScore), "0");
    EXPECT_EQ(table.CellText(3, CStudentTable::ColumnName), "李四");
    EXPECT_EQ(table.CellText(3, CStudentTable::ColumnNumber), "4") << "numbers have no gaps";
    EXPECT_EQ(table.NamelessCount(), 2u);
}
