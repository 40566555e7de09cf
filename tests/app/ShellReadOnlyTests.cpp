// What the program says about what it could and could not write: a task in
// a folder that cannot be written, a division result that could not be
// saved and its copy elsewhere, and a new task that was not wanted after all.
#include "ShellTestSupport.h"

#include "gui/results/DivisionCommands.h"
#include "gui/shell/MainDlg.h"
#include "gui/results/ReportDialog.h"
#include "base/task/ScheduleTask.h"
#include "TaskBuilder.h"
#include "gui/shell/TaskInfoDlg.h"
#include "base/task/TaskLock.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

using namespace shelltest;

namespace {

class ShellReadOnly : public ShellTest
{
protected:
    // Task 甲 in folder a with two classes and six students, never divided.
    std::string makeSchoolTask()
    {
        const std::string file = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
        CScheduleTask task;
        task.SetMessageHandler([](const std::string&) {});
        EXPECT_TRUE(task.Open(file));
        task.GetCustomSubjectArray() = {"语文"};
        testsupport::AddClass(task, "c1", "一班", 0, 3);
        testsupport::AddClass(task, "c2", "二班", 1, 3);
        for (int i = 0; i < 6; ++i)
            testsupport::AddStudent(task, "s" + std::to_string(i), "学生" + std::to_string(i), i, i % 2, "",
                                    {std::to_string(60 + i)});
        EXPECT_TRUE(task.SaveInputData());
        return file;
    }

    // Runs "开始自动分班" with the given answers to the confirmation and to
    // the question after a failed save; the report's text.
    QString divide(CMainDlg& window, QMessageBox::StandardButton afterFailedSave)
    {
        CMessageBox::pushAnswer(QMessageBox::Ok);
        CMessageBox::pushAnswer(afterFailedSave);
        QString report;
        whenModal<CReportDialog>([&report](CReportDialog* dialog) {
            report = dialog->textEdit()->toPlainText();
            dialog->closeButton()->click();
        });
        window.runCommand(StepCommandId::StartDivision);
        return report;
    }

    static bool anyPlaced(const CScheduleTask& task)
    {
        for (const auto* s : task.GetStudentInfoList().Records<CStudentInfo>())
            if (!s->GetClassId().empty())
                return true;
        return false;
    }
};

// Task 甲 in a folder that cannot be written.
class ShellReadOnlyTask : public ShellReadOnly
{
protected:
    void SetUp() override
    {
        ShellReadOnly::SetUp();
        file = makeSchoolTask();
        input = readBytes(path(QStringLiteral("a/input.xml")));
        folder = std::make_unique<ReadOnlyFolder>(path(QStringLiteral("a")));
        if (!folder->isReadOnly())
            GTEST_SKIP() << "no folder can be made read-only here";
    }

    void TearDown() override
    {
        folder.reset();
        ShellReadOnly::TearDown();
    }

    std::string file;
    QByteArray input; // input.xml as it was made
    std::unique_ptr<ReadOnlyFolder> folder;
};

TEST_F(ShellReadOnlyTask, OpensReadOnlyWithOneWord)
{
    manager();
    CMainDlg window(file);
    ASSERT_TRUE(CTaskManager::instance()->hasTask());
    EXPECT_TRUE(CTaskManager::instance()->isReadOnly());
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u) << str(CMessageBox::shownTexts().join(QLatin1Char('\n')));
    const CMessageBox::Shown& shown = CMessageBox::shownMessages()[0];
    EXPECT_TRUE(shown.text.contains(QStringLiteral("不能写入")));
    EXPECT_TRUE(shown.text.contains(QStringLiteral("只读方式打开")));
    EXPECT_TRUE(shown.text.contains(path(QStringLiteral("a"))));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Lumo智能分班系统 1.0.0 - 甲 (只读)"));
    EXPECT_EQ(readBytes(path(QStringLiteral("a/input.xml"))), input);
}

TEST_F(ShellReadOnlyTask, UnsavedResultIsSaidAndCanBeSavedElsewhere)
{
    manager();
    CMainDlg window(file);
    CTaskManager* m = CTaskManager::instance();

    // Declined: the result stays in memory, and everything says so.
    CMessageBox::clearTestState();
    const QString report = divide(window, QMessageBox::No);
    QCoreApplication::processEvents();
    const QStringList texts = CMessageBox::shownTexts();
    ASSERT_EQ(texts.size(), 2) << str(texts.join(QLatin1Char('\n')));
    EXPECT_TRUE(texts[1].startsWith(QStringLiteral("分班结果没有保存！\n分班任务文件夹 ")));
    EXPECT_TRUE(texts[1].contains(QStringLiteral("要把分班任务另存到其他文件夹吗？")));
    EXPECT_EQ(CMessageBox::shownMessages()[1].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(report.contains(QStringLiteral("【保存结果】\n分班结果没有保存！\n分班任务文件夹 "))) << str(report);
    EXPECT_TRUE(m->task()->IsDirty());
    EXPECT_TRUE(anyPlaced(*m->task()));
    EXPECT_EQ(readBytes(path(QStringLiteral("a/input.xml"))), input);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("a/report.txt"))));
    // The stored report says so as well while the task is open.
    EXPECT_TRUE(CDivisionCommands::reportText(*m->task()).contains(QStringLiteral("分班结果没有保存！")));

    // Accepted: the task is saved as a copy under a new name, and opened.
    CMessageBox::clearTestState();
    whenModal<CTaskInfoDlg>([](CTaskInfoDlg* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("将分班任务另存到其他文件夹"));
        EXPECT_EQ(dialog->nameEdit()->text(), QStringLiteral("甲"));
        dialog->nameEdit()->setText(QStringLiteral("甲的副本"));
        dialog->onOk();
    });
    const QString saved = divide(window, QMessageBox::Yes);
    const std::string copyFile = str(path(QStringLiteral("tasks/甲的副本/甲的副本.qz")));
    ASSERT_TRUE(m->hasTask());
    EXPECT_EQ(m->task()->GetTaskInfo().GetTaskFile(), copyFile);
    EXPECT_FALSE(m->isReadOnly());
    EXPECT_FALSE(m->task()->IsDirty());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Lumo智能分班系统 1.0.0 - 甲的副本"));
    EXPECT_EQ(m->recentTasks().paths().front(), copyFile);
    EXPECT_TRUE(saved.contains(QStringLiteral("分班任务已另存到 ") + QString::fromStdString(copyFile)));
    EXPECT_FALSE(saved.contains(QStringLiteral("没有保存")));
    // What the copy holds on disk is the division.
    CScheduleTask copy;
    copy.SetMessageHandler([](const std::string&) {});
    ASSERT_TRUE(copy.Open(copyFile));
    EXPECT_TRUE(anyPlaced(copy));
    EXPECT_EQ(copy.GetLastReportInfo().GetReportInfo(), m->task()->GetLastReportInfo().GetReportInfo());
    EXPECT_EQ(readBytes(path(QStringLiteral("a/input.xml"))), input);
}

TEST_F(ShellReadOnly, TaskAnotherProgramHoldsOpensOnlyReadOnly)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    const std::string b = makeTask(QStringLiteral("b"), QStringLiteral("乙"));
    const std::string lockFile = CTaskLock::LockFilePath(str(path(QStringLiteral("b"))));
    manager();
    CMainDlg window(a);
    CTaskManager* m = CTaskManager::instance();
    // While the program has a task open, the task is locked.
    EXPECT_TRUE(QFile::exists(QString::fromStdString(CTaskLock::LockFilePath(str(path(QStringLiteral("a")))))));

    CTaskLock other(str(path(QStringLiteral("b"))));
    ASSERT_EQ(other.Acquire("quillon-cli divide"), CTaskLock::Result::Acquired);
    const QByteArray input = readBytes(path(QStringLiteral("b/input.xml")));

    // Declined: the task in use stays open, nothing more is asked.
    CMessageBox::clearTestState();
    CMessageBox::pushAnswer(QMessageBox::No);
    EXPECT_FALSE(m->openTask(b));
    ASSERT_EQ(CMessageBox::shownTexts().size(), 1);
    const QString asked = CMessageBox::shownTexts()[0];
    EXPECT_TRUE(asked.contains(QStringLiteral("正被另一程序使用（quillon-cli divide")));
    EXPECT_TRUE(asked.contains(QStringLiteral("要以只读方式打开该分班任务吗？")));
    EXPECT_EQ(m->task()->GetTaskInfo().GetTaskName(), "甲");

    // Accepted: open read-only, and nothing the program does writes into it.
    CMessageBox::clearTestState();
    CMessageBox::pushAnswer(QMessageBox::Yes); // read-only
    CMessageBox::pushAnswer(QMessageBox::Yes); // close 甲
    ASSERT_TRUE(m->openTask(b));
    EXPECT_EQ(CMessageBox::shownTexts().size(), 2);
    EXPECT_TRUE(m->isReadOnly());
    EXPECT_TRUE(m->task()->IsReadOnly());
    EXPECT_TRUE(window.windowTitle().endsWith(QStringLiteral(" (只读)")));
    EXPECT_FALSE(m->task()->SaveInputData());
    EXPECT_FALSE(m->task()->SaveLastReportInfo());
    EXPECT_EQ(readBytes(path(QStringLiteral("b/input.xml"))), input);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("b/Backup"))));
    EXPECT_TRUE(other.IsHeld()) << "the other program's lock stays";
    // The lock of 甲 went with it.
    EXPECT_FALSE(QFile::exists(QString::fromStdString(CTaskLock::LockFilePath(str(path(QStringLiteral("a")))))));

    // Once the other program has let go, the task opens for writing again.
    other.Release();
    m->closeTask();
    CMessageBox::clearTestState();
    ASSERT_TRUE(m->openTask(b));
    EXPECT_FALSE(m->isReadOnly());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(lockFile)));
    m->closeTask();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(lockFile)));
}

TEST_F(ShellReadOnly, NewTaskDeclinedLeavesNothingBehind)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    manager();
    CMainDlg window(a);
    auto create = [&window](QMessageBox::StandardButton closeCurrent) {
        CMessageBox::clearTestState();
        CMessageBox::pushAnswer(closeCurrent);
        whenModal<CTaskInfoDlg>([](CTaskInfoDlg* dialog) {
            dialog->nameEdit()->setText(QStringLiteral("新任务"));
            dialog->onOk();
        });
        window.runCommand(StepCommandId::NewTask);
        return CMessageBox::shownTexts();
    };

    const QStringList asked = create(QMessageBox::No);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].startsWith(QStringLiteral("分班任务 \"甲\" 正在使用。")));
    EXPECT_EQ(CTaskManager::instance()->task()->GetTaskInfo().GetTaskName(), "甲");
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("tasks/新任务"))));

    // The same name again is no "already exists".
    EXPECT_EQ(create(QMessageBox::Yes).size(), 1);
    EXPECT_EQ(CTaskManager::instance()->task()->GetTaskInfo().GetTaskFile(),
              str(path(QStringLiteral("tasks/新任务/新任务.qz"))));
}

} // namespace
