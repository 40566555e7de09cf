// Renders the division table and the statistics of a school with two
// condition columns and score bands to PNG files when
// QUILLON_SCREENSHOT_DIR names a folder; skipped otherwise.
#include "ResultsTestSupport.h"

#include "gui/results/DivisionStatisticsDialog.h"
#include "gui/results/DivisionTableDialog.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ConditionScreenshots, TableAndStatistics)
{
    const QString target = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR not set";
    QDir().mkpath(target);
    const QDir out(target);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    CScheduleTask task;
    CTaskInfo info;
    info.SetTaskName("七年级分班");
    info.SetTaskFolder(QDir::toNativeSeparators(folder.path()).toStdString());
    task.SetTaskInfo(info);
    ResultsTest::MakeSchool(task, 240, 6, true);
    CDivisionRules& rules = task.GetDivisionRules();
    rules.SetConditionNames({"#住校", "#特长"});
    for (int s = 0; s < 240; ++s) {
        // Spread unevenly over the classes, as a first division might leave them.
        const char* const talent = s % 5 == 0 ? "美术" : s % 7 == 1 ? "体育" : s % 11 == 2 ? "音乐" : "";
        rules.SetConditions("student" + std::to_string(s), {s % 7 < 2 || s % 13 == 0 ? "否" : "是", talent});
    }
    rules.SetScoreBands({10, 30, 60});

    // Wide enough for every column, whatever the offscreen screen's size.
    CDivisionTableDialog table(task);
    table.show();
    table.resize(1220, 560);
    EXPECT_TRUE(table.grab().save(out.filePath("table-conditions.png")));

    CDivisionStatisticsDialog statistics(task);
    statistics.show();
    statistics.resize(1500, statistics.height());
    EXPECT_TRUE(statistics.grab().save(out.filePath("stats-conditions.png")));
}
