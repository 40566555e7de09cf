// The list editor's own behaviour, seen through the classes editor:
// deleting, moving, the duplicate test, the modified state, the close
// prompt, failed saves, and the order of rows across save and reopen.
#include "EditorTestSupport.h"

#include "base/records/ClassInfo.h"
#include "gui/editors/ClassListDialog.h"
#include "gui/shell/MainDlg.h"
#include "gui/editors/MutexStudentListDialog.h"
#include "PdfTestSupport.h"
#include "logic/editing/RecordOrder.h"
#include "gui/editors/StudentListDialog.h"
#include "gui/editors/StudentPresetListDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>

using namespace editortest;
using Button = CListEditorDialog::Button;
using Names = std::vector<std::string>;

namespace {

class ListEditor : public EditorTest
{
protected:
    // Classes "c0".."c{n-1}" named "高一(1)班"...
    void AddClasses(int count)
    {
        for (int i = 0; i < count; ++i)
            AddClass(task, "c" + std::to_string(i), "高一(" + std::to_string(i + 1) + ")班", i, 40);
    }

    static Names Ids(const CListEditorDialog& editor) { return Column(editor, 0); }

    static Names SavedClassIds(const CScheduleTask& t)
    {
        Names ids;
        for (const CClassInfo* info : CRecordOrder::InIndexOrder<CClassInfo>(t.GetClassInfoList()))
            ids.push_back(info->GetId());
        return ids;
    }

    static int Submit(CListEditorDialog& editor, RowMode mode, const std::string& name, bool quiet = false)
    {
        RowRequest request;
        request.mode = mode;
        request.quiet = quiet;
        const int result = editor.SubmitRow(request, {name, "40"});
        EXPECT_EQ(result == 0, request.accepted);
        return result;
    }
};

} // namespace

TEST_F(ListEditor, OpensWithCountButtonsAndTitle)
{
    CStudentPresetListDialog empty(task);
    empty.show();
    EXPECT_EQ(empty.countTextShown(),
              QStringLiteral("当前共有 0 条记录。（按住Ctrl或Shift键，再用鼠标单击可以多选。）"));
    EXPECT_EQ(empty.countBand()->text(), empty.countTextShown());
    for (Button b : {Button::Modify, Button::Delete, Button::MoveUp, Button::MoveDown})
        EXPECT_FALSE(empty.button(b)->isEnabled());
    EXPECT_TRUE(empty.button(Button::Add)->isEnabled());
    EXPECT_FALSE(empty.button(Button::Import)->isVisible());
    EXPECT_FALSE(empty.button(Button::Print)->isVisible());
    EXPECT_EQ(empty.priorityNames(), (QStringList{QStringLiteral("低"), QStringLiteral("正常"), QStringLiteral("高")}));
    EXPECT_EQ(empty.windowTitle(), QStringLiteral("预分班"));

    AddClasses(3);
    CClassListDialog editor(task);
    editor.show();
    EXPECT_TRUE(editor.countTextShown().startsWith(QStringLiteral("当前共有 3 条记录。")));
    EXPECT_TRUE(editor.listView()->isColumnHidden(0));
    editor.selectOnly(1);
    for (Button b : {Button::Modify, Button::Delete, Button::MoveUp, Button::MoveDown})
        EXPECT_TRUE(editor.button(b)->isEnabled());
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("班级信息列表"));
    editor.button(Button::MoveDown)->click();
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("班级信息列表 (已修改,未保存)"));
    EXPECT_EQ(editor.button(Button::Save)->palette().color(QPalette::Button), QColor(255, 255, 200));

    const std::string id = CListEditorDialog::NewObjectId();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(qs(id)).hasMatch());
    EXPECT_NE(id, CListEditorDialog::NewObjectId());
}

TEST_F(ListEditor, DeletesSelectedRowsBottomUp)
{
    AddClasses(6);
    CClassListDialog editor(task);
    editor.show();
    editor.selectRows({0, 2, 5});
    editor.button(Button::Delete)->click();
    EXPECT_EQ(Ids(editor), (Names{"c1", "c3", "c4"}));
    EXPECT_EQ(editor.deletedIds(), (Names{"c5", "c2", "c0"}));
    EXPECT_TRUE(editor.isModified());
    EXPECT_TRUE(editor.countTextShown().startsWith(QStringLiteral("当前共有 3 条记录。")));
    EXPECT_TRUE(editor.selectedRows().empty());
    EXPECT_EQ(task.GetClassInfoList().GetCount(), 6u) << "the task changes only on save";

    ASSERT_TRUE(editor.SaveList());
    EXPECT_TRUE(editor.deletedIds().empty());
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(SavedClassIds(*Reopen()), (Names{"c1", "c3", "c4"}));
}

TEST_F(ListEditor, MovesRowsAndKeepsTheOrderAcrossSaveAndReopen)
{
    AddClasses(5);
    CClassListDialog editor(task);
    editor.show();

    // At the edges nothing moves, but the list counts as changed.
    editor.selectOnly(0);
    editor.moveUp();
    EXPECT_EQ(Ids(editor), (Names{"c0", "c1", "c2", "c3", "c4"}));
    EXPECT_TRUE(editor.isModified());
    editor.selectOnly(4);
    editor.moveDown();
    EXPECT_EQ(Ids(editor), (Names{"c0", "c1", "c2", "c3", "c4"}));
    EXPECT_EQ(editor.selectedRows(), (std::vector<int>{4}));

    // A block at the edge keeps its order and its selection.
    editor.selectRows({0, 1, 3});
    editor.moveUp();
    EXPECT_EQ(Ids(editor), (Names{"c0", "c1", "c3", "c2", "c4"}));
    EXPECT_EQ(editor.selectedRows(), (std::vector<int>{0, 1, 2}));
    editor.selectRows({2, 4});
    editor.moveDown();
    EXPECT_EQ(Ids(editor), (Names{"c0", "c1", "c2", "c3", "c4"}));
    EXPECT_EQ(editor.selectedRows(), (std::vector<int>{3, 4}));

    editor.selectOnly(3);
    editor.moveUp();
    editor.moveUp();
    editor.selectOnly(0);
    editor.moveDown();
    EXPECT_EQ(Ids(editor), (Names{"c3", "c0", "c1", "c2", "c4"}));
    ASSERT_TRUE(editor.SaveList());
    const Names saved = SavedClassIds(*Reopen());
    EXPECT_EQ(saved, Ids(editor));

    CClassListDialog again(task);
    again.show();
    EXPECT_EQ(Ids(again), saved);
}

TEST_F(ListEditor, DuplicateNamesIgnoreSpacesCaseAndParenthesisWidth)
{
    AddClass(task, "a", "高一(1)班", 0);
    AddClass(task, "b", "Class A", 1);
    CClassListDialog editor(task);
    editor.show();

    for (const char* name : {"高一（1）班", " 高一 ( 1 ) 班", "CLASS a", "class A"}) {
        CMessageBox::clearTestState();
        EXPECT_EQ(Submit(editor, RowMode::Add, name), -1) << name;
        EXPECT_EQ(Shown(), QStringList{qs(name) + QStringLiteral(" 已存在。")});
    }
    CMessageBox::clearTestState();
    EXPECT_EQ(Submit(editor, RowMode::Add, "高一(1)班", true), -1);
    EXPECT_TRUE(Shown().isEmpty()) << "a quiet source hears nothing";
    EXPECT_EQ(editor.rowCount(), 2);
    EXPECT_FALSE(editor.isModified());
    // Other characters count: the ideographic space and the digits differ.
    EXPECT_EQ(Submit(editor, RowMode::Add, "高一\xE3\x80\x80(1)班", true), 0);
    EXPECT_EQ(Submit(editor, RowMode::Add, "高一(11)班", true), 0);
    editor.selectRows({2, 3});
    editor.DeleteSelected();

    // A row keeps its own name; it may not take another's.
    editor.selectOnly(0);
    EXPECT_EQ(Submit(editor, RowMode::Replace, "高一（1）班"), 0);
    EXPECT_EQ(editor.cellText(0, 1), "高一（1）班");
    editor.selectOnly(1);
    EXPECT_EQ(Submit(editor, RowMode::Replace, "高一(1)班"), -1);
    EXPECT_EQ(editor.cellText(1, 1), "Class A");
    EXPECT_EQ(Submit(editor, RowMode::Add, "高一(2)班"), 0);
    EXPECT_EQ(editor.rowCount(), 3);
}

TEST_F(ListEditor, ReplaceWithoutSelectedRowIsRefused)
{
    AddClasses(2);
    CClassListDialog editor(task);
    editor.show();
    ExpectReplaceRefused(editor, {"高一(9)班", "40"});
    EXPECT_EQ(Column(editor, 1), (Names{"高一(1)班", "高一(2)班"}));
    // Rows of fewer than two cells are no classes.
    RowRequest shortRow;
    EXPECT_EQ(editor.SubmitRow(shortRow, {"高一(9)班"}), -1);
    EXPECT_EQ(editor.rowCount(), 2);
}

TEST_F(ListEditor, ClosePromptSavesOnYesAndDropsOnNo)
{
    AddClasses(2);
    // Deletes the first row, closes with the close box and gives answer.
    auto deleteAndClose = [this](QMessageBox::StandardButton answer) {
        CMessageBox::clearTestState();
        CClassListDialog editor(task);
        editor.show();
        editor.selectOnly(0);
        editor.button(Button::Delete)->click();
        CMessageBox::pushAnswer(answer);
        EXPECT_TRUE(editor.close());
        EXPECT_EQ(Shown(), QStringList{QStringLiteral("列表内容已修改,要保存吗?")});
        EXPECT_EQ(CMessageBox::shownMessages().front().icon, CMessageBox::Icon::Question);
        EXPECT_EQ(editor.isModified(), answer == QMessageBox::No);
    };
    deleteAndClose(QMessageBox::No);
    EXPECT_EQ(task.GetClassInfoList().GetCount(), 2u);
    deleteAndClose(QMessageBox::Yes);
    EXPECT_EQ(SavedClassIds(*Reopen()), (Names{"c1"}));
    {
        CMessageBox::clearTestState();
        CClassListDialog editor(task);
        editor.show();
        EXPECT_TRUE(editor.close());
        EXPECT_TRUE(Shown().isEmpty()) << "an unchanged list closes at once";
    }
    {
        // Cancel asks nothing and keeps the task as it was.
        CClassListDialog editor(task);
        editor.show();
        editor.selectOnly(0);
        editor.button(Button::Delete)->click();
        editor.button(Button::Cancel)->click();
        EXPECT_FALSE(editor.isVisible());
        EXPECT_TRUE(Shown().isEmpty());
    }
    EXPECT_EQ(task.GetClassInfoList().GetCount(), 1u);
}

TEST_F(ListEditor, EnterAndEscapeDoNotClose)
{
    AddClasses(2);
    CClassListDialog editor(task);
    editor.show();
    editor.selectOnly(0);
    editor.moveDown();
    for (QWidget* target : {static_cast<QWidget*>(&editor), static_cast<QWidget*>(editor.listView()),
                            static_cast<QWidget*>(editor.button(Button::Save))}) {
        QTest::keyClick(target, Qt::Key_Escape);
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter);
    }
    EXPECT_TRUE(editor.isVisible());
    EXPECT_TRUE(editor.isModified()) << "Enter on the Save button does not press it";
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(ListEditor, FailedSaveSaysWhyAndKeepsEverything)
{
    AddClasses(2);
    Names handled;
    task.SetMessageHandler([&handled](const std::string& text) { handled.push_back(text); });
    const std::string folder = task.GetTaskInfo().GetTaskFolder();
    CClassListDialog editor(task);
    editor.show();
    EXPECT_EQ(Submit(editor, RowMode::Add, "高一(3)班"), 0);

    // The task's folder is gone.
    task.GetTaskInfo().SetTaskFolder(folder + "/gone");
    CMessageBox::clearTestState();
    editor.button(Button::Save)->click();
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_TRUE(Shown().front().startsWith(QStringLiteral("保存失败：文件夹 "))) << str(Shown().front());
    EXPECT_EQ(CMessageBox::shownMessages().front().icon, CMessageBox::Icon::Error);
    EXPECT_TRUE(handled.empty()) << "one message, not two";
    EXPECT_TRUE(editor.isModified());
    EXPECT_TRUE(editor.windowTitle().endsWith(QStringLiteral(" (已修改,未保存)")));
    // The task in memory holds what it held before: a row the user can
    // still drop is not in it.
    EXPECT_EQ(task.GetClassInfoList().GetCount(), 2u);

    // Yes in the close prompt: the save fails again and the editor stays.
    CMessageBox::clearTestState();
    CMessageBox::pushAnswer(QMessageBox::Yes);
    EXPECT_FALSE(editor.close());
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(Shown().size(), 2);
    EXPECT_EQ(editor.rowCount(), 3);

    // The handler is the task's own again.
    task.ShowMessage("later");
    EXPECT_EQ(handled, Names{"later"});

    task.GetTaskInfo().SetTaskFolder(folder);
    editor.button(Button::Save)->click();
    EXPECT_FALSE(editor.isModified());
    auto reopened = Reopen();
    EXPECT_EQ(reopened->GetClassInfoList().GetCount(), 3u);
}

namespace {
class EditorCommands : public shelltest::ShellTest
{};
} // namespace

TEST_F(EditorCommands, StepPageButtonsOpenTheEditors)
{
    manager();
    const std::string taskFile = makeTask(QStringLiteral("t"), QStringLiteral("编辑"));
    CMainDlg window(taskFile);
    ASSERT_TRUE(CTaskManager::instance()->hasTask());
    ModalSteps steps;
    steps.Then<CClassListDialog>([](CClassListDialog* d) { d->button(Button::Cancel)->click(); });
    steps.Then<CStudentListDialog>([](CStudentListDialog* d) { d->button(Button::Cancel)->click(); });
    steps.Then<CStudentPresetListDialog>([](CStudentPresetListDialog* d) { d->close(); });
    steps.Then<CMutexStudentListDialog>([](CMutexStudentListDialog* d) { d->close(); });
    steps.Start();
    for (StepCommandId command : {StepCommandId::ClassInfo, StepCommandId::StudentInfo, StepCommandId::StudentPreset,
                                  StepCommandId::MutexStudent})
        window.runCommand(command);
    EXPECT_TRUE(steps.Done());
    EXPECT_TRUE(CMessageBox::shownTexts().isEmpty());
}

TEST_F(ListEditor, PrintsTheVisibleColumnsInListOrder)
{
    AddClasses(3);
    CClassListDialog editor(task);
    editor.show();
    editor.selectOnly(2);
    editor.moveUp();
    const QString pdf = QString::fromStdString(m_folder.File("classes.pdf"));
    CMessageBox::pushPath(pdf);
    editor.PrintList();
    EXPECT_TRUE(Shown().isEmpty());
    const QString text = PdfTest::Text(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("班级信息"))) << str(text);
    const QRegularExpression order(
        QStringLiteral("班级名称\\s+人数[\\s\\S]*高一\\(1\\)班[\\s\\S]*高一\\(3\\)班[\\s\\S]*高一\\(2\\)班"));
    EXPECT_TRUE(order.match(text).hasMatch()) << str(text);
    EXPECT_FALSE(text.contains(QStringLiteral("c1"))) << "ids are not printed";
}

namespace {

// Rows kept by the editor itself, as the students editor keeps its table.
class NameStore : public CListRows
{
public:
    int RowCount() const override { return static_cast<int>(rows.size()); }
    std::string CellText(int row, int column) const override
    {
        if (row < 0 || row >= RowCount() || column < 0 || column > 1)
            return {};
        return column == 0 ? "id" + rows[static_cast<std::size_t>(row)] : rows[static_cast<std::size_t>(row)];
    }
    void RemoveRows(const std::vector<int>& bottomUp) override
    {
        for (int row : bottomUp)
            rows.erase(rows.begin() + row);
    }
    void SwapRows(int a, int b) override
    {
        std::swap(rows[static_cast<std::size_t>(a)], rows[static_cast<std::size_t>(b)]);
    }

    std::vector<std::string> rows;
};

class ImportingEditor : public CListEditorDialog
{
public:
    explicit ImportingEditor(CScheduleTask& task) : CListEditorDialog(task)
    {
        setTitle(QStringLiteral("导入"));
        setShowImport(true);
        moveButton(Button::Import, Button::Add);
        clear = insertButton(QStringLiteral("清空(&R)"), Button::Modify);
        for (Button b : {Button::Add, Button::Modify, Button::Delete, Button::MoveUp, Button::MoveDown, Button::Print})
            button(b)->hide();
        openByItselfWhenEmpty([this] { ++importsOpened; });
    }

    void InitList() override
    {
        CListEditorDialog::InitList();
        setColumns({{QStringLiteral("ID"), 0}, {QStringLiteral("姓名"), 120}});
        setRows(store);
    }

    int SubmitRow(RowRequest& request, const Row& row) override
    {
        request.accepted = request.mode == RowMode::Header || !row.empty();
        if (request.mode == RowMode::Add && request.accepted) {
            model().beginAppendRows(1);
            store.rows.push_back(row[0]);
            model().endAppendRows();
            SetModified(true);
        }
        return request.accepted ? 0 : -1;
    }

    NameStore store;
    QPushButton* clear = nullptr;
    int importsOpened = 0;
};

} // namespace

TEST_F(ListEditor, KeepsRowsInAStoreOfItsOwn)
{
    ImportingEditor editor(task);
    editor.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor.importsOpened == 1; }, 2000)) << "the list is empty";
    // Save, Cancel, Import where Add was, then Clear where Modify was.
    const std::vector<QPushButton*> shown = VisibleButtons(editor);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[2], editor.button(Button::Import));
    EXPECT_EQ(shown[3], editor.clear);

    for (const char* name : {"张三", "李四", "王五"}) {
        RowRequest request;
        request.quiet = true;
        EXPECT_EQ(editor.SubmitRow(request, {name}), 0);
    }
    EXPECT_EQ(Column(editor, 1), (Names{"张三", "李四", "王五"}));
    EXPECT_EQ(editor.listView()->model()->rowCount(), 3);
    editor.selectRows({0, 2});
    editor.moveDown();
    EXPECT_EQ(Column(editor, 1), (Names{"李四", "张三", "王五"}));
    editor.DeleteSelected();
    EXPECT_EQ(Column(editor, 1), (Names{"李四"}));
    EXPECT_EQ(editor.deletedIds(), (Names{"id王五", "id张三"}));
}
