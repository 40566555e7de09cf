// Renders, for a 1366 × 768 and a 1600 × 1000 screen, the windows that tell
// seats against students and the dialogs whose words changed: the classes
// editor with its warning, the change of several classes, the batch add,
// the report, the backup and the main window's information panel. Runs
// only when QUILLON_SCREENSHOT_DIR and QUILLON_SCREENSHOT_TASK are set.
#include "EditorTestSupport.h"

#include "base/records/ClassInfo.h"
#include "core/DivisionOwner.h"
#include "gui/editors/BatchAddClassDialog.h"
#include "gui/editors/ClassListDialog.h"
#include "gui/editors/ClassesChangeDialog.h"
#include "gui/editors/StudentListDialog.h"
#include "gui/results/DivisionCommands.h"
#include "gui/results/ReportDialog.h"
#include "gui/shell/BackupDialog.h"
#include "gui/shell/MainDlg.h"
#include "gui/shell/StepSheet.h"
#include "gui/shell/TaskManager.h"
#include "logic/editing/RecordOrder.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>

using namespace editortest;

namespace {

struct Screen
{
    const char* suffix;
    QSize window; // a main window filling the screen above a task bar
    QSize editor; // a list editor as large as is comfortable there
    double dialogScale;
};
const Screen kScreens[] = {{"1366", {1366, 728}, {960, 600}, 1.0}, {"1600", {1600, 960}, {1200, 760}, 1.25}};

class SeatsAndWordsScreenshots : public shelltest::ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        m_out = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
        m_task = qEnvironmentVariable("QUILLON_SCREENSHOT_TASK");
    }

    bool skipped() const { return m_out.isEmpty() || m_task.isEmpty(); }

    void save(QWidget& w, const QString& name, const Screen& screen)
    {
        w.show();
        QApplication::processEvents();
        const QString file = QStringLiteral("%1/%2-%3.png").arg(m_out, name, QString::fromLatin1(screen.suffix));
        EXPECT_TRUE(w.grab().save(file)) << str(file);
    }

    // A dialog at its own size, a little larger on the larger screen.
    void saveDialog(QWidget& w, const QString& name, const Screen& screen)
    {
        w.adjustSize();
        w.resize((QSizeF(w.size()) * screen.dialogScale).toSize());
        save(w, name, screen);
        w.hide();
    }

    // Every class plans a few seats fewer than its share of the students.
    static void ShortOfSeats(CScheduleTask& task)
    {
        const auto classes = CRecordOrder::InIndexOrder<CClassInfo>(task.GetClassInfoList());
        if (classes.empty())
            return;
        const auto share = task.GetStudentInfoList().GetCount() / classes.size();
        for (CClassInfo* info : classes)
            info->SetStudentCount(static_cast<unsigned>(share > 3 ? share - 3 : 1));
    }

    QString m_out;
    QString m_task;
};

} // namespace

TEST_F(SeatsAndWordsScreenshots, EditorsAndDialogs)
{
    if (skipped())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR and QUILLON_SCREENSHOT_TASK not set";
    CScheduleTask task;
    ASSERT_TRUE(task.Open(str(m_task)));
    ShortOfSeats(task);

    for (const Screen& screen : kScreens) {
        CClassListDialog classes(task);
        classes.resize(screen.editor);
        classes.show();
        classes.selectRows({0, 1, 2});
        save(classes, QStringLiteral("editor-classes-seats"), screen);

        CClassesChangeDialog change(
            {QStringLiteral("高一(1)班"), QStringLiteral("高一(2)班"), QStringLiteral("高一(3)班")},
            QStringLiteral("45"), QString());
        saveDialog(change, QStringLiteral("editor-classes-change"), screen);

        CBatchAddClassDialog batch(classes);
        batch.patternBox()->setCurrentIndex(4);
        batch.classCountEdit()->setText(QStringLiteral("12"));
        batch.studentCountEdit()->setText(QStringLiteral("45"));
        saveDialog(batch, QStringLiteral("editor-class-batch"), screen);

        CStudentListDialog students(task);
        students.resize(screen.editor);
        save(students, QStringLiteral("editor-students-seats"), screen);

        CReportDialog report(CDivisionCommands::reportText(task), DIVISION_RESULT_SHOW_REPORT);
        saveDialog(report, QStringLiteral("results-report"), screen);

        const CTaskInfo& info = task.GetTaskInfo();
        CBackupDialog backup(QString::fromStdString(info.GetTaskName()), QString::fromStdString(info.GetTaskFolder()));
        saveDialog(backup, QStringLiteral("backup"), screen);
    }
}

TEST_F(SeatsAndWordsScreenshots, InformationPanel)
{
    if (skipped())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR and QUILLON_SCREENSHOT_TASK not set";
    manager();
    CMainDlg window(str(m_task));
    ASSERT_TRUE(CTaskManager::instance()->hasTask());
    ShortOfSeats(*CTaskManager::instance()->task());
    window.refreshSeatWarning();
    window.sheet()->selectPage(1);
    for (const Screen& screen : kScreens) {
        window.resize(screen.window);
        save(window, QStringLiteral("main-seats"), screen);
    }
}
