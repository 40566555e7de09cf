// Renders the student import to PNG files: the sample picture, the wizard
// before and during an import, and the students editor filled by it. The
// sheet is made from the students of the demo task. Runs only when
// QUILLON_SCREENSHOT_DIR names the output folder and QUILLON_SCREENSHOT_TASK
// the task file to take the students from.
#include "EditorTestSupport.h"

#include "../logic/XlsxBuilder.h"

#include "gui/import/ImportWizardDialog.h"
#include "logic/editing/RecordOrder.h"
#include "base/records/StudentInfo.h"
#include "gui/editors/StudentListDialog.h"

#include <QDir>
#include <QPixmap>
#include <QPushButton>
#include <QTableView>

using namespace editortest;

namespace {

// The students editor that lets a picture be taken halfway through an import.
class PicturedEditor : public CStudentListDialog
{
public:
    using CStudentListDialog::CStudentListDialog;

    int SubmitRow(RowRequest& request, const Row& row) override
    {
        const int result = CStudentListDialog::SubmitRow(request, row);
        if (++m_rows == halfway && onHalfway)
            onHalfway();
        return result;
    }

    int halfway = 0;
    std::function<void()> onHalfway;

private:
    int m_rows = 0;
};

// The students of task as a school's spreadsheet lists them.
void WriteSheet(const CScheduleTask& task, const std::string& path)
{
    testsupport::XlsxBuilder book(path);
    book.Sheet("名单").Text(0, 0, "姓名").Text(0, 1, "性别").Text(0, 2, "原学校");
    const std::vector<std::string>& subjects = task.GetCustomSubjectArray();
    for (std::size_t k = 0; k < subjects.size(); ++k)
        book.Text(0, static_cast<int>(3 + k), "*" + subjects[k]);
    int row = 1;
    for (const CStudentInfo* student : CRecordOrder::InIndexOrder<CStudentInfo>(task.GetStudentInfoList())) {
        book.Text(row, 0, student->GetName())
            .Text(row, 1, student->GetSex() == 0 ? "女" : "男")
            .Text(row, 2, student->GetFromSchool());
        const std::vector<std::string>& scores = student->GetScoreArray();
        for (std::size_t k = 0; k < scores.size() && k < subjects.size(); ++k)
            book.Number(row, static_cast<int>(3 + k), std::atof(scores[k].c_str()));
        ++row;
    }
}

} // namespace

TEST(ImportScreenshots, StudentImport)
{
    const QString outDir = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    const QString taskFile = qEnvironmentVariable("QUILLON_SCREENSHOT_TASK");
    if (outDir.isEmpty() || taskFile.isEmpty())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR and QUILLON_SCREENSHOT_TASK not set";
    QDir().mkpath(outDir);
    auto file = [&outDir](const char* name) {
        return QStringLiteral("%1/%2.png").arg(outDir, QString::fromLatin1(name));
    };

    CScheduleTask demo;
    ASSERT_TRUE(demo.Open(str(taskFile)));
    testsupport::TempFolder folder;
    const std::string sheet = folder.File("名单.xlsx");
    WriteSheet(demo, sheet);

    CMessageBox::clearTestState();
    CScheduleTask task;
    PicturedEditor editor(task);
    editor.initDialog();
    editor.resize(900, 560);

    CImportWizardDialog wizard(editor);
    wizard.setTitle(QStringLiteral("导入学生列表"));
    wizard.setSamplePicture(CStudentListDialog::samplePicture());
    wizard.setHeaderName("姓名");
    EXPECT_TRUE(wizard.picture().save(file("import-sample")));
    CMessageBox::pushPath(qs(sheet));
    wizard.show();
    wizard.chooseButton()->click();
    QApplication::processEvents();
    EXPECT_TRUE(wizard.grab().save(file("import-wizard")));

    editor.halfway = static_cast<int>(demo.GetStudentInfoList().GetCount() / 2);
    editor.onHalfway = [&] { EXPECT_TRUE(wizard.grab().save(file("import-wizard-running"))); };
    wizard.startButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wizard.isRunning(); }, 10000));
    wizard.hide();

    editor.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor.listView()->updatesEnabled(); }, 1000));
    editor.UpdateCountText();
    QApplication::processEvents();
    EXPECT_TRUE(editor.grab().save(file("editor-students")));
    CMessageBox::clearTestState();
}
