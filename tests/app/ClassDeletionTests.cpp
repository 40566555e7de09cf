// Deleting classes in the classes editor: a deletion survives a save that
// fails, and the pre-assignments to a deleted class leave with it, after
// the user agreed.
#include "EditorTestSupport.h"

#include "gui/editors/ClassListDialog.h"
#include "base/util/FileUtil.h"

#include <filesystem>

using namespace editortest;
namespace fs = std::filesystem;

namespace {

using Button = CListEditorDialog::Button;

class ClassDeletion : public EditorTest
{
protected:
    std::string InputBytes() const { return CFileUtil::ReadFile(task.GetTaskInfo().GetInputFilePath()).value_or(""); }

    // The pre-assignments in the order they were added, as the editor saves them.
    void NumberPresets()
    {
        for (int i = 0; i < static_cast<int>(task.GetStudentInfoList().GetCount()); ++i) {
            if (CQZObject* preset = task.GetStudentPresetList().Find(StudentId(i)))
                preset->SetIndex(i);
        }
    }

    std::string StudentId(int i) const
    {
        for (const auto& entry : task.GetStudentInfoList()) {
            if (entry.object->GetIndex() == i)
                return entry.id;
        }
        return {};
    }

    static std::vector<std::string> Ids(const CQZObjectList& list)
    {
        std::vector<std::string> ids;
        for (const auto& entry : list)
            ids.push_back(entry.id);
        std::sort(ids.begin(), ids.end());
        return ids;
    }
};

TEST_F(ClassDeletion, ADeletionSurvivesAFailedSave)
{
    AddClass(task, "a", "高一(1)班", 0, 40);
    AddClass(task, "b", "高一(2)班", 1, 40);
    ASSERT_TRUE(task.SaveInputData());
    CClassListDialog editor(task);
    editor.show();
    editor.selectOnly(1);
    editor.button(Button::Delete)->click();
    ASSERT_EQ(editor.rowCount(), 1);

    // The task's folder is gone while the user saves.
    const fs::path folder = m_folder.Path();
    const fs::path away = folder.string() + "-away";
    fs::rename(folder, away);
    editor.button(Button::Save)->click();
    fs::rename(away, folder);
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_TRUE(editor.isModified());
    EXPECT_EQ(task.GetClassInfoList().GetCount(), 2u) << "the task in memory is as it was";

    CMessageBox::clearTestState();
    editor.button(Button::Save)->click();
    EXPECT_TRUE(Shown().isEmpty()) << str(Shown().join('|'));
    EXPECT_FALSE(editor.isModified());
    EXPECT_TRUE(editor.deletedIds().empty());
    EXPECT_EQ(Ids(task.GetClassInfoList()), std::vector<std::string>{"a"});
    EXPECT_EQ(Ids(Reopen()->GetClassInfoList()), std::vector<std::string>{"a"});
    EXPECT_EQ(InputBytes().find(testsupport::Gbk("高一(2)班")), std::string::npos);
}

TEST_F(ClassDeletion, PreAssignmentsGoWithTheirClassAfterAQuestion)
{
    AddClass(task, "a", "高一(1)班", 0, 40);
    AddClass(task, "b", "高一(2)班", 1, 40);
    AddClass(task, "c", "高一(3)班", 2, 40);
    for (int i = 0; i < 12; ++i)
        AddStudent(task, "s" + std::to_string(i), "学生" + std::to_string(i), i, i % 2);
    for (int i = 0; i < 11; ++i)
        AddPreset(task, "s" + std::to_string(i), "b");
    AddPreset(task, "s11", "a");
    NumberPresets();
    ASSERT_TRUE(task.SaveInputData());
    CClassListDialog editor(task);
    editor.show();

    // No: nothing is deleted.
    editor.selectOnly(1);
    CMessageBox::pushAnswer(QMessageBox::No);
    editor.button(Button::Delete)->click();
    ASSERT_EQ(Shown().size(), 1);
    const CMessageBox::Shown& asked = CMessageBox::shownMessages().front();
    EXPECT_EQ(asked.icon, CMessageBox::Icon::Question);
    EXPECT_TRUE(asked.text.startsWith(
        QStringLiteral("要删除的班级中预先安排了 11 名学生：学生0（高一(2)班）、学生1（高一(2)班）")))
        << str(asked.text);
    // Ten are named, the rest counted.
    EXPECT_TRUE(asked.text.contains(QStringLiteral("学生9（高一(2)班） 等 11 名学生。"))) << str(asked.text);
    EXPECT_FALSE(asked.text.contains(QStringLiteral("学生10")));
    EXPECT_EQ(editor.rowCount(), 3);
    EXPECT_FALSE(editor.isModified());

    // Yes: the class goes, and its pre-assignments with it when saved.
    CMessageBox::clearTestState();
    CMessageBox::pushAnswer(QMessageBox::Yes);
    editor.button(Button::Delete)->click();
    EXPECT_EQ(Shown().size(), 1);
    EXPECT_EQ(Column(editor, 1), (std::vector<std::string>{"高一(1)班", "高一(3)班"}));
    EXPECT_EQ(task.GetStudentPresetList().GetCount(), 12u) << "not before the save";
    editor.button(Button::Save)->click();
    const auto reopened = Reopen();
    EXPECT_EQ(Ids(reopened->GetClassInfoList()), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(Ids(reopened->GetStudentPresetList()), std::vector<std::string>{"s11"});
    EXPECT_EQ(reopened->GetStudentInfoList().GetCount(), 12u);

    // A class no student is pre-assigned to goes without a question.
    CMessageBox::clearTestState();
    editor.selectOnly(1);
    editor.button(Button::Delete)->click();
    EXPECT_TRUE(Shown().isEmpty());
    EXPECT_EQ(editor.rowCount(), 1);
}

TEST_F(ClassDeletion, EveryClassDeletedAndAddedAgain)
{
    AddClass(task, "a", "一班", 0, 40);
    AddClass(task, "b", "二班", 1, 40);
    AddStudent(task, "s1", "张三", 0, 0);
    AddStudent(task, "s2", "李四", 1, 1);
    AddPreset(task, "s1", "a");
    AddPreset(task, "s2", "b");
    NumberPresets();
    ASSERT_TRUE(task.SaveInputData());
    CClassListDialog editor(task);
    editor.show();
    editor.selectRows({0, 1});
    CMessageBox::pushAnswer(QMessageBox::Yes);
    editor.button(Button::Delete)->click();
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_TRUE(
        Shown().front().startsWith(QStringLiteral("要删除的班级中预先安排了 2 名学生：张三（一班）、李四（二班）。")))
        << str(Shown().front());
    // The same names again are new classes: nothing pre-assigned to them.
    for (const char* name : {"一班", "二班"}) {
        RowRequest add;
        ASSERT_EQ(editor.SubmitRow(add, {name, "40"}), 0);
    }
    ASSERT_TRUE(editor.SaveList());
    const auto reopened = Reopen();
    EXPECT_EQ(reopened->GetClassInfoList().GetCount(), 2u);
    EXPECT_EQ(reopened->GetClassInfoList().Find("a"), nullptr);
    EXPECT_EQ(reopened->GetStudentPresetList().GetCount(), 0u);
}

} // namespace
