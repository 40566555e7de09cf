// The charts of the statistics window: what they draw against the
// statistics, a task with nothing to draw, pictures and the clipboard, many
// classes on a small screen, and the command line.
#include "ResultsTestSupport.h"

#include "gui/render/ChartImage.h"
#include "gui/render/DivisionChart.h"
#include "core/DivisionChartFigures.h"
#include "gui/results/DivisionChartView.h"
#include "core/DivisionStatistics.h"
#include "gui/results/DivisionStatisticsDialog.h"
#include "gui/results/DivisionStatisticsModel.h"
#include "gui/common/MessageBox.h"
#include "PdfTestSupport.h"
#include "TestSupport.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBoxPlotSeries>
#include <QBoxSet>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLineSeries>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedBarSeries>
#include <QTabBar>
#include <QTableView>
#include <QValueAxis>

#include <gtest/gtest.h>

namespace {

using Figures = CDivisionChartFigures;
using Kind = CDivisionChart::Kind;

template <class Series>
Series* FindSeries(const QChart& chart)
{
    for (QAbstractSeries* s : chart.series()) {
        if (auto* found = qobject_cast<Series*>(s))
            return found;
    }
    return nullptr;
}

// Whether an image holds more than one colour.
bool HasDrawing(const QImage& image)
{
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3) {
            if (image.pixel(x, y) != first)
                return true;
        }
    }
    return false;
}

class DivisionChartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResultsTest::MakeSchool(task, 240, 6, true);
        // A class nobody was dealt to.
        testsupport::AddClass(task, "empty", "空班", 99);
        CMessageBox::clearTestState();
    }

    CScheduleTask task;
    testsupport::TempFolder folder;
};

TEST_F(DivisionChartTest, ChartsDrawTheStatisticsFigures)
{
    const Figures figures(task);
    CDivisionStatistics statistics(task);
    statistics.Calculate();
    const auto rows = statistics.GetRows();
    ASSERT_EQ(rows.size(), 8u); // six classes, the empty one, the school

    for (std::size_t measure : {std::size_t(0), std::size_t(1), std::size_t(2), Figures::kTotal}) {
        SCOPED_TRACE(measure);
        CDivisionChart chart(figures, Kind::Averages, measure);
        QBarSet* bars = FindSeries<QBarSeries>(chart)->barSets().value(0);
        ASSERT_NE(bars, nullptr);
        ASSERT_EQ(bars->count(), 7);
        float low = 1e9f;
        float high = -1e9f;
        for (int i = 0; i < 6; ++i) {
            const CClassStatistics& s = *rows[i].statistics;
            const float expected = measure == Figures::kTotal ? s.totalAverage : s.scoreAverages[measure];
            EXPECT_FLOAT_EQ(bars->at(i), expected);
            low = std::min(low, expected);
            high = std::max(high, expected);
        }
        EXPECT_EQ(bars->at(6), 0.0); // the empty class has no bar
        const CClassStatistics& school = *rows.back().statistics;
        const float schoolAverage = measure == Figures::kTotal ? school.totalAverage : school.scoreAverages[measure];
        const QList<QPointF> line = FindSeries<QLineSeries>(chart)->points();
        ASSERT_EQ(line.size(), 2);
        EXPECT_FLOAT_EQ(line[0].y(), schoolAverage);
        EXPECT_FLOAT_EQ(line[1].y(), schoolAverage);
        EXPECT_TRUE(chart.title().contains(QStringLiteral("（极差 %1 分）").arg(high - low, 0, 'f', 1)))
            << chart.title().toStdString();

        // The axis shows every bar's top, and says where it starts.
        QValueAxis* axis = chart.valueAxis();
        EXPECT_LE(axis->min(), low);
        EXPECT_GE(axis->max(), high);
        EXPECT_GT(axis->min(), 0.0);
        EXPECT_TRUE(axis->titleText().contains(QStringLiteral("不从 0 起")));
        EXPECT_TRUE(axis->titleText().contains(QString::number(axis->min())));
        EXPECT_TRUE(axis->titleText().contains(QString::number(axis->max())));
    }

    CDivisionChart sexes(figures, Kind::Headcount, Figures::kTotal);
    const QList<QBarSet*> sets = FindSeries<QStackedBarSeries>(sexes)->barSets();
    ASSERT_EQ(sets.size(), 2);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(sets[0]->at(i), rows[i].statistics->girls);
        EXPECT_EQ(sets[1]->at(i), rows[i].statistics->boys);
    }
    EXPECT_EQ(sexes.valueAxis()->min(), 0.0);
    EXPECT_EQ(sexes.valueAxis()->titleText(), QStringLiteral("人数"));
}

TEST_F(DivisionChartTest, BoxesShowEachClassDistribution)
{
    const Figures figures(task);
    CDivisionChart chart(figures, Kind::Distribution, 1);
    const QList<QBoxSet*> boxes = FindSeries<QBoxPlotSeries>(chart)->boxSets();
    const auto distributions = figures.ClassDistributions(1);
    ASSERT_EQ(boxes.size(), 7);
    for (int i = 0; i < 6; ++i) {
        EXPECT_FLOAT_EQ(boxes[i]->at(QBoxSet::LowerExtreme), distributions[i].minimum);
        EXPECT_FLOAT_EQ(boxes[i]->at(QBoxSet::LowerQuartile), distributions[i].lowerQuartile);
        EXPECT_FLOAT_EQ(boxes[i]->at(QBoxSet::Median), distributions[i].median);
        EXPECT_FLOAT_EQ(boxes[i]->at(QBoxSet::UpperQuartile), distributions[i].upperQuartile);
        EXPECT_FLOAT_EQ(boxes[i]->at(QBoxSet::UpperExtreme), distributions[i].maximum);
    }
    // The empty class keeps its place, out of sight below the axis.
    EXPECT_LT(boxes[6]->at(QBoxSet::UpperExtreme), chart.valueAxis()->min());
    EXPECT_EQ(chart.classLabels().value(6), QStringLiteral("空班（空）"));
    EXPECT_TRUE(chart.tip(0).contains(QStringLiteral("中位数")));
}

TEST_F(DivisionChartTest, NothingToDrawGivesANote)
{
    CScheduleTask none;
    const Figures noClasses(none);
    for (Kind kind : {Kind::Averages, Kind::Headcount, Kind::Distribution}) {
        CDivisionChart chart(noClasses, kind, Figures::kTotal);
        EXPECT_TRUE(chart.series().isEmpty());
        EXPECT_EQ(chart.valueAxis(), nullptr);
        EXPECT_TRUE(chart.note().contains(QStringLiteral("还没有班级")));
        EXPECT_FALSE(chart.title().contains(QStringLiteral("极差")));
    }

    ResultsTest::MakeSchool(none, 20, 3, false); // classes, nobody placed yet
    const Figures unplaced(none);
    CDivisionChart chart(unplaced, Kind::Distribution, Figures::kTotal);
    EXPECT_TRUE(chart.note().contains(QStringLiteral("还没有学生")));

    // Drawn all the same, at the size asked for.
    QChartView view(new CDivisionChart(unplaced, Kind::Averages, 0));
    view.resize(640, 400);
    const QImage image = CChartImage::render(view);
    EXPECT_EQ(image.size(), QSize(640, 400));
    EXPECT_TRUE(HasDrawing(image));
}

TEST_F(DivisionChartTest, PicturesAndClipboard)
{
    CDivisionStatisticsDialog dialog(task);
    dialog.show();
    CDivisionChartView* charts = dialog.chartView();
    EXPECT_FALSE(charts->isVisible());
    dialog.viewTabs()->setCurrentIndex(1);
    EXPECT_TRUE(charts->isVisible());
    EXPECT_FALSE(dialog.table()->isVisible());
    EXPECT_EQ(charts->geometry(), dialog.table()->geometry());

    charts->kindChooser()->setCurrentIndex(2);
    charts->measureChooser()->setCurrentIndex(2); // 数学
    EXPECT_EQ(charts->currentChart()->kind(), Kind::Distribution);
    EXPECT_TRUE(charts->currentChart()->title().startsWith(QStringLiteral("各班数学分布")));
    charts->kindChooser()->setCurrentIndex(1);
    EXPECT_FALSE(charts->measureChooser()->isEnabled());

    const QString png = QString::fromStdString(folder.File("人数.png"));
    const QString svg = QString::fromStdString(folder.File("人数.SVG"));
    CMessageBox::pushPath(png);
    charts->saveButton()->click();
    CMessageBox::pushPath(svg);
    charts->saveButton()->click();
    const QImage saved(png);
    EXPECT_EQ(saved.size(), charts->chartView()->size());
    EXPECT_TRUE(HasDrawing(saved));
    const QString svgText = QString::fromUtf8(testsupport::ReadBytes(svg.toStdString()));
    EXPECT_TRUE(svgText.contains(QStringLiteral("<svg")));
    EXPECT_TRUE(svgText.contains(QStringLiteral("各班男女生人数")));
    ASSERT_FALSE(CMessageBox::shownChoosers().empty());
    EXPECT_TRUE(CMessageBox::shownChoosers().front().dir.endsWith(QStringLiteral("各班男女生人数.png")));

    // Cancelled, or a folder that is not there: nothing written, and said so.
    charts->saveButton()->click();
    CMessageBox::pushPath(QString::fromStdString(folder.File("无此文件夹/图.png")));
    charts->saveButton()->click();
    ASSERT_EQ(CMessageBox::shownTexts().size(), 1);
    EXPECT_TRUE(CMessageBox::shownTexts().front().startsWith(QStringLiteral("图片未能保存")));

    QGuiApplication::clipboard()->clear();
    charts->copyButton()->click();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), charts->chartView()->size());

    // The table is the same as before.
    EXPECT_EQ(dialog.model()->rowCount(), 8);
    dialog.viewTabs()->setCurrentIndex(0);
    EXPECT_TRUE(dialog.table()->isVisible());
}

TEST_F(DivisionChartTest, ChartsFollowTheDivision)
{
    const auto totalOfFirstClass = [this] {
        CDivisionStatisticsDialog dialog(task);
        auto* bars = FindSeries<QBarSeries>(*dialog.chartView()->currentChart());
        return bars->barSets().value(0)->at(0);
    };
    const double before = totalOfFirstClass();
    // A move by hand: every student of the first class into the empty one.
    for (const auto& entry : task.GetStudentInfoList()) {
        auto* student = static_cast<CStudentInfo*>(entry.object.get());
        if (student->ClassIdRef() == "class0")
            student->SetClassId("empty");
    }
    EXPECT_NE(before, 0.0);
    EXPECT_EQ(totalOfFirstClass(), 0.0);
}

TEST(DivisionChartManyClassesTest, ScrollsThroughFourHundredClasses)
{
    CScheduleTask task;
    ResultsTest::MakeSchool(task, 8000, 400, true);
    CDivisionChartView view(task);
    view.resize(1300, 600);
    view.show();
    CDivisionChart* chart = view.currentChart();
    ASSERT_EQ(chart->classCount(), 400);
    EXPECT_TRUE(view.scrollBar()->isVisible());
    const int shown = chart->shownCount();
    EXPECT_GE(shown, 20);
    EXPECT_LE(shown, 1300 / CDivisionChartView::kMinClassWidth);
    EXPECT_EQ(chart->classLabels().size(), shown); // each one named
    view.scrollBar()->setValue(view.scrollBar()->maximum());
    EXPECT_EQ(chart->firstShown() + chart->shownCount(), 400);
    EXPECT_EQ(chart->classLabels().back(), QStringLiteral("七年级(400)班"));

    // All of them at once: too crowded to name, the axis says which.
    chart->showClasses(0, 400);
    EXPECT_TRUE(chart->classLabels().isEmpty());
    EXPECT_TRUE(chart->axes(Qt::Horizontal)
                    .value(0)
                    ->titleText()
                    .startsWith(QStringLiteral("七年级(1)班 至 七年级(400)班，共 400 个班")));
}

#ifdef QUILLON_CLI_PATH
TEST_F(DivisionChartTest, CommandLineDrawsCharts)
{
    const std::string saved = ResultsTest::SaveTaskIn(task, "图表测试", folder.Path().string());
    ASSERT_FALSE(saved.empty());
    const QString taskFile = PdfTest::Quoted(QString::fromStdString(saved));
    const QString png = QString::fromStdString(folder.File("chart.png"));
    const QString svg = QString::fromStdString(folder.File("chart.svg"));

    // No display is needed, whatever the environment says.
    qputenv("QT_QPA_PLATFORM", "xcb");
    EXPECT_EQ(PdfTest::RunCli(QStringLiteral("chart %1 %2").arg(taskFile, PdfTest::Quoted(png))), 0);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    EXPECT_EQ(QImage(png).size(), QSize(1200, 700));

    EXPECT_EQ(PdfTest::RunCli(QStringLiteral("chart %1 %2 --kind box --subject 英语 --width 900 --height 500")
                                  .arg(taskFile, PdfTest::Quoted(png))),
              0);
    EXPECT_EQ(QImage(png).size(), QSize(900, 500));
    EXPECT_EQ(PdfTest::RunCli(QStringLiteral("chart %1 %2 --kind sex").arg(taskFile, PdfTest::Quoted(svg))), 0);
    EXPECT_TRUE(QString::fromUtf8(testsupport::ReadBytes(svg.toStdString())).contains(QStringLiteral("男女生")));

    EXPECT_EQ(PdfTest::RunCli(QStringLiteral("chart %1 %2 --subject 体育").arg(taskFile, PdfTest::Quoted(png))), 5);
    EXPECT_EQ(PdfTest::RunCli(QStringLiteral("chart %1 %2 --kind pie").arg(taskFile, PdfTest::Quoted(png))), 3);
    EXPECT_EQ(PdfTest::RunCli(QStringLiteral("chart %1 %2 --width 50").arg(taskFile, PdfTest::Quoted(png))), 3);
    EXPECT_EQ(PdfTest::RunCli(QStringLiteral("chart %1 out.jpg").arg(taskFile)), 3);
    EXPECT_EQ(
        PdfTest::RunCli(QStringLiteral("chart %1 %2").arg(taskFile, PdfTest::Quoted(png + QStringLiteral("/x.png")))),
        8);
}
#endif

} // namespace

// Every chart of the demo task (QUILLON_SCREENSHOT_TASK, divided here when
// it is not yet) and of a school of 400 classes, and the statistics window
// showing its charts, as PNG files when QUILLON_SCREENSHOT_DIR names a
// folder; skipped otherwise.
TEST(ChartScreenshots, DemoAndLargeSchool)
{
    const QString target = qEnvironmentVariable("QUILLON_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "QUILLON_SCREENSHOT_DIR not set";
    const QDir out(target);
    CScheduleTask demo;
    const QString demoFile = qEnvironmentVariable("QUILLON_SCREENSHOT_TASK");
    if (demoFile.isEmpty()) {
        ResultsTest::MakeSchool(demo, 360, 8, true);
    } else {
        ASSERT_TRUE(demo.Open(demoFile.toStdString()));
        if (!Figures(demo).HasPlacedStudents())
            ResultsTest::DivideQuietly(demo, 20260901);
    }
    CScheduleTask large;
    ResultsTest::MakeSchool(large, 20000, 400, true);

    // Everything only when asked for; the picture for the documentation always.
    const bool all = qEnvironmentVariableIsSet("QUILLON_SCREENSHOT_ALL_CHARTS");
    for (auto [task, name] : {std::pair{&demo, "demo"}, std::pair{&large, "400"}}) {
        if (!all)
            break;
        const Figures figures(*task);
        for (std::size_t measure = 0; measure <= figures.GetSubjectCount(); ++measure) {
            const std::size_t m = measure < figures.GetSubjectCount() ? measure : Figures::kTotal;
            const QString suffix = measure < figures.GetSubjectCount() ? QString::number(measure) : "total";
            for (auto [kind, kindName] : {std::pair{Kind::Averages, "averages"}, std::pair{Kind::Distribution, "box"}})
                EXPECT_TRUE(
                    CChartImage::save(std::make_unique<CDivisionChart>(figures, kind, m), QSize(1200, 700),
                                      out.filePath(QStringLiteral("chart-%1-%2-%3.png").arg(name, kindName, suffix))));
        }
        EXPECT_TRUE(CChartImage::save(std::make_unique<CDivisionChart>(figures, Kind::Headcount, Figures::kTotal),
                                      QSize(1200, 700), out.filePath(QStringLiteral("chart-%1-sex.png").arg(name))));
        CDivisionStatisticsDialog dialog(*task);
        dialog.resize(1366, 740);
        dialog.show();
        dialog.viewTabs()->setCurrentIndex(1);
        QCoreApplication::processEvents(); // as on screen: laid out before it is drawn
        EXPECT_TRUE(dialog.grab().save(out.filePath(QStringLiteral("chart-%1-window.png").arg(name))));
    }

    CDivisionStatisticsDialog dialog(demo);
    dialog.resize(1100, 620);
    dialog.show();
    dialog.viewTabs()->setCurrentIndex(1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialog.grab().save(out.filePath(QStringLiteral("results-charts.png"))));
}
