// Stopping an import and imports that bring nothing: a double-click on the
// start button is no stop, a real stop asks whether to keep the rows taken
// (No puts the list back as it was), and a sheet without students leaves
// the list alone. The count under the list follows the rows as they come.
#include "EditorTestSupport.h"
#include "ImportTestSupport.h"

#include "../logic/XlsxBuilder.h"

#include "gui/import/ImportWizardDialog.h"
#include "gui/editors/StudentListDialog.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QWindow>

using namespace editortest;
using Names = std::vector<std::string>;

namespace {

QString Success(int students)
{
    return QStringLiteral("导入成功，共导入 %1 名学生。").arg(students);
}

using importtest::WatchedEditor;

class ImportStop : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        // An empty list whose score column comes from the task.
        task.GetCustomSubjectArray() = {"物理"};
        ASSERT_TRUE(task.SaveInputData());
        editor = std::make_unique<WatchedEditor>(task);
        editor->initDialog();
    }

    // name, sex, school, two scores per student.
    std::string List(int students) { return importtest::WriteClassList(m_folder.File("list.xlsx"), students); }

    void OpenWizard(const std::string& file)
    {
        wizard = std::make_unique<CImportWizardDialog>(*editor);
        wizard->setHeaderName("姓名");
        wizard->setRecordName(QStringLiteral("学生"));
        wizard->setRecordUnit(QStringLiteral("名"));
        wizard->show();
        CMessageBox::pushPath(qs(file));
        wizard->chooseButton()->click();
    }

    void WaitUntilIdle() const
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !wizard->isRunning(); }, 20000));
        QApplication::processEvents();
    }

    Names Titles() const
    {
        Names titles;
        const QAbstractItemModel* model = editor->listView()->model();
        for (int column = 0; column < model->columnCount(); ++column)
            titles.push_back(str(model->headerData(column, Qt::Horizontal).toString()));
        return titles;
    }

    // Stops the import with a click on the start button once it has run
    // for more than half a second; the rows come slowly enough for that.
    void StopAfterHalfASecond()
    {
        editor->onRow = [this](int calls) {
            QThread::usleep(1000);
            if (calls == 11)
                countAtTen = editor->countTextShown();
        };
        wizard->startButton()->click();
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return clock.elapsed() > 700; }, 2000));
        ASSERT_TRUE(wizard->isRunning()) << "the list is too short to be stopped";
        QTest::mouseClick(wizard->startButton(), Qt::LeftButton);
        WaitUntilIdle();
        taken = editor->rowCount();
    }

    std::unique_ptr<WatchedEditor> editor;
    std::unique_ptr<CImportWizardDialog> wizard; // goes before the editor it feeds
    QString countAtTen;
    int taken = 0;
};

} // namespace

TEST_F(ImportStop, ADoubleClickOnTheStartButtonImportsEveryRow)
{
    OpenWizard(List(2000));
    // Press, release, press, release through the window system, as a
    // mouse does it.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(wizard.get()));
    QPushButton* start = wizard->startButton();
    QTest::mouseDClick(wizard->windowHandle(), Qt::LeftButton, {}, start->mapTo(wizard.get(), start->rect().center()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wizard->isVisible(); }, 90000));
    EXPECT_EQ(editor->rowCount(), 2000);
    EXPECT_EQ(editor->cellText(1999, CStudentTable::ColumnName), "学生2000");
    EXPECT_EQ(Shown(), QStringList{Success(2000)});
    EXPECT_TRUE(editor->countTextShown().startsWith(QStringLiteral("当前共有 2000 条记录。")));
}

TEST_F(ImportStop, AStopAsksAndNoPutsTheListBackAsItWas)
{
    const Names before = Titles();
    ASSERT_EQ(before.back(), "物理");
    OpenWizard(List(3000));
    CMessageBox::pushAnswer(QMessageBox::No);
    StopAfterHalfASecond();
    EXPECT_TRUE(countAtTen.startsWith(QStringLiteral("当前共有 10 条记录。"))) << str(countAtTen);

    ASSERT_EQ(CMessageBox::shownMessages().size(), 1u);
    const CMessageBox::Shown& asked = CMessageBox::shownMessages().front();
    EXPECT_EQ(asked.icon, CMessageBox::Icon::Question);
    EXPECT_EQ(asked.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(asked.escape, QMessageBox::Yes) << "Escape keeps the rows";
    const int stoppedAt = editor->calls - 1;
    EXPECT_GT(stoppedAt, 10);
    EXPECT_LT(stoppedAt, 3000);
    EXPECT_EQ(asked.text,
              QStringLiteral("导入已停止：表格的 3000 行数据中已导入 %1 行。要保留已导入的学生吗？").arg(stoppedAt));

    // No: rows, columns, modified state and count as before the import.
    EXPECT_EQ(taken, 0);
    EXPECT_EQ(Titles(), before);
    EXPECT_FALSE(editor->isModified());
    EXPECT_TRUE(editor->countTextShown().startsWith(QStringLiteral("当前共有 0 条记录。")));
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_EQ(wizard->startButton()->text(), QStringLiteral("开始导入吧"));
}

TEST_F(ImportStop, EscapeOnTheQuestionKeepsTheRowsTaken)
{
    OpenWizard(List(3000));
    CMessageBox::pushEscape();
    StopAfterHalfASecond();
    ASSERT_EQ(Shown().size(), 1);
    EXPECT_GT(taken, 10);
    EXPECT_LT(taken, 3000);
    EXPECT_EQ(Titles(), (Names{"ID", "序号", "姓名", "性别", "原学校", "语文", "数学"}));
    EXPECT_TRUE(editor->isModified());
    EXPECT_TRUE(editor->countTextShown().startsWith(QStringLiteral("当前共有 %1 条记录。").arg(taken)));

    // Closing the wizard during an import is a stop as well.
    editor->clearList();
    editor->SetModified(false);
    OpenWizard(List(3000));
    CMessageBox::clearTestState();
    CMessageBox::pushAnswer(QMessageBox::Yes); // leave now
    CMessageBox::pushAnswer(QMessageBox::No);  // and drop the rows
    editor->calls = 0;
    editor->onRow = [this](int calls) {
        QThread::usleep(1000);
        if (calls == 50)
            wizard->close();
    };
    wizard->startButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wizard->isRunning(); }, 20000));
    ASSERT_EQ(Shown().size(), 2);
    EXPECT_TRUE(Shown()[1].startsWith(QStringLiteral("导入已停止：表格的 3000 行数据中已导入 49 行。")))
        << str(Shown()[1]);
    EXPECT_EQ(editor->rowCount(), 0);
    EXPECT_FALSE(editor->isModified());
}

TEST_F(ImportStop, ASheetWithoutStudentsLeavesTheListAlone)
{
    const Names before = Titles();
    // Column names only, and a row whose one value is a stray cell in a
    // column the import does not read.
    const std::string path = m_folder.File("empty.xlsx");
    {
        testsupport::XlsxBuilder book(path);
        book.Sheet("名单").Text(0, 0, "姓名").Text(0, 1, "*语文").Text(3, 30, "备注");
    }
    OpenWizard(path);
    wizard->startButton()->click();
    WaitUntilIdle();
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("表格中没有可导入的学生，列表保持原样。")});
    EXPECT_EQ(editor->rowCount(), 0);
    EXPECT_EQ(Titles(), before);
    EXPECT_FALSE(editor->isModified());
    EXPECT_TRUE(wizard->isVisible());
}

TEST_F(ImportStop, StudentsWithoutANameAreCountedAfterTheImport)
{
    const std::string path = m_folder.File("nameless.xlsx");
    {
        testsupport::XlsxBuilder book(path);
        book.Sheet("名单").Text(0, 0, "姓名").Text(0, 1, "性别").Text(0, 2, "*语文");
        book.Text(1, 0, "张三").Text(1, 1, "男").Number(1, 2, 80);
        book.Text(2, 1, "女").Number(2, 2, 75); // no name
        book.Number(3, 40, 1);                  // a stray cell far right
        book.Number(4, 2, 60);                  // no name
        book.Text(5, 0, "李四");
    }
    OpenWizard(path);
    wizard->startButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wizard->isVisible(); }, 10000));
    EXPECT_EQ(Shown(), QStringList{Success(4) + QStringLiteral("\n其中 2 名学生没有姓名，请检查表格。")});
    EXPECT_EQ(editor->rowCount(), 4);
    EXPECT_EQ(editor->cellText(3, CStudentTable::ColumnName), "李四");
}
