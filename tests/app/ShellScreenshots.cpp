// Renders the main window on each step page, and the shell's dialogs, to PNG
// files. Runs only when QUILLON_SCREENSHOT_DIR names the output folder;
// QUILLON_SCREENSHOT_TASK names the task file to show.
#include "ShellTestSupport.h"

#include "gui/shell/BackupDialog.h"
#include "gui/shell/ChangePasswordDlg.h"
#include "gui/shell/LoginDlg.h"
#include "gui/shell/LoginPassword.h"
#include "gui/shell/MainDlg.h"
#include "gui/results/ReportDialog.h"
#include "base/task/ScheduleTask.h"
#include "gui/shell/StepSheet.h"
#include "gui/shell/SystemSetDlg.h"
#include "gui/shell/TaskInfoDlg.h"
#include "gui/shell/TipWnd.h"
#include "gui/shell/ToolBox.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QMouseEvent>
#include <QPixmap>

using namespace shelltest;

class ShellScreenshots : public ShellTest
{};

TEST_F(ShellScreenshots, StepPagesAndDialogs)
{
    const QString outDir = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    const QString task = qEnvironmentVariable("QUILLON_SCREENSHOT_TASK");
    if (outDir.isEmpty() || task.isEmpty())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR and QUILLON_SCREENSHOT_TASK not set";
    QDir().mkpath(outDir);
    manager();

    CMainDlg window(str(task));
    window.resize(1280, 800);
    window.show();
    ASSERT_EQ(window.sheet()->pageCount(), 5);
    for (int page = 0; page < 5; ++page) {
        window.sheet()->selectPage(page);
        CToolBox* box = window.sheet()->toolBox();
        if (page == 3) {
            // Show the highlight of the button under the mouse.
            const QPointF at = box->commandRect(static_cast<int>(StepCommandId::StartDivision)).center();
            QMouseEvent move(QEvent::MouseMove, at, box->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(box, &move);
        }
        QApplication::processEvents();
        const QString file = QStringLiteral("%1/main-page%2.png").arg(outDir).arg(page + 1);
        EXPECT_TRUE(window.grab().save(file)) << str(file);
    }

    auto save = [&outDir](QWidget& w, const char* name) {
        w.show();
        QApplication::processEvents();
        EXPECT_TRUE(w.grab().save(QStringLiteral("%1/%2.png").arg(outDir, QString::fromLatin1(name))));
        w.hide();
    };
    CLoginDlg login(CLoginPassword::digest(QStringLiteral("x")));
    save(login, "login");
    CTaskInfo info = CTaskManager::instance()->task()->GetTaskInfo();
    CTaskInfoDlg infoDialog(info, true, QStringLiteral("设置分班任务信息"), nullptr);
    save(infoDialog, "task-info");
    CTaskInfo fresh;
    fresh.SetTaskAuthor("教务处");
    fresh.SetCreateDate("2026-09-01 08:30:00");
    fresh.SetTaskFolder(CTaskManager::instance()->defaultTaskFolder());
    CTaskInfoDlg newDialog(fresh, false, QStringLiteral("创建新分班任务"), nullptr);
    newDialog.nameEdit()->setText(QStringLiteral("2026学年新生"));
    save(newDialog, "task-new");
    CTipWnd tip;
    tip.show(0, 0, QStringLiteral("分班任务的名称"), QStringLiteral("例如：2026学年新生"));
    EXPECT_TRUE(tip.grab().save(QStringLiteral("%1/hint.png").arg(outDir)));
    tip.hide();
    CSystemSetDlg settingsDialog;
    save(settingsDialog, "system-settings");
    CBackupDialog backup(QString::fromStdString(info.GetTaskName()), QString::fromStdString(info.GetTaskFolder()));
    save(backup, "backup");
}

// A copy of the demo task in a folder that cannot be written: the word on
// opening, the main window, and a division whose result is not saved.
TEST_F(ShellScreenshots, ReadOnlyTask)
{
    const QString outDir = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    const QString demo = qEnvironmentVariable("QUILLON_SCREENSHOT_TASK");
    if (outDir.isEmpty() || demo.isEmpty())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR and QUILLON_SCREENSHOT_TASK not set";
    const QString folder = path(QStringLiteral("只读任务"));
    QDir().mkpath(folder);
    const QFileInfo demoFile(demo);
    ASSERT_TRUE(QFile::copy(demo, folder + QLatin1Char('/') + demoFile.fileName()));
    ASSERT_TRUE(
        QFile::copy(demoFile.absolutePath() + QStringLiteral("/input.xml"), folder + QStringLiteral("/input.xml")));
    ReadOnlyFolder readOnly(folder);
    if (!readOnly.isReadOnly())
        GTEST_SKIP() << "no folder can be made read-only here";

    auto saveBox = [&outDir](const CMessageBox::Shown& shown, const char* name) {
        auto box = CMessageBox::makeBox(nullptr, shown.text, shown.icon, shown.buttons, shown.caption);
        box->show();
        QApplication::processEvents();
        EXPECT_TRUE(box->grab().save(QStringLiteral("%1/%2.png").arg(outDir, QString::fromLatin1(name))));
    };
    manager();
    CMainDlg window(str(folder + QLatin1Char('/') + demoFile.fileName()));
    window.resize(1280, 800);
    window.show();
    window.sheet()->selectPage(3);
    QApplication::processEvents();
    EXPECT_TRUE(window.windowTitle().endsWith(QStringLiteral(" (只读)")));
    EXPECT_TRUE(window.grab().save(QStringLiteral("%1/readonly-main.png").arg(outDir)));
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    saveBox(CMessageBox::shownMessages()[0], "readonly-open");

    CMessageBox::clearTestState();
    CMessageBox::pushAnswer(QMessageBox::Ok);
    CMessageBox::pushAnswer(QMessageBox::No);
    whenModal<CReportDialog>([&outDir](CReportDialog* report) {
        EXPECT_TRUE(report->grab().save(QStringLiteral("%1/readonly-report.png").arg(outDir)));
        report->closeButton()->click();
    });
    window.runCommand(StepCommandId::StartDivision);
    ASSERT_EQ(CMessageBox::shownMessages().size(), 2u);
    saveBox(CMessageBox::shownMessages()[1], "readonly-unsaved");
}
