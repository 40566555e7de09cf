#include "core/DivisionStatistics.h"

#include "base/records/ClassInfo.h"
#include "core/DivisionChange.h"
#include "core/DivisionTableData.h"
#include "base/task/ScheduleTask.h"
#include "base/records/StudentInfo.h"
#include "TaskBuilder.h"
#include "TestSupport.h"

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
    AddStudent("s3", 1, "", {"70"});     // not placed: only the whole school
    AddStudent("s4", 1, "gone", {"60"}); // names no class: only the whole school

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

    EXPECT_EQ(
        CDivisionStatistics::ColumnTitles(task.GetCustomSubjectArray()),
        (std::vector<std::string>{"ID", "班级", "人数", "女生", "男生", "语文平均分", "数学平均分", "总分平均分"}));
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

TEST_F(StatisticsTest, FiguresAfterAChangeLeaveTheTaskAlone)
{
    task.GetCustomSubjectArray() = {"语文"};
    AddClass("c1", "一班", 0);
    AddClass("c2", "二班", 1);
    AddStudent("s1", 0, "c1", {"80"});
    AddStudent("s2", 1, "c1", {"60"});
    AddStudent("s3", 1, "c2", {"90"});
    AddStudent("s4", 0, "", {"50"});

    CDivisionStatistics statistics(task);
    // s1 to 二班, and s4, who has no class yet, to 一班.
    statistics.CalculateAfter(CDivisionChange(CDivisionChange::Kind::Move, {{"s1", "c1", "c2"}, {"s4", "", "c1"}}));
    const CClassStatistics* one = statistics.GetClassStatistics("c1");
    const CClassStatistics* two = statistics.GetClassStatistics("c2");
    ASSERT_TRUE(one && two);
    EXPECT_EQ(one->count, 2);
    EXPECT_EQ(one->girls, 1);
    EXPECT_FLOAT_EQ(one->totalAverage, 55.0f);
    EXPECT_EQ(two->count, 2);
    EXPECT_EQ(two->girls, 1);
    EXPECT_FLOAT_EQ(two->scoreAverages[0], 85.0f);
    EXPECT_EQ(statistics.GetSchoolStatistics().count, 4);
    EXPECT_EQ(task.GetStudentInfoList().FindAs<CStudentInfo>("s1")->GetClassId(), "c1");

    // An exchange, then the figures of the task as it is again.
    statistics.CalculateAfter(
        CDivisionChange(CDivisionChange::Kind::Exchange, {{"s2", "c1", "c2"}, {"s3", "c2", "c1"}}));
    EXPECT_FLOAT_EQ(statistics.GetClassStatistics("c1")->totalAverage, 85.0f);
    EXPECT_FLOAT_EQ(statistics.GetClassStatistics("c2")->totalAverage, 60.0f);
    statistics.Calculate();
    EXPECT_FLOAT_EQ(statistics.GetClassStatistics("c1")->totalAverage, 70.0f);
    EXPECT_EQ(statistics.GetClassStatistics("c2")->count, 1);
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

// LC_NUMERIC set to a locale that writes decimal commas while the object
// lives: an installed one, or one compiled from the system's locale sources
// into a temporary folder that goes with the object. GetReason() says why
// there is none where neither can be had.
class DecimalCommaLocale
{
public:
    DecimalCommaLocale()
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
            if (Use(name))
                return;
        }
        m_folder = std::make_unique<testsupport::TempFolder>();
        const std::filesystem::path compiled = m_folder->Path() / "de_DE.UTF-8";
        const std::string command = "localedef -i de_DE -f UTF-8 '" + compiled.string() + "' > /dev/null 2>&1";
        // localedef warns with a non-zero code on some systems and still
        // writes the locale: what counts is whether it is there.
        (void)std::system(command.c_str());
        if (!std::filesystem::exists(compiled / "LC_NUMERIC")) {
            m_reason = "no locale with a decimal comma is installed and localedef could not compile de_DE";
            return;
        }
        ::setenv("LOCPATH", m_folder->Path().c_str(), 1);
        const bool found = Use("de_DE.UTF-8");
        ::unsetenv("LOCPATH");
        if (!found)
            m_reason = "the compiled de_DE locale does not write decimal commas";
    }
    ~DecimalCommaLocale() { std::setlocale(LC_NUMERIC, "C"); }
    DecimalCommaLocale(const DecimalCommaLocale&) = delete;
    DecimalCommaLocale& operator=(const DecimalCommaLocale&) = delete;

    bool IsSet() const { return m_set; }
    const std::string& GetReason() const { return m_reason; }
    // The folder a locale was compiled into; null when none was.
    const testsupport::TempFolder* GetFolder() const { return m_folder.get(); }

private:
    bool Use(const char* name)
    {
        m_set = std::setlocale(LC_NUMERIC, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0;
        return m_set;
    }

    std::unique_ptr<testsupport::TempFolder> m_folder;
    std::string m_reason;
    bool m_set = false;
};

// A desktop whose locale writes decimal commas (a program linked against a
// GUI toolkit takes the user's locale at start-up) still sees "85.0" and
// "90.5": the figures are not localised, and the ".0" of a total is dropped.
TEST(FiguresAsShown, DecimalPointWhateverTheLocale)
{
    std::filesystem::path compiledIn;
    std::string average, averageHalf, total, totalHalf;
    {
        DecimalCommaLocale comma;
        if (!comma.IsSet())
            GTEST_SKIP() << comma.GetReason();
        if (comma.GetFolder())
            compiledIn = comma.GetFolder()->Path();
        average = CDivisionStatistics::FormatAverage(85.0f);
        averageHalf = CDivisionStatistics::FormatAverage(55.25f);
        total = CDivisionTableData::FormatTotal(90.0f);
        totalHalf = CDivisionTableData::FormatTotal(90.5f);
    }
    EXPECT_EQ(std::strcmp(std::localeconv()->decimal_point, "."), 0);
    if (!compiledIn.empty()) {
        EXPECT_FALSE(std::filesystem::exists(compiledIn)) << "the compiled locale is left behind";
    }

    EXPECT_EQ(average, "85.0");
    EXPECT_EQ(averageHalf, "55.2");
    EXPECT_EQ(total, "90");
    EXPECT_EQ(totalHalf, "90.5");
}

} // namespace
