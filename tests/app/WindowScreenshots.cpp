// Renders the welcome page, the list editors, the import wizard and the
// statistics window as they open on a 1366×768 and a 1600×1000 screen, to
// <name>-1366.png and <name>-1600.png. Runs only when QUILLON_SCREENSHOT_DIR
// names the output folder and QUILLON_SCREENSHOT_TASK the task to show.
#include "EditorTestSupport.h"

#include "gui/common/WindowPlacement.h"
#include "gui/editors/ClassListDialog.h"
#include "gui/editors/StudentListDialog.h"
#include "gui/import/ImportWizardDialog.h"
#include "gui/results/DivisionStatisticsDialog.h"
#include "gui/shell/MainDlg.h"
#include "gui/shell/StepSheet.h"

#include <QDir>
#include <QPixmap>

namespace {

struct Screen
{
    const char* suffix;
    QRect available;  // below a task bar of 40 pixels
    QSize mainWindow; // maximised, below its title bar
};

const Screen kScreens[] = {
    {"1366", QRect(0, 0, 1366, 728), QSize(1366, 698)},
    {"1600", QRect(0, 0, 1600, 960), QSize(1600, 930)},
};

QString outFolder()
{
    return qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
}

QString demoTask()
{
    return qEnvironmentVariable("QUILLON_SCREENSHOT_TASK");
}

void save(QWidget& window, const QString& name, const Screen& screen)
{
    window.show();
    QApplication::processEvents();
    const QString file = QStringLiteral("%1/%2-%3.png").arg(outFolder(), name, QString::fromLatin1(screen.suffix));
    EXPECT_TRUE(window.grab().save(file)) << file.toStdString();
}

} // namespace

class WindowScreenshots : public shelltest::ShellTest
{};

TEST_F(WindowScreenshots, WelcomePage)
{
    if (outFolder().isEmpty() || demoTask().isEmpty())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR and QUILLON_SCREENSHOT_TASK not set";
    QDir().mkpath(outFolder());
    CRecentTaskList recent(settings());
    recent.add(makeTask(QStringLiteral("2024学年新生"), QStringLiteral("2024学年七年级新生")));
    recent.add(makeTask(QStringLiteral("2025学年新生"), QStringLiteral("2025学年七年级新生")));
    recent.add(shelltest::str(demoTask()));
    for (const Screen& screen : kScreens) {
        // A new program run for each screen, which opens the demo task.
        CTaskManager::release();
        manager();
        CMainDlg window;
        window.resize(screen.mainWindow);
        window.sheet()->selectPage(0);
        save(window, QStringLiteral("main-page1"), screen);
        window.hide();
    }
}

TEST(WindowScreenshotsOfDialogs, EditorsImportAndStatistics)
{
    if (outFolder().isEmpty() || demoTask().isEmpty())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR and QUILLON_SCREENSHOT_TASK not set";
    QDir().mkpath(outFolder());
    CScheduleTask demo;
    ASSERT_TRUE(demo.Open(demoTask().toStdString()));
    // Twelve classes: more than the statistics window showed without
    // scrolling before.
    testsupport::TempFolder folder;
    CScheduleTask school;
    CTaskInfo info;
    info.SetTaskName("七年级分班");
    info.SetTaskFolder(folder.Path().string());
    school.SetTaskInfo(info);
    ResultsTest::MakeSchool(school, 540, 12, true);

    CWindowPlacement placement(std::string{});
    for (const Screen& screen : kScreens) {
        CMessageBox::clearTestState();
        CStudentListDialog students(demo);
        students.initDialog();
        placement.placeOn(&students, screen.available);
        save(students, QStringLiteral("editor-students"), screen);

        CImportWizardDialog wizard(students, &students);
        wizard.setTitle(QStringLiteral("导入学生列表"));
        wizard.setSamplePicture(CStudentListDialog::samplePicture());
        placement.placeOn(&wizard, screen.available);
        save(wizard, QStringLiteral("import-wizard"), screen);
        wizard.hide();
        students.hide();

        CClassListDialog classes(demo);
        classes.initDialog();
        placement.placeOn(&classes, screen.available);
        save(classes, QStringLiteral("editor-classes"), screen);
        classes.hide();

        CDivisionStatisticsDialog statistics(school);
        placement.placeOn(&statistics, screen.available);
        save(statistics, QStringLiteral("results-statistics"), screen);
        statistics.hide();
    }
    CMessageBox::clearTestState();
}
