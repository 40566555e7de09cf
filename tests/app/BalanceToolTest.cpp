// The balance tool of step page "4 自动分班": the duration choice, the
// running dialog with the real optimiser, the result table and the save.
#include "ResultsTestSupport.h"
#include "ShellTestSupport.h"

#include "gui/results/BalanceCommands.h"
#include "gui/results/BalanceDialog.h"
#include "gui/results/BalanceDurationDialog.h"
#include "core/BalanceModel.h"
#include "core/BalanceReport.h"
#include "gui/results/BalanceResultDialog.h"
#include "BalanceRules.h"
#include "core/BalanceSpreads.h"
#include "Cohort.h"
#include "gui/results/DivisionCommands.h"
#include "core/DivisionStatistics.h"
#include "gui/results/DivisionStatisticsDialog.h"
#include "gui/results/DivisionTableDialog.h"
#include "gui/shell/MainDlg.h"
#include "gui/common/MessageBox.h"
#include "gui/results/ReportDialog.h"
#include "gui/shell/StepSheet.h"
#include "gui/shell/ToolBox.h"
#include "gui/shell/ToolDesc.h"
#include "gui/shell/UIResources.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using namespace ResultsTest;
using testsupport::BalanceViolations;
using testsupport::ClassesOf;

namespace {

const QString kNotDivided =
    QStringLiteral("该任务还没有分班，无法进行均衡优化。\n请先点击“开始自动分班”完成自动分班。");

// Divides with the engine, in memory.
void Divide(CScheduleTask& task)
{
    testsupport::DivideInMemory(task, 3);
}

CBalanceOptions Steps(std::uint64_t iterations, std::uint64_t seed = 7)
{
    CBalanceOptions options;
    options.iterations = iterations;
    options.seed = seed;
    return options;
}

CBalanceSpreads Measure(CScheduleTask& task)
{
    const CBalanceModel model(task);
    return CBalanceSpreads::Measure(model, model.GetInitialAssignment());
}

QByteArray ReadBytes(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the user saw of one balancing through the command.
struct BalanceRecord
{
    bool sawDuration = false;
    bool sawRun = false;
    bool sawResult = false;
    QStringList durationCaptions;
    QString startTotal; // the running dialog's figures
    QString bestTotal;
    QString summary;
    std::vector<QStringList> rows;
    bool result = false;
};

class BalanceToolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CMessageBox::clearTestState();
        ASSERT_TRUE(folder.isValid());
        CTaskInfo info;
        info.SetTaskName("均衡测试");
        info.SetTaskFolder(QDir::toNativeSeparators(folder.path()).toStdString());
        ASSERT_TRUE(info.WriteToFile());
        task.SetTaskInfo(info);
        task.SetMessageHandler([](const std::string&) {});
    }

    void TearDown() override { CMessageBox::clearTestState(); }

    // A realistic cohort with exclusive groups and pre-assignments, divided
    // and saved.
    void MakeDivided(int students, int classes, int subjects)
    {
        testsupport::CohortOptions cohort;
        cohort.students = students;
        cohort.classes = classes;
        cohort.subjects = subjects;
        cohort.seed = 11;
        cohort.groupedShare = 0.05;
        cohort.presetShare = 0.02;
        testsupport::FillCohort(task, cohort);
        Divide(task);
        ASSERT_TRUE(task.SaveInputDataWithReport());
    }

    std::string InputFile() const { return task.GetTaskInfo().GetInputFilePath(); }
    std::string ReportFile() const { return task.GetTaskInfo().GetReportFilePath(); }

    // Runs the command with options, choosing the first duration;
    // whileRunning sees the running dialog on every poll.
    BalanceRecord Balance(const std::optional<CBalanceOptions>& options,
                          const std::function<void(CBalanceDialog*)>& whileRunning = {},
                          const CBalanceCommands::SaveElsewhere& saveElsewhere = {})
    {
        BalanceRecord record;
        ModalDriver driver([&](QWidget* modal) {
            if (auto* duration = qobject_cast<CBalanceDurationDialog*>(modal)) {
                record.sawDuration = true;
                for (int i = 0; i < 3; ++i)
                    record.durationCaptions << duration->choiceButton(i)->text();
                duration->choiceButton(0)->click();
                duration->startButton()->click();
                return true;
            }
            if (auto* run = qobject_cast<CBalanceDialog*>(modal)) {
                record.sawRun = true;
                record.startTotal = run->figure(1, 1)->text();
                record.bestTotal = run->figure(1, 2)->text();
                if (whileRunning)
                    whileRunning(run);
                return false; // watched until it closes
            }
            if (auto* result = qobject_cast<CBalanceResultDialog*>(modal)) {
                record.sawResult = true;
                record.summary = result->summaryLabel()->text();
                const QStandardItemModel* model = result->model();
                for (int row = 0; row < model->rowCount(); ++row) {
                    QStringList cells;
                    for (int column = 0; column < model->columnCount(); ++column)
                        cells << model->item(row, column)->text();
                    record.rows.push_back(cells);
                }
                result->closeButton()->click();
                return true;
            }
            return false;
        });
        record.result = CBalanceCommands::balance(nullptr, task, saveElsewhere, options);
        return record;
    }

    QTemporaryDir folder;
    CScheduleTask task;
};

TEST_F(BalanceToolTest, UndividedTaskOrDeclinedChoiceChangesNothing)
{
    testsupport::CohortOptions cohort;
    cohort.students = 60;
    cohort.classes = 3;
    testsupport::FillCohort(task, cohort);
    BalanceRecord record = Balance(Steps(1000));
    EXPECT_FALSE(record.result);
    EXPECT_FALSE(record.sawDuration);
    EXPECT_FALSE(record.sawRun);
    EXPECT_EQ(CMessageBox::shownTexts(), QStringList{kNotDivided});

    // Divided, but the duration is not chosen: no search, no files.
    CMessageBox::clearTestState();
    Divide(task);
    const auto before = ClassesOf(task);
    bool sawRun = false;
    ModalDriver driver([&](QWidget* modal) {
        if (auto* duration = qobject_cast<CBalanceDurationDialog*>(modal)) {
            EXPECT_EQ(duration->choice(), CBalanceDurationDialog::kDefaultChoice);
            EXPECT_DOUBLE_EQ(duration->seconds(), 10.0);
            duration->cancelButton()->click();
            return true;
        }
        sawRun = sawRun || qobject_cast<CBalanceDialog*>(modal) != nullptr;
        return false;
    });
    EXPECT_FALSE(CBalanceCommands::balance(nullptr, task));
    EXPECT_FALSE(sawRun);
    EXPECT_TRUE(CMessageBox::shownTexts().isEmpty());
    EXPECT_EQ(ClassesOf(task), before);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(InputFile())));
}

TEST_F(BalanceToolTest, ShortRunAppliesSavesAndReports)
{
    MakeDivided(400, 10, 3);
    const auto before = ClassesOf(task);
    const CBalanceSpreads start = Measure(task);

    const BalanceRecord record = Balance(Steps(20000));
    EXPECT_EQ(record.durationCaptions, (QStringList{QStringLiteral("快速（约2秒）"), QStringLiteral("标准（约10秒）"),
                                                    QStringLiteral("深入（约60秒）")}));
    ASSERT_TRUE(record.sawRun);
    EXPECT_EQ(record.startTotal, QString::fromStdString(CBalanceReport::Points(start.total)) + QStringLiteral(" 分"));
    ASSERT_TRUE(record.sawResult);
    EXPECT_FALSE(record.result);
    EXPECT_TRUE(CMessageBox::shownTexts().isEmpty()) << CMessageBox::shownTexts().join('|').toStdString();

    // The rules hold and no figure got worse; the classes moved closer.
    EXPECT_TRUE(BalanceViolations(task, before).empty());
    const CBalanceSpreads after = Measure(task);
    EXPECT_TRUE(after.NoWorseThan(start));
    EXPECT_LT(after.total, start.total);
    EXPECT_TRUE(record.summary.contains(QStringLiteral("名学生的班级")));
    EXPECT_TRUE(record.summary.contains(QStringLiteral("结果已保存到分班任务")));
    EXPECT_FALSE(task.IsDirty());

    // The table: total, three subjects, girls, boys and two school rows,
    // before and after as the statistics compute them.
    ASSERT_EQ(record.rows.size(), 8u);
    EXPECT_EQ(record.rows[0],
              (QStringList{QStringLiteral("总分平均分"), QString::fromStdString(CBalanceReport::Points(start.total)),
                           QString::fromStdString(CBalanceReport::Points(after.total))}));
    EXPECT_EQ(record.rows[1][0], QStringLiteral("语文平均分"));

    // The statistics opened afterwards show the balanced classes.
    CDivisionStatisticsDialog statistics(task);
    float lowest = 1e9f, highest = -1e9f;
    int fewestGirls = 1 << 30, mostGirls = -1;
    for (const CDivisionStatistics::Row& row : statistics.statistics().GetRows()) {
        if (row.classId.empty() || row.statistics->count == 0)
            continue;
        lowest = std::min(lowest, row.statistics->totalAverage);
        highest = std::max(highest, row.statistics->totalAverage);
        fewestGirls = std::min(fewestGirls, row.statistics->girls);
        mostGirls = std::max(mostGirls, row.statistics->girls);
    }
    EXPECT_NEAR(highest - lowest, after.total, 1e-3);
    EXPECT_EQ(mostGirls - fewestGirls, after.girls);

    // Data and report on disk are what the task holds.
    CScheduleTask reopened;
    reopened.SetMessageHandler([](const std::string&) {});
    ASSERT_TRUE(reopened.Open(task.GetTaskInfo().GetTaskFile()));
    EXPECT_EQ(ClassesOf(reopened), ClassesOf(task));
    EXPECT_NE(ClassesOf(reopened), before);
    EXPECT_NE(reopened.GetLastReportInfo().GetReportInfo().find(CBalanceReport::kTitle), std::string::npos);
}

TEST_F(BalanceToolTest, CancelAsksWhetherToKeepTheBestSoFar)
{
    MakeDivided(1800, 40, 6);
    const auto before = ClassesOf(task);
    const CBalanceSpreads start = Measure(task);
    const QByteArray input = ReadBytes(InputFile());
    const QByteArray report = ReadBytes(ReportFile());
    const std::string reportText = task.GetLastReportInfo().GetReportInfo();

    // Cancelled as soon as the search has found something better; the
    // step count would keep it busy for minutes otherwise.
    auto cancelOnGain = [](CBalanceDialog* run) {
        if (run->cancelButton()->isEnabled() && !run->bestSpreads().subjects.empty()
            && run->bestSpreads().total < run->startSpreads().total)
            run->cancelButton()->click();
    };

    // Dropped: the task stays as it was, in memory and on disk.
    CMessageBox::pushAnswer(QMessageBox::No);
    QElapsedTimer clock;
    clock.start();
    BalanceRecord record = Balance(Steps(1'000'000'000), cancelOnGain);
    EXPECT_LT(clock.elapsed(), 30000);
    EXPECT_FALSE(record.sawResult);
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    EXPECT_EQ(CMessageBox::shownMessages()[0].icon, CMessageBox::Icon::Question);
    EXPECT_TRUE(CMessageBox::shownTexts()[0].contains(QStringLiteral("要保留这个分班吗")));
    EXPECT_EQ(ClassesOf(task), before);
    EXPECT_EQ(task.GetLastReportInfo().GetReportInfo(), reportText);
    EXPECT_EQ(ReadBytes(InputFile()), input);
    EXPECT_EQ(ReadBytes(ReportFile()), report);

    // Kept: a valid division, better than the start, saved with its report.
    CMessageBox::clearTestState();
    CMessageBox::pushAnswer(QMessageBox::Yes);
    record = Balance(Steps(1'000'000'000), cancelOnGain);
    ASSERT_TRUE(record.sawResult);
    EXPECT_TRUE(record.summary.contains(QStringLiteral("均衡优化已取消，保留了取消前找到的最均衡的分班")));
    EXPECT_TRUE(record.summary.contains(QStringLiteral("结果已保存到分班任务")));
    EXPECT_TRUE(BalanceViolations(task, before).empty());
    EXPECT_TRUE(Measure(task).NoWorseThan(start));
    EXPECT_NE(ClassesOf(task), before);
    CScheduleTask reopened;
    reopened.SetMessageHandler([](const std::string&) {});
    ASSERT_TRUE(reopened.Open(task.GetTaskInfo().GetTaskFile()));
    EXPECT_EQ(ClassesOf(reopened), ClassesOf(task));
    EXPECT_NE(reopened.GetLastReportInfo().GetReportInfo().find("均衡优化已取消"), std::string::npos);
}

TEST_F(BalanceToolTest, ClosingTheRunningDialogStopsAndLetsGoOfTheTask)
{
    MakeDivided(1800, 40, 6);
    const auto before = ClassesOf(task);

    {
        // The close box behaves like "取消".
        CMessageBox::pushAnswer(QMessageBox::No);
        CBalanceDialog dialog(task, Steps(1'000'000'000));
        dialog.open();
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.bestSpreads().total < dialog.startSpreads().total; }, 20000));
        dialog.close();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_TRUE(dialog.askedToKeep());
        EXPECT_FALSE(dialog.keepsResult());
        EXPECT_TRUE(dialog.optimizer().GetResult().cancelled);
    }

    // Destroyed while it searches (the program or the task closing): the
    // worker ends with it, and the task is as it was.
    QElapsedTimer clock;
    {
        CBalanceDialog dialog(task, Steps(1'000'000'000));
        dialog.open();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.bestSpreads().subjects.empty(); }, 20000));
        clock.start();
    }
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(ClassesOf(task), before);
}

TEST_F(BalanceToolTest, ReadOnlyTaskIsNotReportedAsSaved)
{
    MakeDivided(400, 10, 3);
    const QByteArray input = ReadBytes(InputFile());
    task.SetReadOnly(true);

    int offered = 0;
    CMessageBox::pushAnswer(QMessageBox::Yes);
    const BalanceRecord record = Balance(Steps(20000), {}, [&offered]() -> CScheduleTask* {
        ++offered;
        return nullptr; // the user gave up choosing a folder
    });
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    const CMessageBox::Shown& shown = CMessageBox::shownMessages()[0];
    EXPECT_EQ(shown.icon, CMessageBox::Icon::Error);
    EXPECT_EQ(shown.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(shown.text.startsWith(QStringLiteral("均衡优化的结果没有保存！")));
    EXPECT_TRUE(shown.text.contains(QStringLiteral("只读方式打开")));
    EXPECT_EQ(offered, 1);

    ASSERT_TRUE(record.sawResult);
    EXPECT_TRUE(record.summary.contains(QStringLiteral("结果没有保存")));
    EXPECT_FALSE(record.summary.contains(QStringLiteral("已保存")));
    EXPECT_TRUE(task.IsDirty());
    EXPECT_EQ(ReadBytes(InputFile()), input);
}

class BalanceToolShell : public shelltest::ShellTest
{};

TEST_F(BalanceToolShell, StepPageFourOffersTheTool)
{
    CStepSheet sheet;
    sheet.addTaskPages();
    sheet.resize(1000, 600);
    sheet.selectPage(3);
    const auto& commands = sheet.toolBox()->commands();
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_EQ(commands[2].command, static_cast<int>(StepCommandId::BalanceDivision));
    EXPECT_EQ(commands[3].command, static_cast<int>(StepCommandId::LotteryDivision));
    EXPECT_EQ(commands[3].caption, QStringLiteral("摇号分班"));
    EXPECT_FALSE(CUIResources::instance()->picture(QStringLiteral("lottery"), QSize(40, 40)).isNull());
    EXPECT_EQ(commands[2].caption, QStringLiteral("均衡优化"));
    EXPECT_FALSE(CUIResources::instance()->picture(QStringLiteral("balance"), QSize(40, 40)).isNull());
    EXPECT_TRUE(sheet.toolDesc()->description().contains(QStringLiteral("均衡优化")));

    // The main window's command reaches the tool: a new task is refused.
    manager();
    CMainDlg window(makeTask(QStringLiteral("t"), QStringLiteral("新任务")));
    ASSERT_TRUE(manager()->hasTask());
    CMessageBox::clearTestState();
    window.runCommand(StepCommandId::BalanceDivision);
    EXPECT_EQ(CMessageBox::shownTexts(), QStringList{kNotDivided});
}

} // namespace

// Renders the duration choice, the running dialog and the result table of
// the demo task (a copy, which the balancing rewrites) or of a cohort made
// here, when QUILLON_SCREENSHOT_DIR names a folder; skipped otherwise.
TEST(ResultsScreenshots, BalanceTool)
{
    ScreenshotScene scene([](CScheduleTask& school) {
        testsupport::CohortOptions cohort;
        cohort.students = 450;
        testsupport::FillCohort(school, cohort);
    });
    if (scene.skipped())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR not set";
    ASSERT_TRUE(scene.loaded());
    const QDir out = scene.out();
    CScheduleTask& task = scene.task();
    task.SetMessageHandler([](const std::string&) {});
    if (!CDivisionTableDialog::hasDivision(task))
        Divide(task);

    CMessageBox::clearTestState();
    ModalDriver driver([&](QWidget* modal) {
        if (auto* duration = qobject_cast<CBalanceDurationDialog*>(modal)) {
            EXPECT_TRUE(duration->grab().save(out.filePath("balance-duration.png")));
            duration->startButton()->click();
            return true;
        }
        if (auto* result = qobject_cast<CBalanceResultDialog*>(modal)) {
            EXPECT_TRUE(result->grab().save(out.filePath("balance-result.png")));
            result->closeButton()->click();
            return true;
        }
        return false;
    });
    CBalanceOptions options;
    options.seconds = 2.0;
    CBalanceCommands::balance(nullptr, task, {}, options);
    // The report command shows the balancing under the division's report.
    CReportDialog report(CDivisionCommands::reportText(task), DIVISION_RESULT_SHOW_REPORT);
    report.show();
    EXPECT_TRUE(report.grab().save(out.filePath("balance-report.png")));

    // The running dialog on a larger school, which takes a while to even out.
    CScheduleTask large;
    testsupport::CohortOptions cohort;
    cohort.students = 1800;
    cohort.classes = 40;
    cohort.subjects = 6;
    testsupport::FillCohort(large, cohort);
    Divide(large);
    options.seconds = 4.0;
    CBalanceDialog run(large, options);
    run.open();
    EXPECT_TRUE(QTest::qWaitFor([&] { return run.progressBar()->value() >= 40 || run.isFinished(); }, 10000));
    EXPECT_FALSE(run.isFinished());
    EXPECT_TRUE(run.grab().save(out.filePath("balance-run.png")));
}
