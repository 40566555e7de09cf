// The division table, the statistics and the report dialog on real widgets.
#include "ResultsTestSupport.h"

#include "gui/results/DivisionCommands.h"
#include "gui/results/DivisionStatisticsDialog.h"
#include "gui/results/DivisionStatisticsModel.h"
#include "core/DivisionTableData.h"
#include "gui/results/DivisionTableDialog.h"
#include "gui/results/DivisionTableModel.h"
#include "gui/common/MessageBox.h"
#include "gui/results/ReportDialog.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace ResultsTest;

namespace {

QString Cell(const QAbstractItemModel* model, int row, int column, int role = Qt::DisplayRole)
{
    return model->data(model->index(row, column), role).toString();
}

class ResultsViewsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CMessageBox::clearTestState();
        task.GetCustomSubjectArray() = {"语文", "数学"};
        AddClass(task, "c1", "一班", 1);
        AddClass(task, "c2", "二班", 0);
        AddClass(task, "c3", "三班", 2);
        AddStudent(task, "s1", "张三", 2, 0, "c1", {"80", "10"});
        AddStudent(task, "s2", "李四", 0, 1, "c2", {"45", "45"});
        AddStudent(task, "s3", "王五", 1, 0, "c1", {"90", "0.5"});
        AddStudent(task, "s4", "赵六", 3, 1, "", {"70", "70"});        // not placed
        AddStudent(task, "s5", "钱七", 4, 1, "removed", {"60", "60"}); // class deleted since
    }

    CScheduleTask task;
};

TEST_F(ResultsViewsTest, DivisionTableShowsPlacedStudentsAndFilters)
{
    CDivisionTableDialog dialog(task);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("分班表"));

    QComboBox* chooser = dialog.classChooser();
    ASSERT_EQ(chooser->count(), 5);
    EXPECT_EQ(chooser->itemText(0), QStringLiteral("所有班级"));
    EXPECT_EQ(chooser->itemText(1), QStringLiteral("二班"));
    EXPECT_EQ(chooser->itemText(2), QStringLiteral("一班"));
    EXPECT_EQ(chooser->itemText(3), QStringLiteral("三班"));
    EXPECT_EQ(chooser->itemText(4), QStringLiteral("未分班学生"));
    EXPECT_EQ(chooser->currentIndex(), 0);

    const QAbstractItemModel* model = dialog.table()->model();
    ASSERT_EQ(model->columnCount(), 9);
    EXPECT_EQ(model->headerData(8, Qt::Horizontal).toString(), QStringLiteral("总分"));
    EXPECT_EQ(dialog.table()->columnWidth(8), 90);
    EXPECT_TRUE(dialog.table()->isColumnHidden(0));

    // Student index order, numbered from 1; the unplaced and the stray are left out.
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(Cell(model, 0, 2), QStringLiteral("李四"));
    EXPECT_EQ(Cell(model, 1, 2), QStringLiteral("王五"));
    EXPECT_EQ(Cell(model, 2, 2), QStringLiteral("张三"));
    EXPECT_EQ(Cell(model, 2, 1), QStringLiteral("3"));
    EXPECT_EQ(Cell(model, 0, 4), QStringLiteral("男"));
    EXPECT_EQ(Cell(model, 1, 4), QStringLiteral("女"));
    EXPECT_EQ(Cell(model, 0, 8), QStringLiteral("90"));
    EXPECT_EQ(Cell(model, 1, 8), QStringLiteral("90.5"));
    EXPECT_EQ(model->data(model->index(0, 3), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    EXPECT_EQ(model->data(model->index(0, 8), Qt::TextAlignmentRole).toInt() & Qt::AlignRight, Qt::AlignRight);
    EXPECT_EQ(model->data(model->index(0, 2), Qt::TextAlignmentRole).toInt() & Qt::AlignLeft, Qt::AlignLeft);

    // The stray class id was cleared on the first fill.
    EXPECT_EQ(task.GetStudentInfoList().FindAs<CStudentInfo>("s5")->GetClassId(), "");

    chooser->setCurrentIndex(2); // 一班
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(Cell(model, 0, 0), QStringLiteral("s3"));
    EXPECT_EQ(Cell(model, 0, 1), QStringLiteral("1"));
    EXPECT_EQ(Cell(model, 1, 1), QStringLiteral("2"));
    chooser->setCurrentIndex(3); // 三班: nobody
    EXPECT_EQ(model->rowCount(), 0);
    chooser->setCurrentIndex(4); // the unplaced, and the stray repaired before
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(Cell(model, 0, 2), QStringLiteral("赵六"));
    EXPECT_EQ(Cell(model, 1, 2), QStringLiteral("钱七"));
    EXPECT_EQ(Cell(model, 0, 3), QString());
    chooser->setCurrentIndex(0);
    EXPECT_EQ(model->rowCount(), 3);
}

TEST_F(ResultsViewsTest, DivisionTableCoversTheWorkAreaAndFramesTheTable)
{
    CDivisionTableDialog dialog(task);
    dialog.show();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(dialog.size(), area.size());
    // The frame keeps 10 pixels from the sides and the bottom and starts
    // below the two rows of controls.
    const QRect frame = dialog.tableFrame();
    EXPECT_EQ(frame, dialog.rect().adjusted(10, frame.top(), -10, -10));
    EXPECT_GE(frame.top(), 38);
    EXPECT_GT(frame.top(), dialog.undoButton()->geometry().bottom());
    EXPECT_GT(frame.top(), dialog.balanceLabel()->geometry().bottom());
    EXPECT_EQ(dialog.table()->geometry(), frame.adjusted(1, 1, -1, -2));

    const QImage image = dialog.grab().toImage();
    EXPECT_EQ(image.pixelColor(3, 3), QColor(240, 240, 240));
    EXPECT_EQ(image.pixelColor(frame.left(), frame.center().y()), QColor(156, 182, 197));
}

TEST_F(ResultsViewsTest, ExportAndStatisticsButtons)
{
    CDivisionTableDialog dialog(task);
    // The save dialog, cancelled: nothing more.
    dialog.exportButton()->click();
    EXPECT_EQ(CMessageBox::shownChoosers().size(), 1u);
    EXPECT_TRUE(CMessageBox::shownMessages().empty());

    int statisticsRows = -1;
    ModalDriver driver([&](QWidget* modal) {
        auto* statistics = qobject_cast<CDivisionStatisticsDialog*>(modal);
        if (!statistics)
            return false;
        statisticsRows = statistics->model()->rowCount();
        statistics->closeButton()->click();
        return true;
    });
    dialog.statisticsButton()->click();
    EXPECT_EQ(statisticsRows, 4); // three classes and the whole school
}

TEST_F(ResultsViewsTest, StatisticsRowsAndWholeSchool)
{
    CDivisionStatisticsDialog dialog(task);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("分班统计表"));
    const QAbstractItemModel* model = dialog.table()->model();
    ASSERT_EQ(model->columnCount(), 8);
    EXPECT_EQ(model->headerData(5, Qt::Horizontal).toString(), QStringLiteral("语文平均分"));
    EXPECT_EQ(model->headerData(7, Qt::Horizontal).toString(), QStringLiteral("总分平均分"));
    EXPECT_TRUE(dialog.table()->isColumnHidden(0));
    EXPECT_EQ(dialog.table()->columnWidth(7), 90);

    ASSERT_EQ(model->rowCount(), 4);
    // 二班 first (record index 0): one boy, 45 and 45.
    EXPECT_EQ(Cell(model, 0, 1), QStringLiteral("二班"));
    EXPECT_EQ(Cell(model, 0, 2), QStringLiteral("1"));
    EXPECT_EQ(Cell(model, 0, 6), QStringLiteral("45.0"));
    EXPECT_EQ(Cell(model, 0, 7), QStringLiteral("90.0"));
    // 一班: two girls, 80 and 90 in 语文.
    EXPECT_EQ(Cell(model, 1, 2), QStringLiteral("2"));
    EXPECT_EQ(Cell(model, 1, 3), QStringLiteral("2"));
    EXPECT_EQ(Cell(model, 1, 4), QStringLiteral("0"));
    EXPECT_EQ(Cell(model, 1, 5), QStringLiteral("85.0"));
    // 三班: empty.
    EXPECT_EQ(Cell(model, 2, 2), QStringLiteral("0"));
    EXPECT_EQ(Cell(model, 2, 7), QStringLiteral("0.0"));
    // 全校 counts the unplaced and the stray students too, in blue.
    EXPECT_EQ(Cell(model, 3, 0), QString());
    EXPECT_EQ(Cell(model, 3, 1), QStringLiteral("全校"));
    EXPECT_EQ(Cell(model, 3, 2), QStringLiteral("5"));
    EXPECT_EQ(Cell(model, 3, 3), QStringLiteral("2"));
    EXPECT_EQ(Cell(model, 3, 4), QStringLiteral("3"));
    EXPECT_EQ(Cell(model, 3, 5), QStringLiteral("69.0"));
    EXPECT_EQ(model->data(model->index(3, 1), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    EXPECT_EQ(model->data(model->index(1, 1), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 0));
}

TEST(ResultsViewsEmptyTask, NoClassesNoRows)
{
    CScheduleTask task;
    AddStudent(task, "s1", "张三", 0, 0);
    CDivisionStatisticsDialog statistics(task);
    EXPECT_EQ(statistics.table()->model()->rowCount(), 0);
    CDivisionTableDialog table(task);
    EXPECT_EQ(table.table()->model()->rowCount(), 0);
    EXPECT_EQ(table.table()->model()->columnCount(), 7);
    EXPECT_EQ(table.table()->model()->headerData(6, Qt::Horizontal).toString(), QStringLiteral("总分"));
}

TEST(ResultsReport, ViewTableButtonOnlyAfterADivision)
{
    const int modes[] = {0, 1, 2, 3};
    const bool shown[] = {true, false, true, false};
    for (int i = 0; i < 4; ++i) {
        CReportDialog dialog(QStringLiteral("【分班结果】\n第二行"), modes[i]);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("自动分班报告"));
        EXPECT_EQ(dialog.textEdit()->toPlainText(), QStringLiteral("【分班结果】\n第二行"));
        EXPECT_TRUE(dialog.textEdit()->isReadOnly());
        EXPECT_EQ(dialog.viewTableButton()->isVisibleTo(&dialog), shown[i]) << modes[i];
        EXPECT_TRUE(dialog.closeButton()->isDefault());
    }
}

TEST(ResultsReport, TextSitsOnAWhiteCard)
{
    CReportDialog dialog(QStringLiteral("报告"), 0);
    dialog.show();
    const QImage image = dialog.grab().toImage();
    const QRect edit = dialog.textEdit()->geometry();
    EXPECT_EQ(image.pixelColor(2, 2), QColor(232, 232, 232));
    // Between the card's edge and the text: the card itself.
    EXPECT_EQ(image.pixelColor(edit.left() - 4, edit.center().y()), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(edit.center().x(), edit.bottom() + 3), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(edit.left() - 12, edit.center().y()), QColor(232, 232, 232));
}

TEST(ResultsReport, LongReportOpensAtItsEnd)
{
    // The outcome is written last; a long list of problems must not hide it.
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("学生%1 无法分班\n").arg(i);
    text += QStringLiteral("【分班结果】\n本次自动分班结束。");
    CReportDialog dialog(text, 2);
    dialog.show();
    QTest::qWait(20);
    QTextEdit* edit = dialog.textEdit();
    EXPECT_GT(edit->verticalScrollBar()->value(), 0);
    EXPECT_EQ(edit->textCursor().position(), text.size());
    EXPECT_TRUE(edit->viewport()->rect().contains(edit->cursorRect()));
}

TEST(ResultsReport, ReportCommandShowsStoredText)
{
    CScheduleTask task;
    task.GetLastReportInfo().SetReportInfo("【分班时间】\n上次的报告");
    bool sawButton = true;
    QString text;
    ModalDriver driver([&](QWidget* modal) {
        auto* report = qobject_cast<CReportDialog*>(modal);
        if (!report)
            return false;
        text = report->textEdit()->toPlainText();
        sawButton = report->viewTableButton()->isVisible();
        report->closeButton()->click();
        return true;
    });
    EXPECT_FALSE(CDivisionCommands::showReport(nullptr, task));
    EXPECT_EQ(text, QStringLiteral("【分班时间】\n上次的报告"));
    EXPECT_FALSE(sawButton);
}

TEST(ResultsReport, NeverDividedTaskSaysSo)
{
    CScheduleTask task;
    AddClass(task, "c1", "一班", 0);
    AddStudent(task, "s1", "张三", 0, 0);
    QString text;
    ModalOf<CReportDialog> driver([&text](CReportDialog* report) {
        text = report->textEdit()->toPlainText();
        report->closeButton()->click();
    });
    CDivisionCommands::showReport(nullptr, task);
    EXPECT_EQ(text, QStringLiteral("还没有进行过自动分班。\n请在“4 自动分班”中点击“开始自动分班”。"));

    // Divided, but without a stored report.
    task.GetStudentInfoList().FindAs<CStudentInfo>("s1")->SetClassId("c1");
    EXPECT_EQ(CDivisionCommands::reportText(task), QStringLiteral("没有找到最近一次自动分班的报告。"));
}

TEST_F(ResultsViewsTest, NoFocusFrameOnACell)
{
    // The current cell of a list that has the focus looks like any other.
    CDivisionTableDialog table(task);
    CDivisionStatisticsDialog statistics(task);
    for (QTableView* view : {table.table(), statistics.table()}) {
        const QModelIndex index = view->model()->index(0, 1);
        auto render = [view, &index](bool focus) {
            QStyleOptionViewItem option;
            option.initFrom(view->viewport());
            option.widget = view;
            option.font = view->font();
            option.rect = QRect(0, 0, 100, 25);
            option.state |= QStyle::State_Enabled | QStyle::State_Active;
            if (focus)
                option.state |= QStyle::State_HasFocus;
            QImage image(option.rect.size(), QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            view->itemDelegateForIndex(index)->paint(&painter, option, index);
            return image;
        };
        EXPECT_EQ(render(true), render(false));
    }
}

} // namespace
