#include "core/DivisionChartFigures.h"

#include "core/DivisionStatistics.h"
#include "base/task/ScheduleTask.h"
#include "TaskBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Figures = CDivisionChartFigures;
using Distribution = CDivisionChartFigures::Distribution;

void ExpectDistribution(const Distribution& d, int count, float minimum, float q1, float median, float q3,
                        float maximum)
{
    EXPECT_EQ(d.count, count);
    EXPECT_FLOAT_EQ(d.minimum, minimum);
    EXPECT_FLOAT_EQ(d.lowerQuartile, q1);
    EXPECT_FLOAT_EQ(d.median, median);
    EXPECT_FLOAT_EQ(d.upperQuartile, q3);
    EXPECT_FLOAT_EQ(d.maximum, maximum);
}

TEST(ChartFiguresTest, QuartilesAreTheMediansOfTheHalves)
{
    // Odd: the median stays out of both halves.
    ExpectDistribution(Distribution::Of({7, 1, 5, 3, 6, 2, 4}), 7, 1, 2, 4, 6, 7);
    // Even: halves {1,2,3} and {4,5,6}.
    ExpectDistribution(Distribution::Of({6, 5, 4, 3, 2, 1}), 6, 1, 2, 3.5f, 5, 6);
    // Halves of even length take the mean of their middle pair.
    ExpectDistribution(Distribution::Of({10, 20, 30, 40, 50, 60, 70, 80, 90}), 9, 10, 25, 50, 75, 90);
    ExpectDistribution(Distribution::Of({80, 90}), 2, 80, 80, 85, 90, 90);
    ExpectDistribution(Distribution::Of({72.5f}), 1, 72.5f, 72.5f, 72.5f, 72.5f, 72.5f);
    ExpectDistribution(Distribution::Of({}), 0, 0, 0, 0, 0, 0);
}

class ChartFiguresTaskTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        task.GetCustomSubjectArray() = {"语文", "数学"};
        testsupport::AddClass(task, "c2", "二班", 2);
        testsupport::AddClass(task, "c1", "一班", 1);
        testsupport::AddClass(task, "c3", "三班", 3); // stays empty
        const std::vector<std::vector<std::string>> scores = {{"60", "70"}, {"75", "80.5"},      {"90", "x"},
                                                              {"85"},       {"100", "95", "99"}, {"66", "77"}};
        for (int s = 0; s < 6; ++s)
            testsupport::AddStudent(task, "s" + std::to_string(s), "学生", s, s % 2, s < 5 ? (s < 3 ? "c1" : "c2") : "",
                                    scores[s]);
    }

    CScheduleTask task;
};

TEST_F(ChartFiguresTaskTest, FiguresEqualTheStatistics)
{
    const Figures figures(task);
    CDivisionStatistics statistics(task);
    statistics.Calculate();
    const auto rows = statistics.GetRows();

    ASSERT_EQ(figures.GetClasses().size() + 1, rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Figures::ClassFigures& f =
            i < figures.GetClasses().size() ? figures.GetClasses()[i] : figures.GetSchool();
        const CClassStatistics& s = *rows[i].statistics;
        SCOPED_TRACE(rows[i].className);
        EXPECT_EQ(f.name, rows[i].className);
        EXPECT_EQ(f.classId, rows[i].classId);
        EXPECT_EQ(f.count, s.count);
        EXPECT_EQ(f.girls, s.girls);
        EXPECT_EQ(f.boys, s.boys);
        for (std::size_t k = 0; k < 2; ++k)
            EXPECT_EQ(f.Average(k), s.scoreAverages[k]);
        EXPECT_EQ(f.Average(Figures::kTotal), s.totalAverage);
    }
    EXPECT_EQ(figures.GetClasses()[0].name, "一班"); // record index order
    EXPECT_EQ(figures.GetSchool().count, 6);         // also the student without a class
}

TEST_F(ChartFiguresTaskTest, DistributionsAndSpreads)
{
    const Figures figures(task);
    // 一班: 语文 60, 75, 90; totals 130, 155.5, 90 (a non-number counts 0).
    const auto totals = figures.ClassDistributions(Figures::kTotal);
    ASSERT_EQ(totals.size(), 3u);
    ExpectDistribution(totals[0], 3, 90, 90, 130, 155.5f, 155.5f);
    // 二班: 数学 missing counts 0, a third score beyond the subjects is ignored.
    ExpectDistribution(figures.ClassDistributions(1)[1], 2, 0, 0, 47.5f, 95, 95);
    ExpectDistribution(totals[2], 0, 0, 0, 0, 0, 0);
    ExpectDistribution(figures.SchoolDistribution(0), 6, 60, 66, 80, 90, 100);

    // The empty class takes no part in the spread.
    EXPECT_FLOAT_EQ(figures.AverageSpread(0), 92.5f - 75.0f);
    EXPECT_EQ(figures.HeadcountSpread(true), 1);  // girls 2 and 1
    EXPECT_EQ(figures.HeadcountSpread(false), 0); // boys 1 and 1
    EXPECT_EQ(figures.MeasureName(1), "数学");
    EXPECT_EQ(figures.MeasureName(Figures::kTotal), "总分");
    EXPECT_TRUE(figures.HasPlacedStudents());
}

TEST(ChartFiguresEmptyTest, NoClassesOrNoStudents)
{
    CScheduleTask task;
    testsupport::AddStudent(task, "s1", "学生", 0, 0, "", {"80"});
    const Figures none(task);
    EXPECT_TRUE(none.GetClasses().empty());
    EXPECT_EQ(none.GetSchool().count, 1);
    EXPECT_FALSE(none.HasPlacedStudents());
    EXPECT_FLOAT_EQ(none.AverageSpread(Figures::kTotal), 0.0f);
    EXPECT_TRUE(none.ClassDistributions(Figures::kTotal).empty());

    testsupport::AddClass(task, "c1", "一班", 0);
    const Figures unplaced(task);
    ASSERT_EQ(unplaced.GetClasses().size(), 1u);
    EXPECT_EQ(unplaced.GetClasses()[0].count, 0);
    EXPECT_FALSE(unplaced.HasPlacedStudents());
    EXPECT_EQ(unplaced.ClassDistributions(Figures::kTotal)[0].count, 0);
}

} // namespace
