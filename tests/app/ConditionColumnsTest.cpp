// The condition columns ("#住校", "#特长") and the score bands wherever a
// division's result is shown: the division table and its export, the
// statistics with a column per category, the chart of a category, the
// printouts; a task without them shows exactly what it always did.
#include "ResultsTestSupport.h"
#include "ShellTestSupport.h"

#include "core/DivisionChartFigures.h"
#include "core/DivisionTableData.h"
#include "gui/render/DivisionChart.h"
#include "gui/render/DivisionPrinter.h"
#include "gui/results/DivisionChartView.h"
#include "gui/results/DivisionStatisticsDialog.h"
#include "gui/results/DivisionStatisticsModel.h"
#include "gui/results/DivisionTableDialog.h"
#include "gui/results/DivisionTableModel.h"
#include "logic/import/SpreadsheetReader.h"

#include <QBarSeries>
#include <QBarSet>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using shelltest::str;

namespace {

const std::vector<std::string> kTableTitles = {"ID",     "序号", "姓名", "班级", "性别",
                                               "原学校", "语文", "数学", "英语", "总分"};
const std::vector<std::string> kStatisticsTitles = {"ID",         "班级",       "人数",       "女生",      "男生",
                                                    "语文平均分", "数学平均分", "英语平均分", "总分平均分"};
const std::vector<std::string> kCategoryTitles = {"#住校:否",     "#住校:是",       "#特长:体育",     "#特长:美术",
                                                  "分数段:前10%", "分数段:10%-30%", "分数段:30%-60%", "分数段:后40%"};

// Boarders every third student but one in three, talents art and sports for
// half the students, the rest none.
std::string Boarding(int s)
{
    return s % 3 == 0 ? "否" : "是";
}

std::string Talent(int s)
{
    return s % 4 == 0 ? "美术" : s % 4 == 1 ? "体育" : "";
}

std::vector<std::string> Texts(const QAbstractItemModel& model, int row, int first, int count)
{
    std::vector<std::string> texts;
    for (int column = first; column < first + count; ++column)
        texts.push_back(str(model.data(model.index(row, column)).toString()));
    return texts;
}

std::vector<std::string> Titles(const QAbstractItemModel& model)
{
    std::vector<std::string> titles;
    for (int column = 0; column < model.columnCount(); ++column)
        titles.push_back(str(model.headerData(column, Qt::Horizontal).toString()));
    return titles;
}

class ConditionColumns : public shelltest::ShellTest
{
protected:
    static constexpr int kStudents = 40;

    void SetUp() override
    {
        ShellTest::SetUp();
        ResultsTest::MakeSchool(task, kStudents, 4, true);
        // Two students without a class count for the whole school only.
        for (const std::string id : {"student38", "student39"})
            task.GetStudentInfoList().FindAs<CStudentInfo>(id)->SetClassId(std::string());
        CTaskInfo info;
        info.SetTaskFolder(str(path(QStringLiteral("task"))));
        task.SetTaskInfo(info);
        manager();
    }

    void AddConditions()
    {
        CDivisionRules& rules = task.GetDivisionRules();
        rules.SetConditionNames({"#住校", "#特长"});
        for (int s = 0; s < kStudents; ++s)
            rules.SetConditions("student" + std::to_string(s), {Boarding(s), Talent(s)});
        rules.SetScoreBands({10, 30, 60});
    }

    int StudentNumber(const std::string& id) const { return std::stoi(id.substr(std::string("student").size())); }

    // The counts of kCategoryTitles among the students of a class (every
    // student for an empty id), counted here from the students themselves:
    // the bands by rank of the total, best first.
    std::vector<std::string> CountsOf(const std::string& classId) const
    {
        std::vector<std::pair<double, int>> totals;
        for (int s = 0; s < kStudents; ++s) {
            const auto* student = task.GetStudentInfoList().FindAs<CStudentInfo>("student" + std::to_string(s));
            double total = 0;
            for (const std::string& score : student->GetScoreArray())
                total += std::stod(score);
            totals.emplace_back(-total, s);
        }
        std::sort(totals.begin(), totals.end());
        std::map<int, int> bandOf;
        for (std::size_t rank = 0; rank < totals.size(); ++rank)
            bandOf[totals[rank].second] = rank < 4 ? 0 : rank < 12 ? 1 : rank < 24 ? 2 : 3;

        std::vector<int> counts(kCategoryTitles.size(), 0);
        for (int s = 0; s < kStudents; ++s) {
            const auto* student = task.GetStudentInfoList().FindAs<CStudentInfo>("student" + std::to_string(s));
            if (!classId.empty() && student->GetClassId() != classId)
                continue;
            ++counts[Boarding(s) == "否" ? 0 : 1];
            if (!Talent(s).empty())
                ++counts[Talent(s) == "体育" ? 2 : 3];
            ++counts[4 + static_cast<std::size_t>(bandOf[s])];
        }
        std::vector<std::string> texts;
        for (int count : counts)
            texts.push_back(std::to_string(count));
        return texts;
    }

    CScheduleTask task;
};

// The totals of MakeSchool tie now and then; the bands above assume that
// ties never straddle a band's edge, which this checks.
TEST_F(ConditionColumns, TheSchoolsTotalsAreDistinctAtTheBandEdges)
{
    std::vector<double> totals;
    for (const CStudentInfo* student : task.GetStudentInfoList().Records<CStudentInfo>()) {
        double total = 0;
        for (const std::string& score : student->GetScoreArray())
            total += std::stod(score);
        totals.push_back(total);
    }
    std::sort(totals.rbegin(), totals.rend());
    for (std::size_t edge : {4u, 12u, 24u})
        EXPECT_NE(totals[edge - 1], totals[edge]) << edge;
}

TEST_F(ConditionColumns, TheDivisionTableShowsEachStudentsValuesAfterTheTotal)
{
    AddConditions();
    CDivisionTableDialog dialog(task);
    const CDivisionTableModel& model = *dialog.model();
    std::vector<std::string> titles = kTableTitles;
    titles.insert(titles.end(), {"#住校", "#特长"});
    ASSERT_EQ(Titles(model), titles);
    ASSERT_EQ(model.rowCount(), kStudents - 2);
    for (int row = 0; row < model.rowCount(); ++row) {
        const int s = StudentNumber(str(model.data(model.index(row, CDivisionTableData::ColumnId)).toString()));
        EXPECT_EQ(Texts(model, row, 10, 2), (std::vector<std::string>{Boarding(s), Talent(s)})) << s;
    }
    // Texts, not figures: on the left, and a title that shows whole.
    EXPECT_TRUE(model.data(model.index(0, 10), Qt::TextAlignmentRole).toInt() & Qt::AlignLeft);
    EXPECT_TRUE(model.data(model.index(0, 9), Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
    QHeaderView* header = dialog.table()->horizontalHeader();
    for (int column : {10, 11})
        EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column));

    // Sorted by a condition: as Chinese is sorted (美术 before 体育), the
    // students without one last.
    header->setSortIndicator(11, Qt::AscendingOrder);
    const CDivisionTableData& data = dialog.tableData();
    ASSERT_EQ(data.GetRowCount(), static_cast<std::size_t>(kStudents - 2));
    EXPECT_EQ(data.CellText(0, 11), "美术");
    EXPECT_EQ(data.CellText(9, 11), "美术");
    EXPECT_EQ(data.CellText(10, 11), "体育");
    EXPECT_EQ(data.CellText(19, 11), "体育");
    EXPECT_EQ(data.CellText(20, 11), "");

    // One class: its students' values still.
    dialog.classChooser()->setCurrentIndex(2);
    ASSERT_GT(model.rowCount(), 0);
    for (int row = 0; row < model.rowCount(); ++row) {
        const int s = StudentNumber(str(model.data(model.index(row, CDivisionTableData::ColumnId)).toString()));
        EXPECT_EQ(Texts(model, row, 10, 2), (std::vector<std::string>{Boarding(s), Talent(s)})) << s;
    }
}

TEST_F(ConditionColumns, TheStatisticsCountEveryCategoryPerClass)
{
    AddConditions();
    CDivisionStatisticsDialog dialog(task);
    const CDivisionStatisticsModel& model = *dialog.model();
    std::vector<std::string> titles = kStatisticsTitles;
    titles.insert(titles.end(), kCategoryTitles.begin(), kCategoryTitles.end());
    ASSERT_EQ(Titles(model), titles);
    EXPECT_EQ(model.firstCategoryColumn(), 9);
    ASSERT_EQ(model.rowCount(), 5);
    for (int row = 0; row < model.rowCount(); ++row) {
        const std::string classId = str(model.data(model.index(row, 0)).toString());
        EXPECT_EQ(Texts(model, row, 9, static_cast<int>(kCategoryTitles.size())), CountsOf(classId))
            << str(model.data(model.index(row, 1)).toString());
    }
    // The whole school counts the students without a class too.
    EXPECT_EQ(str(model.data(model.index(4, 1)).toString()), "全校");
    EXPECT_EQ(str(model.data(model.index(4, 9)).toString()), "14");
    QHeaderView* header = dialog.table()->horizontalHeader();
    for (int column = 9; column < model.columnCount(); ++column)
        EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column)) << column;

    // The printout has the same columns and figures.
    const CDivisionPrinter::Section printed = CDivisionPrinter::statistics(task);
    ASSERT_EQ(printed.columns.size(), static_cast<qsizetype>(titles.size() - 1));
    EXPECT_EQ(printed.columns.back(), QStringLiteral("分数段:后40%"));
    ASSERT_EQ(printed.rows.size(), 5u);
    EXPECT_EQ(printed.rows.back().mid(8), (QStringList{"14", "26", "10", "10", "4", "8", "12", "16"}));
}

TEST_F(ConditionColumns, EachCategoryIsAChartOfItsCountPerClass)
{
    AddConditions();
    CDivisionStatisticsDialog dialog(task);
    CDivisionChartView& view = *dialog.chartView();
    ASSERT_EQ(view.kindChooser()->count(), 4);
    EXPECT_EQ(view.kindChooser()->itemText(3), QStringLiteral("特别条件人数"));
    EXPECT_FALSE(view.categoryChooser()->isVisibleTo(&view));
    ASSERT_EQ(view.categoryChooser()->count(), static_cast<int>(kCategoryTitles.size()));

    view.kindChooser()->setCurrentIndex(3);
    EXPECT_TRUE(view.categoryChooser()->isVisibleTo(&view));
    EXPECT_FALSE(view.measureChooser()->isVisibleTo(&view));
    view.categoryChooser()->setCurrentIndex(1); // "#住校:是"
    const CDivisionChart* chart = view.currentChart();
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->kind(), CDivisionChart::Kind::Category);
    EXPECT_EQ(chart->heading(), QStringLiteral("各班“#住校:是”人数"));

    std::vector<int> counts;
    for (const auto& classInfo : CDivisionTableData::ClassesInOrder(task))
        counts.push_back(std::stoi(CountsOf(classInfo->GetId())[1]));
    const auto [fewest, most] = std::minmax_element(counts.begin(), counts.end());
    EXPECT_EQ(chart->subtitle(), QStringLiteral("全校 %1 人，各班人数极差 %2 人")
                                     .arg(QString::fromStdString(CountsOf("")[1]))
                                     .arg(*most - *fewest));
    const auto* bars = qobject_cast<QBarSeries*>(chart->series().front());
    ASSERT_NE(bars, nullptr);
    ASSERT_EQ(bars->barSets().front()->count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(bars->barSets().front()->at(i), counts[static_cast<std::size_t>(i)]) << i;

    // Saved under its heading, without the characters no file name takes.
    const QString picture = path(QStringLiteral("住校.png"));
    CMessageBox::pushPath(picture);
    view.saveButton()->click();
    ASSERT_EQ(CMessageBox::shownChoosers().size(), 1u);
    EXPECT_EQ(QFileInfo(CMessageBox::shownChoosers().front().dir).fileName(),
              QStringLiteral("各班“#住校_是”人数.png"));
    EXPECT_TRUE(QFileInfo(picture).size() > 0);

    // Back to the averages: the subject chooser returns.
    view.showChart(CDivisionChart::Kind::Averages, CDivisionChartFigures::kTotal);
    EXPECT_TRUE(view.measureChooser()->isVisibleTo(&view));
    EXPECT_FALSE(view.categoryChooser()->isVisibleTo(&view));
}

TEST_F(ConditionColumns, TheExportAndTheRostersHoldTheConditionColumns)
{
    AddConditions();
    CDivisionTableDialog dialog(task);
    const QString file = path(QStringLiteral("分班表.xlsx"));
    CMessageBox::pushPath(file);
    CMessageBox::pushAnswer(QMessageBox::No);
    dialog.exportButton()->click();

    CSpreadsheetReader reader;
    reader.SetHeaderName("姓名");
    ASSERT_TRUE(reader.Open(str(file))) << reader.GetError();
    std::vector<std::string> titles(kTableTitles.begin() + 1, kTableTitles.end());
    titles.insert(titles.end(), {"#住校", "#特长"});
    EXPECT_EQ(reader.GetHeader(), titles);
    std::vector<std::string> cells;
    int position = 0;
    std::size_t rows = 0;
    while (reader.ReadRecord(cells, position)) {
        ASSERT_EQ(cells.size(), titles.size());
        const std::string& id = dialog.tableData().GetRows()[rows].studentId;
        EXPECT_EQ(cells[1], dialog.tableData().GetRows()[rows].name);
        EXPECT_EQ(cells[9], Boarding(StudentNumber(id))) << id;
        EXPECT_EQ(cells[10], Talent(StudentNumber(id))) << id;
        ++rows;
    }
    EXPECT_EQ(rows, static_cast<std::size_t>(kStudents - 2));

    const std::vector<CDivisionPrinter::Section> rosters = CDivisionPrinter::classRosters(task);
    ASSERT_EQ(rosters.size(), 4u);
    EXPECT_EQ(rosters.front().columns.mid(rosters.front().columns.size() - 3), (QStringList{"总分", "#住校", "#特长"}));
    EXPECT_EQ(rosters.front().rows.front().size(), rosters.front().columns.size());
}

// Without condition columns and bands (no rules file), every view has the
// columns it always had; score bands alone add no column to the table.
TEST_F(ConditionColumns, ATaskWithoutThemShowsTheColumnsItAlwaysHad)
{
    {
        CDivisionTableDialog table(task);
        EXPECT_EQ(Titles(*table.model()), kTableTitles);
        CDivisionStatisticsDialog statistics(task);
        EXPECT_EQ(Titles(*statistics.model()), kStatisticsTitles);
        EXPECT_EQ(statistics.chartView()->kindChooser()->count(), 3);
        EXPECT_EQ(CDivisionPrinter::statistics(task).columns.size(),
                  static_cast<qsizetype>(kStatisticsTitles.size() - 1));
    }
    task.GetDivisionRules().SetScoreBands({10, 30, 60});
    CDivisionTableDialog table(task);
    EXPECT_EQ(Titles(*table.model()), kTableTitles);
    CDivisionStatisticsDialog statistics(task);
    EXPECT_EQ(Titles(*statistics.model()).size(), kStatisticsTitles.size() + 4);
}

} // namespace
