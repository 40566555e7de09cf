// Class rosters and statistics printed from the result windows and from
// quillon-cli, checked on the PDF files.
#include "PdfTestSupport.h"
#include "ResultsTestSupport.h"

#include "gui/render/DivisionPrinter.h"
#include "core/DivisionTableData.h"
#include "gui/results/DivisionStatisticsDialog.h"
#include "gui/results/DivisionTableDialog.h"
#include "gui/render/ListPrinter.h"
#include "gui/common/MessageBox.h"
#include "gui/render/TablePrinter.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>

#ifndef _WIN32
#include <sys/wait.h>
#endif

using namespace PdfTest;
using namespace ResultsTest;

namespace {

class DivisionPrintTest : public PdfFileTest
{
protected:
    // Three classes of 50 students: each roster takes two pages.
    DivisionPrintTest() : PdfFileTest("rosters.pdf") { MakeSchool(task, 150, 3, true); }

    static QString ClassName(int c) { return QStringLiteral("七年级(%1)班").arg(c + 1); }

    // "第 n 页 / 共 m 页"; the narrow spaces may be lost in the text.
    static QRegularExpression PageNumber(int page, int pages)
    {
        return QRegularExpression(QStringLiteral("第\\s*%1\\s*页\\s*/\\s*共\\s*%2\\s*页").arg(page).arg(pages));
    }

    // Lines of a page that are rows of the class's roster.
    static int RosterRows(const QString& page, const QString& className)
    {
        const QRegularExpression row(
            QStringLiteral("^\\s*\\d+\\s+\\S+\\s+%1\\s").arg(QRegularExpression::escape(className)),
            QRegularExpression::MultilineOption);
        return static_cast<int>(page.count(row));
    }

    CScheduleTask task;
};

TEST_F(DivisionPrintTest, RostersHoldEachClassNumberedFromOne)
{
    task.GetStudentInfoList().FindAs<CStudentInfo>("student4")->SetClassId(""); // not placed
    const auto sections = CDivisionPrinter::classRosters(task);
    ASSERT_EQ(sections.size(), 3u);
    for (int c = 0; c < 3; ++c) {
        const auto& section = sections[static_cast<std::size_t>(c)];
        EXPECT_EQ(section.title, ClassName(c));
        EXPECT_EQ(section.columns.first(), QStringLiteral("序号"));
        EXPECT_EQ(section.columns.last(), QStringLiteral("总分"));
        int girls = 0;
        const int expected = c == 1 ? 49 : 50;
        ASSERT_EQ(section.rows.size(), static_cast<std::size_t>(expected));
        for (std::size_t r = 0; r < section.rows.size(); ++r) {
            EXPECT_EQ(section.rows[r].at(0), QString::number(r + 1));
            EXPECT_EQ(section.rows[r].at(2), ClassName(c));
            EXPECT_EQ(section.rows[r].size(), section.columns.size());
            girls += section.rows[r].at(3) == QStringLiteral("女");
        }
        EXPECT_EQ(section.summary,
                  QStringLiteral("共 %1 人，女生 %2 人，男生 %3 人").arg(expected).arg(girls).arg(expected - girls));
    }
    // The first roster: students 0, 3, 6 … in index order.
    EXPECT_EQ(sections[0].rows[1].at(1), QString::fromStdString(task.GetStudentName("student3")));

    const auto one = CDivisionPrinter::classRosters(task, "class2");
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].title, ClassName(2));
    EXPECT_EQ(one[0].rows.size(), 50u);
}

TEST_F(DivisionPrintTest, EveryRosterStartsOnItsOwnPagesWithHeaderAndPageNumbers)
{
    CTablePrinter printer;
    ASSERT_EQ(printer.StartPdf(pdf), 0);
    ASSERT_TRUE(CDivisionPrinter::print(printer, CDivisionPrinter::classRosters(task)));

    ASSERT_EQ(PageCount(pdf), 6);
    for (int c = 0; c < 3; ++c) {
        const QString first = Text(pdf, 2 * c + 1);
        const QString second = Text(pdf, 2 * c + 2);
        const QStringList firstLines = Lines(first);
        ASSERT_FALSE(firstLines.isEmpty());
        EXPECT_EQ(firstLines[0], ClassName(c));
        EXPECT_TRUE(first.contains(QStringLiteral("共 50 人")));
        EXPECT_TRUE(first.contains(PageNumber(1, 2)));
        EXPECT_TRUE(second.contains(ClassName(c) + QStringLiteral("（续）")));
        EXPECT_TRUE(second.contains(PageNumber(2, 2)));
        for (const QString& page : {first, second})
            EXPECT_TRUE(page.contains(QRegularExpression(QStringLiteral("序号\\s+姓名\\s+班级\\s+性别\\s+原学校"))));
        // Only this class's students, all of them.
        EXPECT_EQ(RosterRows(first, ClassName(c)) + RosterRows(second, ClassName(c)), 50);
        for (int other = 0; other < 3; ++other) {
            if (other != c) {
                EXPECT_FALSE((first + second).contains(ClassName(other)));
            }
        }
    }
}

TEST_F(DivisionPrintTest, TableWindowPrintsTheClassShownOrNothingWhenCancelled)
{
    CDivisionTableDialog dialog(task);
    ASSERT_EQ(dialog.printButton()->text(), QStringLiteral("打印"));
    dialog.printButton()->click(); // no file chosen: cancelled
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(CMessageBox::shownMessages().empty());

    dialog.classChooser()->setCurrentIndex(2);
    CMessageBox::pushPath(pdf);
    dialog.printButton()->click();
    ASSERT_EQ(PageCount(pdf), 2);
    const QString text = Text(pdf);
    EXPECT_EQ(RosterRows(text, ClassName(1)), 50);
    EXPECT_FALSE(text.contains(ClassName(0)));
    EXPECT_TRUE(CMessageBox::shownMessages().empty());
}

TEST_F(DivisionPrintTest, StatisticsWindowPrintsTheStatistics)
{
    CDivisionStatisticsDialog dialog(task);
    ASSERT_EQ(dialog.printButton()->text(), QStringLiteral("打印"));
    CMessageBox::pushPath(pdf);
    dialog.printButton()->click();
    ASSERT_EQ(PageCount(pdf), 1);
    const QStringList lines = Lines(Text(pdf));
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("分班统计表"));
    EXPECT_TRUE(lines.join('\n').contains(QRegularExpression(
        QStringLiteral("班级\\s+人数\\s+女生\\s+男生\\s+语文平均分\\s+数学平均分\\s+英语平均分\\s+总分平均分"))));
    EXPECT_TRUE(lines.join('\n').contains(QRegularExpression(QStringLiteral("全校\\s+150\\s"))));
}

TEST_F(DivisionPrintTest, WideTablesTurnThePage)
{
    std::vector<std::string>& subjects = task.GetCustomSubjectArray();
    for (int k = 0; k < 12; ++k)
        subjects.push_back("选修科目" + std::to_string(k + 1));
    CTablePrinter printer;
    ASSERT_EQ(printer.StartPdf(pdf), 0);
    ASSERT_TRUE(CDivisionPrinter::print(printer, CDivisionPrinter::classRosters(task, "class0")));
    const QString info = PdfTest::Run(QStringLiteral("pdfinfo %1").arg(Quoted(pdf)));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+842(\\.\\d+)? x 595"))))
        << info.toStdString();
    EXPECT_TRUE(Text(pdf).contains(QStringLiteral("选修科目12")));
}

#ifdef QUILLON_CLI_PATH
TEST_F(DivisionPrintTest, CommandLineWritesRostersAndStatistics)
{
    const std::string saved = SaveTaskIn(task, "打印测试", folder.Path().string());
    ASSERT_FALSE(saved.empty());
    const QString taskFile = QString::fromStdString(saved);

    // No display is needed, whatever the environment says.
    qputenv("QT_QPA_PLATFORM", "xcb");
    EXPECT_EQ(RunCli(QStringLiteral("print-table %1 %2").arg(Quoted(taskFile), Quoted(pdf))), 0);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    EXPECT_EQ(PageCount(pdf), 6);
    EXPECT_EQ(Lines(Text(pdf, 3)).value(0), ClassName(1));

    EXPECT_EQ(
        RunCli(QStringLiteral("print-table %1 %2 --class %3").arg(Quoted(taskFile), Quoted(pdf), Quoted(ClassName(2)))),
        0);
    EXPECT_EQ(PageCount(pdf), 2);
    EXPECT_EQ(Lines(Text(pdf, 1)).value(0), ClassName(2));

    EXPECT_EQ(RunCli(QStringLiteral("print-table %1 %2 --class 没有的班").arg(Quoted(taskFile), Quoted(pdf))), 5);
    EXPECT_EQ(RunCli(QStringLiteral("print-table %1").arg(Quoted(taskFile))), 3);
    EXPECT_EQ(RunCli(QStringLiteral("print-table %1 %2").arg(Quoted(taskFile), Quoted(pdf + QStringLiteral("/x.pdf")))),
              8);

    EXPECT_EQ(RunCli(QStringLiteral("print-stats %1 %2").arg(Quoted(taskFile), Quoted(pdf))), 0);
    EXPECT_EQ(Lines(Text(pdf)).value(0), QStringLiteral("分班统计表"));
}
#endif

} // namespace

namespace {

// Renders the first page of a PDF file to a PNG picture.
bool RenderFirstPage(const QString& pdf, const QString& png)
{
    QString prefix = png;
    prefix.chop(4); // ".png"
    Run(QStringLiteral("pdftoppm -r 80 -png -singlefile -f 1 -l 1 %1 %2").arg(Quoted(pdf), Quoted(prefix)));
    return QFile::exists(png);
}

} // namespace

// Pictures of a printed class roster and a printed list of the demo task,
// when QUILLON_SCREENSHOT_DIR names a folder; skipped otherwise.
TEST(PrintScreenshots, DemoRosterAndClassesList)
{
    const QString target = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    const QString demo = qEnvironmentVariable("QUILLON_SCREENSHOT_TASK");
    if (target.isEmpty() || demo.isEmpty())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR or QUILLON_SCREENSHOT_TASK not set";
    const QDir out(target);
    CScheduleTask task;
    ASSERT_TRUE(task.Open(demo.toStdString()));
    ResultsTest::DivideQuietly(task, 20260901);
    testsupport::TempFolder folder;
    const QString rosters = QString::fromStdString(folder.File("rosters.pdf"));
    CTablePrinter rosterPrinter;
    ASSERT_EQ(rosterPrinter.StartPdf(rosters), 0);
    ASSERT_TRUE(CDivisionPrinter::print(rosterPrinter, CDivisionPrinter::classRosters(task)));
    EXPECT_TRUE(RenderFirstPage(rosters, out.filePath(QStringLiteral("print-roster.png"))));

    // The classes list as its editor prints it.
    CListPrinter::List list{
        QStringLiteral("班级信息"), {QStringLiteral("班级名称"), QStringLiteral("人数")}, {360, 100}, {}};
    for (const CClassInfo* info : CDivisionTableData::ClassesInOrder(task))
        list.rows.push_back({QString::fromStdString(info->GetName()), QString::number(info->GetStudentCount())});
    const QString classes = QString::fromStdString(folder.File("classes.pdf"));
    CTablePrinter listPrinter;
    ASSERT_EQ(listPrinter.StartPdf(classes), 0);
    ASSERT_TRUE(CListPrinter::print(listPrinter, list));
    EXPECT_TRUE(RenderFirstPage(classes, out.filePath(QStringLiteral("print-classes.png"))));
}
