#include "DivisionStatistics.h"

#include "ClassInfo.h"
#include "DivisionTableData.h"
#include "ScheduleTask.h"
#include "StudentInfo.h"
#include "TaskBuilder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

class StatisticsTest : public ::testing::Test
{
protected:
    void AddClass(const std::string& id, const std::string& name, int index)
    {
        testsupport::AddClass(task, id, name, index);
    }

    void AddStudent(const std::string& id, int sex, const std::string& classId, std::vector<std::string> scores)
    {
        testsupport::AddStudent(task, id, "学生" + id, 0, sex, classId, std::move(scores));
    }

    CScheduleTask task;
};

TEST_F(StatisticsTest, ClassAndSchoolFigures)
{
    task.GetCustomSubjectArray() = {"语文"};
    AddClass("c1", "一班", 2);
    AddClass("c2", "二班", 1);
    AddStudent("s1", 0, "c1", {"80"});
    AddStudent("s2", 0, "c1", {"90"});
    AddStudent("s3", 1, "", {"70"});        // not placed: only the whole school
    AddStudent("s4", 1, "gone", {"60"});    // names no class: only the whole school

    CDivisionStatistics statistics(task);
    statistics.Calculate();

    const CClassStatistics* one = statistics.GetClassStatistics("c1");
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->count, 2);
    EXPECT_EQ(one->girls, 2);
    EXPECT_EQ(one->boys, 0);
    EXPECT_FLOAT_EQ(one->scoreAverages[0], 85.0f);
    EXPECT_FLOAT_EQ(one->totalAverage, 85.0f);

    const CClassStatistics* two = statistics.GetClassStatistics("c2");
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->count, 0);
    EXPECT_FLOAT_EQ(two->scoreAverages[0], 0.0f);
    EXPECT_FLOAT_EQ(two->totalAverage, 0.0f);
    EXPECT_EQ(statistics.GetClassStatistics("gone"), nullptr);

    const CClassStatistics& school = statistics.GetSchoolStatistics();
    EXPECT_EQ(school.count, 4);
    EXPECT_EQ(school.girls, 2);
    EXPECT_EQ(school.boys, 2);
    EXPECT_FLOAT_EQ(school.scoreAverages[0], 75.0f);

    // Rows: classes by record index, then the whole school.
    const auto rows = statistics.GetRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(CDivisionStatistics::RowTexts(rows[0]),
              (std::vector<std::string>{"c2", "二班", "0", "0", "0", "0.0", "0.0"}));
    EXPECT_EQ(CDivisionStatistics::RowTexts(rows[1]),
              (std::vector<std::string>{"c1", "一班", "2", "2", "0", "85.0", "85.0"}));
    EXPECT_EQ(CDivisionStatistics::RowTexts(rows[2]),
              (std::vector<std::string>{"", "全校", "4", "2", "2", "75.0", "75.0"}));
    // The whole school is the class counts plus the students left out.
    EXPECT_EQ(school.count, one->count + two->count + 2);
}

TEST_F(StatisticsTest, OnlyScoresWithASubjectAreCounted)
{
    task.GetCustomSubjectArray() = {"语文", "数学"};
    AddClass("c1", "一班", 0);
    AddStudent("s1", 1, "c1", {"90", "80", "1000"}); // the third score has no subject
    AddStudent("s2", 1, "c1", {"70"});               // fewer scores than subjects
    AddStudent("s3", 0, "c1", {"abc", "85.5"});      // not a number counts 0

    CDivisionStatistics statistics(task);
    statistics.Calculate();
    const CClassStatistics* one = statistics.GetClassStatistics("c1");
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->count, 3);
    EXPECT_FLOAT_EQ(one->scoreSums[0], 160.0f);
    EXPECT_FLOAT_EQ(one->scoreSums[1], 165.5f);
    EXPECT_FLOAT_EQ(one->totalSum, 325.5f);
    EXPECT_FLOAT_EQ(one->totalAverage, 325.5f / 3.0f);
    EXPECT_EQ(CDivisionStatistics::FormatAverage(one->scoreAverages[1]), "55.2");
    EXPECT_EQ(CDivisionStatistics::FormatAverage(one->totalAverage), "108.5");

    EXPECT_EQ(CDivisionStatistics::ColumnTitles(task.GetCustomSubjectArray()),
              (std::vector<std::string>{"ID", "班级", "人数", "女生", "男生", "语文平均分", "数学平均分",
                                        "总分平均分"}));
}

TEST_F(StatisticsTest, NoClassesGiveNoRowsButSchoolStillCounts)
{
    task.GetCustomSubjectArray() = {"语文"};
    AddStudent("s1", 0, "", {"60"});
    CDivisionStatistics statistics(task);
    statistics.Calculate();
    EXPECT_TRUE(statistics.GetRows().empty());
    EXPECT_EQ(statistics.GetSchoolStatistics().count, 1);

    // Calculating again starts from zero.
    statistics.Calculate();
    EXPECT_EQ(statistics.GetSchoolStatistics().count, 1);
    EXPECT_FLOAT_EQ(statistics.GetSchoolStatistics().totalSum, 60.0f);
}

// Averages are rounded to one decimal as the number stored in single
// precision lies, never half-up by hand: 85.25 is 85.2, 85.35 is 85.3
// (85.3499...), 0.05 is 0.1 (0.0500000007).
TEST(FiguresAsShown, AveragesRoundTheStoredNumber)
{
    EXPECT_EQ(CDivisionStatistics::FormatAverage(85.25f), "85.2");
    EXPECT_EQ(CDivisionStatistics::FormatAverage(55.25f), "55.2");
    EXPECT_EQ(CDivisionStatistics::FormatAverage(85.35f), "85.3");
    EXPECT_EQ(CDivisionStatistics::FormatAverage(0.05f), "0.1");
    EXPECT_EQ(CDivisionStatistics::FormatAverage(-0.25f), "-0.2");
    EXPECT_EQ(CDivisionTableData::FormatTotal(90.0f), "90");
    EXPECT_EQ(CDivisionTableData::FormatTotal(90.5f), "90.5");
}

// Switches LC_NUMERIC to a locale that writes decimal commas: an installed
// one, or one compiled into a temporary folder from the system's locale
// sources. False when neither can be had.
bool UseDecimalCommaLocale()
{
    const char* const installed[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"};
    auto comma = [](const char* name) {
        return std::setlocale(LC_NUMERIC, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0;
    };
    for (const char* name : installed)
        if (comma(name))
            return true;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quillon_test_locales";
    if (!std::filesystem::exists(folder / "de_DE.UTF-8" / "LC_NUMERIC")) {
        std::filesystem::create_directories(folder);
        const std::string command =
            "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string() + "' > /dev/null 2>&1";
        if (std::system(command.c_str()) != 0 && !std::filesystem::exists(folder / "de_DE.UTF-8" / "LC_NUMERIC"))
            return false;
    }
    ::setenv("LOCPATH", folder.c_str(), 1);
    const bool found = comma("de_DE.UTF-8");
    ::unsetenv("LOCPATH");
    return found;
}

// A desktop whose locale writes decimal commas (a program linked against a
// GUI toolkit takes the user's locale at start-up) still sees "85.0" and
// "90.5": the figures are not localised, and the ".0" of a total is dropped.
TEST(FiguresAsShown, DecimalPointWhateverTheLocale)
{
    ASSERT_TRUE(UseDecimalCommaLocale()) << "no locale with a decimal comma could be installed or compiled";

    const std::string average = CDivisionStatistics::FormatAverage(85.0f);
    const std::string averageHalf = CDivisionStatistics::FormatAverage(55.25f);
    const std::string total = CDivisionTableData::FormatTotal(90.0f);
    const std::string totalHalf = CDivisionTableData::FormatTotal(90.5f);
    std::setlocale(LC_NUMERIC, "C");

    EXPECT_EQ(average, "85.0");
    EXPECT_EQ(averageHalf, "55.2");
    EXPECT_EQ(total, "90");
    EXPECT_EQ(totalHalf, "90.5");
}

} // namespace
