// The exclusive groups editor with its name dialog, and the pre-assignment
// editor with the record picker.
#include "EditorTestSupport.h"

#include "base/records/MutexStudent.h"
#include "gui/editors/MutexStudentEditDialog.h"
#include "gui/editors/MutexStudentListDialog.h"
#include "gui/editors/ObjectPickerDialog.h"
#include "gui/editors/ObjectPickerModel.h"
#include "logic/editing/RecordOrder.h"
#include "base/records/StudentPreset.h"
#include "gui/editors/StudentPresetListDialog.h"

#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace editortest;
using Names = std::vector<std::string>;

namespace {

class GroupEditor : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        AddStudent(task, "s1", "张三", 0, 1);
        AddStudent(task, "s2", "李四", 1, 0);
        AddStudent(task, "s3", "王五", 2, 1);
        AddStudent(task, "s4", "Tom", 3, 1);
    }

    static Names Members(const CScheduleTask& t)
    {
        Names groups;
        for (const CMutexStudent* g : CRecordOrder::InIndexOrder<CMutexStudent>(t.GetMutexStudentList())) {
            std::string members;
            for (const std::string& id : g->GetMutexStudents())
                members += id + " ";
            groups.push_back(members);
        }
        return groups;
    }
};

const QString kNoName = QStringLiteral("请输入有效的学生姓名列表，以逗号分隔");
QString NoneFound(const QString& names)
{
    return QStringLiteral("在学生列表中没有找到对应的学生信息：%1\n请确认输入的学生姓名有效并以逗号分隔。").arg(names);
}
const QString kOnlyOne = QStringLiteral("互斥学生组至少应包含两名同学信息！\n当前输入信息中只包含一个有效的学生信息：");
const QString kSomeMissing = QStringLiteral("部分学生姓名在学生列表中没有找到对应的信息：\n");

} // namespace

TEST_F(GroupEditor, TypedNamesBecomeGroups)
{
    CMutexStudentListDialog editor(task);
    editor.show();
    CMutexStudentEditDialog dialog(editor, task, CMutexStudentEditDialog::Mode::Add);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("添加互斥学生组"));

    // Any mix of separators, blanks around names, empty entries.
    EXPECT_TRUE(TypeNames(dialog, QStringLiteral(" 张三 ,,李四，\u3000王五\r\nTom\n")).isEmpty());
    EXPECT_EQ(dialog.namesEdit()->toPlainText(), QString()) << "emptied for the next group";
    ASSERT_EQ(editor.rowCount(), 1);
    EXPECT_EQ(editor.cellText(0, 1), "1");
    EXPECT_EQ(editor.cellText(0, 2), "张三，李四，王五，Tom");

    EXPECT_EQ(TypeNames(dialog, QStringLiteral(" ，\n ")), QStringList{kNoName});
    EXPECT_EQ(TypeNames(dialog, QStringLiteral("张三 李四")), QStringList{NoneFound(QStringLiteral("张三 李四"))})
        << "a space does not separate";
    EXPECT_EQ(TypeNames(dialog, QStringLiteral("tom,赵六")), QStringList{NoneFound(QStringLiteral("tom，赵六"))})
        << "letter case counts";
    EXPECT_EQ(TypeNames(dialog, QStringLiteral("李四，赵六")),
              QStringList{kOnlyOne + QStringLiteral("李四\n没有找到的学生：赵六")});
    EXPECT_EQ(CMessageBox::shownMessages().back().icon, CMessageBox::Icon::Warning);
    EXPECT_EQ(dialog.namesEdit()->toPlainText(), QStringLiteral("李四，赵六")) << "nothing typed is lost";
    EXPECT_EQ(editor.rowCount(), 1);

    // Some names found: said, and the group is made of those.
    EXPECT_EQ(TypeNames(dialog, QStringLiteral("王五,赵六,Tom,钱七")),
              QStringList{kSomeMissing + QStringLiteral("赵六，钱七")});
    // The same name twice makes a group of one student twice.
    EXPECT_TRUE(TypeNames(dialog, QStringLiteral("李四,李四")).isEmpty());
    ASSERT_EQ(editor.rowCount(), 3);
    EXPECT_EQ(Column(editor, 1), (Names{"1", "2", "3"}));
    EXPECT_EQ(editor.cellText(1, 2), "王五，Tom");
    EXPECT_EQ(editor.cellText(2, 2), "李四，李四");

    ASSERT_TRUE(editor.SaveList());
    EXPECT_EQ(Members(*Reopen()), (Names{"s1 s2 s3 s4 ", "s3 s4 ", "s2 s2 "}));
}

TEST_F(GroupEditor, ModifyRenumberAndKeepOrder)
{
    AddGroup(task, "g1", {"s1", "s2"});
    AddGroup(task, "g2", {"s2", "s3"});
    AddGroup(task, "g3", {"s3", "s4"});
    task.GetMutexStudentList().Find("g2")->SetIndex(1);
    task.GetMutexStudentList().Find("g3")->SetIndex(2);
    CMutexStudentListDialog editor(task);
    editor.show();
    EXPECT_EQ(Column(editor, 0), (Names{"g1", "g2", "g3"}));

    // Modifying starts with the names shown; unchanged it gives the same group.
    editor.selectOnly(1);
    ModalSteps steps;
    steps.Then<CMutexStudentEditDialog>([](CMutexStudentEditDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("修改互斥学生组"));
        EXPECT_EQ(d->submitButton()->text(), QStringLiteral("保存(&S)"));
        EXPECT_EQ(d->namesEdit()->toPlainText(), QStringLiteral("李四，王五"));
        d->submit();
        EXPECT_FALSE(d->isVisible());
    });
    steps.Then<CMutexStudentEditDialog>([](CMutexStudentEditDialog* d) {
        d->namesEdit()->setPlainText(QStringLiteral("Tom\n张三"));
        d->submit();
    });
    steps.Start();
    editor.ModifyItem();
    EXPECT_EQ(editor.cellText(1, 2), "李四，王五");
    editor.OnItemDoubleClick();
    EXPECT_TRUE(steps.Done());
    EXPECT_EQ(editor.cellText(1, 2), "Tom，张三");

    editor.selectOnly(0);
    editor.moveDown();
    EXPECT_EQ(Column(editor, 0), (Names{"g2", "g1", "g3"}));
    EXPECT_EQ(Column(editor, 1), (Names{"1", "2", "3"}));
    editor.selectOnly(1);
    editor.DeleteSelected();
    EXPECT_EQ(Column(editor, 0), (Names{"g2", "g3"}));
    EXPECT_EQ(Column(editor, 1), (Names{"1", "2"}));
    EXPECT_EQ(task.GetMutexStudentList().FindAs<CMutexStudent>("g2")->GetMutexStudents(), (Names{"s2", "s3"}))
        << "the rows hold copies until saved";

    ASSERT_TRUE(editor.SaveList());
    EXPECT_EQ(Members(*Reopen()), (Names{"s4 s1 ", "s3 s4 "}));
}

TEST_F(GroupEditor, NewStudentsForAGroupNeedASelectedRow)
{
    AddGroup(task, "g1", {"s1", "s2"});
    CMutexStudentListDialog editor(task);
    editor.show();
    ExpectReplaceRefused(editor, {"s3", "s4"});
}

TEST_F(GroupEditor, OpeningDropsWhatNoLongerFits)
{
    AddGroup(task, "g1", {"s1", "gone", "s2"});
    AddGroup(task, "g2", {"gone", "also gone"});
    AddGroup(task, "g3", {"s3", "s4"}); // all of index 0: the later goes first
    CMutexStudentListDialog editor(task);
    editor.show();
    EXPECT_EQ(Column(editor, 0), (Names{"g3", "g1"}));
    EXPECT_EQ(editor.cellText(1, 2), "张三，李四");
    EXPECT_FALSE(editor.isModified());
    // The task was cleaned and saved at once.
    EXPECT_EQ(Reopen()->GetMutexStudentList().GetCount(), 2u);
}

namespace {

class PresetEditor : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        AddClass(task, "c1", "高一(1)班", 0);
        AddClass(task, "c2", "高一(2)班", 1);
        AddStudent(task, "s1", "张三", 0, 1);
        AddStudent(task, "s2", "李四", 1, 0);
        AddStudent(task, "s3", "张三丰", 2, 1);
        AddStudent(task, "s4", "王五", 3, 1);
    }

    // A step that picks the record with that id, or cancels for none.
    static std::function<void(CObjectPickerDialog*)> Choose(const std::string& id, const QString& caption)
    {
        return [id, caption](CObjectPickerDialog* picker) {
            EXPECT_EQ(picker->windowTitle(), caption);
            if (id.empty()) {
                picker->reject();
                return;
            }
            picker->selectRow(picker->model()->rowOf(id));
            picker->confirm();
        };
    }

    static std::string SelectedId(const CObjectPickerDialog& picker)
    {
        const QModelIndexList selected = picker.listView()->selectionModel()->selectedIndexes();
        return selected.isEmpty() ? std::string() : picker.model()->recordAt(selected.front().row())->GetId();
    }

    static Names ShownNames(const CObjectPickerDialog& picker)
    {
        Names names;
        for (int row = 0; row < picker.model()->rowCount(); ++row)
            names.push_back(picker.model()->recordAt(row)->GetName());
        return names;
    }
};

const QString kPickStudent = QStringLiteral("选择预分班的学生");

} // namespace

TEST_F(PresetEditor, AddingForAStudentWithOneChangesItsClass)
{
    AddPreset(task, "s1", "c1");
    CStudentPresetListDialog editor(task);
    editor.show();
    ASSERT_EQ(editor.rowCount(), 1);
    EXPECT_EQ(Column(editor, 1), (Names{"张三"}));
    EXPECT_EQ(Column(editor, 2), (Names{"高一(1)班"}));

    ModalSteps steps;
    steps.Then<CObjectPickerDialog>(Choose("s1", kPickStudent));
    steps.Then<CObjectPickerDialog>([](CObjectPickerDialog* picker) {
        EXPECT_EQ(picker->windowTitle(), QStringLiteral("选择 张三 预分的班级"));
        EXPECT_EQ(SelectedId(*picker), "c1") << "the current class is preselected";
        picker->selectRow(picker->model()->rowOf("c2"));
        picker->confirm();
    });
    steps.Start();
    CMessageBox::pushAnswer(QMessageBox::Yes);
    editor.button(CListEditorDialog::Button::Add)->click();
    EXPECT_TRUE(steps.Done());
    ASSERT_EQ(editor.rowCount(), 1);
    EXPECT_EQ(Column(editor, 2), (Names{"高一(2)班"}));
    EXPECT_EQ(editor.selectedRows(), (std::vector<int>{0}));
    EXPECT_TRUE(editor.isModified());
    EXPECT_EQ(task.GetStudentPresetList().FindAs<CStudentPreset>("s1")->GetPresetClassId(), "c1");

    // A new student: a new row.
    ModalSteps more;
    more.Then<CObjectPickerDialog>(Choose("s2", kPickStudent));
    more.Then<CObjectPickerDialog>(Choose("c1", QStringLiteral("选择 李四 预分的班级")));
    more.Start();
    editor.AddItem();
    EXPECT_EQ(Column(editor, 1), (Names{"张三", "李四"}));

    editor.selectOnly(1);
    editor.moveUp();
    ASSERT_TRUE(editor.SaveList());
    auto reopened = Reopen();
    Names saved;
    for (const CStudentPreset* p : CRecordOrder::InIndexOrder<CStudentPreset>(reopened->GetStudentPresetList()))
        saved.push_back(p->GetId() + ">" + p->GetPresetClassId());
    EXPECT_EQ(saved, (Names{"s2>c1", "s1>c2"}));
}

TEST_F(PresetEditor, CancellingAPickerAddsNothing)
{
    CStudentPresetListDialog editor(task);
    editor.show();
    ModalSteps steps;
    steps.Then<CObjectPickerDialog>(Choose("s2", kPickStudent));
    steps.Then<CObjectPickerDialog>(Choose("", QStringLiteral("选择 李四 预分的班级")));
    steps.Then<CObjectPickerDialog>(Choose("", kPickStudent));
    steps.Start();
    editor.AddItem();
    editor.AddItem();
    EXPECT_TRUE(steps.Done());
    EXPECT_EQ(editor.rowCount(), 0);
    EXPECT_FALSE(editor.isModified());
}

TEST_F(PresetEditor, OpeningDropsPresetsOfMissingStudentsOrClasses)
{
    AddPreset(task, "s1", "c1");
    AddPreset(task, "s2", "gone");
    AddPreset(task, "gone", "c2");
    CStudentPresetListDialog editor(task);
    editor.show();
    EXPECT_EQ(Column(editor, 0), (Names{"s1"}));
    EXPECT_EQ(Reopen()->GetStudentPresetList().GetCount(), 1u);
}

TEST_F(PresetEditor, PickerSearchesByNamePinyinAndInitials)
{
    CObjectPickerDialog picker(task.GetStudentInfoList(), CObjectPickerDialog::Kind::Students, kPickStudent);
    picker.show();
    EXPECT_EQ(ShownNames(picker), (Names{"张三", "李四", "张三丰", "王五"}));
    const std::pair<QString, Names> searches[] = {
        {QStringLiteral("张"), {"张三", "张三丰"}}, {QStringLiteral("ZHANGSAN"), {"张三", "张三丰"}},
        {QStringLiteral("zs"), {"张三", "张三丰"}}, {QStringLiteral("ZSF"), {"张三丰"}},
        {QStringLiteral("wangwu"), {"王五"}},       {QStringLiteral("X"), {}},
    };
    for (const auto& [text, names] : searches) {
        picker.searchEdit()->setText(text);
        EXPECT_EQ(ShownNames(picker), names) << str(text);
    }

    // Nothing selected: said, and the picker stays.
    CMessageBox::clearTestState();
    picker.confirm();
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("没有选择对象")});
    EXPECT_TRUE(picker.isVisible());

    picker.showAll();
    EXPECT_EQ(picker.searchEdit()->text(), QString());
    EXPECT_EQ(ShownNames(picker).size(), 4u);

    // A double-click on a record chooses it.
    picker.searchEdit()->setText(QStringLiteral("ls"));
    const QModelIndex li = picker.model()->index(0, 0);
    QListView* view = picker.listView();
    const QPoint at = view->visualRect(li).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    EXPECT_FALSE(picker.isVisible());
    ASSERT_NE(picker.chosen(), nullptr);
    EXPECT_EQ(picker.chosen()->GetId(), "s2");
}
