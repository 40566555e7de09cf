// Renders the run, report, table and statistics windows of the demo task
// to PNG files when QUILLON_SCREENSHOT_DIR names a folder; skipped otherwise.
#include "ResultsTestSupport.h"

#include "gui/results/AutoDivisionDialog.h"
#include "core/Core.h"
#include "gui/results/DivisionCommands.h"
#include "gui/common/MessageBox.h"
#include "gui/results/DivisionStatisticsDialog.h"
#include "core/DivisionTableData.h"
#include "gui/results/DivisionTableDialog.h"
#include "gui/results/MoveToClassDialog.h"
#include "gui/results/ReportDialog.h"

#include <QDir>
#include <QHeaderView>
#include <QTableView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace ResultsTest;

TEST(ResultsScreenshots, DemoSchool)
{
    ScreenshotScene scene([](CScheduleTask& school) { MakeSchool(school, 360, 8, false); });
    if (scene.skipped())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR not set";
    ASSERT_TRUE(scene.loaded());
    const QDir out = scene.out();
    CScheduleTask& task = scene.task();

    int code = -1;
    {
        CAutoDivisionDialog run(task);
        run.open();
        ASSERT_TRUE(QTest::qWaitFor([&] { return run.isFinished(); }, 10000));
        EXPECT_TRUE(run.grab().save(out.filePath("results-run.png")));
        code = run.resultCode();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !run.isVisible(); }, 3000));
    }
    ASSERT_TRUE(CCore::WaitForTask(&task, 5000));

    CReportDialog report(QString::fromStdString(task.GetLastReportInfo().GetReportInfo()), code);
    report.show();
    EXPECT_TRUE(report.grab().save(out.filePath("results-report.png")));

    // The table after a change by hand: a member of an exclusive group moved
    // to the class of another member, after the question about it, which
    // was answered with yes.
    CDivisionTableDialog table(task);
    table.show();
    table.resize(1200, 700);
    std::string mover;
    std::string targetClass;
    for (const auto* group : task.GetMutexStudentList().Records<CMutexStudent>()) {
        const auto& ids = group->GetMutexStudents();
        if (ids.size() < 2)
            continue;
        const auto* first = task.GetStudentInfoList().FindAs<CStudentInfo>(ids[0]);
        const auto* second = task.GetStudentInfoList().FindAs<CStudentInfo>(ids[1]);
        if (first && second && !first->GetClassId().empty() && !second->GetClassId().empty()
            && first->GetClassId() != second->GetClassId()) {
            mover = first->GetId();
            targetClass = second->GetClassId();
            break;
        }
    }
    if (mover.empty()) { // a school made here has no groups: any student
        mover = table.tableData().GetRows().at(2).studentId;
        for (const auto* info : task.GetClassInfoList().Records<CClassInfo>())
            if (info->GetId() != task.GetStudentInfoList().FindAs<CStudentInfo>(mover)->GetClassId())
                targetClass = info->GetId();
    }
    CMoveToClassDialog chooser(task, {mover}, &table);
    chooser.show();
    EXPECT_TRUE(chooser.grab().save(out.filePath("results-move-chooser.png")));
    CMessageBox::clearTestState();
    CMessageBox::pushAnswer(QMessageBox::Yes);
    EXPECT_TRUE(table.moveStudents({mover}, targetClass));
    if (!CMessageBox::shownMessages().empty()) {
        const CMessageBox::Shown& shown = CMessageBox::shownMessages().front();
        auto box = CMessageBox::makeBox(&table, shown.text, shown.icon, shown.buttons, shown.caption);
        box->show();
        EXPECT_TRUE(box->grab().save(out.filePath("results-move-question.png")));
    }
    EXPECT_TRUE(table.grab().save(out.filePath("results-table.png")));

    CDivisionStatisticsDialog statistics(task);
    statistics.show();
    EXPECT_TRUE(statistics.grab().save(out.filePath("results-statistics.png")));

    // A run cancelled while it divides: the report of that, over the last one.
    CMessageBox::clearTestState();
    CMessageBox::pushAnswer(QMessageBox::Ok);
    CancelAt cancelAt(CancelPoint{"正在分班,请稍候..."});
    ModalOf<CReportDialog> driver([&out](CReportDialog* shown) {
        EXPECT_TRUE(shown->grab().save(out.filePath("results-report-cancelled.png")));
        shown->closeButton()->click();
    });
    CDivisionCommands::startDivision(nullptr, task);
    EXPECT_TRUE(cancelAt.cancelled);

    // A task never divided: its report and its table.
    CScheduleTask fresh;
    MakeSchool(fresh, 40, 2, false);
    CReportDialog never(CDivisionCommands::reportText(fresh), DIVISION_RESULT_SHOW_REPORT);
    never.show();
    EXPECT_TRUE(never.grab().save(out.filePath("results-report-never.png")));
    CDivisionTableDialog empty(fresh);
    empty.show();
    empty.resize(1000, 500);
    EXPECT_TRUE(empty.grab().save(out.filePath("results-table-empty.png")));
}

// The division table sorted by the total, highest first, and searched, at
// window sizes that fit a 1366 × 768 and a 1600 × 1000 screen.
TEST(ResultsScreenshots, SortedTable)
{
    ScreenshotScene scene([](CScheduleTask& school) { MakeSchool(school, 360, 8, true); });
    if (scene.skipped())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR not set";
    ASSERT_TRUE(scene.loaded());
    CScheduleTask& task = scene.task();
    if (!CDivisionTableDialog::hasDivision(task))
        DivideQuietly(task, 7);

    for (const auto& [size, name] : {std::pair{QSize(1340, 700), "results-table-sorted-1366.png"},
                                     std::pair{QSize(1580, 940), "results-table-sorted-1600.png"}}) {
        CDivisionTableDialog table(task);
        table.setWindowState(Qt::WindowNoState);
        table.show();
        table.resize(size);
        QHeaderView* header = table.table()->horizontalHeader();
        const int total = table.tableData().GetTotalColumn();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(header->sectionViewportPosition(total) + 10, header->height() / 2));
        table.table()->selectRow(2);
        QApplication::processEvents();
        EXPECT_TRUE(table.grab().save(scene.out().filePath(QString::fromLatin1(name))));
    }
}
