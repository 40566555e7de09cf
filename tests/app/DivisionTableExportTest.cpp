// The division table's "导出到EXCEL": the workbook written holds what the
// table shows, read back by the program's own reader; the completion
// question opens it or not; a failure says so.
#include "ResultsTestSupport.h"
#include "ShellTestSupport.h"

#include "core/DivisionTableData.h"
#include "gui/results/DivisionTableDialog.h"
#include "logic/import/SpreadsheetReader.h"
#include "logic/export/WorkbookWriter.h"

#include <QComboBox>
#include <QFileInfo>
#include <QPushButton>

#include <gtest/gtest.h>

using shelltest::str;

namespace {

const QString kDone = QStringLiteral("导出成功! 现在要打开EXCEL文档吗？");

class DivisionTableExport : public shelltest::ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        ResultsTest::MakeSchool(task, 30, 3, true);
        CTaskInfo info;
        info.SetTaskFolder(str(path(QStringLiteral("task"))));
        task.SetTaskInfo(info);
        manager();
    }

    // The sheet as the import would read it: the title row, then from the
    // header row on.
    struct Sheet
    {
        std::string title;
        std::vector<std::string> header;
        std::vector<std::vector<std::string>> rows;
    };
    static Sheet Read(const QString& file)
    {
        Sheet sheet;
        CSpreadsheetReader titles;
        EXPECT_TRUE(titles.Open(str(file))) << titles.GetError();
        sheet.title = titles.GetHeader().empty() ? std::string() : titles.GetHeader().front();
        CSpreadsheetReader reader;
        reader.SetHeaderName("姓名");
        EXPECT_TRUE(reader.Open(str(file))) << reader.GetError();
        sheet.header = reader.GetHeader();
        std::vector<std::string> cells;
        int position = 0;
        while (reader.ReadRecord(cells, position))
            sheet.rows.push_back(cells);
        return sheet;
    }

    // What the table shows, without the hidden id column.
    static std::vector<std::vector<std::string>> Shown(const CDivisionTableData& data)
    {
        std::vector<std::vector<std::string>> rows;
        for (std::size_t row = 0; row < data.GetRowCount(); ++row) {
            std::vector<std::string> cells;
            for (int column = CDivisionTableData::ColumnNumber; column < data.GetColumnCount(); ++column)
                cells.push_back(data.CellText(row, column));
            rows.push_back(cells);
        }
        return rows;
    }

    CScheduleTask task;
};

} // namespace

TEST_F(DivisionTableExport, WritesWhatTheTableShowsAndOpensItOnYes)
{
    CDivisionTableDialog dialog(task);
    const QString file = path(QStringLiteral("全校.xlsx"));
    CMessageBox::pushPath(file);
    CMessageBox::pushAnswer(QMessageBox::Yes);
    dialog.exportButton()->click();
    EXPECT_EQ(CMessageBox::shownTexts(), QStringList{kDone});
    ASSERT_EQ(CMessageBox::shownChoosers().size(), 1u);
    const CMessageBox::Chooser& chooser = CMessageBox::shownChoosers().front();
    EXPECT_EQ(QFileInfo(chooser.dir).fileName(), QStringLiteral("分班表.xlsx"));
    EXPECT_EQ(chooser.filter, QStringLiteral("Excel 文件 (*.xlsx)"));
    ASSERT_EQ(CMessageBox::openedUrls().size(), 1u);
    EXPECT_EQ(CMessageBox::openedUrls().front().toLocalFile(), file);

    const Sheet sheet = Read(file);
    EXPECT_EQ(sheet.title, "分班表");
    const std::vector<std::string> titles = dialog.tableData().ColumnTitles();
    EXPECT_EQ(sheet.header, std::vector<std::string>(titles.begin() + CDivisionTableData::ColumnNumber, titles.end()));
    EXPECT_EQ(sheet.rows.size(), 30u);
    EXPECT_EQ(sheet.rows, Shown(dialog.tableData()));

    // One class: its rows under its name; a name typed without the
    // extension gets it. No: the file stays unopened.
    dialog.classChooser()->setCurrentIndex(2);
    CMessageBox::clearTestState();
    CMessageBox::pushPath(path(QStringLiteral("一个班")));
    CMessageBox::pushAnswer(QMessageBox::No);
    dialog.exportButton()->click();
    EXPECT_EQ(CMessageBox::shownTexts(), QStringList{kDone});
    EXPECT_TRUE(CMessageBox::openedUrls().empty());
    const Sheet one = Read(path(QStringLiteral("一个班.xlsx")));
    EXPECT_EQ(one.title, str(dialog.classChooser()->currentText()));
    EXPECT_EQ(one.rows, Shown(dialog.tableData()));
    EXPECT_EQ(one.rows.size(), 10u);
}

TEST_F(DivisionTableExport, AFailureSaysSoAndAsksNothingMore)
{
    CDivisionTableDialog dialog(task);
    CMessageBox::pushPath(path(QStringLiteral("没有这个文件夹/分班表.xlsx")));
    dialog.exportButton()->click();
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    EXPECT_TRUE(CMessageBox::shownTexts().front().startsWith(QString::fromUtf8(CWorkbookWriter::kExportFailure)));
    EXPECT_EQ(CMessageBox::shownMessages().front().icon, CMessageBox::Icon::Error);
    EXPECT_TRUE(CMessageBox::openedUrls().empty());
}
