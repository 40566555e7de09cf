// Division runs through the confirmation, the auto-division dialog and the
// report, with the real engine.
#include "ResultsTestSupport.h"

#include "gui/results/AutoDivisionDialog.h"
#include "core/Core.h"
#include "gui/results/DivisionCommands.h"
#include "gui/results/DivisionTableDialog.h"
#include "gui/common/MessageBox.h"
#include "gui/results/ReportDialog.h"

#include <QDir>
#include <QEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace ResultsTest;

namespace {

const QString kConfirmation =
    QStringLiteral("欢迎使用计算机自动分班。\n所有的学生将重新分班，现有的分班数据将被新的分班结果覆盖。\n\n"
                   "点击\"确定\"按钮立即开始自动分班。");

// What the user saw of one run through startDivision.
struct RunRecord
{
    bool sawRunDialog = false;
    bool runDialogGoneAtReport = false;
    int finalProgress = -1;
    QString finalStatus;
    bool sawReport = false;
    QString reportText;
    bool viewTableShown = false;
    int tableRows = -1;
    bool result = false;
};

class ResultsRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CMessageBox::clearTestState();
        ASSERT_TRUE(folder.isValid());
        CTaskInfo info;
        info.SetTaskName("测试任务");
        info.SetTaskFolder(QDir::toNativeSeparators(folder.path()).toStdString());
        task.SetTaskInfo(info);
    }

    // Runs the start command, answering the confirmation with OK and the
    // report with the view table button when viewTable is set.
    RunRecord Run(bool viewTable)
    {
        RunRecord record;
        QPointer<CAutoDivisionDialog> run;
        CMessageBox::pushAnswer(QMessageBox::Ok);
        ModalDriver driver([&](QWidget* modal) {
            if (auto* dialog = qobject_cast<CAutoDivisionDialog*>(modal)) {
                record.sawRunDialog = true;
                run = dialog;
                if (dialog->isFinished()) {
                    record.finalProgress = dialog->progressBar()->value();
                    record.finalStatus = dialog->statusLabel()->text();
                    return true;
                }
                return false;
            }
            if (auto* report = qobject_cast<CReportDialog*>(modal)) {
                record.sawReport = true;
                record.runDialogGoneAtReport = run.isNull();
                record.reportText = report->textEdit()->toPlainText();
                record.viewTableShown = report->viewTableButton()->isVisible();
                (viewTable ? report->viewTableButton() : report->closeButton())->click();
                return true;
            }
            return false;
        });
        record.result = CDivisionCommands::startDivision(nullptr, task);
        return record;
    }

    QTemporaryDir folder;
    CScheduleTask task;
};

TEST_F(ResultsRunTest, DecliningTheConfirmationStartsNothing)
{
    CMessageBox::pushAnswer(QMessageBox::Cancel);
    bool sawDialog = false;
    ModalDriver driver([&](QWidget*) { return sawDialog = true; });
    EXPECT_FALSE(CDivisionCommands::startDivision(nullptr, task));
    EXPECT_FALSE(sawDialog);
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    const auto& shown = CMessageBox::shownMessages()[0];
    EXPECT_EQ(shown.caption, QStringLiteral("提示"));
    EXPECT_EQ(shown.text, kConfirmation);
    EXPECT_EQ(shown.icon, CMessageBox::Icon::Warning);
    EXPECT_EQ(shown.buttons, QMessageBox::Ok | QMessageBox::Cancel);
}

TEST_F(ResultsRunTest, TaskWithoutClassesIsRefused)
{
    AddStudent(task, "s1", "张三", 0, 0);
    {
        CAutoDivisionDialog dialog(task);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("自动分班"));
        EXPECT_EQ(dialog.statusLabel()->text(), QString());
        dialog.open();
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.isFinished(); }, 5000));
        QElapsedTimer shown;
        shown.start();
        EXPECT_TRUE(dialog.isVisible()); // the final state stays up a moment
        EXPECT_EQ(dialog.statusLabel()->text(), QStringLiteral("正在检查分班数据,请稍候..."));
        EXPECT_EQ(dialog.resultCode(), 1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isVisible(); }, 3000));
        EXPECT_GE(shown.elapsed(), CAutoDivisionDialog::kClosingPauseMs - 100);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }

    {
        // Closed by hand during the pause: it stays closed as cancelled,
        // and the run's code is kept for the report.
        CAutoDivisionDialog dialog(task);
        dialog.open();
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.isFinished(); }, 5000));
        dialog.cancelButton()->click();
        QTest::qWait(CAutoDivisionDialog::kClosingPauseMs + 200);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(dialog.resultCode(), 1);
    }

    const RunRecord record = Run(false);
    EXPECT_TRUE(record.sawRunDialog);
    ASSERT_TRUE(record.sawReport);
    EXPECT_TRUE(record.runDialogGoneAtReport);
    EXPECT_TRUE(record.reportText.contains(QStringLiteral("班级信息为空！请在基本数据维护中添加班级。")));
    EXPECT_TRUE(record.reportText.contains(QStringLiteral("本次自动分班未开始！")));
    EXPECT_FALSE(record.viewTableShown);
    EXPECT_FALSE(record.result);
}

TEST_F(ResultsRunTest, CompleteRunLeadsToTheTable)
{
    MakeSchool(task, 30, 3, false);
    const RunRecord record = Run(true);
    EXPECT_EQ(record.finalProgress, 100);
    EXPECT_EQ(record.finalStatus, QStringLiteral("分班完成."));
    ASSERT_TRUE(record.sawReport);
    EXPECT_TRUE(record.runDialogGoneAtReport);
    EXPECT_TRUE(record.reportText.endsWith(QStringLiteral("【分班结果】\n分班完成。您可以查看并导出分班表。")))
        << record.reportText.toStdString();
    EXPECT_TRUE(record.viewTableShown);
    EXPECT_TRUE(record.result);

    for (const auto* student : task.GetStudentInfoList().Records<CStudentInfo>())
        EXPECT_NE(task.GetClassInfoList().Find(student->GetClassId()), nullptr);
    EXPECT_TRUE(QFileInfo::exists(folder.filePath("input.xml")));
    EXPECT_TRUE(QFileInfo::exists(folder.filePath("report.txt")));

    int rows = -1;
    ModalDriver driver([&](QWidget* modal) {
        auto* table = qobject_cast<CDivisionTableDialog*>(modal);
        if (!table)
            return false;
        rows = table->table()->model()->rowCount();
        table->reject();
        return true;
    });
    CDivisionCommands::showDivisionTable(nullptr, task);
    EXPECT_EQ(rows, 30);
}

TEST_F(ResultsRunTest, UnplacedStudentsAreReported)
{
    AddClass(task, "full", "一班", 0, 0); // capacity 0: nobody fits
    AddClass(task, "open", "二班", 1, 5);
    AddStudent(task, "s1", "张三", 0, 0, "", {"80"});
    AddStudent(task, "s2", "李四", 1, 1, "", {"70"});
    AddPreset(task, "s1", "full");

    const RunRecord record = Run(false);
    ASSERT_TRUE(record.sawReport);
    EXPECT_TRUE(record.reportText.contains(QStringLiteral("本次自动分班结束。")));
    EXPECT_TRUE(record.reportText.contains(QStringLiteral("张三 预排的班级 一班 人数已满\n")));
    EXPECT_TRUE(record.viewTableShown);
    EXPECT_FALSE(record.result);
    EXPECT_EQ(task.GetStudentInfoList().FindAs<CStudentInfo>("s1")->GetClassId(), "");
    EXPECT_EQ(task.GetStudentInfoList().FindAs<CStudentInfo>("s2")->GetClassId(), "open");
}

TEST_F(ResultsRunTest, CancelWhileTheWorkerWaitsForTheWindow)
{
    MakeSchool(task, 20000, 400, false);
    const std::size_t students = task.GetStudentInfoList().GetCount();
    for (int round = 0; round < 2; ++round) {
        CAutoDivisionDialog dialog(task);
        dialog.open(); // starts the engine; its first notice now waits for this thread
        std::this_thread::sleep_for(std::chrono::milliseconds(round == 0 ? 50 : 0));
        if (round == 1)
            QTest::qWait(30); // let a few notices through

        if (round == 0) {
            EXPECT_FALSE(dialog.isFinished());
        }

        QElapsedTimer timer;
        timer.start();
        dialog.cancelButton()->click();
        // Well below the engine's one-second limit for a worker that does
        // not stop: the waiting worker is released at once.
        EXPECT_LT(timer.elapsed(), 800);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        if (!dialog.isFinished()) {
            EXPECT_EQ(dialog.resultCode(), 0);
        }
        // Whatever was queued for the closed dialog changes nothing.
        QTest::qWait(50);
        EXPECT_FALSE(dialog.isVisible());
    }
    EXPECT_TRUE(CCore::WaitForTask(&task, 5000));
    EXPECT_FALSE(CCore::IsTaskBusy(&task));
    EXPECT_EQ(task.GetStudentInfoList().GetCount(), students);
    EXPECT_EQ(task.GetClassInfoList().GetCount(), 400u);
}

// Each student's class, and the report, of a task.
std::vector<std::string> Division(const CScheduleTask& task)
{
    std::vector<std::string> classes;
    for (const auto& entry : task.GetStudentInfoList())
        classes.push_back(entry.id + "=" + static_cast<const CStudentInfo*>(entry.object.get())->GetClassId());
    classes.push_back(task.GetLastReportInfo().GetReportInfo());
    return classes;
}

std::vector<std::string> DivisionOnDisk(const CScheduleTask& task)
{
    CScheduleTask disk;
    disk.SetMessageHandler([](const std::string&) {});
    EXPECT_TRUE(disk.Open(task.GetTaskInfo().GetTaskFile()));
    return Division(disk);
}

TEST_F(ResultsRunTest, CancelledRunChangesNothing)
{
    MakeSchool(task, 300, 6, false);
    ASSERT_TRUE(task.GetTaskInfo().WriteToFile());
    ASSERT_TRUE(task.SaveInputData());

    const char* const checking = "正在检查分班数据,请稍候...";
    const char* const dividing = "正在分班,请稍候...";
    for (bool divided : {false, true}) {
        if (divided) {
            ASSERT_FALSE(Run(false).result);
            ASSERT_EQ(DivisionOnDisk(task), Division(task));
        }
        for (const CancelPoint point : {CancelPoint{checking}, CancelPoint{dividing}, CancelPoint{nullptr}}) {
            SCOPED_TRACE(std::string(divided ? "after a division, " : "never divided, ")
                         + (point.status ? point.status : "at the full bar"));
            const std::vector<std::string> before = Division(task);
            CMessageBox::clearTestState();
            CancelAt cancelAt(point);
            const RunRecord record = Run(false);
            ASSERT_TRUE(cancelAt.cancelled);
            ASSERT_TRUE(record.sawReport);
            EXPECT_FALSE(CCore::IsTaskBusy(&task));
            // Whatever the moment, the task in memory is what its folder holds.
            EXPECT_EQ(Division(task), DivisionOnDisk(task));

            if (point.status) {
                EXPECT_EQ(Division(task), before);
                EXPECT_TRUE(record.reportText.startsWith(
                    QStringLiteral("【分班结果】\n本次自动分班已取消，分班数据没有任何改变。")))
                    << record.reportText.toStdString();
                EXPECT_EQ(record.reportText.contains(QStringLiteral("分班表仍是上一次自动分班的结果。")), divided);
            } else {
                // Cancelled after the result was saved: it is reported as it is.
                EXPECT_NE(Division(task), before);
                EXPECT_TRUE(record.reportText.endsWith(QStringLiteral("分班完成。您可以查看并导出分班表。")))
                    << record.reportText.toStdString();
            }
            EXPECT_TRUE(record.viewTableShown);

            // The table shows the division the task holds, or says there is none.
            bool saidNone = false;
            int rows = -1;
            ModalOf<CDivisionTableDialog> driver([&](CDivisionTableDialog* table) {
                rows = table->table()->model()->rowCount();
                saidNone = table->noDivisionLabel()->isVisibleTo(table);
                table->reject();
            });
            CDivisionCommands::showDivisionTable(nullptr, task);
            const bool hasDivision = divided || !point.status;
            EXPECT_EQ(rows, hasDivision ? 300 : 0);
            EXPECT_EQ(saidNone, !hasDivision);
        }
    }
}

TEST_F(ResultsRunTest, DestroyingTheDialogMidRunIsSafe)
{
    MakeSchool(task, 5000, 100, false);
    {
        auto dialog = std::make_unique<CAutoDivisionDialog>(task);
        dialog->show();
        QTest::qWait(5);
    } // destroyed without a close
    EXPECT_TRUE(CCore::WaitForTask(&task, 5000));
}

} // namespace
