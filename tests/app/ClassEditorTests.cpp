// The classes editor: the batch dialog that an empty editor opens by
// itself, the single-class dialog and its checks, and saving in place.
#include "EditorTestSupport.h"

#include "gui/editors/BatchAddClassDialog.h"
#include "gui/editors/ClassEditDialog.h"
#include "base/records/ClassInfo.h"
#include "gui/editors/ClassListDialog.h"
#include "logic/editing/RecordOrder.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace editortest;
using Names = std::vector<std::string>;

namespace {

class ClassEditor : public EditorTest
{
protected:
    // Fills the batch dialog; batchAdd is left to the caller.
    static void Fill(CBatchAddClassDialog* dialog, int pattern, const QString& classes, const QString& students)
    {
        dialog->patternBox()->setCurrentIndex(pattern);
        dialog->classCountEdit()->setText(classes);
        dialog->studentCountEdit()->setText(students);
    }

    static Names NamesAndCounts(const CListEditorDialog& editor)
    {
        Names cells;
        for (int row = 0; row < editor.rowCount(); ++row)
            cells.push_back(editor.cellText(row, 1) + ":" + editor.cellText(row, 2));
        return cells;
    }
};

const Names kFourClasses{"高一(1)班:40", "高一(2)班:40", "高一(3)班:40", "高一(4)班:40"};

} // namespace

TEST_F(ClassEditor, EmptyEditorOpensTheBatchDialogAndARepeatAddsNothing)
{
    CClassListDialog editor(task);
    ModalSteps steps;
    steps.Then<CBatchAddClassDialog>([](CBatchAddClassDialog* d) {
        EXPECT_EQ(d->previewNames(), (QStringList{"1", "2", "3", "4"}));
        Fill(d, 4, QStringLiteral("4"), QStringLiteral("40"));
        EXPECT_EQ(d->previewNames(), (QStringList{"高一(1)班", "高一(2)班", "高一(3)班", "高一(4)班"}));
        d->batchAdd();
    });
    steps.Start();
    editor.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return steps.Done() && editor.rowCount() == 4; }, 3000));
    EXPECT_EQ(NamesAndCounts(editor), kFourClasses);
    EXPECT_TRUE(editor.countTextShown().startsWith(QStringLiteral("当前共有 4 条记录。")));
    EXPECT_TRUE(editor.isModified());

    ModalSteps again;
    again.Then<CBatchAddClassDialog>([](CBatchAddClassDialog* d) {
        Fill(d, 4, QStringLiteral("4"), QStringLiteral("40"));
        d->batchAdd();
    });
    again.Start();
    CMessageBox::clearTestState();
    editor.batchButton()->click();
    EXPECT_TRUE(again.Done());
    EXPECT_EQ(NamesAndCounts(editor), kFourClasses);
    EXPECT_TRUE(Shown().isEmpty());

    ASSERT_TRUE(editor.SaveList());
    auto reopened = Reopen();
    Names saved;
    for (const CClassInfo* info : CRecordOrder::InIndexOrder<CClassInfo>(reopened->GetClassInfoList()))
        saved.push_back(info->GetName() + ":" + std::to_string(info->GetStudentCount()));
    EXPECT_EQ(saved, kFourClasses);
}

TEST_F(ClassEditor, BatchDialogChecksItsNumbers)
{
    AddClass(task, "x", "2", 0);
    CClassListDialog editor(task);
    editor.show();
    CBatchAddClassDialog dialog(editor);
    dialog.show();
    const std::pair<const char*, const char*> refused[] = {
        {"0", "40"}, {"100", "40"}, {"", "40"}, {"3", ""}, {"3", "4294967336"}};
    for (const auto& [classes, students] : refused) {
        CMessageBox::clearTestState();
        Fill(&dialog, 0, QString::fromUtf8(classes), QString::fromUtf8(students));
        dialog.batchAdd();
        EXPECT_EQ(Shown().size(), 1) << classes << " / " << students;
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(editor.rowCount(), 1);
    }
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("每班学生人数应该是 0 到 2147483647 之间的整数。")});

    // Numbered classes; "2" is there already and is skipped. No students
    // per class is allowed here.
    CMessageBox::clearTestState();
    Fill(&dialog, 0, QStringLiteral("3"), QStringLiteral("0"));
    dialog.batchAdd();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(NamesAndCounts(editor), (Names{"2:50", "1:0", "3:0"}));
    EXPECT_TRUE(Shown().isEmpty());
    EXPECT_EQ(dialog.selectedPattern().numberOfClasses, 3);
    EXPECT_EQ(dialog.selectedPattern().studentsPerClass, 0);
}

TEST_F(ClassEditor, AddDialogLoopsAndChecksWhatIsTyped)
{
    AddClass(task, "x", "高一(1)班", 0);
    CClassListDialog editor(task);
    editor.show();
    CClassEditDialog dialog(editor, CClassEditDialog::Mode::Add);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("添加班级信息"));
    EXPECT_EQ(dialog.countEdit()->text(), QStringLiteral("40"));

    auto submit = [&dialog](const QString& name, const QString& count) {
        CMessageBox::clearTestState();
        dialog.nameEdit()->setText(name);
        dialog.countEdit()->setText(count);
        dialog.submit();
        return CMessageBox::shownTexts();
    };
    // Blanks around the name go, the ideographic space too.
    EXPECT_TRUE(submit(QStringLiteral(" 高一(2)班\u3000"), QStringLiteral(" 45 ")).isEmpty());
    EXPECT_EQ(dialog.nameEdit()->text(), QString()) << "emptied for the next class";
    EXPECT_EQ(dialog.countEdit()->text(), QStringLiteral(" 45 "));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(submit(QStringLiteral("\u3000 "), QStringLiteral("40")), QStringList{QStringLiteral("请输入班级名称")});
    EXPECT_EQ(submit(QStringLiteral("高一(3)班"), QStringLiteral("0")),
              QStringList{QStringLiteral("班级人数应该大于零")});
    EXPECT_EQ(submit(QStringLiteral("高一(3)班"), QStringLiteral("-5")),
              QStringList{QStringLiteral("班级人数应该大于零")});
    EXPECT_EQ(submit(QStringLiteral("高一(3)班"), QStringLiteral("四十")),
              QStringList{QStringLiteral("班级人数必须是整数")});
    EXPECT_EQ(submit(QStringLiteral("高一(3)班"), QStringLiteral("4294967336")),
              QStringList{QStringLiteral("班级人数不能超过 2147483647")});
    EXPECT_EQ(submit(QStringLiteral("高一（1）班"), QStringLiteral("40")),
              QStringList{QStringLiteral("高一（1）班 已存在。")});
    EXPECT_EQ(dialog.nameEdit()->text(), QStringLiteral("高一（1）班")) << "the typed name stays";
    EXPECT_TRUE(submit(QStringLiteral("高一(3)班"), QStringLiteral("38")).isEmpty());
    EXPECT_EQ(NamesAndCounts(editor), (Names{"高一(1)班:50", "高一(2)班:45", "高一(3)班:38"}));
    EXPECT_EQ(editor.selectedRows(), (std::vector<int>{2}));
}

TEST_F(ClassEditor, ModifyDialogStartsWithTheRowAndClosesWhenTaken)
{
    AddClass(task, "a", "高一(1)班", 0, 40);
    AddClass(task, "b", "高一(2)班", 1, 42);
    CClassListDialog editor(task);
    editor.show();
    editor.ModifyItem(); // nothing selected: no dialog
    editor.selectOnly(1);

    ModalSteps steps;
    steps.Then<CClassEditDialog>([](CClassEditDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("修改班级信息"));
        EXPECT_EQ(d->submitButton()->text(), QStringLiteral("保存(&S)"));
        EXPECT_EQ(d->nameEdit()->text(), QStringLiteral("高一(2)班"));
        EXPECT_EQ(d->countEdit()->text(), QStringLiteral("42"));
        d->nameEdit()->setText(QStringLiteral("高一（1）班"));
        d->submit(); // another class's name: refused, stays open
        EXPECT_TRUE(d->isVisible());
        d->nameEdit()->setText(QStringLiteral("高一(2)班"));
        d->countEdit()->setText(QStringLiteral("44"));
        d->submit();
        EXPECT_FALSE(d->isVisible());
    });
    steps.Start();
    editor.OnItemDoubleClick();
    EXPECT_TRUE(steps.Done());
    EXPECT_EQ(NamesAndCounts(editor), (Names{"高一(1)班:40", "高一(2)班:44"}));
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("高一（1）班 已存在。")});
}

TEST_F(ClassEditor, SaveUpdatesClassesInPlace)
{
    CClassInfo* kept = AddClass(task, "a", "高一(1)班", 0, 40);
    kept->SetHeadTeacherName("王老师");
    kept->SetShortName("1班");
    kept->GetStudentArray() = {"s1", "s2"};
    AddClass(task, "b", "高一(2)班", 1, 40);
    CClassListDialog editor(task);
    editor.show();
    editor.selectOnly(0);
    RowRequest rename;
    rename.mode = RowMode::Replace;
    ASSERT_EQ(editor.SubmitRow(rename, {"一班", "41"}), 0);
    editor.selectOnly(1);
    editor.DeleteSelected();
    RowRequest add;
    ASSERT_EQ(editor.SubmitRow(add, {"二班", "39"}), 0);
    const std::string newId = editor.cellText(1, 0);
    ASSERT_TRUE(editor.SaveList());

    ASSERT_EQ(task.GetClassInfoList().GetCount(), 2u);
    EXPECT_EQ(task.GetClassInfoList().Find("a"), kept) << "the same record, changed in place";
    EXPECT_EQ(kept->GetName(), "一班");
    EXPECT_EQ(kept->GetStudentCount(), 41u);
    EXPECT_EQ(kept->GetHeadTeacherName(), "王老师");
    EXPECT_EQ(kept->GetShortName(), "1班");
    EXPECT_EQ(kept->GetStudentArray().size(), 2u);
    EXPECT_EQ(task.GetClassInfoList().Find("b"), nullptr);
    EXPECT_EQ(task.GetClassInfoList().GetObjectId("一班"), "a");
    const auto* added = task.GetClassInfoList().FindAs<CClassInfo>(newId);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(newId.size(), 32u);
    EXPECT_EQ(added->GetStudentCount(), 39u);
    EXPECT_EQ(added->GetIndex(), 1);
}
