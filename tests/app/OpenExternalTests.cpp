// Opening a file, folder or web page with the desktop's program: when there
// is none, the user is told so with the path, wherever the program opens
// something.
#include "ResultsTestSupport.h"
#include "ShellTestSupport.h"

#include "gui/shell/BackupDialog.h"
#include "gui/results/DivisionTableDialog.h"
#include "gui/shell/MainDlg.h"
#include "gui/shell/MainToolBar.h"

#include <QDir>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using shelltest::str;

namespace {

QString NoProgram(const QString& what, const QString& where)
{
    return QStringLiteral("没有找到可以打开此%1的程序：\n%2").arg(what, QDir::toNativeSeparators(where));
}

class OpenExternal : public shelltest::ShellTest
{};

} // namespace

TEST_F(OpenExternal, TheMessageLayerSaysWhenNothingCanOpenIt)
{
    const QUrl page(QStringLiteral("https://example.org/help?x=1"));
    EXPECT_TRUE(CMessageBox::openExternal(nullptr, page));
    EXPECT_TRUE(CMessageBox::shownTexts().isEmpty());

    CMessageBox::pushOpenResult(false);
    EXPECT_FALSE(CMessageBox::openExternal(nullptr, page));
    const QString folder = path(QStringLiteral("文件夹"));
    ASSERT_TRUE(QDir().mkpath(folder));
    CMessageBox::pushOpenResult(false);
    EXPECT_FALSE(CMessageBox::openExternal(nullptr, QUrl::fromLocalFile(folder)));
    EXPECT_EQ(CMessageBox::shownTexts(),
              (QStringList{QStringLiteral("没有找到可以打开此网址的程序：\nhttps://example.org/help?x=1"),
                           NoProgram(QStringLiteral("文件夹"), folder)}));
    EXPECT_EQ(CMessageBox::shownMessages().front().icon, CMessageBox::Icon::Error);
    EXPECT_EQ(CMessageBox::openedUrls().size(), 3u);
}

TEST_F(OpenExternal, AnExportedWorkbookNothingCanOpen)
{
    CScheduleTask task;
    ResultsTest::MakeSchool(task, 12, 2, true);
    CTaskInfo info;
    info.SetTaskFolder(str(path(QStringLiteral("task"))));
    task.SetTaskInfo(info);
    manager();
    CDivisionTableDialog dialog(task);
    const QString file = path(QStringLiteral("分班表.xlsx"));
    CMessageBox::pushPath(file);
    CMessageBox::pushAnswer(QMessageBox::Yes);
    CMessageBox::pushOpenResult(false);
    dialog.exportButton()->click();
    EXPECT_EQ(CMessageBox::shownTexts(), (QStringList{QStringLiteral("导出成功! 现在要打开EXCEL文档吗？"),
                                                      NoProgram(QStringLiteral("文件"), file)}));
    EXPECT_EQ(CMessageBox::openedUrls(), std::vector<QUrl>{QUrl::fromLocalFile(file)});
}

TEST_F(OpenExternal, TheHelpPageAndTheBackupFolderNothingCanOpen)
{
    manager();
    {
        CMainDlg window;
        window.resize(1280, 800);
        window.show();
        QApplication::processEvents();
        CMessageBox::pushOpenResult(false);
        CMainToolBar* bar = window.toolBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->itemRect(CMainToolBar::Website).center());
        EXPECT_EQ(CMessageBox::shownTexts(),
                  QStringList{NoProgram(QStringLiteral("文件"), path(QStringLiteral("help/index.html")))});
    }

    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    CTaskManager* m = manager();
    ASSERT_TRUE(m->openTask(a));
    QDir().mkpath(path(QStringLiteral("safe")));
    CMessageBox::clearTestState();
    CMessageBox::pushPath(path(QStringLiteral("safe")));
    CMessageBox::pushOpenResult(false);
    shelltest::whenModal<CBackupDialog>([](CBackupDialog* dialog) { dialog->accept(); });
    m->backupTask();
    EXPECT_EQ(CMessageBox::shownTexts(),
              (QStringList{QStringLiteral("备份成功"),
                           NoProgram(QStringLiteral("文件夹"), path(QStringLiteral("safe/甲/")))}));
}
