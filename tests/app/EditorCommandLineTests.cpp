// quillon-cli changes the classes, groups and pre-assignments as their
// editors do: the data file it writes is the one the editor saves for the
// same change, made on the same task.
#include "EditorTestSupport.h"
#include "PdfTestSupport.h"

#include "gui/editors/BatchAddClassDialog.h"
#include "gui/editors/ClassEditDialog.h"
#include "base/records/ClassInfo.h"
#include "gui/editors/ClassListDialog.h"
#include "base/util/FileUtil.h"
#include "gui/editors/MutexStudentEditDialog.h"
#include "gui/editors/MutexStudentListDialog.h"
#include "gui/editors/ObjectPickerDialog.h"
#include "gui/editors/ObjectPickerModel.h"
#include "gui/editors/StudentPresetListDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <regex>

#ifdef QUILLON_CLI_PATH

using namespace editortest;

namespace {

class EditorAndCommandLine : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        AddClass(task, "c1", "高一(1)班", 3, 40)->SetHeadTeacherName("王老师");
        AddClass(task, "c2", "高一(2)班", 1, 38);
        AddStudent(task, "s1", "张三", 0, 1);
        AddStudent(task, "s2", "李四", 1, 0);
        AddStudent(task, "s3", "王五", 2, 1);
        // What the editors drop when they open.
        AddPreset(task, "s1", "c1");
        AddPreset(task, "s2", "gone");
        AddGroup(task, "g1", {"s1", "gone"});
        AddGroup(task, "g2", {"gone"});
        ASSERT_TRUE(task.SaveInputData());
        m_original = InputBytes();
    }

    std::string InputBytes() const { return CFileUtil::ReadFile(task.GetTaskInfo().GetInputFilePath()).value_or(""); }

    // The data file quillon-cli writes for command on the task; the task is
    // then put back as it was.
    std::string WrittenByCli(const QString& command)
    {
        const std::string input = task.GetTaskInfo().GetInputFilePath();
        const QString file = PdfTest::Quoted(QString::fromStdString(task.GetTaskInfo().GetTaskFile()));
        EXPECT_EQ(PdfTest::RunCli(command.arg(file)), 0) << command.toStdString();
        const std::string written = InputBytes();
        EXPECT_TRUE(CFileUtil::WriteFileAtomically(input, m_original));
        return written;
    }

    // New records get random ids: they compare as one.
    static std::string WithoutNewIds(const std::string& bytes)
    {
        return std::regex_replace(bytes, std::regex("[0-9a-f]{32}"), "<new id>");
    }

    std::string m_original;
};

} // namespace

TEST_F(EditorAndCommandLine, OneClassAndABatch)
{
    const std::string cli = WrittenByCli(QStringLiteral("add-class %1 \" 高一(3)班\" --count 42"));
    auto opened = Reopen();
    {
        CClassListDialog editor(*opened);
        editor.show();
        CClassEditDialog dialog(editor, CClassEditDialog::Mode::Add);
        dialog.setFields(QStringLiteral(" 高一(3)班"), QStringLiteral("42"));
        dialog.submit();
        ASSERT_TRUE(editor.SaveList());
    }
    EXPECT_NE(cli, m_original);
    EXPECT_EQ(WithoutNewIds(cli), WithoutNewIds(InputBytes()));

    ASSERT_TRUE(CFileUtil::WriteFileAtomically(task.GetTaskInfo().GetInputFilePath(), m_original));
    const std::string batch = WrittenByCli(QStringLiteral("add-classes %1 --pattern 5 --count 4 --students 45"));
    opened = Reopen();
    CClassListDialog editor(*opened);
    editor.show();
    CBatchAddClassDialog dialog(editor);
    dialog.patternBox()->setCurrentIndex(4);
    dialog.classCountEdit()->setText(QStringLiteral("4"));
    dialog.studentCountEdit()->setText(QStringLiteral("45"));
    dialog.batchAdd();
    EXPECT_EQ(editor.rowCount(), 4) << "two of the four exist";
    ASSERT_TRUE(editor.SaveList());
    EXPECT_EQ(WithoutNewIds(batch), WithoutNewIds(InputBytes()));
}

TEST_F(EditorAndCommandLine, AGroupOfTypedNames)
{
    const std::string cli = WrittenByCli(QStringLiteral("add-group %1 \"李四， 王五,无名\""));
    auto opened = Reopen();
    CMutexStudentListDialog editor(*opened);
    editor.show();
    CMutexStudentEditDialog dialog(editor, *opened, CMutexStudentEditDialog::Mode::Add);
    dialog.namesEdit()->setPlainText(QStringLiteral("李四， 王五,无名"));
    dialog.submit();
    ASSERT_TRUE(editor.SaveList());
    EXPECT_NE(cli, m_original);
    EXPECT_EQ(WithoutNewIds(cli), WithoutNewIds(InputBytes()));
}

TEST_F(EditorAndCommandLine, PreAssignmentsAddedAndChanged)
{
    // A new one, then a student who has one: its class changes.
    const QString file = PdfTest::Quoted(QString::fromStdString(task.GetTaskInfo().GetTaskFile()));
    ASSERT_EQ(PdfTest::RunCli(QStringLiteral("preset %1 王五 '高一(2)班'").arg(file)), 0);
    ASSERT_EQ(PdfTest::RunCli(QStringLiteral("preset %1 张三 c2").arg(file)), 0);
    const std::string cli = InputBytes();
    ASSERT_TRUE(CFileUtil::WriteFileAtomically(task.GetTaskInfo().GetInputFilePath(), m_original));

    auto opened = Reopen();
    CStudentPresetListDialog editor(*opened);
    editor.show();
    auto pick = [](const std::string& id) {
        return [id](CObjectPickerDialog* picker) {
            picker->selectRow(picker->model()->rowOf(id));
            picker->confirm();
        };
    };
    ModalSteps steps;
    steps.Then<CObjectPickerDialog>(pick("s3")).Then<CObjectPickerDialog>(pick("c2"));
    steps.Then<CObjectPickerDialog>(pick("s1")).Then<CObjectPickerDialog>(pick("c2"));
    steps.Start();
    editor.AddItem();
    // The editor asks before it replaces 张三's pre-assignment.
    CMessageBox::pushAnswer(QMessageBox::Yes);
    editor.AddItem();
    EXPECT_TRUE(steps.Done());
    ASSERT_TRUE(editor.SaveList());
    EXPECT_NE(cli, m_original);
    EXPECT_EQ(cli, InputBytes());
}

#endif
