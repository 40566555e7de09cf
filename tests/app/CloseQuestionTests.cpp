// Questions whose No throws work away: Escape and the close box of the
// question never mean No. The list editors' close question offers Cancel,
// the balance tool's keep question keeps the result.
#include "EditorTestSupport.h"

#include "gui/results/BalanceDialog.h"
#include "gui/editors/ClassListDialog.h"
#include "Cohort.h"
#include "gui/editors/StudentListDialog.h"

#include <QAbstractButton>
#include <QCloseEvent>

using namespace editortest;
using Button = CListEditorDialog::Button;

namespace {

const QString kSaveQuestion = QStringLiteral("列表内容已修改,要保存吗?");

class CloseQuestion : public EditorTest
{};

// The box as the program puts it up, answered with a key or the close box.
QMessageBox::StandardButton Answered(QMessageBox::StandardButtons buttons, QMessageBox::StandardButton escape,
                                     const std::function<void(QMessageBox&)>& answer)
{
    std::unique_ptr<QMessageBox> box = CMessageBox::makeBox(nullptr, QStringLiteral("?"), CMessageBox::Icon::Question,
                                                            buttons, CMessageBox::defaultCaption(), escape);
    box->open();
    QApplication::processEvents();
    answer(*box);
    QApplication::processEvents();
    return box->clickedButton() ? box->standardButton(box->clickedButton()) : QMessageBox::NoButton;
}

} // namespace

TEST_F(CloseQuestion, EscapeOnTheCloseQuestionKeepsTheEditorOpenWithItsRows)
{
    AddClass(task, "c1", "高一(1)班", 0, 40);
    AddClass(task, "c2", "高一(2)班", 1, 40);
    ASSERT_TRUE(task.SaveInputData());
    CClassListDialog editor(task);
    editor.show();
    editor.selectOnly(0);
    editor.button(Button::Delete)->click();

    CMessageBox::pushEscape();
    EXPECT_FALSE(editor.close());
    EXPECT_TRUE(editor.isVisible());
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    const CMessageBox::Shown& asked = CMessageBox::shownMessages().front();
    EXPECT_EQ(asked.text, kSaveQuestion);
    EXPECT_EQ(asked.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(asked.escape, QMessageBox::Cancel);
    EXPECT_EQ(Column(editor, 1), (std::vector<std::string>{"高一(2)班"}));
    EXPECT_TRUE(editor.isModified());
    EXPECT_EQ(task.GetClassInfoList().GetCount(), 2u);

    // Cancel as a button does the same; No then closes without saving.
    CMessageBox::pushAnswer(QMessageBox::Cancel);
    EXPECT_FALSE(editor.close());
    CMessageBox::pushAnswer(QMessageBox::No);
    EXPECT_TRUE(editor.close());
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(Reopen()->GetClassInfoList().GetCount(), 2u);
}

TEST_F(CloseQuestion, TheStudentsEditorKeepsItsImportedRowsOnEscape)
{
    CStudentListDialog editor(task);
    editor.show();
    RowRequest header;
    header.quiet = true;
    header.mode = RowMode::Header;
    ASSERT_EQ(editor.SubmitRow(header, {"姓名", "*语文"}), 0);
    RowRequest row;
    row.quiet = true;
    ASSERT_EQ(editor.SubmitRow(row, {"张三", "80"}), 0);

    CMessageBox::pushEscape();
    EXPECT_FALSE(editor.close());
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.rowCount(), 1);
    EXPECT_TRUE(editor.isModified());
}

TEST(MessageBoxEscape, EscapeAndTheCloseBoxGiveTheBoxsEscapeAnswer)
{
    const auto escape = [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); };
    const auto closeBox = [](QMessageBox& box) { box.close(); };
    const auto yesNoCancel = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    EXPECT_EQ(Answered(yesNoCancel, QMessageBox::Cancel, escape), QMessageBox::Cancel);
    EXPECT_EQ(Answered(yesNoCancel, QMessageBox::Cancel, closeBox), QMessageBox::Cancel);
    const auto yesNo = QMessageBox::Yes | QMessageBox::No;
    EXPECT_EQ(Answered(yesNo, QMessageBox::Yes, escape), QMessageBox::Yes);
    EXPECT_EQ(Answered(yesNo, QMessageBox::Yes, closeBox), QMessageBox::Yes);
    // Left to the box, Escape on a plain question is No.
    EXPECT_EQ(Answered(yesNo, QMessageBox::NoButton, escape), QMessageBox::No);

    // In test mode an escape takes the same answer.
    CMessageBox::clearTestState();
    CMessageBox::pushEscape();
    EXPECT_EQ(CMessageBox::askYesNoCancel(nullptr, QStringLiteral("?")), CMessageBox::Answer::Cancel);
    CMessageBox::pushEscape();
    EXPECT_TRUE(CMessageBox::questionKeeping(nullptr, QStringLiteral("?")));
    CMessageBox::pushAnswer(QMessageBox::No);
    EXPECT_FALSE(CMessageBox::questionKeeping(nullptr, QStringLiteral("?")));
    CMessageBox::pushEscape();
    EXPECT_FALSE(CMessageBox::question(nullptr, QStringLiteral("?")));
    CMessageBox::clearTestState();
}

TEST(BalanceKeepQuestion, EscapeKeepsTheBetterDivision)
{
    CMessageBox::clearTestState();
    testsupport::TempFolder folder;
    CScheduleTask task;
    CTaskInfo info;
    info.SetTaskName("均衡");
    info.SetTaskFolder(folder.Path().string());
    ASSERT_TRUE(info.WriteToFile());
    task.SetTaskInfo(info);
    task.SetMessageHandler([](const std::string&) {});
    testsupport::CohortOptions cohort;
    cohort.students = 600;
    cohort.classes = 15;
    cohort.subjects = 4;
    cohort.seed = 11;
    testsupport::FillCohort(task, cohort);
    testsupport::DivideInMemory(task, 3);

    CBalanceOptions options;
    options.iterations = 1'000'000'000;
    options.seed = 7;
    CBalanceDialog dialog(task, options);
    dialog.open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.bestSpreads().total < dialog.startSpreads().total; }, 20000));
    CMessageBox::pushEscape();
    dialog.close();
    ASSERT_TRUE(dialog.askedToKeep());
    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    EXPECT_EQ(CMessageBox::shownMessages().front().escape, QMessageBox::Yes);
    EXPECT_TRUE(dialog.keepsResult());
    CMessageBox::clearTestState();
}
