// Task commands: open, recent list, new task, task information, backup, and
// what happens to data files that cannot be read or written.
#include "ShellTestSupport.h"

#include "gui/shell/BackupDialog.h"
#include "base/util/FileUtil.h"
#include "base/util/IniFile.h"
#include "gui/shell/MainDlg.h"
#include "base/task/ScheduleTask.h"
#include "gui/shell/StepSheet.h"
#include "gui/shell/TaskInfoDlg.h"
#include "gui/shell/TipWnd.h"
#include "gui/shell/ToolBox.h"
#include "gui/shell/ToolDesc.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <thread>

using namespace shelltest;

class ShellTask : public ShellTest
{
protected:
    QString rawSettings() const { return QString::fromLocal8Bit(readBytes(m_settings)); }

    QStringList filesMatching(const QString& folder, const QString& pattern) const
    {
        return QDir(path(folder)).entryList({pattern}, QDir::Files);
    }
};

TEST_F(ShellTask, RecentListMovesToHeadAndKeepsTen)
{
    CRecentTaskList list(settings());
    std::vector<std::string> tasks;
    for (int i = 0; i < 11; ++i)
        tasks.push_back(makeTask(QStringLiteral("t%1").arg(i), QStringLiteral("任务%1").arg(i)));
    for (const std::string& t : tasks)
        list.add(t);
    ASSERT_EQ(list.size(), 10);
    EXPECT_EQ(list.paths().front(), tasks[10]);
    EXPECT_EQ(list.paths().back(), tasks[1]);
    EXPECT_EQ(CIniFile::ReadString(settings(), "Recently Tasks", "10", ""), tasks[1]);
    EXPECT_TRUE(rawSettings().contains(QStringLiteral("\n11=")));

    // An entry already listed moves to the head without a duplicate.
    list.add(tasks[5]);
    ASSERT_EQ(list.size(), 10);
    EXPECT_EQ(list.paths()[0], tasks[5]);
    EXPECT_EQ(std::count(list.paths().begin(), list.paths().end(), tasks[5]), 1);
    EXPECT_EQ(list.paths()[1], tasks[10]);

    // Reading stops at the first empty key.
    CIniFile::WriteString(settings(), "Recently Tasks", "3", "");
    CRecentTaskList reread(settings());
    reread.read();
    EXPECT_EQ(reread.size(), 2);
}

TEST_F(ShellTask, OpenMissingFileKeepsCurrentTask)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    CTaskManager* m = manager();
    ASSERT_TRUE(m->openTask(a));
    CMessageBox::clearTestState();
    const std::string missing = str(path(QStringLiteral("nowhere/x.qz")));
    EXPECT_FALSE(m->openTask(missing));
    EXPECT_FALSE(m->openTask(str(path(QStringLiteral("a"))))); // a folder is not a task file
    ASSERT_EQ(CMessageBox::shownMessages().size(), 2u);
    EXPECT_EQ(CMessageBox::shownMessages()[0].text,
              QStringLiteral("分班任务文件 %1 不存在").arg(QString::fromStdString(missing)));
    EXPECT_EQ(CMessageBox::shownMessages()[0].icon, CMessageBox::Icon::Error);
    ASSERT_TRUE(m->hasTask());
    EXPECT_EQ(m->task()->GetTaskInfo().GetTaskName(), "甲");
}

TEST_F(ShellTask, OpenAnotherAsksFirst)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    const std::string b = makeTask(QStringLiteral("b"), QStringLiteral("乙"));
    CTaskManager* m = manager();
    ASSERT_TRUE(m->openTask(a));
    // Both data files are written right after opening.
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("a/input.xml"))));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("a/output.xml"))));

    // The same file again: nothing is asked.
    CMessageBox::clearTestState();
    EXPECT_TRUE(m->openTask(a));
    EXPECT_TRUE(CMessageBox::shownMessages().empty());

    CMessageBox::pushAnswer(QMessageBox::No);
    EXPECT_FALSE(m->openTask(b));
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    EXPECT_EQ(CMessageBox::shownMessages()[0].text,
              QStringLiteral("分班任务 \"甲\" 正在使用。\n要打开新的分班任务，必须先关闭该分班任务，要继续吗"));
    EXPECT_EQ(CMessageBox::shownMessages()[0].icon, CMessageBox::Icon::Question);
    EXPECT_EQ(m->task()->GetTaskInfo().GetTaskName(), "甲");
    EXPECT_EQ(m->recentTasks().paths().front(), a);

    CMessageBox::pushAnswer(QMessageBox::Yes);
    EXPECT_TRUE(m->openTask(b));
    EXPECT_EQ(m->task()->GetTaskInfo().GetTaskName(), "乙");
    EXPECT_EQ(m->recentTasks().paths(), (std::vector<std::string>{b, a}));
}

TEST_F(ShellTask, MainWindowWithoutTaskHasOnlyWelcomePage)
{
    CIniFile::WriteInt(settings(), "Common", "LastPage", 3);
    manager();
    CMainDlg window;
    EXPECT_EQ(window.sheet()->pageCount(), 1);
    EXPECT_EQ(window.currentPage(), 0);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Lumo智能分班系统 1.0.0"));
    EXPECT_EQ(window.sheet()->toolDesc()->taskName(), QStringLiteral("无"));
    EXPECT_EQ(window.sheet()->toolDesc()->caption(), QStringLiteral("1 欢迎"));
    ASSERT_EQ(window.sheet()->toolBox()->commands().size(), 2u);
    EXPECT_EQ(window.sheet()->toolBox()->commands()[0].caption, QStringLiteral("打开分班任务"));
    EXPECT_EQ(window.sheet()->toolBox()->commands()[1].caption, QStringLiteral("创建新分班任务"));

    // Every command that needs a task says so; nothing else happens.
    using enum StepCommandId;
    for (StepCommandId command : {ClassInfo, StudentInfo, StudentPreset, MutexStudent, TogetherStudent, DivisionRules,
                                  StartDivision, DivisionReport, DivisionTable, DivisionStatistics}) {
        CMessageBox::clearTestState();
        window.runCommand(command);
        EXPECT_EQ(CMessageBox::shownTexts(), QStringList{QStringLiteral("没有正在使用的分班任务")})
            << static_cast<int>(command);
    }
    CMessageBox::clearTestState();
    CTaskManager::instance()->backupTask();
    EXPECT_EQ(CMessageBox::shownTexts(), QStringList{QStringLiteral("没有正在使用的分班任务")});

    // Clicking the location zone with no task does nothing.
    window.resize(1280, 800);
    window.show();
    QApplication::processEvents();
    QTest::mouseClick(window.sheet()->toolDesc(), Qt::LeftButton, {},
                      window.sheet()->toolDesc()->locationRect().center());
    EXPECT_TRUE(CTaskManager::instance()->openedUrls().empty());

    // Enter and Escape leave the window open.
    QTest::keyClick(&window, Qt::Key_Escape);
    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(ShellTask, MainWindowReopensRecentTaskOnSavedPage)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("高一新生"));
    CRecentTaskList(settings()).add(a);
    struct Case
    {
        const char* saved;
        int expected;
    };
    for (const Case& c : {Case{"3", 3}, Case{"7", 1}, Case{"5", 1}, Case{"-1", 1}, Case{"0", 0}}) {
        CTaskManager::release();
        CIniFile::WriteString(settings(), "Common", "LastPage", c.saved);
        manager();
        CMainDlg window;
        EXPECT_EQ(window.sheet()->pageCount(), 5) << str(CMessageBox::shownTexts().join(QLatin1Char('\n')));
        EXPECT_EQ(window.currentPage(), c.expected) << c.saved;
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Lumo智能分班系统 1.0.0 - 高一新生"));
        EXPECT_EQ(window.sheet()->toolDesc()->taskLocation(), QString::fromStdString(a));
    }

    // Closing the window writes the current page and drops the controller.
    {
        CTaskManager::release();
        manager();
        CMainDlg window;
        window.sheet()->selectPage(2);
        window.close();
        EXPECT_EQ(CTaskManager::existing(), nullptr);
    }
    EXPECT_EQ(CIniFile::ReadString(settings(), "Common", "LastPage", ""), "2");
}

TEST_F(ShellTask, MissingRecentHeadAtStart)
{
    const std::string gone = str(path(QStringLiteral("gone/旧任务.qz")));
    CRecentTaskList(settings()).add(gone);
    manager();
    CMainDlg window;
    EXPECT_EQ(CMessageBox::shownTexts(),
              QStringList{QStringLiteral("分班任务文件 %1 不存在").arg(QString::fromStdString(gone))});
    EXPECT_FALSE(CTaskManager::instance()->hasTask());
    EXPECT_EQ(window.sheet()->pageCount(), 1);
    EXPECT_EQ(CTaskManager::instance()->recentTasks().paths(), std::vector<std::string>{gone});
}

TEST_F(ShellTask, CommandLineTaskWinsOverRecentHead)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    const std::string b = makeTask(QStringLiteral("b"), QStringLiteral("乙"));
    CRecentTaskList(settings()).add(a);
    manager();
    CMainDlg window(b);
    EXPECT_EQ(CTaskManager::instance()->task()->GetTaskInfo().GetTaskName(), "乙");
    EXPECT_TRUE(CMessageBox::shownMessages().empty());
}

TEST_F(ShellTask, OpenWithDialogStartsInProgramFolder)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    CTaskManager* m = manager();
    EXPECT_FALSE(m->openTaskWithDialog()); // cancelled
    EXPECT_FALSE(m->hasTask());
    ASSERT_EQ(CMessageBox::shownChoosers().size(), 1u);
    const CMessageBox::Chooser& chooser = CMessageBox::shownChoosers()[0];
    EXPECT_EQ(chooser.title, QStringLiteral("打开分班任务"));
    EXPECT_EQ(QDir(chooser.dir), QDir(QCoreApplication::applicationDirPath()));
    EXPECT_EQ(chooser.filter, QStringLiteral("分班任务文件(*.qz)"));

    CMessageBox::pushPath(QString::fromStdString(a));
    EXPECT_TRUE(m->openTaskWithDialog());
    EXPECT_EQ(m->task()->GetTaskInfo().GetTaskName(), "甲");
    EXPECT_EQ(m->recentTasks().paths(), std::vector<std::string>{a});
}

TEST_F(ShellTask, OpenCommandOffersRecentTasks)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    // An ampersand in a path is shown as itself, not as a shortcut mark.
    const std::string b = makeTask(QStringLiteral("R&D"), QStringLiteral("乙"));
    CRecentTaskList list(settings());
    list.add(b);
    list.add(a);
    manager();
    CMainDlg window(a);
    window.resize(1280, 800);
    window.sheet()->selectPage(0);
    CMessageBox::pushAnswer(QMessageBox::Yes);

    QStringList offered;
    QTimer::singleShot(50, [&offered] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions())
            offered << action->text();
        menu->setActiveAction(menu->actions().at(1));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    window.runCommand(StepCommandId::OpenTask);
    const QString shownB = QString::fromStdString(b).replace(QLatin1Char('&'), QStringLiteral("&&"));
    EXPECT_EQ(offered, (QStringList{QString::fromStdString(a), shownB, QString(), QStringLiteral("浏览...")}));
    EXPECT_EQ(CTaskManager::instance()->task()->GetTaskInfo().GetTaskName(), "乙");
    EXPECT_EQ(window.currentPage(), 1);
}

TEST_F(ShellTask, TaskInfoDialogChecks)
{
    CTaskInfo info;
    info.SetTaskFolder(str(path(QStringLiteral("tasks"))));
    QDir().mkpath(path(QStringLiteral("tasks")));
    CTipWnd tip;
    CTaskInfoDlg dialog(info, false, QStringLiteral("创建新分班任务"), &tip);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("创建新分班任务"));

    // The location follows the name as it is typed.
    const QString base = path(QStringLiteral("tasks"));
    QTest::keyClicks(dialog.nameEdit(), QStringLiteral("a"));
    EXPECT_EQ(dialog.locationEdit()->text(), base + QStringLiteral("/a"));
    QTest::keyClicks(dialog.nameEdit(), QStringLiteral("b"));
    EXPECT_EQ(dialog.locationEdit()->text(), base + QStringLiteral("/ab"));

    // "..." puts the chosen folder in front of the name.
    CMessageBox::pushPath(path(QStringLiteral("elsewhere/")));
    dialog.onBrowse();
    ASSERT_EQ(CMessageBox::shownChoosers().size(), 1u);
    EXPECT_EQ(CMessageBox::shownChoosers()[0].title, QStringLiteral("选择文件夹"));
    EXPECT_EQ(dialog.locationEdit()->text(), path(QStringLiteral("elsewhere/ab")));
    dialog.onBrowse(); // nothing chosen: the location stays
    EXPECT_EQ(dialog.locationEdit()->text(), path(QStringLiteral("elsewhere/ab")));

    auto ok = [&dialog] {
        CMessageBox::clearTestState();
        dialog.onOk();
        return CMessageBox::shownTexts().join(QLatin1Char('|'));
    };
    dialog.nameEdit()->clear();
    EXPECT_EQ(ok(), QStringLiteral("任务名称不能为空"));
    dialog.nameEdit()->setText(QStringLiteral("  "));
    EXPECT_EQ(ok(), QStringLiteral("任务名称不能为空"));

    dialog.nameEdit()->setText(QStringLiteral("../逃出"));
    EXPECT_TRUE(ok().startsWith(QStringLiteral("任务名称不能包含")));

    dialog.nameEdit()->setText(QStringLiteral("新生"));
    dialog.locationEdit()->setText(path(QStringLiteral("no/such/parent")));
    EXPECT_EQ(ok(), QStringLiteral("保存位置无效"));
    EXPECT_EQ(CMessageBox::shownMessages()[0].icon, CMessageBox::Icon::Error);

    makeTask(QStringLiteral("tasks/新生"), QStringLiteral("新生"));
    dialog.locationEdit()->setText(path(QStringLiteral("tasks/新生")));
    EXPECT_EQ(ok(), QStringLiteral("分班任务 新生 已存在"));
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    dialog.locationEdit()->setText(path(QStringLiteral("tasks/新生2")));
    EXPECT_EQ(ok(), QString());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(info.GetTaskFile(), str(path(QStringLiteral("tasks/新生2/新生.qz"))));

    // The hint follows the focus of the name and description boxes.
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(dialog.nameEdit(), &in);
    EXPECT_TRUE(tip.isVisible());
    EXPECT_EQ(tip.title(), QStringLiteral("分班任务的名称"));
    EXPECT_TRUE(tip.text().startsWith(QStringLiteral("例如：")));
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(dialog.nameEdit(), &out);
    EXPECT_FALSE(tip.isVisible());
    QApplication::sendEvent(dialog.descriptionEdit(), &in);
    EXPECT_EQ(tip.text(), QStringLiteral("分班任务的描述(可不填)"));
    EXPECT_TRUE(tip.title().isEmpty());
}

TEST_F(ShellTask, NewTaskCreatesAndOpensIt)
{
    manager();
    CMainDlg window;
    window.resize(1280, 800);
    window.show();
    QApplication::processEvents();
    whenModal<CTaskInfoDlg>([](CTaskInfoDlg* dialog) {
        EXPECT_FALSE(dialog->authorEdit()->text().isNull());
        EXPECT_EQ(dialog->createTimeEdit()->text().size(), 19);
        dialog->nameEdit()->setText(QStringLiteral("2026学年新生"));
        dialog->onOk();
    });
    window.runCommand(StepCommandId::NewTask);
    CTaskManager* m = CTaskManager::instance();
    ASSERT_TRUE(m->hasTask());
    EXPECT_EQ(m->task()->GetTaskInfo().GetTaskFile(), str(path(QStringLiteral("tasks/2026学年新生/2026学年新生.qz"))));
    EXPECT_EQ(window.sheet()->pageCount(), 5);
    EXPECT_EQ(window.currentPage(), 1);
    EXPECT_EQ(CIniFile::ReadString(settings(), "Common", "LastPage", ""), "1");
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("tasks/2026学年新生/input.xml"))));

    // Editing the information rewrites the task file and the title.
    whenModal<CTaskInfoDlg>([](CTaskInfoDlg* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("设置分班任务信息"));
        EXPECT_TRUE(dialog->nameEdit()->isReadOnly());
        EXPECT_FALSE(dialog->browseButton()->isEnabled());
        dialog->descriptionEdit()->setText(QStringLiteral("高一新生分班"));
        dialog->onOk();
    });
    QTest::mouseClick(window.sheet()->toolDesc(), Qt::LeftButton, {}, window.sheet()->toolDesc()->taskRect().center());
    CTaskInfo reread;
    reread.ReadFromFile(m->task()->GetTaskInfo().GetTaskFile());
    EXPECT_EQ(reread.GetDescription(), "高一新生分班");
    EXPECT_EQ(reread.GetTaskName(), "2026学年新生");
}

TEST_F(ShellTask, BackupTwiceIntoOneFolder)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    CTaskManager* m = manager();
    ASSERT_TRUE(m->openTask(a));
    QDir().mkpath(path(QStringLiteral("safe")));

    auto backup = [this, m] {
        CMessageBox::clearTestState();
        CMessageBox::pushPath(path(QStringLiteral("safe")));
        whenModal<CBackupDialog>([](CBackupDialog* dialog) {
            EXPECT_TRUE(dialog->openFolderBox()->isChecked());
            EXPECT_TRUE(dialog->text().contains(QStringLiteral("当前分班任务“甲”的所有相关文件")));
            dialog->accept();
        });
        m->backupTask();
        return CMessageBox::shownTexts();
    };
    EXPECT_EQ(backup(), QStringList{QStringLiteral("备份成功")});
    ASSERT_EQ(CMessageBox::shownChoosers().size(), 1u);
    EXPECT_EQ(CMessageBox::shownChoosers()[0].title, QStringLiteral("将当前分班任务备份到"));
    for (const char* file : {"safe/甲/甲.qz", "safe/甲/input.xml", "safe/甲/output.xml"})
        EXPECT_TRUE(QFile::exists(path(QString::fromUtf8(file)))) << file;
    ASSERT_EQ(m->openedUrls().size(), 1u);
    EXPECT_EQ(QDir(m->openedUrls()[0].toLocalFile()), QDir(path(QStringLiteral("safe/甲"))));

    EXPECT_EQ(backup(), QStringList{QStringLiteral("备份失败,请检查您是否有系统管理员权限")});
    EXPECT_EQ(CMessageBox::shownMessages()[0].icon, CMessageBox::Icon::Error);
}

TEST_F(ShellTask, BackupTakesTheReportAlong)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    CTaskManager* m = manager();
    ASSERT_TRUE(m->openTask(a));
    QDir().mkpath(path(QStringLiteral("safe")));
    auto backup = [this, m](const QString& into) {
        QDir().mkpath(path(into));
        CMessageBox::clearTestState();
        CMessageBox::pushPath(path(into));
        whenModal<CBackupDialog>([](CBackupDialog* dialog) {
            dialog->openFolderBox()->setChecked(false);
            dialog->accept();
        });
        m->backupTask();
        return CMessageBox::shownTexts();
    };

    // A task never divided has no report, and its backup has none.
    EXPECT_EQ(backup(QStringLiteral("first")), QStringList{QStringLiteral("备份成功")});
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("first/甲/report.txt"))));

    m->task()->GetLastReportInfo().SetReportInfo("分班报告：两个班");
    ASSERT_TRUE(m->task()->SaveLastReportInfo());
    EXPECT_EQ(backup(QStringLiteral("second")), QStringList{QStringLiteral("备份成功")});
    for (const char* file : {"甲.qz", "input.xml", "output.xml", "report.txt"})
        EXPECT_EQ(readBytes(path(QStringLiteral("second/甲/") + QString::fromUtf8(file))),
                  readBytes(path(QStringLiteral("a/") + QString::fromUtf8(file))))
            << file;
}

TEST_F(ShellTask, DamagedInputIsKeptBeforeRewrite)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    // The second class lacks its planned size: reading stops there.
    const QByteArray damaged =
        "<?xml version='1.0' encoding='GB2312'?><Input><ClassInfo>"
        "<Class id=\"c1\" name=\"1\" shortname=\"1\" studentcount=\"40\" priority=\"1\" index=\"0\"/>"
        "<Class id=\"c2\" name=\"2\" shortname=\"2\" priority=\"1\" index=\"1\"/></ClassInfo>"
        "<StudentInfo><Student id=\"s1\" name=\"x\" sex=\"0\" fromSchool=\"\" class=\"\" "
        "index=\"0\"/></StudentInfo></Input>";
    writeBytes(path(QStringLiteral("a/input.xml")), damaged);

    CTaskManager* m = manager();
    ASSERT_TRUE(m->openTask(a));
    const QStringList copies = filesMatching(QStringLiteral("a"), QStringLiteral("input.damaged-*.xml"));
    ASSERT_EQ(copies.size(), 1);
    EXPECT_EQ(readBytes(path(QStringLiteral("a/")) + copies[0]), damaged);
    const QString warning = CMessageBox::shownTexts().filter(QStringLiteral("原文件已另存为")).join(QString());
    EXPECT_TRUE(warning.contains(copies[0])) << str(CMessageBox::shownTexts().join(QLatin1Char('\n')));
    // The rewritten file holds what could be read.
    EXPECT_NE(readBytes(path(QStringLiteral("a/input.xml"))), damaged);

    // A file that is not XML at all is kept aside as well.
    CTaskManager::release();
    CMessageBox::clearTestState();
    const std::string b = makeTask(QStringLiteral("b"), QStringLiteral("乙"));
    writeBytes(path(QStringLiteral("b/input.xml")), "<Input><ClassInfo>");
    ASSERT_TRUE(manager()->openTask(b));
    const QStringList kept = filesMatching(QStringLiteral("b"), QStringLiteral("input.damaged-*.xml"));
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(readBytes(path(QStringLiteral("b/")) + kept[0]), QByteArray("<Input><ClassInfo>"));
}

TEST_F(ShellTask, FailedSaveIsReported)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    // A folder where the output data file should go cannot be replaced.
    QDir().mkpath(path(QStringLiteral("a/output.xml/x")));
    CTaskManager* m = manager();
    ASSERT_TRUE(m->openTask(a));
    const QStringList failures = CMessageBox::shownTexts().filter(QStringLiteral("保存分班数据失败"));
    ASSERT_EQ(failures.size(), 1) << str(CMessageBox::shownTexts().join(QLatin1Char('\n')));
    EXPECT_TRUE(failures[0].contains(path(QStringLiteral("a/output.xml"))));
}

TEST_F(ShellTask, WorkerThreadMessagesAreQueued)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    CTaskManager* m = manager();
    ASSERT_TRUE(m->openTask(a));
    CMessageBox::clearTestState();
    std::thread worker([task = m->task()] { task->ShowMessage("exception in SaveInputData"); });
    worker.join();
    EXPECT_TRUE(CMessageBox::shownMessages().empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(CMessageBox::shownTexts(), QStringList{QStringLiteral("exception in SaveInputData")});
}
