// The students editor and the import wizard that fills it: a sheet imported
// through the wizard and saved, the wizard's messages, stopping and closing
// it during an import, Clear and Save.
#include "EditorTestSupport.h"
#include "ImportTestSupport.h"

#include "../logic/XlsxBuilder.h"

#include "gui/import/ImportWizardDialog.h"
#include "gui/shell/MainDlg.h"
#include "logic/editing/RecordOrder.h"
#include "logic/import/SpreadsheetReader.h"
#include "base/records/StudentInfo.h"
#include "gui/editors/StudentListDialog.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QThread>

#include <atomic>

using namespace editortest;
using Button = CListEditorDialog::Button;
using Names = std::vector<std::string>;

namespace {

const std::string kData = QUILLON_TEST_DATA;
const QString kSuccess = QStringLiteral("导入成功，共导入 3 名学生。");
const QString kStart = QStringLiteral("开始导入吧");
const QString kClosing = QStringLiteral("正在导入数据中, 要立即退出吗?");

using importtest::WatchedEditor;

class StudentImport : public EditorTest
{
protected:
    std::string File(const std::string& name) const { return m_folder.File(name); }

    // A class list of the given length: name, sex, school, two scores.
    std::string LongList(int students) { return importtest::WriteClassList(File("long.xlsx"), students); }

    // A wizard feeding editor, as the editor opens it, not yet started.
    static std::unique_ptr<CImportWizardDialog> Wizard(CListEditorDialog& editor, const std::string& file)
    {
        auto wizard = std::make_unique<CImportWizardDialog>(editor);
        wizard->setHeaderName("姓名");
        wizard->show();
        CMessageBox::pushPath(qs(file));
        wizard->chooseButton()->click();
        return wizard;
    }

    static void WaitUntilIdle(const CImportWizardDialog& wizard)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !wizard.isRunning(); }, 10000));
    }

    static Names ColumnTitles(const CListEditorDialog& editor)
    {
        Names titles;
        const QAbstractItemModel* model = editor.listView()->model();
        for (int column = 0; column < model->columnCount(); ++column)
            titles.push_back(str(model->headerData(column, Qt::Horizontal).toString()));
        return titles;
    }

    static Names Row(const CListEditorDialog& editor, int row)
    {
        Names cells;
        for (int column = 1; column < editor.listView()->model()->columnCount(); ++column)
            cells.push_back(editor.cellText(row, column));
        return cells;
    }
};

// A long list being imported into an empty students editor.
class LongImport : public StudentImport
{
protected:
    static constexpr int kLongList = 3000;

    void Start(std::function<void(int calls)> onRow = {})
    {
        const std::string path = LongList(kLongList);
        editor = std::make_unique<WatchedEditor>(task);
        editor->initDialog();
        editor->onRow = std::move(onRow);
        wizard = Wizard(*editor, path);
        wizard->startButton()->click();
    }

    std::unique_ptr<WatchedEditor> editor;
    std::unique_ptr<CImportWizardDialog> wizard; // goes before the editor it feeds
};

} // namespace

TEST_F(StudentImport, AnEmptyEditorImportsASheetThroughTheWizardAndSavesIt)
{
    WatchedEditor editor(task);
    ModalSteps steps;
    steps.Then<CImportWizardDialog>([](CImportWizardDialog* wizard) {
        EXPECT_EQ(wizard->windowTitle(), QStringLiteral("导入学生列表"));
        EXPECT_FALSE(wizard->picture().isNull());
        EXPECT_TRUE(wizard->pathEdit()->isReadOnly());
        CMessageBox::pushPath(qs(kData + "/students-mini.xls"));
        wizard->chooseButton()->click();
        wizard->startButton()->click();
        EXPECT_EQ(wizard->startButton()->text(), QStringLiteral("取消"));
    });
    steps.Start();
    editor.show();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return steps.Done() && editor.rowCount() == 3 && !QApplication::activeModalWidget(); }, 10000));
    EXPECT_FALSE(editor.offThread);
    EXPECT_TRUE(QTest::qWaitFor([&] { return editor.listView()->updatesEnabled(); }, 1000))
        << "the list is painted again once the rows have come";
    EXPECT_EQ(Shown(), QStringList{kSuccess});
    ASSERT_EQ(CMessageBox::shownChoosers().size(), 1u);
    for (const char* pattern : {"*.xlsx", "*.xls", "*.csv"})
        EXPECT_TRUE(CMessageBox::shownChoosers()[0].filter.contains(QString::fromLatin1(pattern)));

    // A title row above the header is passed over; "性 别" is the sex, "* 数学"
    // a score named 数学, a star alone and "出生日期" are not read.
    EXPECT_EQ(ColumnTitles(editor), (Names{"ID", "序号", "姓名", "性别", "原学校", "语文", "数学"}));
    EXPECT_EQ(editor.listView()->horizontalHeader()->sectionSize(5), 60);
    EXPECT_EQ(Row(editor, 0), (Names{"1", "张三", "男", "第一中学", "85", "92.5"}));
    EXPECT_EQ(Row(editor, 1), (Names{"2", "李四", "女", "第二中学", "085", "77"}));
    EXPECT_EQ(Row(editor, 2), (Names{"3", "王五", "", "", "", editor.cellText(2, 6)}));
    EXPECT_EQ(editor.cellText(0, 0).size(), 32u);
    EXPECT_TRUE(editor.isModified());
    EXPECT_TRUE(editor.countTextShown().startsWith(QStringLiteral("当前共有 3 条记录。")));

    // Saved: new students with the score names; " 女 " is a girl, an empty
    // sex a boy.
    ASSERT_TRUE(editor.SaveList());
    auto reopened = Reopen();
    EXPECT_EQ(reopened->GetCustomSubjectArray(), (Names{"语文", "数学"}));
    const auto students = CRecordOrder::InIndexOrder<CStudentInfo>(reopened->GetStudentInfoList());
    ASSERT_EQ(students.size(), 3u);
    EXPECT_EQ(students[1]->GetName(), "李四");
    EXPECT_EQ(students[1]->GetSex(), 0);
    EXPECT_EQ(students[1]->GetScoreArray(), (Names{"085", "77"}));
    EXPECT_EQ(students[2]->GetSex(), 1);

    // Reopened: the same rows in the same order, score columns as loaded.
    CStudentListDialog again(*reopened);
    again.show();
    ASSERT_EQ(again.rowCount(), 3);
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(Row(again, row), Row(editor, row));
    EXPECT_EQ(again.cellText(2, CStudentTable::ColumnSex), "男");
    EXPECT_EQ(again.listView()->horizontalHeader()->sectionSize(5), 70);
    EXPECT_FALSE(again.isModified());
}

TEST_F(StudentImport, TheWizardSaysWhatIsWrong)
{
    WatchedEditor editor(task);
    editor.initDialog();
    CImportWizardDialog wizard(editor);
    wizard.setHeaderName("姓名");
    wizard.show();

    // Nothing chosen yet.
    wizard.startButton()->click();
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("请选择要导入的EXCEL文件")});
    EXPECT_FALSE(wizard.isRunning());

    // A file gone since it was chosen.
    const std::string gone = File("gone.xlsx");
    testsupport::WriteBytes(gone, "x");
    CMessageBox::pushPath(qs(gone));
    wizard.chooseButton()->click();
    std::filesystem::remove(gone);
    CMessageBox::clearTestState();
    wizard.startButton()->click();
    EXPECT_EQ(Shown(), QStringList{qs(gone) + QStringLiteral("\n文件不存在")});

    // A damaged workbook: the parse failure and a line with the reason.
    const std::string broken = File("broken.xlsx");
    testsupport::WriteBytes(broken, std::string("PK\x03\x04", 4) + std::string(200, '\x11'));
    CMessageBox::clearTestState();
    CMessageBox::pushPath(qs(broken));
    wizard.chooseButton()->click();
    wizard.startButton()->click();
    WaitUntilIdle(wizard);
    ASSERT_EQ(Shown().size(), 1);
    const QStringList lines = Shown().front().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QString::fromUtf8(CSpreadsheetReader::kParseFailure));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("原因："))) << str(lines[1]);
    EXPECT_EQ(CMessageBox::shownMessages().front().icon, CMessageBox::Icon::Error);
    EXPECT_EQ(wizard.startButton()->text(), kStart);
    EXPECT_TRUE(wizard.isVisible());

    // No "姓名" anywhere: the editor refuses the header; no student row is
    // handed over and the list keeps its columns.
    const std::string noName = File("noname.xlsx");
    {
        testsupport::XlsxBuilder book(noName);
        book.Sheet("名单").Text(0, 0, "名字").Text(0, 1, "*语文").Text(1, 0, "张三").Number(1, 1, 80);
    }
    CMessageBox::clearTestState();
    CMessageBox::pushPath(qs(noName));
    wizard.chooseButton()->click();
    wizard.startButton()->click();
    WaitUntilIdle(wizard);
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("在EXCEL表格中没有找到“姓名”列")});
    EXPECT_EQ(editor.calls, 1);
    EXPECT_EQ(editor.rowCount(), 0);
    EXPECT_EQ(ColumnTitles(editor).size(), 5u);
    EXPECT_EQ(wizard.progressBar()->value(), 0);
    EXPECT_TRUE(wizard.isVisible());

    // Closing an idle wizard asks nothing.
    CMessageBox::clearTestState();
    wizard.closeButton()->click();
    EXPECT_FALSE(wizard.isVisible());
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(LongImport, StoppingBetweenRowsKeepsWhatWasTaken)
{
    // The stop comes from within a row's hand-over, while the worker waits,
    // once the import has run for more than half a second; the rows taken
    // are kept on Yes.
    Start([this](int calls) {
        if (calls == 100) {
            QTest::qSleep(600);
            wizard->startButton()->click();
        }
    });
    WaitUntilIdle(*wizard);
    QTest::qWait(50);
    EXPECT_EQ(editor->calls, 100);
    EXPECT_EQ(editor->rowCount(), 99);
    EXPECT_EQ(editor->cellText(98, CStudentTable::ColumnName), "学生99");
    EXPECT_TRUE(editor->isModified());
    EXPECT_EQ(wizard->startButton()->text(), kStart);
    EXPECT_EQ(wizard->progressBar()->value(), 0);
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_EQ(Shown(),
              QStringList{QStringLiteral("导入已停止：表格的 3000 行数据中已导入 99 行。要保留已导入的数据吗？")});
    EXPECT_FALSE(editor->offThread);
}

TEST_F(LongImport, ClosingDuringAnImportAsksFirst)
{
    Start([this](int calls) {
        if (calls == 50 || calls == 60) {
            CMessageBox::pushAnswer(calls == 50 ? QMessageBox::No : QMessageBox::Yes);
            wizard->close();
        }
    });
    WaitUntilIdle(*wizard);
    QTest::qWait(50);
    ASSERT_EQ(Shown().size(), 3);
    EXPECT_EQ(Shown().mid(0, 2), (QStringList{kClosing, kClosing}));
    EXPECT_TRUE(Shown()[2].startsWith(QStringLiteral("导入已停止：表格的 3000 行数据中已导入 59 行。")))
        << str(Shown()[2]);
    EXPECT_EQ(CMessageBox::shownMessages().front().icon, CMessageBox::Icon::Question);
    EXPECT_EQ(editor->calls, 60);
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(editor->rowCount(), 59) << "kept: the keep question's default";
}

TEST_F(LongImport, AWizardDestroyedDuringAnImportLeavesTheEditorAlone)
{
    Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->calls >= 20; }, 10000));
    wizard.reset();
    const int calls = editor->calls;
    QTest::qWait(100);
    EXPECT_EQ(editor->calls, calls);
    EXPECT_LT(calls, kLongList + 1);
    EXPECT_EQ(editor->rowCount(), calls - 1);
    EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(StudentImport, ClearAndSaveKeepTheScoreNames)
{
    task.GetCustomSubjectArray() = {"语文", "数学"};
    AddStudent(task, "s1", "张三", 0, 0, "", {"80", "90"});
    AddStudent(task, "s2", "李四", 1, 1, "", {"70", "60"});
    CStudentListDialog editor(task);
    editor.show();
    QApplication::processEvents();
    // Only Save, Cancel, Import and Clear, top to bottom.
    const std::vector<QPushButton*> shown = VisibleButtons(editor);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0], editor.button(Button::Save));
    EXPECT_EQ(shown[1], editor.button(Button::Cancel));
    EXPECT_EQ(shown[2], editor.button(Button::Import));
    EXPECT_EQ(shown[3], editor.clearButton());
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("学生信息列表"));

    // A list with rows imports nothing: clear it first.
    editor.button(Button::Import)->click();
    EXPECT_EQ(Shown(), QStringList{QStringLiteral("导入新数据前列表必须为空，您可以点击清空按钮来清空列表数据。")});
    EXPECT_EQ(editor.rowCount(), 2);

    editor.clearButton()->click();
    EXPECT_EQ(editor.rowCount(), 0);
    EXPECT_TRUE(editor.isModified());
    EXPECT_TRUE(editor.deletedIds().empty());
    EXPECT_EQ(ColumnTitles(editor), (Names{"ID", "序号", "姓名", "性别", "原学校", "语文", "数学"}));
    EXPECT_TRUE(editor.countTextShown().startsWith(QStringLiteral("当前共有 0 条记录。")));

    editor.button(Button::Save)->click();
    EXPECT_FALSE(editor.isModified());
    auto reopened = Reopen();
    EXPECT_EQ(reopened->GetStudentInfoList().GetCount(), 0u);
    EXPECT_EQ(reopened->GetCustomSubjectArray(), (Names{"语文", "数学"}));
}

TEST_F(StudentImport, AReadOnlyTaskIsNotSavedAndTheEditorStays)
{
    AddStudent(task, "s1", "张三", 0, 0, "", {});
    ASSERT_TRUE(task.SaveInputData());
    task.SetReadOnly(true);
    CStudentListDialog editor(task);
    editor.show();
    editor.clearButton()->click();
    CMessageBox::pushAnswer(QMessageBox::Yes);
    EXPECT_FALSE(editor.close());
    EXPECT_TRUE(editor.isVisible());
    ASSERT_EQ(Shown().size(), 2);
    EXPECT_EQ(Shown()[0], QStringLiteral("列表内容已修改,要保存吗?"));
    EXPECT_TRUE(Shown()[1].startsWith(QStringLiteral("保存失败：分班任务以只读方式打开"))) << str(Shown()[1]);
    EXPECT_TRUE(editor.isModified());
    EXPECT_EQ(Reopen()->GetStudentInfoList().GetCount(), 1u) << "nothing was written";
    EXPECT_EQ(task.GetStudentInfoList().GetCount(), 1u) << "nor kept in memory";
    EXPECT_NE(task.GetStudentInfoList().Find("s1"), nullptr);
}
