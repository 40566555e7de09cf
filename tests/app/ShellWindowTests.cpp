// The owner-drawn parts of the main window: tabs, button grid, icon bar.
#include "ShellTestSupport.h"

#include "gui/shell/BackupDialog.h"
#include "gui/shell/MainDlg.h"
#include "gui/shell/MainToolBar.h"
#include "gui/shell/ProgramInfo.h"
#include "gui/shell/SheetHeader.h"
#include "gui/shell/StepSheet.h"
#include "gui/shell/SystemSetDlg.h"
#include "gui/shell/ToolBox.h"
#include "gui/shell/ToolDesc.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace shelltest;

TEST(ShellSheet, TabsAndPages)
{
    CStepSheet sheet;
    CSheetHeader* header = sheet.header();
    ASSERT_EQ(sheet.pageCount(), 1);
    EXPECT_EQ(sheet.currentPage(), 0);
    // Tab width: ten pixels per byte of the caption in the Chinese code page.
    EXPECT_EQ(header->page(0).rect, QRect(20, 0, 10 * 6 + 18, 28));

    sheet.addTaskPages();
    ASSERT_EQ(sheet.pageCount(), 5);
    EXPECT_EQ(header->page(1).caption, QStringLiteral("2 基本数据维护"));
    EXPECT_EQ(header->page(1).rect.left(), header->page(0).rect.right() + 1);
    EXPECT_EQ(header->page(4).description, QStringLiteral("查看自动化分班的结果，可以导出到EXCEL。"));

    QSignalSpy selected(header, &CSheetHeader::pageSelected);
    sheet.selectPage(0); // already selected
    sheet.selectPage(5); // out of range
    sheet.selectPage(-1);
    EXPECT_EQ(selected.count(), 0);

    // A click on a tab selects it, fills the grid and describes the step.
    sheet.resize(1000, 600);
    QTest::mouseClick(header, Qt::LeftButton, {}, header->page(3).rect.center());
    EXPECT_EQ(sheet.currentPage(), 3);
    ASSERT_EQ(sheet.toolBox()->commands().size(), 4u);
    EXPECT_EQ(sheet.toolBox()->commands()[0].command, 24);
    EXPECT_EQ(sheet.toolBox()->commands()[1].caption, QStringLiteral("自动分班报告"));
    EXPECT_EQ(sheet.toolDesc()->caption(), QStringLiteral("4 自动分班"));
    // A click beside the tabs does nothing.
    QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(990, 10));
    EXPECT_EQ(sheet.currentPage(), 3);
}

TEST(ShellSheet, ButtonGridWrapsAndReportsCommands)
{
    CToolBox box;
    box.resize(30 + 2 * 261 + 10, 400);
    for (int i = 1; i <= 3; ++i)
        box.addCommand(QStringLiteral("report"), i, QStringLiteral("命令%1").arg(i));
    box.addLineBreak();
    box.addCommand(QStringLiteral("report"), 4, QStringLiteral("命令4"));
    EXPECT_EQ(box.columnCount(), 2);
    EXPECT_EQ(box.commandRect(1), QRect(30, 30, 241, 57));
    EXPECT_EQ(box.commandRect(2), QRect(291, 30, 241, 57));
    EXPECT_EQ(box.commandRect(3), QRect(30, 107, 241, 57));
    // The line break ends the row of command 3.
    EXPECT_EQ(box.commandRect(4), QRect(30, 184, 241, 57));

    box.resize(200, 400); // narrower than one cell: still one column
    EXPECT_EQ(box.columnCount(), 1);
    EXPECT_EQ(box.commandRect(2).topLeft(), QPoint(30, 107));

    QSignalSpy chosen(&box, &CToolBox::commandChosen);
    QTest::mouseClick(&box, Qt::LeftButton, {}, box.commandRect(2).center());
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toInt(), 2);
}

TEST(ShellSheet, GridAndPanelGeometry)
{
    CStepSheet sheet;
    sheet.resize(1000, 600);
    sheet.show();
    QApplication::processEvents();
    ASSERT_EQ(sheet.size(), QSize(1000, 600));
    // The grid runs from the line below the sub-header (lines 28 to 56) to
    // the panel, which is 180 lines high and ends 5 above the bottom.
    EXPECT_EQ(sheet.header()->geometry(), QRect(0, 0, 1000, 28));
    EXPECT_EQ(sheet.toolBox()->geometry(), QRect(5, 57, 990, 600 - 185 - 57));
    EXPECT_EQ(sheet.toolDesc()->geometry(), QRect(5, 600 - 185, 990, 180));

    // The bottom zones of the panel meet at x = 600 without overlapping.
    CToolDesc* panel = sheet.toolDesc();
    EXPECT_EQ(panel->descriptionRect(), QRect(10, 10, 990 - 210, 180 - 40));
    EXPECT_EQ(panel->taskRect(), QRect(300, 150, 300, 30));
    EXPECT_EQ(panel->locationRect(), QRect(600, 150, 390, 30));
    QSignalSpy task(panel, &CToolDesc::taskZoneClicked);
    QSignalSpy location(panel, &CToolDesc::locationZoneClicked);
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(599, 165));
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(600, 165));
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(299, 165));
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(400, 149));
    EXPECT_EQ(task.count(), 1);
    EXPECT_EQ(location.count(), 1);
}

class ShellWindow : public ShellTest
{};

TEST_F(ShellWindow, WebsiteOpensTheHelpPage)
{
    manager();
    CMainDlg window;
    window.resize(1280, 800);
    window.show();
    QApplication::processEvents();
    CMainToolBar* bar = window.toolBar();
    ASSERT_EQ(bar->items().size(), 3u);
    EXPECT_EQ(bar->items()[0].caption, QStringLiteral("设置"));
    EXPECT_EQ(bar->items()[1].caption, QStringLiteral("官网"));
    EXPECT_EQ(bar->items()[2].rect.left(), 25 + 2 * 75);

    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->itemRect(CMainToolBar::Website).center());
    QTest::mouseClick(&window, Qt::LeftButton, {}, window.logoRect().center());
    const auto& urls = CTaskManager::instance()->openedUrls();
    ASSERT_EQ(urls.size(), 2u);
    const QString page = path(QStringLiteral("help/index.html"));
    EXPECT_EQ(urls[0].toLocalFile(), page);
    EXPECT_EQ(urls[1], urls[0]);
    EXPECT_TRUE(readBytes(page).contains("5 查看分班表"));

    // Backup from the icon bar with no task open.
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->itemRect(CMainToolBar::Backup).center());
    EXPECT_EQ(CMessageBox::shownTexts(), QStringList{QStringLiteral("没有正在使用的分班任务")});
}

TEST_F(ShellWindow, LocationZoneOpensTaskFolder)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    manager();
    CMainDlg window(a);
    window.resize(1280, 800);
    window.show();
    QApplication::processEvents();
    CToolDesc* panel = window.sheet()->toolDesc();
    EXPECT_EQ(panel->taskName(), QStringLiteral("甲"));
    QTest::mouseClick(panel, Qt::LeftButton, {}, panel->locationRect().center());
    const auto& urls = CTaskManager::instance()->openedUrls();
    ASSERT_EQ(urls.size(), 1u);
    EXPECT_EQ(QDir(urls[0].toLocalFile()), QDir(path(QStringLiteral("a"))));
}

// What the windows look like at first sight.
TEST(ShellLooks, EveryWindowHasTheProgramIcon)
{
    CProgramInfo::setUpApplication();
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    // A message box without a parent, as at start-up, shows it as well.
    QMessageBox box;
    EXPECT_FALSE(box.windowIcon().isNull());
    EXPECT_EQ(box.windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
}

TEST(ShellLooks, SettingsTextKeepsItsLines)
{
    CSystemSetDlg dialog;
    dialog.show();
    QApplication::processEvents();
    const QLabel* label = dialog.explanationLabel();
    // No sentence is broken before its last word ("系统。" alone on a line).
    for (const QString& line : label->text().split(QLatin1Char('\n')))
        EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(line)) << str(line);
}

TEST(ShellLooks, BackupFolderStaysOnOneLine)
{
    const QString folder = QStringLiteral("/home/教务处/文档/Lumo分班任务/2026学年高一新生分班任务-第二轮调整/");
    CBackupDialog dialog(QStringLiteral("2026学年高一新生分班任务-第二轮调整"), folder);
    dialog.show();
    QApplication::processEvents();
    const QLabel* label = dialog.folderLabel();
    EXPECT_EQ(label->text(), folder);
    EXPECT_FALSE(label->wordWrap());
    EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(folder));
    EXPECT_TRUE(dialog.text().contains(QLatin1Char('\n') + folder + QLatin1Char('\n')));
}
