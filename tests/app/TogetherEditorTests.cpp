// The editor of students who share a class with its name dialog, the
// division rules dialog, and the buttons of step page 3 that open them.
#include "EditorTestSupport.h"

#include "base/records/StudentInfo.h"
#include "base/util/FileUtil.h"
#include "gui/editors/DivisionRulesDialog.h"
#include "gui/editors/TogetherStudentEditDialog.h"
#include "gui/editors/TogetherStudentListDialog.h"
#include "gui/shell/MainDlg.h"
#include "gui/shell/StepCommands.h"
#include "gui/shell/StepSheet.h"
#include "gui/shell/ToolBox.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <filesystem>

using namespace editortest;
using Names = std::vector<std::string>;
using Groups = std::vector<Names>;

namespace {

class TogetherEditor : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        AddStudent(task, "s1", "张三", 0, 1);
        AddStudent(task, "s2", "李四", 1, 0);
        AddStudent(task, "s3", "王五", 2, 1);
        AddStudent(task, "s4", "Tom", 3, 1);
        ASSERT_TRUE(task.SaveInputData());
        m_input = InputBytes();
    }

    std::string InputBytes() const { return CFileUtil::ReadFile(task.GetTaskInfo().GetInputFilePath()).value_or(""); }
    std::string RulesFile() const { return task.GetTaskInfo().GetRulesFilePath(); }

    static Groups Members(const CScheduleTask& t)
    {
        Groups groups;
        for (const CDivisionRules::TogetherGroup& group : t.GetDivisionRules().TogetherGroups())
            groups.push_back(group.studentIds);
        return groups;
    }

    std::string m_input;
};

const QString kOnlyOne = QStringLiteral("同班学生组至少应包含两名同学信息！\n当前输入信息中只包含一个有效的学生信息：");

} // namespace

TEST_F(TogetherEditor, TypedNamesBecomeGroupsSavedBesideAnUnchangedInputXml)
{
    CTogetherStudentListDialog editor(task);
    editor.show();
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("同班学生组"));
    CTogetherStudentEditDialog dialog(editor, task, CTogetherStudentEditDialog::Mode::Add);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("添加同班学生组"));

    // A student typed twice is one member.
    EXPECT_TRUE(TypeNames(dialog, QStringLiteral(" 张三 ，李四\n李四")).isEmpty());
    EXPECT_EQ(dialog.namesEdit()->toPlainText(), QString()) << "emptied for the next group";
    ASSERT_EQ(editor.rowCount(), 1);
    EXPECT_EQ(editor.cellText(0, CTogetherStudentListDialog::ColumnNumber), "1");
    EXPECT_EQ(editor.cellText(0, CTogetherStudentListDialog::ColumnNames), "张三，李四");

    // Refused: too few students, however many names were typed.
    EXPECT_EQ(TypeNames(dialog, QStringLiteral("王五，赵六")), QStringList{kOnlyOne + QStringLiteral("王五\n没有找到的学生：赵六")});
    EXPECT_EQ(CMessageBox::shownMessages().back().icon, CMessageBox::Icon::Warning);
    EXPECT_EQ(TypeNames(dialog, QStringLiteral("王五,王五")), QStringList{kOnlyOne + QStringLiteral("王五")});
    EXPECT_EQ(TypeNames(dialog, QStringLiteral("赵六，钱七")),
              QStringList{QStringLiteral("在学生列表中没有找到对应的学生信息：赵六，钱七\n"
                                         "请确认输入的学生姓名有效并以逗号分隔。")});
    EXPECT_EQ(TypeNames(dialog, QStringLiteral(" ，\n")), QStringList{QStringLiteral("请输入有效的学生姓名列表，以逗号分隔")});
    EXPECT_EQ(dialog.namesEdit()->toPlainText(), QStringLiteral(" ，\n")) << "nothing typed is lost";
    EXPECT_EQ(editor.rowCount(), 1);

    // Some names found: said, and the group is made of those.
    EXPECT_EQ(TypeNames(dialog, QStringLiteral("王五，赵六，Tom")),
              QStringList{QStringLiteral("部分学生姓名在学生列表中没有找到对应的信息：\n赵六")});
    ASSERT_EQ(editor.rowCount(), 2);
    EXPECT_TRUE(editor.isModified());
    EXPECT_TRUE(Members(task).empty()) << "the task changes when the list is saved";

    ASSERT_TRUE(editor.SaveList());
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(Members(*Reopen()), (Groups{{"s1", "s2"}, {"s3", "s4"}}));
    EXPECT_TRUE(std::filesystem::exists(RulesFile()));
    EXPECT_EQ(InputBytes(), m_input) << "the Windows program's file has no place for the groups";
}

TEST_F(TogetherEditor, ModifyMoveAndDeleteThroughTheDialogs)
{
    task.GetDivisionRules().TogetherGroups() = {{"g1", {"s1", "s2"}}, {"g2", {"s3", "s4"}}, {"g3", {"s1", "s4"}}};
    ASSERT_TRUE(task.SaveInputData());
    CTogetherStudentListDialog editor(task);
    editor.show();
    EXPECT_EQ(Column(editor, 0), (Names{"g1", "g2", "g3"}));
    EXPECT_EQ(Column(editor, CTogetherStudentListDialog::ColumnNames), (Names{"张三，李四", "王五，Tom", "张三，Tom"}));
    ExpectReplaceRefused(editor, {"s1", "s2"});

    editor.selectOnly(1);
    ModalSteps steps;
    steps.Then<CTogetherStudentEditDialog>([](CTogetherStudentEditDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("修改同班学生组"));
        EXPECT_EQ(d->namesEdit()->toPlainText(), QStringLiteral("王五，Tom"));
        // Too few: refused, the dialog stays for another try.
        d->namesEdit()->setPlainText(QStringLiteral("王五"));
        d->submit();
        EXPECT_TRUE(d->isVisible());
        d->namesEdit()->setPlainText(QStringLiteral("李四，王五"));
        d->submit();
        EXPECT_FALSE(d->isVisible());
    });
    steps.Start();
    editor.OnItemDoubleClick();
    EXPECT_TRUE(steps.Done());
    EXPECT_EQ(editor.cellText(1, CTogetherStudentListDialog::ColumnNames), "李四，王五");
    EXPECT_EQ(editor.cellText(1, 0), "g2") << "the group keeps its id";

    editor.selectOnly(2);
    editor.moveUp();
    EXPECT_EQ(Column(editor, 0), (Names{"g1", "g3", "g2"}));
    EXPECT_EQ(Column(editor, CTogetherStudentListDialog::ColumnNumber), (Names{"1", "2", "3"}));
    editor.selectOnly(0);
    editor.DeleteSelected();
    EXPECT_EQ(Column(editor, CTogetherStudentListDialog::ColumnNumber), (Names{"1", "2"}));
    EXPECT_EQ(Members(task).size(), 3u) << "the rows are the editor's until saved";

    ASSERT_TRUE(editor.SaveList());
    const std::unique_ptr<CScheduleTask> reopened = Reopen();
    EXPECT_EQ(Members(*reopened), (Groups{{"s1", "s4"}, {"s2", "s3"}}));
    EXPECT_EQ(reopened->GetDivisionRules().TogetherGroups()[1].id, "g2");
    EXPECT_EQ(InputBytes(), m_input);
}

TEST_F(TogetherEditor, OpeningDropsStudentsThatAreGone)
{
    task.GetDivisionRules().TogetherGroups() = {{"g1", {"s1", "gone"}}, {"g2", {"s2", "s3", "gone"}}};
    ASSERT_TRUE(task.SaveInputData());
    CTogetherStudentListDialog editor(task);
    editor.show();
    EXPECT_EQ(Column(editor, CTogetherStudentListDialog::ColumnNames), (Names{"李四，王五"}));
    EXPECT_EQ(Members(*Reopen()), (Groups{{"s2", "s3"}}));
}

TEST_F(TogetherEditor, AFailedSaveKeepsTheRowsAndTheTasksGroups)
{
    task.GetDivisionRules().TogetherGroups() = {{"g1", {"s1", "s2"}}};
    ASSERT_TRUE(task.SaveInputData());
    CTogetherStudentListDialog editor(task);
    editor.show();
    editor.selectOnly(0);
    editor.DeleteSelected();
    task.SetReadOnly(true);
    EXPECT_FALSE(editor.SaveList());
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_TRUE(Shown()[0].startsWith(QStringLiteral("保存失败："))) << str(Shown()[0]);
    EXPECT_TRUE(editor.isModified());
    EXPECT_EQ(Members(task), (Groups{{"s1", "s2"}})) << "the task keeps what is on disk";
}

TEST_F(TogetherEditor, ADamagedRulesFileIsNeverOverwritten)
{
    const std::string damaged = "<QuillonRules version=\"1\"><Settings sameNameApart=\"1\"";
    testsupport::WriteBytes(RulesFile(), damaged);
    const std::unique_ptr<CScheduleTask> opened = Reopen();
    ASSERT_TRUE(opened->IsRulesFileDamaged());

    CTogetherStudentListDialog editor(*opened);
    editor.show();
    EXPECT_TRUE(editor.countWarning()->isVisibleTo(&editor));
    RowRequest request;
    ASSERT_EQ(editor.SubmitRow(request, {"s1", "s2"}), 0);
    EXPECT_FALSE(editor.SaveList());
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_TRUE(Shown()[0].contains(QStringLiteral("无法读取"))) << str(Shown()[0]);
    EXPECT_TRUE(editor.isModified()) << "the rows stay";

    CMessageBox::clearTestState();
    CDivisionRulesDialog rules(*opened);
    EXPECT_TRUE(rules.warningLine()->isVisibleTo(&rules));
    rules.sameNameBox()->setChecked(true);
    rules.okButton()->click();
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_TRUE(Shown()[0].contains(QStringLiteral("无法读取"))) << str(Shown()[0]);
    EXPECT_NE(rules.result(), QDialog::Accepted);
    EXPECT_FALSE(opened->GetDivisionRules().GetSameNameApart());

    EXPECT_EQ(testsupport::ReadBytes(RulesFile()), damaged);
    EXPECT_EQ(InputBytes(), m_input);
}

TEST_F(TogetherEditor, TheRulesDialogReadsAndWritesWhatTheCommandLineSets)
{
    {
        CDivisionRulesDialog dialog(task);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("分班规则"));
        EXPECT_FALSE(dialog.sameNameBox()->isChecked());
        EXPECT_FALSE(dialog.sameSoundBox()->isChecked());
        EXPECT_FALSE(dialog.scoreBandsBox()->isChecked());
        EXPECT_EQ(dialog.bandsEdit()->text(), QStringLiteral("10,30,60")) << "the limits offered";
        EXPECT_FALSE(dialog.bandsEdit()->isEnabled());
        EXPECT_FALSE(dialog.warningLine()->isVisibleTo(&dialog));

        // Nothing changed: nothing written.
        dialog.okButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(std::filesystem::exists(RulesFile()));
    }
    {
        CDivisionRulesDialog dialog(task);
        dialog.sameNameBox()->setChecked(true);
        dialog.sameSoundBox()->setChecked(true);
        dialog.scoreBandsBox()->setChecked(true);
        EXPECT_TRUE(dialog.bandsEdit()->isEnabled());
        for (const QString& wrong : {QStringLiteral("30,10"), QStringLiteral("0,50"), QStringLiteral("10,100"),
                                     QStringLiteral("10,10"), QStringLiteral("1.5"), QStringLiteral("十"), QString()}) {
            CMessageBox::clearTestState();
            dialog.bandsEdit()->setText(wrong);
            dialog.okButton()->click();
            EXPECT_EQ(Shown(), QStringList{QStringLiteral(
                                   "分段界限应为由小到大、介于 1 与 99 之间的整数，以逗号分隔，如 10,30,60。")})
                << str(wrong);
            EXPECT_NE(dialog.result(), QDialog::Accepted) << str(wrong);
        }
        EXPECT_FALSE(task.GetDivisionRules().GetSameNameApart()) << "nothing taken from a refused dialog";
        CMessageBox::clearTestState();
        dialog.bandsEdit()->setText(QStringLiteral("5， 25"));
        dialog.okButton()->click();
        EXPECT_TRUE(Shown().isEmpty());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    const std::unique_ptr<CScheduleTask> reopened = Reopen();
    EXPECT_TRUE(reopened->GetDivisionRules().GetSameNameApart());
    EXPECT_TRUE(reopened->GetDivisionRules().GetSameSoundApart());
    EXPECT_EQ(reopened->GetDivisionRules().GetScoreBands(), (std::vector<int>{5, 25}));
    EXPECT_EQ(InputBytes(), m_input);
    {
        CDivisionRulesDialog dialog(*reopened);
        EXPECT_TRUE(dialog.sameNameBox()->isChecked());
        EXPECT_TRUE(dialog.scoreBandsBox()->isChecked());
        EXPECT_EQ(dialog.bandsEdit()->text(), QStringLiteral("5,25"));
        dialog.scoreBandsBox()->setChecked(false);
        dialog.sameSoundBox()->setChecked(false);
        dialog.okButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_TRUE(Reopen()->GetDivisionRules().GetScoreBands().empty());
    EXPECT_FALSE(Reopen()->GetDivisionRules().GetSameSoundApart());
    EXPECT_TRUE(Reopen()->GetDivisionRules().GetSameNameApart());
}

// The demo task's data as the Windows program writes them: its declaration
// on a line of its own, then the records.
TEST_F(TogetherEditor, TheWindowsProgramsFilesKeepTheirBytes)
{
    namespace fs = std::filesystem;
    const fs::path demo = fs::path(QUILLON_TEST_DATA) / ".." / ".." / "resources" / "demo" / "演示任务";
    const fs::path folder = m_folder.Path() / "demo";
    fs::create_directories(folder);
    fs::copy_file(demo / "演示任务.qz", folder / "演示任务.qz");
    const std::string declaration = "<?xml version='1.0' encoding='GB2312'?>";
    std::string body = testsupport::ReadBytes((demo / "input.xml").string());
    ASSERT_TRUE(body.starts_with(declaration));
    body.erase(0, body.find("<Input>"));
    const std::string original = declaration + "\r\n" + body;
    testsupport::WriteBytes((folder / "input.xml").string(), original);
    const std::string taskFile = (folder / "演示任务.qz").string();

    CScheduleTask opened;
    ASSERT_TRUE(opened.Open(taskFile));
    std::vector<const CStudentInfo*> students = opened.GetStudentInfoList().Records<const CStudentInfo>();
    ASSERT_GE(students.size(), 2u);
    {
        CTogetherStudentListDialog editor(opened);
        editor.show();
        CTogetherStudentEditDialog dialog(editor, opened, CTogetherStudentEditDialog::Mode::Add);
        EXPECT_TRUE(TypeNames(dialog, qs(students[0]->GetName() + "，" + students[1]->GetName())).isEmpty());
        ASSERT_TRUE(editor.SaveList());
    }
    EXPECT_EQ(testsupport::ReadBytes((folder / "input.xml").string()), original);
    {
        CDivisionRulesDialog rules(opened);
        rules.sameNameBox()->setChecked(true);
        rules.okButton()->click();
        EXPECT_EQ(rules.result(), QDialog::Accepted);
    }
    EXPECT_EQ(testsupport::ReadBytes((folder / "input.xml").string()), original);

    CScheduleTask again;
    ASSERT_TRUE(again.Open(taskFile));
    EXPECT_EQ(Members(again), (Groups{{students[0]->GetId(), students[1]->GetId()}}));
    EXPECT_TRUE(again.GetDivisionRules().GetSameNameApart());
}

namespace {
class TogetherCommands : public shelltest::ShellTest
{};
} // namespace

TEST_F(TogetherCommands, StepPageThreeOpensTheGroupsAndTheRules)
{
    manager();
    const std::string taskFile = makeTask(QStringLiteral("t"), QStringLiteral("规则"));
    CMainDlg window(taskFile);
    ASSERT_TRUE(CTaskManager::instance()->hasTask());
    window.sheet()->selectPage(2);
    QStringList captions;
    for (const StepCommand& command : window.sheet()->toolBox()->commands())
        captions << command.caption;
    EXPECT_EQ(captions, (QStringList{QStringLiteral("预分班"), QStringLiteral("互斥学生组"),
                                     QStringLiteral("同班学生组"), QStringLiteral("分班规则")}));

    ModalSteps steps;
    steps.Then<CTogetherStudentListDialog>([](CTogetherStudentListDialog* d) { d->close(); });
    steps.Then<CDivisionRulesDialog>([](CDivisionRulesDialog* d) { d->reject(); });
    steps.Start();
    window.runCommand(StepCommandId::TogetherStudent);
    window.runCommand(StepCommandId::DivisionRules);
    EXPECT_TRUE(steps.Done());
    EXPECT_TRUE(CMessageBox::shownTexts().isEmpty());
}
