// A new task, or a task saved into another folder, never goes into the
// folder of another task; and the new task's creator is the account's name.
#include "ShellTestSupport.h"

#include "base/util/AccountName.h"
#include "FolderSnapshot.h"
#include "base/task/ScheduleTask.h"
#include "gui/shell/TaskInfoDlg.h"

#include <QLineEdit>

using namespace shelltest;

namespace {

class NewTaskFolder : public ShellTest
{
protected:
    // A task that has been opened once, so its data files are there.
    std::string makeOpenedTask(const QString& folder, const QString& name)
    {
        const std::string file = makeTask(folder, name);
        CScheduleTask task;
        EXPECT_TRUE(task.Open(file));
        EXPECT_TRUE(task.SaveInputData());
        EXPECT_TRUE(task.SaveOutputData());
        return file;
    }

    std::map<std::string, std::string> snapshot(const QString& folder) const
    {
        return testsupport::FolderSnapshot(std::filesystem::path(str(path(folder))));
    }

    // Types name and location into the task dialog that comes up, presses
    // OK and then, if it is still open, Cancel; what OK said is kept.
    void answerTaskDialog(const QString& name, const QString& location)
    {
        whenModal<CTaskInfoDlg>([this, name, location](CTaskInfoDlg* dialog) {
            dialog->nameEdit()->setText(name);
            dialog->locationEdit()->setText(location);
            dialog->onOk();
            m_okSaid = CMessageBox::shownTexts().join(QLatin1Char('|'));
            m_stayedOpen = dialog->result() != QDialog::Accepted && dialog->isVisible();
            if (m_stayedOpen)
                dialog->reject();
        });
    }

    QString m_okSaid;
    bool m_stayedOpen = false;
};

TEST_F(NewTaskFolder, NewTaskRefusesTheFolderOfAnotherTask)
{
    CTaskManager* m = manager();
    makeOpenedTask(QStringLiteral("tasks/旧任务"), QStringLiteral("旧任务"));
    const auto before = snapshot(QStringLiteral("tasks/旧任务"));

    answerTaskDialog(QStringLiteral("新任务"), path(QStringLiteral("tasks/旧任务")));
    EXPECT_FALSE(m->newTask());
    EXPECT_TRUE(m_stayedOpen);
    EXPECT_EQ(m_okSaid,
              QStringLiteral("保存位置 %1 已是一个分班任务的文件夹（其中有 Backup、input.xml、output.xml、旧任务.qz）。"
                             "请另选一个文件夹。")
                  .arg(path(QStringLiteral("tasks/旧任务"))));
    EXPECT_EQ(snapshot(QStringLiteral("tasks/旧任务")), before);
    EXPECT_FALSE(m->hasTask());

    // A folder of its own is taken.
    CMessageBox::clearTestState();
    answerTaskDialog(QStringLiteral("新任务"), path(QStringLiteral("tasks/新任务")));
    EXPECT_TRUE(m->newTask());
    EXPECT_TRUE(m_okSaid.isEmpty()) << str(m_okSaid);
    ASSERT_TRUE(m->hasTask());
    EXPECT_EQ(m->task()->GetTaskInfo().GetTaskFile(), str(path(QStringLiteral("tasks/新任务/新任务.qz"))));
    EXPECT_EQ(snapshot(QStringLiteral("tasks/旧任务")), before);
}

TEST_F(NewTaskFolder, SavingElsewhereRefusesTheFolderOfAnotherTask)
{
    CTaskManager* m = manager();
    const std::string first = makeOpenedTask(QStringLiteral("a"), QStringLiteral("甲"));
    makeOpenedTask(QStringLiteral("b"), QStringLiteral("乙"));
    ASSERT_TRUE(m->openTask(first));
    const auto before = snapshot(QStringLiteral("b"));

    CMessageBox::clearTestState();
    answerTaskDialog(QStringLiteral("甲"), path(QStringLiteral("b")));
    EXPECT_FALSE(m->saveTaskElsewhere());
    EXPECT_TRUE(m_stayedOpen);
    EXPECT_TRUE(
        m_okSaid.startsWith(QStringLiteral("保存位置 %1 已是一个分班任务的文件夹").arg(path(QStringLiteral("b")))))
        << str(m_okSaid);
    EXPECT_EQ(snapshot(QStringLiteral("b")), before) << "the other task's data files are untouched";
    EXPECT_EQ(m->task()->GetTaskInfo().GetTaskFile(), first);
}

TEST_F(NewTaskFolder, CreatorIsTheAccountsOwnName)
{
    // A shell that names no user, and a home folder named otherwise.
    const QByteArray user = qgetenv("USER");
    const QByteArray userName = qgetenv("USERNAME");
    const QByteArray home = qgetenv("HOME");
    QDir().mkpath(path(QStringLiteral("别人的家")));
    qunsetenv("USER");
    qunsetenv("USERNAME");
    qputenv("HOME", path(QStringLiteral("别人的家")).toLocal8Bit());

    QString author;
    whenModal<CTaskInfoDlg>([&author](CTaskInfoDlg* dialog) {
        author = dialog->authorEdit()->text();
        dialog->reject();
    });
    EXPECT_FALSE(manager()->newTask());
    qputenv("HOME", home);
    if (!user.isNull())
        qputenv("USER", user);
    if (!userName.isNull())
        qputenv("USERNAME", userName);

    EXPECT_EQ(author, QString::fromStdString(CAccountName::Current()));
    EXPECT_NE(author, QStringLiteral("别人的家"));
}

} // namespace
