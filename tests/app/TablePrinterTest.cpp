// The table printer and the list printing, checked on the PDF files they
// write.
#include "PdfTestSupport.h"

#include "gui/render/ListPrinter.h"
#include "gui/common/MessageBox.h"
#include "gui/render/TablePrinter.h"
#include "TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

using P = CTablePrinter;
using namespace PdfTest;

namespace {

class TablePrinterTest : public PdfFileTest
{
protected:
    TablePrinterTest() : PdfFileTest("out.pdf") {}

    // A job on the PDF file with three font sets (8, 9 and 10 pt) and the
    // margins the lists are printed with, its first page started unless
    // startPage is false.
    void Begin(CTablePrinter& printer, bool startPage = true)
    {
        ASSERT_EQ(printer.StartPdf(pdf), 0);
        ASSERT_TRUE(printer.StartDoc());
        ASSERT_EQ(printer.AddFont(QStringLiteral("宋体"), 8, 8), 0);
        ASSERT_EQ(printer.AddFont(QStringLiteral("宋体"), 9, 9), 1);
        ASSERT_EQ(printer.AddFont(QStringLiteral("宋体"), 10, 10), 2);
        printer.SetMargins(40, 160, 200, 200);
        printer.SetLineSpacing(5);
        if (startPage) {
            ASSERT_EQ(printer.StartPage(), 0);
        }
    }

    static void RuledTable(CTablePrinter& printer, const std::vector<int>& widths)
    {
        printer.SetColumns(widths);
        printer.setCellGap(200);
        printer.setHorizontalRules(true);
        printer.setVerticalRules(true);
        printer.setPenWidth(5);
        printer.setTableAlignment(P::TableAlignment::Centre);
    }

    QStringList FolderEntries() const
    {
        return QDir(QString::fromStdString(folder.Path().string()))
            .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST_F(TablePrinterTest, LongTableContinuesOnNewPagesWithItsColumns)
{
    CTablePrinter printer;
    Begin(printer);
    RuledTable(printer, {600, 900, 600});
    std::vector<std::pair<int, P::PagePart>> calls;
    printer.setPageHook([&](CTablePrinter& p, int page, P::PagePart part) {
        calls.emplace_back(page, part);
        if (part == P::PagePart::Header) {
            p.PrintText(1, QStringLiteral("页眉%1").arg(page));
            // Whatever the hook changes, the table goes on as it was.
            p.SetColumns({3000});
            p.setCellGap(0);
            p.setTableAlignment(P::TableAlignment::Right);
        }
    });
    printer.enableHook(true);
    for (int row = 1; row <= 150; ++row)
        printer.PrintTableRow(0, QStringLiteral("a%1|b%1|c%1").arg(row));
    const int pages = printer.getPageNumber();
    printer.EndPage();
    ASSERT_TRUE(printer.EndDoc());

    ASSERT_GE(pages, 3);
    EXPECT_EQ(PageCount(pdf), pages);
    // Header and footer of every page, with its own number.
    ASSERT_EQ(calls.size(), static_cast<std::size_t>(2 * pages));
    for (int page = 1; page <= pages; ++page) {
        EXPECT_EQ(calls[2 * (page - 1)], std::make_pair(page, P::PagePart::Header));
        EXPECT_EQ(calls[2 * page - 1], std::make_pair(page, P::PagePart::Footer));
    }

    const auto first = Words(pdf, 1);
    const auto last = Words(pdf, pages);
    EXPECT_FALSE(Find(first, QStringLiteral("页眉1")).text.isEmpty());
    EXPECT_FALSE(Find(last, QStringLiteral("页眉%1").arg(pages)).text.isEmpty());
    ASSERT_FALSE(Find(last, QStringLiteral("c150")).text.isEmpty());
    for (const char* column : {"a", "b", "c"}) {
        const Word top = Find(first, QStringLiteral("%1%2").arg(QLatin1String(column)).arg(1));
        const Word bottom = Find(last, QStringLiteral("%1%2").arg(QLatin1String(column)).arg(150));
        EXPECT_NEAR(top.left, bottom.left, 0.5) << column;
    }
    // Every row once, none lost at a page break.
    const QString text = Text(pdf);
    for (int row = 1; row <= 150; ++row)
        EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("\\ba%1\\b").arg(row))), 1) << row;
}

TEST_F(TablePrinterTest, CellsGoToTheirColumnsWhateverTheRowHolds)
{
    CTablePrinter printer;
    Begin(printer);
    RuledTable(printer, {500, 500, 500});
    printer.PrintTableRow(0, QStringLiteral("a1|b1|c1"));
    printer.PrintTableRow(0, QStringLiteral("solo"));
    printer.PrintTableRow(0, QStringLiteral("a3||c3"));
    printer.PrintTableRow(0, QStringLiteral("a4|b4|c4|extra"));
    // Cells given one by one may hold the separator.
    printer.printTableCells(0, {QStringLiteral("x|y"), QStringLiteral("b5")});
    printer.EndPage();
    ASSERT_TRUE(printer.EndDoc());

    const auto words = Words(pdf, 1);
    const Word a1 = Find(words, QStringLiteral("a1"));
    const Word b1 = Find(words, QStringLiteral("b1"));
    const Word c1 = Find(words, QStringLiteral("c1"));
    EXPECT_NEAR(Find(words, QStringLiteral("solo")).left, a1.left, 0.5);
    EXPECT_NEAR(Find(words, QStringLiteral("c3")).left, c1.left, 0.5);
    EXPECT_NEAR(Find(words, QStringLiteral("b5")).left, b1.left, 0.5);
    EXPECT_NEAR(Find(words, QStringLiteral("x|y")).left, a1.left, 0.5);
    EXPECT_FALSE(Find(words, QStringLiteral("c4")).text.isEmpty());
    EXPECT_TRUE(Find(words, QStringLiteral("extra")).text.isEmpty());
    // The rows stand one under the other in the order printed.
    EXPECT_LT(a1.top, Find(words, QStringLiteral("solo")).top);
    EXPECT_LT(Find(words, QStringLiteral("solo")).top, Find(words, QStringLiteral("c3")).top);
}

TEST_F(TablePrinterTest, LongTextWrapsAfterASpaceNearTheEndOfALine)
{
    CTablePrinter printer;
    Begin(printer);
    // A printable width of sixty letters.
    const int width = printer.textWidth(0, P::Normal, QString(60, QLatin1Char('a')));
    printer.SetMargins(-1, -1, 200, printer.getPageWidth() - 200 - width);
    const QString nearSpace = QString(50, QLatin1Char('a')) + QLatin1Char(' ') + QString(100, QLatin1Char('b'));
    const QString farSpace = QStringLiteral("x ") + QString(100, QLatin1Char('y'));
    printer.PrintText(0, nearSpace);
    printer.PrintText(0, farSpace);
    printer.EndPage();
    ASSERT_TRUE(printer.EndDoc());

    const QStringList lines = Lines(Text(pdf));
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[0], QString(50, QLatin1Char('a')));
    // Without a space near the end the line is cut where it is full.
    EXPECT_EQ(lines[1].count(QLatin1Char('b')), lines[1].size());
    EXPECT_LE(printer.textWidth(0, P::Normal, lines[1]), width);
    EXPECT_GT(printer.textWidth(0, P::Normal, lines[1] + QLatin1Char('b')), width);
    EXPECT_EQ(lines[0] + lines[1] + lines[2], QString(nearSpace).remove(QLatin1Char(' ')));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("x y"))) << lines[3].toStdString();
    EXPECT_EQ(lines[3] + lines[4], farSpace);
}

TEST_F(TablePrinterTest, ListPrintsTitleHeaderAndRowsInChinese)
{
    CListPrinter::List list;
    list.title = QStringLiteral("班级信息");
    list.columnTitles = {QStringLiteral("班级名称"), QStringLiteral("人数")};
    list.columnWidths = {360, 100};
    list.rows = {{QStringLiteral("初一(1)班"), QStringLiteral("45")},
                 {QStringLiteral("初一(2)班"), QStringLiteral("46")}};
    CTablePrinter printer;
    ASSERT_EQ(printer.StartPdf(pdf), 0);
    ASSERT_TRUE(CListPrinter::print(printer, list));

    EXPECT_EQ(PageCount(pdf), 1);
    const QStringList lines = Lines(Text(pdf));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("班级信息"));
    EXPECT_TRUE(lines[1].contains(QRegularExpression(QStringLiteral("班级名称\\s+人数"))));
    EXPECT_TRUE(lines[2].contains(QRegularExpression(QStringLiteral("初一\\(1\\)班\\s+45"))));
    EXPECT_TRUE(lines[3].contains(QRegularExpression(QStringLiteral("初一\\(2\\)班\\s+46"))));
    // The column keeps its on-screen width on paper: the count's title fits.
    const auto words = Words(pdf, 1);
    EXPECT_GT(Find(words, QStringLiteral("人数")).left - Find(words, QStringLiteral("班级名称")).left, 72.0);
}

TEST_F(TablePrinterTest, CancelledDialogPrintsNothingAndSaysNothing)
{
    CListPrinter::List list{QStringLiteral("班级信息"), {QStringLiteral("班级名称")}, {360}, {}};
    EXPECT_TRUE(CListPrinter::printWithDialog(nullptr, list));
    ASSERT_EQ(CMessageBox::shownChoosers().size(), 1u);
    EXPECT_EQ(CMessageBox::shownChoosers()[0].title, QStringLiteral("打印"));
    EXPECT_TRUE(CMessageBox::shownMessages().empty());

    // Choosing a PDF file in the dialog prints there.
    CMessageBox::pushPath(pdf);
    EXPECT_TRUE(CListPrinter::printWithDialog(nullptr, list));
    EXPECT_EQ(PageCount(pdf), 1);
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("out.pdf")});
}

TEST_F(TablePrinterTest, FailuresGiveTheirErrorCodes)
{
    CTablePrinter missing;
    EXPECT_EQ(missing.StartPrint(nullptr, QStringLiteral("没有这台打印机")), -1);
    EXPECT_EQ(missing.getErrorCode(), P::kErrorOpenPrinter);
    EXPECT_EQ(missing.StartPdf(QString::fromStdString(folder.File("no/such/folder.pdf"))), -1);
    EXPECT_EQ(missing.getErrorCode(), P::kErrorOpenPrinter);
    EXPECT_EQ(missing.StartPdf(QString::fromStdString(folder.Path().string())), -1);

    CTablePrinter notStarted;
    EXPECT_EQ(notStarted.StartPage(), -1);
    EXPECT_EQ(notStarted.getErrorCode(), P::kErrorStartPage);
    notStarted.PrintText(0, QStringLiteral("no page, no font")); // harmless

    CTablePrinter fonts;
    for (int set = 0; set < P::kMaxFontSets; ++set)
        EXPECT_EQ(fonts.AddFont(QStringLiteral("宋体"), 9, 8), set);
    EXPECT_EQ(fonts.AddFont(QStringLiteral("宋体"), 9, 8), -1);
    EXPECT_TRUE(FolderEntries().isEmpty());
}

TEST_F(TablePrinterTest, PdfReplacesTheOldFileOnlyWhenTheJobEnds)
{
    testsupport::WriteBytes(pdf.toStdString(), "old");
    {
        CTablePrinter abandoned;
        Begin(abandoned);
        abandoned.PrintText(0, QStringLiteral("never finished"));
    }
    EXPECT_EQ(testsupport::ReadBytes(pdf.toStdString()), "old");
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("out.pdf")});

    CTablePrinter printer;
    Begin(printer);
    printer.PrintText(2, QStringLiteral("完成"), P::AlignCentre);
    printer.EndPage();
    ASSERT_TRUE(printer.EndDoc());
    EXPECT_EQ(Lines(Text(pdf)), QStringList{QStringLiteral("完成")});
    EXPECT_EQ(FolderEntries(), QStringList{QStringLiteral("out.pdf")});
}

TEST_F(TablePrinterTest, LayoutOnlyCountsThePagesItWouldPrint)
{
    CTablePrinter printer;
    Begin(printer, false);
    RuledTable(printer, {800});
    printer.setLayoutOnly(true);
    ASSERT_EQ(printer.StartPage(), 0);
    for (int row = 0; row < 120; ++row)
        printer.PrintTableRow(1, QStringLiteral("row"));
    const int counted = printer.getPageNumber();
    printer.EndPage();
    printer.setLayoutOnly(false);
    ASSERT_EQ(printer.StartPage(), 0);
    printer.restartPageNumbers();
    for (int row = 0; row < 120; ++row)
        printer.PrintTableRow(1, QStringLiteral("row"));
    EXPECT_EQ(printer.getPageNumber(), counted);
    printer.EndPage();
    ASSERT_TRUE(printer.EndDoc());
    EXPECT_GE(counted, 2);
    EXPECT_EQ(PageCount(pdf), counted);
}

} // namespace
