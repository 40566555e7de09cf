// Renders the two-class view of the demo task to PNG files when
// QUILLON_SCREENSHOT_DIR names a folder; skipped otherwise.
#include "ResultsTestSupport.h"

#include "core/Core.h"
#include "gui/common/MessageBox.h"
#include "gui/results/ClassPairDialog.h"
#include "gui/results/ClassPairModel.h"
#include "gui/results/DivisionTableDialog.h"

#include <QDragMoveEvent>
#include <QMimeData>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace ResultsTest;
using Side = CClassPairDialog::Side;

TEST(ResultsScreenshots, ClassPair)
{
    ScreenshotScene scene([](CScheduleTask& school) { MakeSchool(school, 360, 8, false); });
    if (scene.skipped())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR not set";
    ASSERT_TRUE(scene.loaded());
    CScheduleTask& task = scene.task();
    if (!CDivisionTableDialog::hasDivision(task)) {
        DivideQuietly(task, 7);
        ASSERT_TRUE(CCore::WaitForTask(&task, 5000));
    }
    CMessageBox::clearTestState();

    CDivisionTableDialog table(task);
    CClassPairDialog pair(task, table);
    pair.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pair));
    // Each screen's work area: the screen without a task bar.
    for (const auto& [size, name] : {std::pair{QSize(1366, 728), "results-class-pair-1366.png"},
                                     std::pair{QSize(1600, 960), "results-class-pair-1600.png"}}) {
        pair.resize(size);
        QTest::qWait(20);
        // A student of the left dragged over one of the right, chosen on both
        // sides: the figures show what the exchange would make of them.
        pair.list(Side::Left)->selectRow(2);
        pair.list(Side::Right)->selectRow(4);
        QTableView* right = pair.list(Side::Right);
        const std::unique_ptr<QMimeData> mime(pair.model(Side::Left)->mimeData({pair.model(Side::Left)->index(2, 1)}));
        const QPoint at = right->visualRect(right->model()->index(4, 1)).center();
        QDragEnterEvent enter(at, Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(right->viewport(), &enter);
        EXPECT_TRUE(pair.grab().save(scene.out().filePath(name)));
        QDragLeaveEvent leave;
        QApplication::sendEvent(right->viewport(), &leave);
    }
}
