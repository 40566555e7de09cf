// Seats against students where classes and students are edited and in the
// information panel; several classes changed in one step; the batch add of
// classes; replacing a pre-assignment; what an import says about a file.
#include "EditorTestSupport.h"

#include "../logic/XlsxBuilder.h"

#include "base/records/ClassInfo.h"
#include "base/records/StudentPreset.h"
#include "gui/editors/BatchAddClassDialog.h"
#include "gui/editors/ClassEditDialog.h"
#include "gui/editors/ClassListDialog.h"
#include "gui/editors/ClassesChangeDialog.h"
#include "gui/editors/ObjectPickerDialog.h"
#include "gui/editors/ObjectPickerModel.h"
#include "gui/editors/StudentListDialog.h"
#include "gui/editors/StudentPresetListDialog.h"
#include "gui/import/ImportWizardDialog.h"
#include "gui/shell/MainDlg.h"
#include "gui/shell/StepSheet.h"
#include "gui/shell/TaskManager.h"
#include "gui/shell/ToolDesc.h"
#include "logic/editing/StudentTable.h"
#include "logic/session/StudentImport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <filesystem>

#include <unistd.h>

using namespace editortest;
using Button = CListEditorDialog::Button;
using Names = std::vector<std::string>;

namespace {

QString Shortage(int students, int seats)
{
    return QStringLiteral("学生 %1 人，班级计划人数合计 %2 人").arg(students).arg(seats);
}

// The warning under an editor's count band, or empty while it is hidden.
QString Warning(const CListEditorDialog& editor)
{
    return editor.countWarning()->isHidden() ? QString() : editor.countWarning()->text();
}

class SeatsAndWords : public EditorTest
{
protected:
    // students students and classes of the given planned numbers.
    void Fill(int students, const std::vector<unsigned>& seats)
    {
        for (int s = 0; s < students; ++s)
            AddStudent(task, "s" + std::to_string(s), "学生" + std::to_string(s), s, s % 2);
        for (std::size_t c = 0; c < seats.size(); ++c)
            AddClass(task, "c" + std::to_string(c), "高一(" + std::to_string(c + 1) + ")班", static_cast<int>(c),
                     seats[c]);
    }

    static Names Cells(const CListEditorDialog& editor, int row)
    {
        return {editor.cellText(row, 1), editor.cellText(row, 2), editor.cellText(row, 3)};
    }

    std::string File(const std::string& name) const { return m_folder.File(name); }
};

} // namespace

TEST_F(SeatsAndWords, TheClassesEditorSaysWhenSeatsAreFewerThanStudents)
{
    Fill(5, {2, 2});
    CClassListDialog editor(task);
    editor.show();
    EXPECT_EQ(Warning(editor), Shortage(5, 4));

    // Enough seats once one class plans 3.
    editor.selectOnly(1);
    ModalSteps steps;
    steps.Then<CClassEditDialog>([](CClassEditDialog* d) {
        d->countEdit()->setText(QStringLiteral("3"));
        d->submit();
    });
    steps.Start();
    editor.button(Button::Modify)->click();
    ASSERT_TRUE(steps.Done());
    EXPECT_EQ(Warning(editor), QString());

    // Deleting a class takes its seats along.
    editor.selectOnly(0);
    editor.button(Button::Delete)->click();
    EXPECT_EQ(Warning(editor), Shortage(5, 3));

    // Adding one brings them back.
    ModalSteps add;
    add.Then<CClassEditDialog>([](CClassEditDialog* d) {
        d->nameEdit()->setText(QStringLiteral("高一(9)班"));
        d->countEdit()->setText(QStringLiteral("2"));
        d->submit();
        d->reject();
    });
    add.Start();
    editor.button(Button::Add)->click();
    ASSERT_TRUE(add.Done());
    EXPECT_EQ(Warning(editor), QString());
}

TEST_F(SeatsAndWords, TheStudentsEditorSaysWhenSeatsAreFewerThanStudents)
{
    Fill(0, {2, 1});
    CStudentListDialog editor(task);
    editor.initDialog();
    EXPECT_EQ(Warning(editor), QString());

    RowRequest header;
    header.mode = RowMode::Header;
    ASSERT_EQ(editor.SubmitRow(header, {"姓名"}), 0);
    auto add = [&editor](const std::string& name) {
        RowRequest request;
        request.mode = RowMode::Add;
        editor.SubmitRow(request, {name});
    };
    for (const char* name : {"张三", "李四", "王五"})
        add(name);
    EXPECT_EQ(Warning(editor), QString()) << "three students, three seats";
    add("赵六");
    EXPECT_EQ(Warning(editor), Shortage(4, 3));

    editor.clearList();
    EXPECT_EQ(Warning(editor), QString());
}

TEST_F(SeatsAndWords, SeveralClassesChangeInOneStep)
{
    Fill(0, {40, 42, 40});
    task.GetClassInfoList().FindAs<CClassInfo>("c1")->SetHeadTeacherName("李老师");
    CClassListDialog editor(task);
    editor.show();
    EXPECT_EQ(Cells(editor, 1), (Names{"高一(2)班", "42", "李老师"}));

    editor.selectRows({0, 2});
    ModalSteps steps;
    steps.Then<CClassesChangeDialog>([](CClassesChangeDialog* d) {
        EXPECT_TRUE(d->classesLabel()->text().contains(QStringLiteral("高一(1)班、高一(3)班")));
        EXPECT_EQ(d->countEdit()->text(), QStringLiteral("40")) << "the number the classes share";
        // A bad number is refused and the dialog stays.
        d->countEdit()->setText(QStringLiteral("四十"));
        CMessageBox::clearTestState();
        d->submit();
        EXPECT_EQ(CMessageBox::shownTexts(), QStringList{QStringLiteral("班级人数必须是整数")});
        EXPECT_TRUE(d->isVisible());
        d->countEdit()->setText(QStringLiteral("45"));
        EXPECT_FALSE(d->teacherBox()->isChecked());
        d->teacherEdit()->insert(QStringLiteral(" 王老师 "));
        EXPECT_TRUE(d->teacherBox()->isChecked()) << "typing ticks the field";
        d->submit();
    });
    steps.Start();
    editor.button(Button::Modify)->click();
    ASSERT_TRUE(steps.Done());
    EXPECT_EQ(Cells(editor, 0), (Names{"高一(1)班", "45", "王老师"}));
    EXPECT_EQ(Cells(editor, 1), (Names{"高一(2)班", "42", "李老师"}));
    EXPECT_EQ(Cells(editor, 2), (Names{"高一(3)班", "45", "王老师"}));
    EXPECT_TRUE(editor.isModified());

    // Only the ticked field changes; differing values start empty.
    editor.selectRows({0, 1});
    ModalSteps teacherOnly;
    teacherOnly.Then<CClassesChangeDialog>([](CClassesChangeDialog* d) {
        EXPECT_EQ(d->countEdit()->text(), QString());
        EXPECT_EQ(d->teacherEdit()->text(), QString());
        d->countBox()->setChecked(false);
        d->teacherBox()->setChecked(true);
        d->teacherEdit()->setText(QStringLiteral("赵老师"));
        d->submit();
    });
    teacherOnly.Start();
    editor.ModifyItem();
    ASSERT_TRUE(teacherOnly.Done());
    EXPECT_EQ(Cells(editor, 0), (Names{"高一(1)班", "45", "赵老师"}));
    EXPECT_EQ(Cells(editor, 1), (Names{"高一(2)班", "42", "赵老师"}));

    ASSERT_TRUE(editor.SaveList());
    auto reopened = Reopen();
    std::vector<std::string> saved;
    for (const char* id : {"c0", "c1", "c2"}) {
        const auto* info = reopened->GetClassInfoList().FindAs<CClassInfo>(id);
        saved.push_back(std::to_string(info->GetStudentCount()) + info->GetHeadTeacherName());
    }
    EXPECT_EQ(saved, (Names{"45赵老师", "42赵老师", "45王老师"}));
}

TEST_F(SeatsAndWords, TheBatchAddPreviewsNamesTheWrongFieldAndRemembers)
{
    AddClass(task, "x", "高一(2)班", 0, 40);
    CClassListDialog editor(task);
    editor.show();
    const std::string settings = File("qz.ini");

    {
        CBatchAddClassDialog dialog(editor);
        dialog.setSettingsFile(settings);
        dialog.show();
        dialog.patternBox()->setCurrentIndex(4);
        dialog.classCountEdit()->setText(QStringLiteral("3"));
        dialog.studentCountEdit()->setText(QStringLiteral("45"));
        EXPECT_EQ(
            dialog.previewNames(),
            (QStringList{"高一(1)班", QStringLiteral("高一(2)班") + CBatchAddClassDialog::kExistingMark, "高一(3)班"}));
        EXPECT_EQ(dialog.previewNote()->text(), QStringLiteral("将添加 2 个班级，每班 45 人。"));

        // Each wrong field is named, as typed and when adding.
        dialog.classCountEdit()->setText(QStringLiteral("0"));
        EXPECT_TRUE(dialog.previewNames().isEmpty());
        EXPECT_TRUE(dialog.previewNote()->text().startsWith(QStringLiteral("班级数")))
            << str(dialog.previewNote()->text());
        dialog.batchAdd();
        EXPECT_EQ(Shown(), QStringList{QStringLiteral("班级数应该是 1 到 99 之间的整数。")});
        EXPECT_EQ(dialog.focusWidget(), dialog.classCountEdit());
        dialog.classCountEdit()->setText(QStringLiteral("3"));
        dialog.studentCountEdit()->setText(QString());
        EXPECT_TRUE(dialog.previewNote()->text().startsWith(QStringLiteral("每班学生人数")));
        CMessageBox::clearTestState();
        dialog.batchAdd();
        EXPECT_EQ(Shown(), QStringList{QStringLiteral("每班学生人数应该是 0 到 2147483647 之间的整数。")});
        EXPECT_TRUE(dialog.isVisible());

        dialog.studentCountEdit()->setText(QStringLiteral("45"));
        dialog.batchAdd();
        EXPECT_FALSE(dialog.isVisible());
    }
    EXPECT_EQ(Column(editor, 1), (Names{"高一(2)班", "高一(1)班", "高一(3)班"}));

    // The next batch starts where the last one ended; without settings it
    // starts afresh.
    CBatchAddClassDialog again(editor);
    again.setSettingsFile(settings);
    EXPECT_EQ(again.patternBox()->currentIndex(), 4);
    EXPECT_EQ(again.classCountEdit()->text(), QStringLiteral("3"));
    EXPECT_EQ(again.studentCountEdit()->text(), QStringLiteral("45"));
    EXPECT_EQ(again.previewNames().size(), 3);
    CBatchAddClassDialog fresh(editor);
    EXPECT_EQ(fresh.patternBox()->currentIndex(), 0);
    EXPECT_EQ(fresh.classCountEdit()->text(), QStringLiteral("4"));
}

TEST_F(SeatsAndWords, PreAssigningAStudentAgainAsksBeforeReplacing)
{
    Fill(2, {40, 40});
    AddPreset(task, "s0", "c0");
    CStudentPresetListDialog editor(task);
    editor.show();
    auto pick = [](const std::string& id) {
        return [id](CObjectPickerDialog* picker) {
            picker->selectRow(picker->model()->rowOf(id));
            picker->confirm();
        };
    };
    const QString question = QStringLiteral("学生0 已预先安排在 高一(1)班。\n要改为预分到 高一(2)班 吗?");

    // No: the pre-assignment stays.
    ModalSteps no;
    no.Then<CObjectPickerDialog>(pick("s0")).Then<CObjectPickerDialog>(pick("c1"));
    no.Start();
    CMessageBox::pushAnswer(QMessageBox::No);
    editor.button(Button::Add)->click();
    ASSERT_TRUE(no.Done());
    EXPECT_EQ(Shown(), QStringList{question});
    EXPECT_EQ(Column(editor, 2), (Names{"高一(1)班"}));
    EXPECT_FALSE(editor.isModified());

    // The same class again: nothing to ask.
    ModalSteps same;
    same.Then<CObjectPickerDialog>(pick("s0")).Then<CObjectPickerDialog>(pick("c0"));
    same.Start();
    CMessageBox::clearTestState();
    editor.button(Button::Add)->click();
    ASSERT_TRUE(same.Done());
    EXPECT_TRUE(Shown().isEmpty());

    // Yes: replaced.
    ModalSteps yes;
    yes.Then<CObjectPickerDialog>(pick("s0")).Then<CObjectPickerDialog>(pick("c1"));
    yes.Start();
    CMessageBox::pushAnswer(QMessageBox::Yes);
    editor.button(Button::Add)->click();
    ASSERT_TRUE(yes.Done());
    EXPECT_EQ(Shown(), QStringList{question});
    EXPECT_EQ(Column(editor, 2), (Names{"高一(2)班"}));
    ASSERT_TRUE(editor.SaveList());
    EXPECT_EQ(Reopen()->GetStudentPresetList().FindAs<CStudentPreset>("s0")->GetPresetClassId(), "c1");
}

TEST_F(SeatsAndWords, AnImportSaysWhatIsWrongWithTheFileAsTheCommandLineDoes)
{
    CStudentListDialog editor(task);
    editor.initDialog();
    CImportWizardDialog wizard(editor);
    wizard.setHeaderName("姓名");
    wizard.show();
    // The message the wizard shows for a file, and the command line's.
    auto messages = [&](const std::string& file) {
        CMessageBox::clearTestState();
        CMessageBox::pushPath(qs(file));
        wizard.chooseButton()->click();
        wizard.startButton()->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !wizard.isRunning(); }, 10000));
        const QStringList shown = Shown();
        return std::make_pair(shown.size() == 1 ? shown.front() : shown.join(QLatin1Char('|')),
                              qs(CStudentImport::Run(task, file).message));
    };
    const QString head = QStringLiteral("无法导入这个文件。\n原因：");

    const std::string damaged = File("damaged.xlsx");
    testsupport::WriteBytes(damaged, std::string("PK\x03\x04", 4) + std::string(300, '\x11'));
    const auto [damagedShown, damagedCli] = messages(damaged);
    EXPECT_TRUE(damagedShown.startsWith(head)) << str(damagedShown);
    EXPECT_TRUE(damagedShown.contains(QStringLiteral("损坏"))) << str(damagedShown);
    EXPECT_FALSE(damagedShown.contains(QStringLiteral("安装")));
    EXPECT_EQ(damagedCli, damagedShown);

    const std::string binary = File("picture.xls");
    testsupport::WriteBytes(binary, std::string("\x89PNG\r\n\x1a\n\x00\x00\x00", 11));
    const auto [binaryShown, binaryCli] = messages(binary);
    EXPECT_TRUE(binaryShown.startsWith(head + QStringLiteral("无法识别的文件格式"))) << str(binaryShown);
    EXPECT_EQ(binaryCli, binaryShown);

    const std::string empty = File("empty.csv");
    testsupport::WriteBytes(empty, "");
    EXPECT_EQ(messages(empty).first, head + QStringLiteral("文件是空的。"));

    EXPECT_EQ(qs(CStudentImport::Run(task, File("missing.xlsx")).message), head + QStringLiteral("文件不存在。"));

    // A file this user may not read is not called empty.
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not hold for root";
    const std::string locked = File("locked.xlsx");
    testsupport::WriteBytes(locked, "姓名\n张三\n");
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    EXPECT_EQ(messages(locked).first, head + QStringLiteral("没有读取这个文件的权限，或文件正被其他程序占用。"));
}

TEST_F(SeatsAndWords, TheImportSaysHowManyStudentsItTook)
{
    const std::string sheet = File("three.xlsx");
    {
        testsupport::XlsxBuilder book(sheet);
        book.Sheet("名单").Text(0, 0, "姓名").Text(1, 0, "张三").Text(2, 0, "李四").Text(3, 0, "王五");
    }
    CStudentListDialog editor(task);
    ModalSteps steps;
    steps.Then<CImportWizardDialog>([&sheet](CImportWizardDialog* wizard) {
        CMessageBox::pushPath(qs(sheet));
        wizard->chooseButton()->click();
        wizard->startButton()->click();
    });
    steps.Start();
    editor.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return steps.Done() && editor.rowCount() == 3; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Shown().isEmpty(); }, 5000));
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("导入成功，共导入 3 名学生。")});
}

namespace {
class SeatsInPanel : public shelltest::ShellTest
{};
} // namespace

TEST_F(SeatsInPanel, TheInformationPanelSaysWhenSeatsAreFewerThanStudents)
{
    const std::string a = makeTask(QStringLiteral("a"), QStringLiteral("甲"));
    CTaskManager* m = manager();
    CMainDlg window;
    ASSERT_TRUE(m->openTask(a));
    CToolDesc* panel = window.sheet()->toolDesc();
    EXPECT_EQ(panel->warning(), QString()) << "an empty task";

    CScheduleTask& task = *m->task();
    for (int s = 0; s < 3; ++s)
        testsupport::AddStudent(task, "s" + std::to_string(s), "学生" + std::to_string(s), s, 0);
    testsupport::AddClass(task, "c0", "一班", 0, 2);
    ASSERT_TRUE(task.SaveInputData());
    window.refreshSeatWarning();
    EXPECT_EQ(panel->warning(), Shortage(3, 2));

    // Raised in the classes editor: the panel follows once it closes.
    shelltest::whenModal<CClassListDialog>([](CClassListDialog* editor) {
        editor->selectOnly(0);
        editor->changeSelected({3, std::nullopt});
        editor->SaveList();
        editor->reject();
    });
    window.runCommand(StepCommandId::ClassInfo);
    EXPECT_EQ(task.GetClassInfoList().FindAs<CClassInfo>("c0")->GetStudentCount(), 3u);
    EXPECT_EQ(panel->warning(), QString());

    task.GetClassInfoList().FindAs<CClassInfo>("c0")->SetStudentCount(1);
    window.refreshSeatWarning();
    EXPECT_EQ(panel->warning(), Shortage(3, 1));
    m->closeTask();
    EXPECT_EQ(panel->warning(), QString());
}
