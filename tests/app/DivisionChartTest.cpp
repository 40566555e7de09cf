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

#include <QCategoryAxis>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
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

// Every text the chart draws as Qt laid it out: whole (Qt puts "…" for what
// it cut), inside the chart, and the class names level, apart from each
// other and each under its class.
void ExpectNothingCutShort(const CDivisionChart& chart)
{
    ASSERT_NE(chart.scene(), nullptr);
    const QRectF whole = QRectF(QPointF(0, 0), chart.size()).adjusted(-1, -1, 1, 1);
    QList<QGraphicsTextItem*> names;
    const QStringList labels = chart.classLabels();
    for (QGraphicsItem* item : chart.scene()->items()) {
        auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        if (!text || !text->isVisible() || text->toPlainText().isEmpty())
            continue;
        const QString plain = text->toPlainText();
        EXPECT_FALSE(plain.contains(QChar(0x2026))) << "cut short: " << plain.toStdString();
        EXPECT_TRUE(whole.contains(text->sceneBoundingRect())) << "outside: " << plain.toStdString();
        // The class names stand below the plot, the value axis's beside it.
        if (labels.contains(plain) && text->sceneBoundingRect().top() > chart.plotArea().bottom() - 1)
            names.push_back(text);
    }
    ASSERT_EQ(names.size(), labels.size());
    std::sort(names.begin(), names.end(), [](QGraphicsTextItem* a, QGraphicsTextItem* b) {
        return a->sceneBoundingRect().left() < b->sceneBoundingRect().left();
    });
    const qreal perClass = chart.plotArea().width() / chart.shownCount();
    const QList<int> classes = chart.labelledClasses();
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QRectF box = names[i]->sceneBoundingRect();
        EXPECT_EQ(names[i]->rotation(), 0.0);
        const qreal centre = chart.plotArea().left() + (classes[i] - chart.firstShown() + 0.5) * perClass;
        EXPECT_NEAR(box.center().x(), centre, 2.0) << names[i]->toPlainText().toStdString();
        if (i > 0) {
            EXPECT_LE(names[i - 1]->sceneBoundingRect().right(), box.left()) << names[i]->toPlainText().toStdString();
        }
    }
    EXPECT_EQ(chart.classAxis()->labelsAngle(), 0);
}

// The same by the font: the class names the chart chose fit the room the
// plot gives each of them, with room between.
void ExpectNamesFit(const CDivisionChart& chart)
{
    const QFontMetricsF metrics(chart.classAxis()->labelsFont());
    const qreal perClass = chart.plotArea().width() / chart.shownCount();
    const QStringList labels = chart.classLabels();
    const QList<int> classes = chart.labelledClasses();
    ASSERT_EQ(labels.size(), classes.size());
    ASSERT_FALSE(labels.isEmpty());
    for (qsizetype i = 1; i < labels.size(); ++i) {
        const qreal apart = (classes[i] - classes[i - 1]) * perClass;
        EXPECT_LT((metrics.horizontalAdvance(labels[i - 1]) + metrics.horizontalAdvance(labels[i])) / 2, apart)
            << labels[i].toStdString();
    }
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
        const CClassStatistics& school = *rows.back().statistics;
        const double schoolAverage = measure == Figures::kTotal ? school.totalAverage : school.scoreAverages[measure];
        // Each bar is the class's average less the school's, signed, in
        // points.
        double low = 1e9;
        double high = -1e9;
        for (int i = 0; i < 6; ++i) {
            const CClassStatistics& s = *rows[i].statistics;
            const double average = measure == Figures::kTotal ? s.totalAverage : s.scoreAverages[measure];
            EXPECT_NEAR(bars->at(i), average - schoolAverage, 1e-4);
            low = std::min(low, average - schoolAverage);
            high = std::max(high, average - schoolAverage);
        }
        EXPECT_LT(low, 0.0); // classes both below and above the school
        EXPECT_GT(high, 0.0);
        EXPECT_EQ(bars->at(6), 0.0); // the empty class has no bar
        // The school's average is the zero line, and the title says what it is.
        const QList<QPointF> line = FindSeries<QLineSeries>(chart)->points();
        ASSERT_EQ(line.size(), 2);
        EXPECT_EQ(line[0].y(), 0.0);
        EXPECT_EQ(line[1].y(), 0.0);
        EXPECT_TRUE(chart.subtitle().contains(QStringLiteral("平均分 %1 分").arg(schoolAverage, 0, 'f', 1)))
            << chart.subtitle().toStdString();
        EXPECT_TRUE(chart.subtitle().contains(QStringLiteral("极差 %1 分").arg(high - low, 0, 'f', 1)))
            << chart.subtitle().toStdString();
        EXPECT_TRUE(chart.plainTitle().startsWith(chart.heading()));

        // From a zero line in the middle, every bar's end on the scale, and
        // the ticks signed.
        QValueAxis* axis = chart.valueAxis();
        EXPECT_EQ(axis->titleText(), QStringLiteral("与全校平均分之差（分）"));
        EXPECT_DOUBLE_EQ(axis->min(), -axis->max());
        EXPECT_LE(axis->min(), low);
        EXPECT_GE(axis->max(), high);
        auto* ticks = qobject_cast<QCategoryAxis*>(axis);
        ASSERT_NE(ticks, nullptr);
        for (const QString& label : ticks->categoriesLabels()) {
            const double value = ticks->endValue(label);
            EXPECT_EQ(label, value > 1e-9    ? QStringLiteral("+") + label.mid(1)
                             : value < -1e-9 ? QStringLiteral("-") + label.mid(1)
                                             : QStringLiteral("0"));
            EXPECT_NEAR(std::abs(label.toDouble()), std::abs(value), 1e-9) << label.toStdString();
        }
        EXPECT_TRUE(ticks->categoriesLabels().contains(QStringLiteral("0")));
    }

    CDivisionChart sexes(figures, Kind::Headcount, Figures::kTotal);
    const QList<QBarSet*> sets = FindSeries<QStackedBarSeries>(sexes)->barSets();
    ASSERT_EQ(sets.size(), 2);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(sets[0]->at(i), rows[i].statistics->girls);
        EXPECT_EQ(sets[1]->at(i), rows[i].statistics->boys);
    }
    // Counts are bars from 0, on whole numbers.
    EXPECT_EQ(sexes.valueAxis()->min(), 0.0);
    EXPECT_GE(sexes.valueAxis()->max(), 40.0); // the largest class
    const double headcountStep =
        (sexes.valueAxis()->max() - sexes.valueAxis()->min()) / (sexes.valueAxis()->tickCount() - 1);
    EXPECT_EQ(headcountStep, std::round(headcountStep));
    EXPECT_EQ(sexes.valueAxis()->titleText(), QStringLiteral("人数"));
    EXPECT_TRUE(sexes.subtitle().startsWith(QStringLiteral("女生人数极差")));
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
    // The window grew for the chart; the table has the same place again.
    const QRect chartPlace = charts->geometry();
    dialog.viewTabs()->setCurrentIndex(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.table()->geometry(), chartPlace);
    dialog.viewTabs()->setCurrentIndex(1);

    charts->kindChooser()->setCurrentIndex(2);
    charts->measureChooser()->setCurrentIndex(2); // 数学
    EXPECT_EQ(charts->currentChart()->kind(), Kind::Distribution);
    EXPECT_TRUE(charts->currentChart()->heading().startsWith(QStringLiteral("各班数学分布")));
    charts->kindChooser()->setCurrentIndex(1);
    EXPECT_FALSE(charts->measureChooser()->isEnabled());

    const QString png = QString::fromStdString(folder.File("人数.png"));
    const QString svg = QString::fromStdString(folder.File("人数.SVG"));
    CMessageBox::pushPath(png);
    charts->saveButton()->click();
    CMessageBox::pushPath(svg);
    charts->saveButton()->click();
    // A picture of 1600 × 900 points at two pixels a point, whatever the
    // window's size.
    const QImage saved(png);
    EXPECT_EQ(saved.size(), QSize(3200, 1800));
    EXPECT_NEAR(saved.dotsPerMeterX(), 2 * 96 / 0.0254, 1.0);
    EXPECT_TRUE(HasDrawing(saved));
    for (QSize window : {QSize(500, 300), QSize(1500, 950)}) {
        dialog.resize(window);
        CMessageBox::pushPath(png);
        charts->saveButton()->click();
        EXPECT_EQ(QImage(png).size(), QSize(3200, 1800));
    }
    const QString svgText = QString::fromUtf8(testsupport::ReadBytes(svg.toStdString()));
    EXPECT_TRUE(svgText.contains(QStringLiteral("<svg")));
    EXPECT_TRUE(svgText.contains(QStringLiteral("viewBox=\"0 0 1600 900\"")));
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

// The window as it opens: the charts get room, and every chart of it reads
// whole, its titles and names neither cut short nor turned on their side.
TEST_F(DivisionChartTest, NothingCutShortAtTheDefaultSize)
{
    CDivisionStatisticsDialog dialog(task);
    dialog.show();
    const int tableHeight = dialog.height();
    dialog.viewTabs()->setCurrentIndex(1);
    QCoreApplication::processEvents();
    CDivisionChartView* charts = dialog.chartView();
    EXPECT_GT(dialog.height(), tableHeight);
    EXPECT_LE(dialog.frameGeometry().bottom(), dialog.screen()->availableGeometry().bottom());
    for (int kind = 0; kind < 3; ++kind) {
        for (int measure : {0, 2}) {
            SCOPED_TRACE(kind * 10 + measure);
            charts->kindChooser()->setCurrentIndex(kind);
            charts->measureChooser()->setCurrentIndex(measure);
            QCoreApplication::processEvents();
            CDivisionChart* chart = charts->currentChart();
            EXPECT_EQ(chart->shownCount(), 7);
            EXPECT_EQ(chart->labelStep(), 1);
            EXPECT_EQ(chart->classLabels().size(), 7);
            ExpectNamesFit(*chart);
            ExpectNothingCutShort(*chart);
        }
    }
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
    // Named by their numbers, the shared "七年级(…)班" said once below.
    EXPECT_LE(chart->labelStep(), 2);
    EXPECT_GE(chart->classLabels().size(), shown / 2);
    EXPECT_TRUE(chart->classLabels().contains(QStringLiteral("2")));
    ExpectNamesFit(*chart);
    ExpectNothingCutShort(*chart);
    view.scrollBar()->setValue(view.scrollBar()->maximum());
    EXPECT_EQ(chart->firstShown() + chart->shownCount(), 400);
    EXPECT_EQ(chart->classLabels().back(), QStringLiteral("400"));
    EXPECT_TRUE(chart->classAxis()->titleText().contains(QStringLiteral("至 七年级(400)班，共 %1 个班").arg(shown)))
        << chart->classAxis()->titleText().toStdString();

    // All of them at once: every n-th is named, the axis says which and how.
    chart->showClasses(0, 400);
    QCoreApplication::processEvents();
    EXPECT_GE(chart->labelStep(), 10);
    ExpectNamesFit(*chart);
    ExpectNothingCutShort(*chart);
    EXPECT_TRUE(chart->axes(Qt::Horizontal)
                    .value(0)
                    ->titleText()
                    .startsWith(QStringLiteral("七年级(1)班 至 七年级(400)班，共 400 个班，每 %1 个班标注一个")
                                    .arg(chart->labelStep())));
    // Each a multiple of the step, so that they read as a scale.
    for (const QString& label : chart->classLabels().mid(1))
        EXPECT_EQ(label.toInt() % chart->labelStep(), 0) << label.toStdString();
}

// Sixty classes, on the window at the sizes of common screens and in a
// saved picture: names level, none cut short or run into another.
TEST(DivisionChartManyClassesTest, SixtyClassesNamedLevel)
{
    CScheduleTask task;
    ResultsTest::MakeSchool(task, 1800, 60, true);
    CDivisionChartView view(task);
    for (QSize size : {QSize(700, 420), QSize(1280, 680), QSize(1520, 900)}) {
        SCOPED_TRACE(size.width());
        view.resize(size);
        view.show();
        QCoreApplication::processEvents();
        for (int kind = 0; kind < 3; ++kind) {
            view.kindChooser()->setCurrentIndex(kind);
            QCoreApplication::processEvents();
            CDivisionChart* chart = view.currentChart();
            EXPECT_EQ(chart->shownCount(),
                      std::min(60, static_cast<int>(chart->plotArea().width()) / CDivisionChartView::kMinClassWidth));
            ExpectNamesFit(*chart);
            ExpectNothingCutShort(*chart);
        }
    }

    // A picture has room for all sixty, each named.
    const Figures figures(task);
    QChartView picture(new CDivisionChart(figures, Kind::Headcount, Figures::kTotal));
    picture.resize(CChartImage::pictureSize(60));
    picture.setAttribute(Qt::WA_DontShowOnScreen);
    picture.show();
    QCoreApplication::processEvents();
    const auto* chart = static_cast<CDivisionChart*>(picture.chart());
    EXPECT_EQ(chart->shownCount(), 60);
    EXPECT_LE(chart->labelStep(), 2);
    ExpectNamesFit(*chart);
    ExpectNothingCutShort(*chart);
}

// Names with nothing in common stay whole; a shared part is left out only
// where it does not cut a number in two.
TEST(DivisionChartManyClassesTest, ShortNamesKeepNumbersWhole)
{
    const auto labelsOf = [](const std::vector<std::string>& names, int width) {
        CScheduleTask task;
        task.GetCustomSubjectArray() = {"语文"};
        for (std::size_t c = 0; c < names.size(); ++c) {
            testsupport::AddClass(task, "c" + std::to_string(c), names[c], static_cast<int>(c));
            testsupport::AddStudent(task, "s" + std::to_string(c), "学生", static_cast<int>(c), 0,
                                    "c" + std::to_string(c), {"80"});
        }
        const Figures figures(task);
        QChartView view(new CDivisionChart(figures, Kind::Headcount, Figures::kTotal));
        view.resize(width, 400);
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.show();
        QCoreApplication::processEvents();
        return static_cast<CDivisionChart*>(view.chart())->classLabels();
    };
    std::vector<std::string> teens;
    for (int n = 10; n < 20; ++n)
        teens.push_back("七年级(" + std::to_string(n) + ")班");
    // Narrow: "10" … "19", not "0" … "9".
    const QStringList narrow = labelsOf(teens, 420);
    ASSERT_FALSE(narrow.isEmpty());
    for (const QString& label : narrow)
        EXPECT_GE(label.toInt(), 10) << label.toStdString();
    // Room enough: whole names.
    EXPECT_EQ(labelsOf(teens, 1600).value(0), QStringLiteral("七年级(10)班"));
    // Nothing shared at the start: whole, thinned when need be.
    const QStringList mixed = labelsOf({"实验班", "普通一班", "普通二班", "艺术班"}, 300);
    for (const QString& label : mixed)
        EXPECT_TRUE(QStringList({"实验班", "普通一班", "普通二班", "艺术班"}).contains(label)) << label.toStdString();
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
    // The picture the window saves: 1600 × 900 points at two pixels a point.
    EXPECT_EQ(QImage(png).size(), QSize(3200, 1800));
    EXPECT_NEAR(QImage(png).dotsPerMeterX(), 2 * 96 / 0.0254, 1.0);
    // Sizes given are kept, a smaller one drawn coarser.
    EXPECT_EQ(
        PdfTest::RunCli(QStringLiteral("chart %1 %2 --width 2400 --height 1350").arg(taskFile, PdfTest::Quoted(png))),
        0);
    EXPECT_EQ(QImage(png).size(), QSize(2400, 1350));
    EXPECT_NEAR(QImage(png).dotsPerMeterX(), 1.5 * 96 / 0.0254, 1.0);

    EXPECT_EQ(PdfTest::RunCli(QStringLiteral("chart %1 %2 --kind box --subject 英语 --width 900 --height 500")
                                  .arg(taskFile, PdfTest::Quoted(png))),
              0);
    EXPECT_EQ(QImage(png).size(), QSize(900, 500));
    EXPECT_EQ(PdfTest::RunCli(QStringLiteral("chart %1 %2 --kind sex").arg(taskFile, PdfTest::Quoted(svg))), 0);
    const QString svgText = QString::fromUtf8(testsupport::ReadBytes(svg.toStdString()));
    EXPECT_TRUE(svgText.contains(QStringLiteral("男女生")));
    EXPECT_TRUE(svgText.contains(QStringLiteral("viewBox=\"0 0 1600 900\"")));

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

    // The window on a 1366 × 768 and on a 1600 × 1000 screen, less the
    // task bar and the window's frame; a picture as "保存图片…" saves it.
    for (auto [size, name] : {std::pair{QSize(1340, 690), "1366"}, std::pair{QSize(1560, 920), "1600"}}) {
        dialog.resize(size);
        QCoreApplication::processEvents();
        EXPECT_TRUE(dialog.grab().save(out.filePath(QStringLiteral("results-charts-%1.png").arg(name))));
    }
    CMessageBox::clearTestState();
    CMessageBox::pushPath(out.filePath(QStringLiteral("results-chart-saved.png")));
    dialog.chartView()->saveButton()->click();
    EXPECT_TRUE(CMessageBox::shownTexts().empty());
}
