// Changing the division by hand in the division table, on real widgets.
#include "ResultsTestSupport.h"

#include "core/DivisionBalance.h"
#include "gui/results/DivisionStatisticsDialog.h"
#include "gui/results/DivisionStatisticsModel.h"
#include "core/DivisionTableData.h"
#include "gui/results/DivisionTableDialog.h"
#include "base/util/FileUtil.h"
#include "gui/common/MessageBox.h"
#include "gui/results/MoveToClassDialog.h"
#include "TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

using namespace ResultsTest;

namespace {

class ResultsMoveTest : public ::testing::Test
{
protected:
    // 40 students dealt round-robin over four classes of room 11 (ten
    // each), saved in a folder of their own.
    void SetUp() override
    {
        CMessageBox::clearTestState();
        task.GetTaskInfo().SetTaskFolder(folder.Dir());
        task.GetTaskInfo().SetTaskName("调整");
        task.SetMessageHandler([](const std::string&) {});
        MakeSchool(task, 40, 4, true);
        ASSERT_TRUE(task.SaveInputData());
        ASSERT_TRUE(task.GetTaskInfo().WriteToFile());
    }

    std::string ClassOf(const std::string& id) const
    {
        return task.GetStudentInfoList().FindAs<CStudentInfo>(id)->GetClassId();
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

    static QString ClassCell(const CDivisionTableDialog& dialog, int row)
    {
        const QAbstractItemModel* model = dialog.table()->model();
        return model->data(model->index(row, CDivisionTableData::ColumnClass)).toString();
    }

    static void SelectRows(CDivisionTableDialog& dialog, std::initializer_list<int> rows)
    {
        dialog.table()->clearSelection();
        for (int row : rows)
            dialog.table()->selectionModel()->select(dialog.table()->model()->index(row, 1),
                                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    testsupport::TempFolder folder;
    CScheduleTask task;
};

TEST_F(ResultsMoveTest, MoveThroughTheChooserKeepsEveryoneElse)
{
    CDivisionTableDialog dialog(task);
    const auto before = Placement(task);
    const QString balanceBefore = dialog.balanceLabel()->text();
    EXPECT_EQ(balanceBefore.toStdString(), CDivisionBalance::Describe(CDivisionBalance::Of(task)));
    EXPECT_FALSE(dialog.moveButton()->isEnabled()); // nothing chosen yet
    EXPECT_FALSE(dialog.undoButton()->isEnabled());

    // The context menu holds the same commands.
    const QList<QAction*> menu = dialog.contextMenu()->actions();
    ASSERT_EQ(menu.size(), 5);
    EXPECT_EQ(menu[0], dialog.moveAction());
    EXPECT_EQ(menu[1], dialog.exchangeAction());
    EXPECT_TRUE(menu[2]->isSeparator());
    EXPECT_EQ(menu[3], dialog.undoAction());
    EXPECT_EQ(menu[4], dialog.redoAction());

    // Row 0 is student0 of class0; the chooser offers every class but its own.
    SelectRows(dialog, {0});
    EXPECT_TRUE(dialog.moveButton()->isEnabled());
    EXPECT_FALSE(dialog.exchangeButton()->isEnabled());
    QStringList offered;
    bool ownDisabled = false;
    ModalOf<CMoveToClassDialog> chooser([&](CMoveToClassDialog* shown) {
        QListWidget* list = shown->classList();
        for (int row = 0; row < list->count(); ++row)
            offered << list->item(row)->text();
        ownDisabled = !(list->item(0)->flags() & Qt::ItemIsEnabled);
        list->setCurrentRow(2);
        shown->okButton()->click();
    });
    dialog.moveAction()->trigger();

    ASSERT_EQ(offered.size(), 4);
    EXPECT_EQ(offered[0], QStringLiteral("七年级(1)班　（10 / 11 人）　当前班级"));
    EXPECT_EQ(offered[2], QStringLiteral("七年级(3)班　（10 / 11 人）"));
    EXPECT_TRUE(ownDisabled);
    EXPECT_TRUE(CMessageBox::shownMessages().empty()) << "nothing breaks, nothing asked";

    auto expected = before;
    expected["student0"] = "class2";
    EXPECT_EQ(Placement(task), expected);
    EXPECT_EQ(OnDisk(), expected);
    // The table shows it at once, with the student still chosen.
    EXPECT_EQ(ClassCell(dialog, 0), QStringLiteral("七年级(3)班"));
    EXPECT_EQ(dialog.selectedStudentIds(), std::vector<std::string>{"student0"});
    EXPECT_TRUE(dialog.undoButton()->isEnabled());
    EXPECT_EQ(dialog.undoButton()->toolTip(), QStringLiteral("撤销：%1 调到 七年级(3)班（Ctrl+Z）")
                                                  .arg(QString::fromStdString(task.GetStudentName("student0"))));
    EXPECT_TRUE(dialog.balanceLabel()->text().contains(QStringLiteral(" → ")));
}

TEST_F(ResultsMoveTest, BrokenRulesAreAskedAboutAndNoLeavesTheTaskAlone)
{
    testsupport::AddPreset(task, "student0", "class0");
    testsupport::AddGroup(task, "g", {"student0", "student1"});
    task.GetClassInfoList().FindAs<CClassInfo>("class1")->SetStudentCount(10);
    ASSERT_TRUE(task.SaveInputData());
    CDivisionTableDialog dialog(task);
    const auto before = Placement(task);
    const std::string bytes = InputBytes();
    const QString balance = dialog.balanceLabel()->text();

    CMessageBox::pushAnswer(QMessageBox::No);
    EXPECT_FALSE(dialog.moveStudents({"student0"}, "class1"));
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    const CMessageBox::Shown& question = CMessageBox::shownMessages()[0];
    EXPECT_EQ(question.icon, CMessageBox::Icon::Question);
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    const QString name0 = QString::fromStdString(task.GetStudentName("student0"));
    const QString name1 = QString::fromStdString(task.GetStudentName("student1"));
    EXPECT_EQ(question.text, QStringLiteral("这次调整（%1 调到 七年级(2)班）将违反以下规则：\n\n"
                                            "· %1 预排在 七年级(1)班，调整后将在 七年级(2)班。\n"
                                            "· %1 与 %2 同在互斥组 1（%1，%2），调整后将同在 七年级(2)班。\n"
                                            "· 七年级(2)班 计划人数 10 人，调整后将有 11 人。\n\n仍要调整吗？")
                                 .arg(name0, name1));
    EXPECT_EQ(Placement(task), before);
    EXPECT_EQ(InputBytes(), bytes);
    EXPECT_EQ(dialog.balanceLabel()->text(), balance);
    EXPECT_FALSE(dialog.undoButton()->isEnabled());

    CMessageBox::pushAnswer(QMessageBox::Yes);
    EXPECT_TRUE(dialog.moveStudents({"student0"}, "class1"));
    EXPECT_EQ(ClassOf("student0"), "class1");
    EXPECT_EQ(OnDisk()["student0"], "class1");
}

// The division rules of our own file are asked about as the others are,
// through the same chooser and question.
TEST_F(ResultsMoveTest, MovingOneOfATogetherGroupIsAskedAbout)
{
    task.GetDivisionRules().TogetherGroups().push_back({"t", {"student0", "student4"}});
    ASSERT_TRUE(task.SaveInputData());
    CDivisionTableDialog dialog(task);
    const auto before = Placement(task);
    const std::string bytes = InputBytes();
    auto chooseThirdClass = [](CMoveToClassDialog* shown) {
        shown->classList()->setCurrentRow(2);
        shown->okButton()->click();
    };

    SelectRows(dialog, {0});
    {
        CMessageBox::pushAnswer(QMessageBox::No);
        ModalOf<CMoveToClassDialog> chooser(chooseThirdClass);
        dialog.moveAction()->trigger();
    }
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    const CMessageBox::Shown& question = CMessageBox::shownMessages()[0];
    EXPECT_EQ(question.icon, CMessageBox::Icon::Question);
    const QString name0 = QString::fromStdString(task.GetStudentName("student0"));
    const QString name4 = QString::fromStdString(task.GetStudentName("student4"));
    EXPECT_TRUE(question.text.contains(QStringLiteral("· 同班学生组（%1，%2）调整后将不在同一班级：%1（七年级(3)班），"
                                                      "%2（七年级(1)班）。")
                                           .arg(name0, name4)))
        << question.text.toStdString();
    EXPECT_EQ(Placement(task), before);
    EXPECT_EQ(InputBytes(), bytes);

    // Both moved together keep the group (the class only grows past its
    // planned number, which is asked about alone).
    CMessageBox::clearTestState();
    SelectRows(dialog, {0, 4});
    {
        CMessageBox::pushAnswer(QMessageBox::Yes);
        ModalOf<CMoveToClassDialog> chooser(chooseThirdClass);
        dialog.moveAction()->trigger();
    }
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    EXPECT_FALSE(CMessageBox::shownMessages()[0].text.contains(QStringLiteral("同班学生组")))
        << CMessageBox::shownMessages()[0].text.toStdString();
    EXPECT_TRUE(CMessageBox::shownMessages()[0].text.contains(QStringLiteral("计划人数")));
    EXPECT_EQ(OnDisk()["student0"], "class2");
    EXPECT_EQ(OnDisk()["student4"], "class2");
}

TEST_F(ResultsMoveTest, MovingNextToTheSameNameIsAskedAboutWhileNamesAreKeptApart)
{
    // student1 sits in class1 and gets student0's name.
    const std::string name = task.GetStudentName("student0");
    task.GetStudentInfoList().FindAs<CStudentInfo>("student1")->SetName(name);
    ASSERT_TRUE(task.SaveInputData());
    CDivisionTableDialog dialog(task);
    auto chooseSecondClass = [](CMoveToClassDialog* shown) {
        shown->classList()->setCurrentRow(1);
        shown->okButton()->click();
    };

    // Without the rule the move is plain.
    SelectRows(dialog, {0});
    {
        ModalOf<CMoveToClassDialog> chooser(chooseSecondClass);
        dialog.moveAction()->trigger();
    }
    EXPECT_TRUE(CMessageBox::shownMessages().empty());
    ASSERT_EQ(ClassOf("student0"), "class1");
    dialog.undoButton()->click();
    ASSERT_EQ(ClassOf("student0"), "class0");

    task.GetDivisionRules().SetSameNameApart(true);
    const auto before = Placement(task);
    SelectRows(dialog, {0});
    {
        CMessageBox::pushAnswer(QMessageBox::No);
        ModalOf<CMoveToClassDialog> chooser(chooseSecondClass);
        dialog.moveAction()->trigger();
    }
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    EXPECT_EQ(CMessageBox::shownMessages()[0].text,
              QStringLiteral("这次调整（%1 调到 七年级(2)班）将违反以下规则：\n\n"
                             "· %1 与 %1 同名，调整后将同在 七年级(2)班。\n\n仍要调整吗？")
                  .arg(QString::fromStdString(name)));
    EXPECT_EQ(Placement(task), before);

    CMessageBox::clearTestState();
    CMessageBox::pushAnswer(QMessageBox::Yes);
    {
        ModalOf<CMoveToClassDialog> chooser(chooseSecondClass);
        dialog.moveAction()->trigger();
    }
    EXPECT_EQ(OnDisk()["student0"], "class1");
}

TEST_F(ResultsMoveTest, ExchangeThenUndoAndRedoWithTheKeys)
{
    CDivisionTableDialog dialog(task);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    const auto start = Placement(task);

    // Rows 0 and 4 are both in class0: no exchange.
    SelectRows(dialog, {0, 4});
    EXPECT_FALSE(dialog.exchangeAction()->isEnabled());
    SelectRows(dialog, {0, 1});
    ASSERT_TRUE(dialog.exchangeAction()->isEnabled());
    dialog.exchangeButton()->click();
    auto exchanged = start;
    exchanged["student0"] = "class1";
    exchanged["student1"] = "class0";
    EXPECT_EQ(Placement(task), exchanged);
    EXPECT_EQ(OnDisk(), exchanged);
    EXPECT_EQ(ClassCell(dialog, 0), QStringLiteral("七年级(2)班"));
    EXPECT_EQ(ClassCell(dialog, 1), QStringLiteral("七年级(1)班"));

    // A second change, then back through both and forward again.
    ASSERT_TRUE(dialog.moveStudents({"student2"}, "class0"));
    const auto afterBoth = Placement(task);
    QTest::keyClick(dialog.table(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Placement(task), exchanged);
    QTest::keyClick(dialog.table(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Placement(task), start);
    EXPECT_EQ(OnDisk(), start);
    EXPECT_EQ(ClassCell(dialog, 0), QStringLiteral("七年级(1)班"));
    EXPECT_FALSE(dialog.undoButton()->isEnabled());
    EXPECT_TRUE(dialog.redoButton()->isEnabled());
    // The balance line compares the last step's two sides.
    EXPECT_TRUE(dialog.balanceLabel()->text().contains(QStringLiteral(" → ")));

    QTest::keyClick(dialog.table(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Placement(task), exchanged);
    dialog.redoButton()->click();
    EXPECT_EQ(Placement(task), afterBoth);
    EXPECT_EQ(OnDisk(), afterBoth);
    EXPECT_FALSE(dialog.redoButton()->isEnabled());
    EXPECT_TRUE(CMessageBox::shownMessages().empty());
}

TEST_F(ResultsMoveTest, ChangeThatCannotBeSavedIsRefusedOrTakenBack)
{
    {
        // A task opened read-only takes no change at all.
        task.SetReadOnly(true);
        CDivisionTableDialog dialog(task);
        SelectRows(dialog, {0});
        dialog.moveAction()->trigger(); // no chooser comes up
        ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
        EXPECT_TRUE(CMessageBox::shownTexts()[0].contains(QStringLiteral("只读方式打开")));
        task.SetReadOnly(false);
    }

    // input.xml cannot be replaced: the change is taken back and said so.
    CMessageBox::clearTestState();
    CDivisionTableDialog dialog(task);
    const auto before = Placement(task);
    const std::string input = task.GetTaskInfo().GetInputFilePath();
    std::filesystem::remove(input);
    std::filesystem::create_directories(std::filesystem::path(input) / "keep");
    EXPECT_FALSE(dialog.moveStudents({"student0"}, "class1"));
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    EXPECT_EQ(CMessageBox::shownMessages()[0].icon, CMessageBox::Icon::Error);
    EXPECT_TRUE(CMessageBox::shownTexts()[0].startsWith(QStringLiteral("这次调整没有保存，分班保持原样。\n")))
        << CMessageBox::shownTexts()[0].toStdString();
    EXPECT_EQ(Placement(task), before);
    EXPECT_EQ(ClassCell(dialog, 0), QStringLiteral("七年级(1)班"));
    EXPECT_FALSE(dialog.undoButton()->isEnabled());
    EXPECT_FALSE(dialog.balanceLabel()->text().contains(QStringLiteral(" → ")));
}

TEST_F(ResultsMoveTest, UnplacedStudentIsPlacedFromItsOwnView)
{
    task.GetStudentInfoList().FindAs<CStudentInfo>("student5")->SetClassId("");
    CDivisionTableDialog dialog(task);
    QComboBox* chooser = dialog.classChooser();
    chooser->setCurrentIndex(chooser->count() - 1); // 未分班学生
    ASSERT_EQ(dialog.table()->model()->rowCount(), 1);
    EXPECT_FALSE(dialog.noDivisionLabel()->isVisible());
    SelectRows(dialog, {0});
    ModalOf<CMoveToClassDialog> pick([](CMoveToClassDialog* shown) {
        shown->classList()->setCurrentRow(3);
        shown->okButton()->click();
    });
    dialog.moveButton()->click();
    EXPECT_EQ(ClassOf("student5"), "class3");
    EXPECT_EQ(OnDisk()["student5"], "class3");
    EXPECT_EQ(dialog.table()->model()->rowCount(), 0);
    chooser->setCurrentIndex(0);
    EXPECT_EQ(dialog.table()->model()->rowCount(), 40);
}

TEST_F(ResultsMoveTest, StatisticsOpenedAfterAChangeShowItsFigures)
{
    CDivisionTableDialog dialog(task);
    CMessageBox::pushAnswer(QMessageBox::Yes); // 七年级(4)班 goes over its 11
    ASSERT_TRUE(dialog.moveStudents({"student0", "student4"}, "class3"));
    QStringList counts;
    ModalOf<CDivisionStatisticsDialog> driver([&counts](CDivisionStatisticsDialog* statistics) {
        const QAbstractItemModel* model = statistics->model();
        for (int row = 0; row < model->rowCount(); ++row)
            counts << model->data(model->index(row, 2)).toString();
        statistics->closeButton()->click();
    });
    dialog.statisticsButton()->click();
    EXPECT_EQ(counts, (QStringList{"8", "10", "10", "12", "40"}));
}

} // namespace
