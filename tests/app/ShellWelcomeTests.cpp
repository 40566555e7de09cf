// The welcome page's list of recent tasks: what a row shows, and opening a
// task from it by double-click and by Enter.
#include "ShellTestSupport.h"

#include "gui/shell/MainDlg.h"
#include "gui/shell/RecentTaskView.h"
#include "gui/shell/StepSheet.h"
#include "base/task/ScheduleTask.h"

#include <QFileInfo>
#include <QTest>
#include <QTreeWidget>

using namespace shelltest;

namespace {

QString cell(const CRecentTaskView& view, int row, int column)
{
    return view.list()->topLevelItem(row)->text(column);
}

void doubleClickRow(CRecentTaskView& view, int row)
{
    QTreeWidget* list = view.list();
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    ASSERT_TRUE(rect.isValid());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class ShellWelcome : public ShellTest
{};

TEST_F(ShellWelcome, RecentTasksShowNameFolderAndDate)
{
    const std::string a = makeTask(QStringLiteral("一班任务"), QStringLiteral("甲"));
    const std::string b = makeTask(QStringLiteral("二班任务"), QStringLiteral("乙"));
    const std::string gone = str(path(QStringLiteral("旧任务/丙.qz")));
    CRecentTaskList list(settings());
    list.add(gone);
    list.add(b);
    list.add(a);
    manager();
    CMainDlg window;
    window.resize(1280, 800);
    window.show();
    window.sheet()->selectPage(0);
    CRecentTaskView* view = window.sheet()->recentTasks();
    ASSERT_TRUE(view->isVisible());

    ASSERT_EQ(view->rowCount(), 3);
    EXPECT_EQ(cell(*view, 0, CRecentTaskView::NameColumn), QStringLiteral("甲"));
    EXPECT_EQ(cell(*view, 1, CRecentTaskView::NameColumn), QStringLiteral("乙"));
    EXPECT_EQ(cell(*view, 1, CRecentTaskView::FolderColumn),
              QDir::toNativeSeparators(path(QStringLiteral("二班任务"))));
    EXPECT_EQ(view->pathAt(1), QString::fromStdString(b));
    // The date the task last changed, to the minute.
    const QString date = cell(*view, 1, CRecentTaskView::DateColumn);
    EXPECT_EQ(date, QFileInfo(QString::fromStdString(b)).lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    // A task file that is gone keeps its row, named by its file, and says so.
    EXPECT_EQ(cell(*view, 2, CRecentTaskView::NameColumn), QStringLiteral("丙"));
    EXPECT_EQ(cell(*view, 2, CRecentTaskView::DateColumn), QStringLiteral("文件不存在"));

    // Only the welcome page shows the list.
    window.sheet()->selectPage(1);
    EXPECT_FALSE(view->isVisible());
}

TEST_F(ShellWelcome, DoubleClickOrEnterOpensTheTask)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    const std::string b = makeTask(QStringLiteral("b"), QStringLiteral("乙"));
    CRecentTaskList list(settings());
    list.add(b);
    list.add(a);
    manager();
    CMainDlg window(a);
    window.resize(1280, 800);
    window.show();
    window.sheet()->selectPage(0);
    CRecentTaskView* view = window.sheet()->recentTasks();
    ASSERT_EQ(view->rowCount(), 2);

    // Closing the open task is asked first.
    CMessageBox::pushAnswer(QMessageBox::Yes);
    doubleClickRow(*view, 1);
    EXPECT_EQ(CTaskManager::instance()->task()->GetTaskInfo().GetTaskName(), "乙");
    EXPECT_EQ(window.currentPage(), 1);

    // Back on the welcome page the list is in the new order.
    window.sheet()->selectPage(0);
    ASSERT_EQ(view->rowCount(), 2);
    EXPECT_EQ(cell(*view, 0, CRecentTaskView::NameColumn), QStringLiteral("乙"));

    CMessageBox::pushAnswer(QMessageBox::Yes);
    view->list()->setFocus();
    view->list()->setCurrentItem(view->list()->topLevelItem(1));
    QTest::keyClick(view->list(), Qt::Key_Return);
    EXPECT_EQ(CTaskManager::instance()->task()->GetTaskInfo().GetTaskName(), "甲");
    EXPECT_EQ(window.currentPage(), 1);
}

TEST_F(ShellWelcome, TaskThatIsGoneSaysSoAndStaysOnWelcomePage)
{
    const std::string gone = str(path(QStringLiteral("旧任务/丙.qz")));
    CRecentTaskList(settings()).add(gone);
    manager();
    CMainDlg window;
    window.resize(1280, 800);
    window.show();
    CMessageBox::clearTestState();
    window.sheet()->selectPage(0);
    CRecentTaskView* view = window.sheet()->recentTasks();
    ASSERT_EQ(view->rowCount(), 1);
    doubleClickRow(*view, 0);
    EXPECT_FALSE(CTaskManager::instance()->hasTask());
    ASSERT_EQ(CMessageBox::shownTexts().size(), 1);
    EXPECT_TRUE(CMessageBox::shownTexts().front().contains(QStringLiteral("不存在")));
    EXPECT_EQ(window.currentPage(), 0);
}
