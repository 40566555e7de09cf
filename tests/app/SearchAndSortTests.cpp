// Finding students as one types in the editors and the division table, and
// sorting the division table by its column titles, on real widgets: every
// command acts on the rows as shown.
#include "EditorTestSupport.h"

#include "core/DivisionTableData.h"
#include "gui/common/SearchField.h"
#include "gui/editors/MutexStudentListDialog.h"
#include "gui/editors/StudentListDialog.h"
#include "gui/editors/StudentPresetListDialog.h"
#include "gui/results/DivisionTableDialog.h"
#include "gui/results/MoveToClassDialog.h"
#include "logic/import/SpreadsheetReader.h"

#include <QComboBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>

#include <set>

using namespace editortest;

namespace {

// The texts of a column of a list view, top to bottom, as shown.
std::vector<std::string> ShownColumn(const QTableView* view, int column)
{
    const QAbstractItemModel* model = view->model();
    std::vector<std::string> cells;
    for (int row = 0; row < model->rowCount(); ++row)
        cells.push_back(str(model->index(row, column).data().toString()));
    return cells;
}

// Puts the window up and makes it the active one, as shortcuts need.
void ShowActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// Text typed into a field: Latin letters key by key, Chinese characters as
// an input method hands them over.
void Type(QLineEdit* edit, const QString& text)
{
    bool latin = true;
    for (QChar c : text)
        latin = latin && c.unicode() < 0x80;
    if (latin) {
        QTest::keyClicks(edit, text);
        return;
    }
    QInputMethodEvent composed;
    composed.setCommitString(text);
    QApplication::sendEvent(edit, &composed);
}

// Ctrl+F from the list, then the text typed.
void TypeSearch(QWidget* list, CSearchField* field, const QString& text)
{
    list->setFocus();
    QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(field->edit()->hasFocus()) << "Ctrl+F puts the cursor in the search field";
    Type(field->edit(), text);
}

void ClickTitle(QTableView* view, int column)
{
    QHeaderView* header = view->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void ClickCell(QTableView* view, int row, int column)
{
    const QModelIndex index = view->model()->index(row, column);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, view->visualRect(index).center());
}

double Figure(const std::string& text)
{
    return std::stod(text);
}

} // namespace

// ---------------------------------------------------------------------------
// The editors.

class EditorSearch : public EditorTest
{};

TEST_F(EditorSearch, StudentsFoundByChineseFullPinyinAndInitials)
{
    ResultsTest::MakeSchool(task, 2000, 10, false);
    ASSERT_TRUE(task.SaveInputData());
    CStudentListDialog editor(task);
    ShowActive(editor);
    CSearchField* field = editor.searchField();
    ASSERT_TRUE(field->isVisible());
    const QString unfiltered = editor.countBand()->text();
    EXPECT_TRUE(unfiltered.startsWith(QStringLiteral("当前共有 2000 条记录。")));

    // How many students have one of the names.
    const auto count = [this](std::set<std::string> names) {
        int n = 0;
        for (const auto* student : task.GetStudentInfoList().Records<CStudentInfo>())
            n += names.count(student->GetName()) ? 1 : 0;
        return n;
    };
    const int wangWei = count({"王伟"});
    const int initialsWw = count({"王伟", "吴伟"});
    ASSERT_GT(wangWei, 0);
    ASSERT_GT(initialsWw, wangWei);

    TypeSearch(editor.listView(), field, QStringLiteral("王伟"));
    EXPECT_EQ(editor.shownRowCount(), wangWei);
    EXPECT_EQ(editor.rowCount(), 2000) << "a search hides rows, it removes none";
    EXPECT_EQ(editor.countBand()->text(), QStringLiteral("显示 %1 / 共 2000 条").arg(wangWei));
    for (const std::string& name : ShownColumn(editor.listView(), CStudentTable::ColumnName))
        EXPECT_EQ(name, "王伟");

    // Full pinyin in any case, and initials.
    field->edit()->setText(QStringLiteral("WangWei"));
    EXPECT_EQ(editor.shownRowCount(), wangWei);
    field->edit()->clear();
    QTest::keyClicks(field->edit(), QStringLiteral("ww"));
    EXPECT_EQ(editor.shownRowCount(), initialsWw);
    EXPECT_EQ(editor.countBand()->text(), QStringLiteral("显示 %1 / 共 2000 条").arg(initialsWw));

    // Escape empties the search and the editor stays open with every row.
    QTest::keyClick(field->edit(), Qt::Key_Escape);
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.shownRowCount(), 2000);
    EXPECT_EQ(editor.countBand()->text(), unfiltered);
    EXPECT_FALSE(editor.isModified());
}

TEST_F(EditorSearch, DeleteAndMoveInAFilteredGroupEditorActOnTheRowsShown)
{
    AddStudent(task, "s1", "张三", 0, 1);
    AddStudent(task, "s2", "李四", 1, 0);
    AddStudent(task, "s3", "王五", 2, 1);
    AddStudent(task, "s4", "赵六", 3, 0);
    AddGroup(task, "g1", {"s1", "s2"});
    task.GetMutexStudentList().Find("g1")->SetIndex(0);
    AddGroup(task, "g2", {"s3", "s4"});
    task.GetMutexStudentList().Find("g2")->SetIndex(1);
    AddGroup(task, "g3", {"s1", "s3"});
    task.GetMutexStudentList().Find("g3")->SetIndex(2);
    AddGroup(task, "g4", {"s2", "s4"});
    task.GetMutexStudentList().Find("g4")->SetIndex(3);
    ASSERT_TRUE(task.SaveInputData());

    CMutexStudentListDialog editor(task);
    ShowActive(editor);
    // The groups with 张三: g1 and g3, shown as the first two rows.
    TypeSearch(editor.listView(), editor.searchField(), QStringLiteral("zs"));
    ASSERT_EQ(editor.shownRowCount(), 2);
    EXPECT_EQ(editor.countBand()->text(), QStringLiteral("显示 2 / 共 4 条"));

    // Moving the second shown row up passes over the hidden g2.
    ClickCell(editor.listView(), 1, CMutexStudentListDialog::ColumnNames);
    EXPECT_EQ(editor.selectedRows(), std::vector<int>{2});
    editor.button(CListEditorDialog::Button::MoveUp)->click();
    EXPECT_EQ(Column(editor, CMutexStudentListDialog::ColumnId), (std::vector<std::string>{"g3", "g2", "g1", "g4"}));
    EXPECT_EQ(Column(editor, CMutexStudentListDialog::ColumnNumber), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(editor.selectedRows(), std::vector<int>{0}) << "the moved group stays selected";

    // Deleting the second shown row deletes g1, not the row below the first.
    ClickCell(editor.listView(), 1, CMutexStudentListDialog::ColumnNames);
    editor.button(CListEditorDialog::Button::Delete)->click();
    EXPECT_EQ(editor.deletedIds(), std::vector<std::string>{"g1"});
    EXPECT_EQ(Column(editor, CMutexStudentListDialog::ColumnId), (std::vector<std::string>{"g3", "g2", "g4"}));
    EXPECT_EQ(editor.shownRowCount(), 1);
    EXPECT_EQ(editor.countBand()->text(), QStringLiteral("显示 1 / 共 3 条"));

    editor.button(CListEditorDialog::Button::Save)->click();
    const auto reopened = Reopen();
    EXPECT_EQ(reopened->GetMutexStudentList().GetCount(), 3u);
    EXPECT_EQ(reopened->GetMutexStudentList().Find("g1"), nullptr);
}

TEST_F(EditorSearch, PreAssignmentsFoundByStudentOrClassAndAHiddenRowShownWhenSelected)
{
    AddClass(task, "c1", "高一(1)班", 0);
    AddClass(task, "c2", "高一(2)班", 1);
    AddStudent(task, "s1", "张三", 0, 1);
    AddStudent(task, "s2", "李四", 1, 0);
    AddStudent(task, "s3", "王五", 2, 1);
    AddPreset(task, "s1", "c1");
    task.GetStudentPresetList().Find("s1")->SetIndex(0);
    AddPreset(task, "s2", "c2");
    task.GetStudentPresetList().Find("s2")->SetIndex(1);
    AddPreset(task, "s3", "c2");
    task.GetStudentPresetList().Find("s3")->SetIndex(2);
    ASSERT_TRUE(task.SaveInputData());

    CStudentPresetListDialog editor(task);
    ShowActive(editor);
    TypeSearch(editor.listView(), editor.searchField(), QStringLiteral("(2)"));
    EXPECT_EQ(ShownColumn(editor.listView(), CStudentPresetListDialog::ColumnStudent),
              (std::vector<std::string>{"李四", "王五"}));
    editor.searchField()->edit()->setText(QStringLiteral("zhang"));
    EXPECT_EQ(ShownColumn(editor.listView(), CStudentPresetListDialog::ColumnStudent),
              std::vector<std::string>{"张三"});

    // Choosing a row the search hides (as adding a pre-assignment for a
    // student who has one does) shows every row again.
    editor.selectOnly(editor.findRow("s3"));
    EXPECT_TRUE(editor.searchField()->text().isEmpty());
    EXPECT_EQ(editor.shownRowCount(), 3);
    EXPECT_EQ(editor.firstSelectedRow(), 2);
}

// ---------------------------------------------------------------------------
// The division table.

class TableSearchAndSort : public shelltest::ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        CMessageBox::clearTestState();
        task.SetMessageHandler([](const std::string&) {});
        ResultsTest::MakeSchool(task, 40, 4, true);
        CTaskInfo info;
        info.SetTaskName("排序");
        info.SetTaskFolder(str(path(QStringLiteral("task"))));
        task.SetTaskInfo(info);
        ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("task"))));
        ASSERT_TRUE(task.SaveInputData());
        ASSERT_TRUE(task.GetTaskInfo().WriteToFile());
    }

    std::string ClassOf(const std::string& id) const
    {
        return task.GetStudentInfoList().FindAs<CStudentInfo>(id)->GetClassId();
    }

    CScheduleTask task;
};

TEST_F(TableSearchAndSort, ColumnTitlesSortEachKindOfColumnAndASecondClickReverses)
{
    CDivisionTableDialog dialog(task);
    ShowActive(dialog);
    QTableView* view = dialog.table();
    QHeaderView* header = view->horizontalHeader();
    const std::vector<std::string> numbers = ShownColumn(view, CDivisionTableData::ColumnNumber);
    EXPECT_EQ(header->sortIndicatorSection(), -1) << "the students' order at first";
    EXPECT_EQ(dialog.countLabel()->text(), QStringLiteral("共 40 条"));

    // Total and a subject: highest first, then the other way.
    const int total = dialog.tableData().GetTotalColumn();
    const int maths = CDivisionTableData::ColumnFirstSubject + 1;
    for (int column : {total, maths}) {
        ClickTitle(view, column);
        EXPECT_EQ(header->sortIndicatorSection(), column);
        EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
        std::vector<std::string> cells = ShownColumn(view, column);
        EXPECT_TRUE(std::is_sorted(cells.begin(), cells.end(),
                                   [](const std::string& a, const std::string& b) { return Figure(a) > Figure(b); }));
        ClickTitle(view, column);
        EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
        cells = ShownColumn(view, column);
        EXPECT_TRUE(std::is_sorted(cells.begin(), cells.end(),
                                   [](const std::string& a, const std::string& b) { return Figure(a) < Figure(b); }));
    }

    // The class: the classes' order, first to last, then last to first.
    std::vector<std::string> classOrder;
    for (const CClassInfo* info : CDivisionTableData::ClassesInOrder(task))
        classOrder.push_back(info->GetName());
    const auto place = [&classOrder](const std::string& name) {
        return std::find(classOrder.begin(), classOrder.end(), name) - classOrder.begin();
    };
    ClickTitle(view, CDivisionTableData::ColumnClass);
    std::vector<std::string> classes = ShownColumn(view, CDivisionTableData::ColumnClass);
    EXPECT_EQ(classes.front(), classOrder.front());
    EXPECT_TRUE(std::is_sorted(classes.begin(), classes.end(),
                               [&](const std::string& a, const std::string& b) { return place(a) < place(b); }));
    ClickTitle(view, CDivisionTableData::ColumnClass);
    EXPECT_EQ(ShownColumn(view, CDivisionTableData::ColumnClass).front(), classOrder.back());

    // School and sex as Chinese sorts (the words of the school names by
    // pinyin: cheng, di, dong, shi, yu).
    ClickTitle(view, CDivisionTableData::ColumnFromSchool);
    const std::vector<std::string> schools = ShownColumn(view, CDivisionTableData::ColumnFromSchool);
    std::vector<std::string> expectedSchools = {"城关小学", "第二小学", "东风小学", "实验小学", "育才小学"};
    std::vector<std::string> seen;
    for (const std::string& school : schools)
        if (seen.empty() || seen.back() != school)
            seen.push_back(school);
    EXPECT_EQ(seen, expectedSchools);
    ClickTitle(view, CDivisionTableData::ColumnSex);
    const std::vector<std::string> sexes = ShownColumn(view, CDivisionTableData::ColumnSex);
    EXPECT_EQ(sexes.front(), "男");
    EXPECT_TRUE(std::is_partitioned(sexes.begin(), sexes.end(), [](const std::string& s) { return s == "男"; }));
    // Within a sex the students' order.
    const auto girls = std::find(sexes.begin(), sexes.end(), "女") - sexes.begin();
    const std::vector<std::string> sexNumbers = ShownColumn(view, CDivisionTableData::ColumnNumber);
    for (auto [from, to] : {std::pair{std::ptrdiff_t(0), girls}, std::pair{girls, std::ptrdiff_t(sexes.size())}})
        EXPECT_TRUE(std::is_sorted(sexNumbers.begin() + from, sexNumbers.begin() + to,
                                   [](const std::string& a, const std::string& b) { return Figure(a) < Figure(b); }));

    // "序号" gives the students' order back.
    ClickTitle(view, CDivisionTableData::ColumnNumber);
    EXPECT_EQ(ShownColumn(view, CDivisionTableData::ColumnNumber), numbers);
}

TEST_F(TableSearchAndSort, MoveAndUndoOnASortedSearchedTableActOnTheStudentShown)
{
    CDivisionTableDialog dialog(task);
    ShowActive(dialog);
    QTableView* view = dialog.table();
    ClickTitle(view, dialog.tableData().GetTotalColumn());
    TypeSearch(view, dialog.searchField(), QStringLiteral("w"));

    // The students whose name has a W (王, 吴, 伟 ...), highest total first.
    const int shown = view->model()->rowCount();
    ASSERT_GT(shown, 2);
    ASSERT_LT(shown, 40);
    EXPECT_EQ(dialog.countLabel()->text(), QStringLiteral("显示 %1 / 共 40 条").arg(shown));
    const std::vector<std::string> ids = ShownColumn(view, CDivisionTableData::ColumnId);
    const std::string mover = ids[1];
    const std::string from = ClassOf(mover);

    ClickCell(view, 1, CDivisionTableData::ColumnName);
    ASSERT_EQ(dialog.selectedStudentIds(), std::vector<std::string>{mover});
    ResultsTest::ModalOf<CMoveToClassDialog> chooser([&](CMoveToClassDialog* shownChooser) {
        QListWidget* list = shownChooser->classList();
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->flags() & Qt::ItemIsEnabled) {
                list->setCurrentRow(row);
                break;
            }
        }
        shownChooser->okButton()->click();
    });
    CMessageBox::pushAnswer(QMessageBox::Yes); // whatever rule the move breaks
    dialog.moveButton()->click();
    ASSERT_NE(ClassOf(mover), from) << "the student shown on the row chosen moved";
    // Still searched and sorted, the student still chosen.
    EXPECT_EQ(view->model()->rowCount(), shown);
    EXPECT_EQ(ShownColumn(view, CDivisionTableData::ColumnId), ids) << "a move changes no total";
    EXPECT_EQ(dialog.selectedStudentIds(), std::vector<std::string>{mover});

    // Back in the table (in the search field Ctrl+Z takes back typing).
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ClassOf(mover), from);
    EXPECT_EQ(ShownColumn(view, CDivisionTableData::ColumnId), ids);
    EXPECT_EQ(dialog.selectedStudentIds(), std::vector<std::string>{mover});
    CScheduleTask reopened;
    reopened.SetMessageHandler([](const std::string&) {});
    ASSERT_TRUE(reopened.Open(task.GetTaskInfo().GetTaskFile()));
    EXPECT_EQ(reopened.GetStudentInfoList().FindAs<CStudentInfo>(mover)->GetClassId(), from);
}

// The workbook holds the rows as the table shows them: what the search
// left, in the order sorted, each with its own number.
TEST_F(TableSearchAndSort, ExportWritesTheRowsAsShown)
{
    CDivisionTableDialog dialog(task);
    ShowActive(dialog);
    QTableView* view = dialog.table();
    ClickTitle(view, CDivisionTableData::ColumnFromSchool);
    ClickTitle(view, CDivisionTableData::ColumnFromSchool);
    TypeSearch(view, dialog.searchField(), QStringLiteral("L"));
    std::vector<std::vector<std::string>> shown;
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        std::vector<std::string> cells;
        for (int column = CDivisionTableData::ColumnNumber; column < view->model()->columnCount(); ++column)
            cells.push_back(str(view->model()->index(row, column).data().toString()));
        shown.push_back(cells);
    }
    ASSERT_GT(shown.size(), 1u);
    ASSERT_LT(shown.size(), 40u);

    const QString file = path(QStringLiteral("找到的.xlsx"));
    CMessageBox::pushPath(file);
    CMessageBox::pushAnswer(QMessageBox::No);
    dialog.exportButton()->click();
    CSpreadsheetReader reader;
    reader.SetHeaderName("姓名");
    ASSERT_TRUE(reader.Open(str(file))) << reader.GetError();
    std::vector<std::vector<std::string>> written;
    std::vector<std::string> cells;
    int position = 0;
    while (reader.ReadRecord(cells, position))
        written.push_back(cells);
    EXPECT_EQ(written, shown);
}

TEST_F(TableSearchAndSort, AClassNameShowsThatClassAloneAndTheButtonGoesBack)
{
    CDivisionTableDialog dialog(task);
    ShowActive(dialog);
    QTableView* view = dialog.table();
    EXPECT_FALSE(dialog.allClassesButton()->isVisible());
    const QModelIndex classCell = view->model()->index(5, CDivisionTableData::ColumnClass);
    EXPECT_TRUE(classCell.data(Qt::ForegroundRole).isValid()) << "drawn as a link";
    const std::string student = str(view->model()->index(5, CDivisionTableData::ColumnId).data().toString());
    const QString className = classCell.data().toString();

    ClickCell(view, 5, CDivisionTableData::ColumnClass);
    EXPECT_EQ(dialog.classChooser()->currentText(), className);
    const std::vector<std::string> classes = ShownColumn(view, CDivisionTableData::ColumnClass);
    EXPECT_EQ(classes.size(), 10u);
    EXPECT_EQ(std::count(classes.begin(), classes.end(), str(className)), 10);
    EXPECT_EQ(dialog.selectedStudentIds(), std::vector<std::string>{student});
    EXPECT_TRUE(dialog.allClassesButton()->isVisible());
    EXPECT_FALSE(view->model()->index(0, CDivisionTableData::ColumnClass).data(Qt::ForegroundRole).isValid())
        << "plain text while one class is shown";
    // A click on a class name now only chooses the row.
    ClickCell(view, 2, CDivisionTableData::ColumnClass);
    EXPECT_EQ(dialog.classChooser()->currentText(), className);

    const std::string chosen = dialog.selectedStudentIds().front();
    dialog.allClassesButton()->click();
    EXPECT_EQ(dialog.classChooser()->currentIndex(), 0);
    EXPECT_EQ(view->model()->rowCount(), 40);
    EXPECT_EQ(dialog.selectedStudentIds(), std::vector<std::string>{chosen});
    EXPECT_FALSE(dialog.allClassesButton()->isVisible());
}
