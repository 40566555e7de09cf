// Two classes side by side: changes by dragging and by the commands, on
// real widgets, through the division table's checks, save and undo.
#include "ResultsTestSupport.h"

#include "base/util/FileUtil.h"
#include "core/DivisionStatistics.h"
#include "core/DivisionTableData.h"
#include "gui/common/MessageBox.h"
#include "gui/results/ClassFiguresBand.h"
#include "gui/results/ClassPairDialog.h"
#include "gui/results/ClassPairModel.h"
#include "gui/results/DivisionTableDialog.h"
#include "TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace ResultsTest;
using Side = CClassPairDialog::Side;

namespace {

// The figures of a band: count, girls, average total, then the subjects.
constexpr int kCount = 0;
constexpr int kGirls = 1;
constexpr int kTotal = 2;

class ClassPairTest : public ::testing::Test
{
protected:
    // 40 students dealt round-robin over four classes of room 11 (ten
    // each): student n is in class n % 4.
    void SetUp() override
    {
        CMessageBox::clearTestState();
        task.GetTaskInfo().SetTaskFolder(folder.Dir());
        task.GetTaskInfo().SetTaskName("两班");
        task.SetMessageHandler([](const std::string&) {});
        MakeSchool(task, 40, 4, true);
        ASSERT_TRUE(task.SaveInputData());
        ASSERT_TRUE(task.GetTaskInfo().WriteToFile());
    }

    std::map<std::string, std::string> Placement(const CScheduleTask& of) const
    {
        std::map<std::string, std::string> classOf;
        for (const auto* s : of.GetStudentInfoList().Records<CStudentInfo>())
            classOf[s->GetId()] = s->GetClassId();
        return classOf;
    }

    // The class ids as input.xml holds them.
    std::map<std::string, std::string> OnDisk() const
    {
        CScheduleTask reopened;
        reopened.SetMessageHandler([](const std::string&) {});
        EXPECT_TRUE(reopened.Open(task.GetTaskInfo().GetTaskFile()));
        return Placement(reopened);
    }

    std::string InputBytes() const { return CFileUtil::ReadFile(task.GetTaskInfo().GetInputFilePath()).value_or(""); }

    QString Name(const std::string& id) const { return QString::fromStdString(task.GetStudentName(id)); }

    // The drag of the students shown in these rows of a side.
    static std::unique_ptr<QMimeData> Drag(CClassPairDialog& pair, Side side, std::initializer_list<int> rows)
    {
        QModelIndexList indexes;
        for (int row : rows)
            indexes << pair.model(side)->index(row, 1);
        return std::unique_ptr<QMimeData>(pair.model(side)->mimeData(indexes));
    }

    // Where a drag lands on a list: on a row, or below the last one.
    static QPoint OnRow(CClassPairDialog& pair, Side side, int row)
    {
        QTableView* view = pair.list(side);
        return view->visualRect(view->model()->index(row, 1)).center();
    }
    static QPoint BelowRows(CClassPairDialog& pair, Side side)
    {
        QTableView* view = pair.list(side);
        const int last = view->model()->rowCount() - 1;
        const QPoint below(10, view->rowViewportPosition(last) + view->rowHeight(last) + 20);
        EXPECT_LT(below.y(), view->viewport()->height()) << "the list has room below its rows";
        return below;
    }

    static void DragOver(CClassPairDialog& pair, Side side, const QMimeData& mime, const QPoint& at)
    {
        QDragEnterEvent enter(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pair.list(side)->viewport(), &enter);
        QDragMoveEvent move(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pair.list(side)->viewport(), &move);
    }

    // The whole drag onto a list, dropped; the change follows once the
    // drag has ended.
    static void DragAndDrop(CClassPairDialog& pair, Side side, const QMimeData& mime, const QPoint& at)
    {
        DragOver(pair, side, mime, at);
        QDropEvent drop(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pair.list(side)->viewport(), &drop);
        QCoreApplication::processEvents();
    }

    static QStringList Names(CClassPairDialog& pair, Side side)
    {
        QStringList names;
        const QAbstractItemModel* model = pair.list(side)->model();
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->data(model->index(row, 1)).toString();
        return names;
    }

    static void SelectRows(CClassPairDialog& pair, Side side, std::initializer_list<int> rows)
    {
        QTableView* view = pair.list(side);
        view->clearSelection();
        for (int row : rows)
            view->selectionModel()->select(view->model()->index(row, 1),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    testsupport::TempFolder folder;
    CScheduleTask task;
};

TEST_F(ClassPairTest, OpensFromTheTableOnTheClassShownAndChoosersTradePlaces)
{
    CDivisionTableDialog table(task);
    EXPECT_TRUE(table.classPairButton()->isEnabled());
    table.classChooser()->setCurrentIndex(4); // 七年级(4)班: the one after it is the first
    QStringList left;
    QStringList right;
    QStringList afterChoice;
    ModalOf<CClassPairDialog> driver([&](CClassPairDialog* pair) {
        left << pair->classChooser(Side::Left)->currentText() << Names(*pair, Side::Left);
        right << pair->classChooser(Side::Right)->currentText() << Names(*pair, Side::Right);
        // Choosing on the right the class of the left: the two trade places.
        pair->classChooser(Side::Right)->setCurrentIndex(3);
        afterChoice << pair->classChooser(Side::Left)->currentText() << pair->classChooser(Side::Right)->currentText()
                    << pair->model(Side::Left)->data(pair->model(Side::Left)->index(0, 1)).toString();
        pair->closeButton()->click();
    });
    table.classPairButton()->click();

    ASSERT_EQ(left.size(), 11);
    EXPECT_EQ(left[0], QStringLiteral("七年级(4)班"));
    EXPECT_EQ(left[1], Name("student3"));
    EXPECT_EQ(right[0], QStringLiteral("七年级(1)班"));
    EXPECT_EQ(right[1], Name("student0"));
    EXPECT_EQ(afterChoice,
              (QStringList{QStringLiteral("七年级(1)班"), QStringLiteral("七年级(4)班"), Name("student0")}));

    // One class gives nothing to put side by side.
    CScheduleTask single;
    MakeSchool(single, 10, 1, true);
    CDivisionTableDialog alone(single);
    EXPECT_FALSE(alone.classPairButton()->isEnabled());
}

TEST_F(ClassPairTest, DragOntoTheOtherListMovesWithFiguresAsItGoes)
{
    CDivisionTableDialog table(task);
    CClassPairDialog pair(task, table);
    pair.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pair));
    const auto start = Placement(task);
    CClassFiguresBand* left = pair.figures(Side::Left);
    CClassFiguresBand* right = pair.figures(Side::Right);
    ASSERT_EQ(left->figureCount(), 6);
    EXPECT_EQ(left->titleText(kTotal), QStringLiteral("总分平均"));
    EXPECT_EQ(left->titleText(5), QStringLiteral("英语平均"));
    EXPECT_EQ(left->valueText(kCount), QStringLiteral("10"));
    EXPECT_EQ(right->valueText(kCount), QStringLiteral("10"));

    // student0 (row 0 of 七年级(1)班, a boy) over the list of 七年级(2)班:
    // the figures show what the move would make of both classes.
    ASSERT_EQ(task.GetStudentInfoList().FindAs<CStudentInfo>("student0")->GetSex(), 1);
    const auto mime = Drag(pair, Side::Left, {0});
    DragOver(pair, Side::Right, *mime, BelowRows(pair, Side::Right));
    EXPECT_EQ(left->valueText(kCount), QStringLiteral("10 → 9"));
    EXPECT_EQ(right->valueText(kCount), QStringLiteral("10 → 11"));
    EXPECT_FALSE(right->valueText(kGirls).contains(QStringLiteral(" → ")));
    EXPECT_TRUE(left->valueText(kTotal).contains(QStringLiteral(" → ")));
    EXPECT_EQ(Placement(task), start) << "a drag changes nothing before the drop";
    // Leaving the list takes the preview back.
    QDragLeaveEvent leave;
    QApplication::sendEvent(pair.list(Side::Right)->viewport(), &leave);
    EXPECT_EQ(right->valueText(kCount), QStringLiteral("10"));

    DragAndDrop(pair, Side::Right, *mime, BelowRows(pair, Side::Right));
    auto moved = start;
    moved["student0"] = "class1";
    EXPECT_EQ(Placement(task), moved);
    EXPECT_EQ(OnDisk(), moved);
    EXPECT_TRUE(CMessageBox::shownMessages().empty()) << "nothing breaks, nothing asked";
    EXPECT_EQ(Names(pair, Side::Left).size(), 9);
    EXPECT_TRUE(Names(pair, Side::Right).contains(Name("student0")));
    EXPECT_EQ(pair.selectedStudentIds(Side::Right), std::vector<std::string>{"student0"});

    // The bands hold the class figures of the task as it is now.
    CDivisionStatistics statistics(task);
    statistics.Calculate();
    const CClassStatistics& two = *statistics.GetClassStatistics("class1");
    EXPECT_EQ(right->valueText(kCount), QStringLiteral("11"));
    EXPECT_EQ(right->valueText(kGirls), QString::number(two.girls));
    EXPECT_EQ(right->valueText(kTotal), QString::fromStdString(CDivisionStatistics::FormatAverage(two.totalAverage)));
    EXPECT_EQ(right->valueText(3), QString::fromStdString(CDivisionStatistics::FormatAverage(two.scoreAverages[0])));
    EXPECT_EQ(left->valueText(kCount), QStringLiteral("9"));

    // The table behind follows, and its undo takes the move back.
    EXPECT_TRUE(table.undoButton()->isEnabled());
    EXPECT_TRUE(pair.undoButton()->isEnabled());
    EXPECT_EQ(pair.undoButton()->toolTip(),
              QStringLiteral("撤销：%1 调到 七年级(2)班（Ctrl+Z）").arg(Name("student0")));
    EXPECT_EQ(
        table.table()->model()->data(table.table()->model()->index(0, CDivisionTableData::ColumnClass)).toString(),
        QStringLiteral("七年级(2)班"));
    pair.undoButton()->click();
    EXPECT_EQ(Placement(task), start);
    EXPECT_EQ(OnDisk(), start);
    EXPECT_EQ(left->valueText(kCount), QStringLiteral("10"));
    EXPECT_EQ(Names(pair, Side::Right).size(), 10);
    EXPECT_FALSE(pair.undoButton()->isEnabled());
    EXPECT_TRUE(pair.redoButton()->isEnabled());
}

TEST_F(ClassPairTest, DropOntoAStudentExchangesAndOwnListTakesNothing)
{
    CDivisionTableDialog table(task);
    CClassPairDialog pair(task, table);
    pair.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pair));
    const auto start = Placement(task);

    // Dropped back onto its own class, a student goes nowhere.
    const auto own = Drag(pair, Side::Left, {1});
    EXPECT_FALSE(pair.model(Side::Left)->canDropMimeData(own.get(), Qt::MoveAction, -1, -1, QModelIndex()));
    EXPECT_FALSE(pair.model(Side::Left)->dropMimeData(own.get(), Qt::MoveAction, -1, -1, QModelIndex()));
    // Something that is not a drag of students neither.
    QMimeData text;
    text.setText(QStringLiteral("student4"));
    EXPECT_FALSE(pair.model(Side::Right)->canDropMimeData(&text, Qt::MoveAction, -1, -1, QModelIndex()));

    // student4 (row 1 of 七年级(1)班) over student5 (row 1 of 七年级(2)班):
    // an exchange, the headcounts stay.
    const auto mime = Drag(pair, Side::Left, {1});
    DragOver(pair, Side::Right, *mime, OnRow(pair, Side::Right, 1));
    EXPECT_EQ(pair.figures(Side::Right)->valueText(kCount), QStringLiteral("10"));
    EXPECT_TRUE(pair.figures(Side::Right)->valueText(kTotal).contains(QStringLiteral(" → ")));
    DragAndDrop(pair, Side::Right, *mime, OnRow(pair, Side::Right, 1));

    auto exchanged = start;
    exchanged["student4"] = "class1";
    exchanged["student5"] = "class0";
    EXPECT_EQ(Placement(task), exchanged);
    EXPECT_EQ(OnDisk(), exchanged);
    EXPECT_TRUE(Names(pair, Side::Left).contains(Name("student5")));
    EXPECT_EQ(pair.figures(Side::Left)->valueText(kCount), QStringLiteral("10"));
    EXPECT_FALSE(pair.figures(Side::Left)->valueText(kTotal).contains(QStringLiteral(" → ")));

    // Two students dropped onto a student both move to that class.
    const auto two = Drag(pair, Side::Left, {2, 3});
    const std::string third = pair.model(Side::Left)->studentIdAt(2);
    const std::string fourth = pair.model(Side::Left)->studentIdAt(3);
    CMessageBox::pushAnswer(QMessageBox::Yes); // 七年级(2)班 goes over its 11
    EXPECT_TRUE(
        pair.model(Side::Right)->dropMimeData(two.get(), Qt::MoveAction, -1, -1, pair.model(Side::Right)->index(0, 1)));
    QCoreApplication::processEvents();
    EXPECT_EQ(Placement(task)[third], "class1");
    EXPECT_EQ(Placement(task)[fourth], "class1");
    EXPECT_EQ(pair.figures(Side::Right)->valueText(kCount), QStringLiteral("12"));
}

TEST_F(ClassPairTest, BrokenRulesAskAsTheTableDoesAndNoLeavesTheTaskAlone)
{
    testsupport::AddPreset(task, "student0", "class0");
    testsupport::AddGroup(task, "g", {"student0", "student1"});
    ASSERT_TRUE(task.SaveInputData());
    CDivisionTableDialog table(task);
    CClassPairDialog pair(task, table);
    pair.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pair));
    const auto start = Placement(task);
    const std::string bytes = InputBytes();

    const auto mime = Drag(pair, Side::Left, {0});
    CMessageBox::pushAnswer(QMessageBox::No);
    DragAndDrop(pair, Side::Right, *mime, BelowRows(pair, Side::Right));
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    EXPECT_EQ(CMessageBox::shownMessages()[0].icon, CMessageBox::Icon::Question);
    EXPECT_EQ(CMessageBox::shownTexts()[0],
              QStringLiteral("这次调整（%1 调到 七年级(2)班）将违反以下规则：\n\n"
                             "· %1 预排在 七年级(1)班，调整后将在 七年级(2)班。\n"
                             "· %1 与 %2 同在互斥组 1（%1，%2），调整后将同在 七年级(2)班。\n\n仍要调整吗？")
                  .arg(Name("student0"), Name("student1")));
    EXPECT_EQ(Placement(task), start);
    EXPECT_EQ(InputBytes(), bytes);
    EXPECT_EQ(pair.figures(Side::Right)->valueText(kCount), QStringLiteral("10"));
    EXPECT_FALSE(pair.undoButton()->isEnabled());

    // Yes makes it.
    CMessageBox::clearTestState();
    CMessageBox::pushAnswer(QMessageBox::Yes);
    DragAndDrop(pair, Side::Right, *mime, BelowRows(pair, Side::Right));
    EXPECT_EQ(OnDisk()["student0"], "class1");
    EXPECT_EQ(pair.figures(Side::Right)->valueText(kCount), QStringLiteral("11"));
}

TEST_F(ClassPairTest, ReadOnlyTaskRefusesADropAsTheTableDoes)
{
    task.SetReadOnly(true);
    CDivisionTableDialog table(task);
    CClassPairDialog pair(task, table);
    const auto start = Placement(task);
    EXPECT_FALSE(pair.dropStudents(Side::Right, {"student0"}, ""));
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    EXPECT_TRUE(CMessageBox::shownTexts()[0].contains(QStringLiteral("只读方式打开")));
    EXPECT_EQ(Placement(task), start);
}

TEST_F(ClassPairTest, KeyboardCommandsShareTheTablesUndo)
{
    CDivisionTableDialog table(task);
    CClassPairDialog pair(task, table);
    pair.show();
    pair.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&pair));
    const auto start = Placement(task);

    // The lists' menu holds the commands and the table's undo and redo.
    const QList<QAction*> menu = pair.contextMenu()->actions();
    ASSERT_EQ(menu.size(), 5);
    EXPECT_EQ(menu[0], pair.moveAction());
    EXPECT_EQ(menu[1], pair.exchangeAction());
    EXPECT_EQ(menu[3], table.undoAction());
    EXPECT_EQ(menu[4], table.redoAction());
    EXPECT_FALSE(pair.moveButton()->isEnabled()); // nothing chosen yet
    EXPECT_FALSE(pair.exchangeButton()->isEnabled());

    // "调到另一班" from the right: student1 goes to 七年级(1)班.
    SelectRows(pair, Side::Right, {0});
    EXPECT_EQ(pair.activeSide(), Side::Right);
    ASSERT_TRUE(pair.moveButton()->isEnabled());
    pair.moveButton()->click();
    auto moved = start;
    moved["student1"] = "class0";
    EXPECT_EQ(Placement(task), moved);
    EXPECT_EQ(pair.selectedStudentIds(Side::Left), std::vector<std::string>{"student1"});

    // "与选中学生对调": one student chosen on each side.
    SelectRows(pair, Side::Left, {0});
    SelectRows(pair, Side::Right, {0, 1});
    EXPECT_FALSE(pair.exchangeAction()->isEnabled());
    SelectRows(pair, Side::Right, {0});
    const std::string leftId = pair.selectedStudentIds(Side::Left).front();
    const std::string rightId = pair.selectedStudentIds(Side::Right).front();
    ASSERT_TRUE(pair.exchangeAction()->isEnabled());
    pair.exchangeAction()->trigger();
    auto exchanged = moved;
    exchanged[leftId] = "class1";
    exchanged[rightId] = "class0";
    EXPECT_EQ(Placement(task), exchanged);
    EXPECT_EQ(OnDisk(), exchanged);

    // Ctrl+Z in this window steps back through the table's history, and
    // the table shows it.
    QTest::keyClick(pair.list(Side::Left), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Placement(task), moved);
    QTest::keyClick(pair.list(Side::Left), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Placement(task), start);
    EXPECT_EQ(OnDisk(), start);
    EXPECT_FALSE(table.undoAction()->isEnabled());
    EXPECT_EQ(
        table.table()->model()->data(table.table()->model()->index(1, CDivisionTableData::ColumnClass)).toString(),
        QStringLiteral("七年级(2)班"));
    EXPECT_EQ(Names(pair, Side::Left).size(), 10);
    QTest::keyClick(pair.list(Side::Left), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Placement(task), moved);
    EXPECT_TRUE(CMessageBox::shownMessages().empty());
}

} // namespace
