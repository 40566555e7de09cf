#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CScheduleTask;

// The figures the charts of a division draw: per class (in ascending record
// index order) and for the whole school the headcounts and the averages,
// taken from the division statistics so that chart and table always agree,
// and per class the spread of the students' scores in a subject or in the
// total.
//
// With condition columns or score bands, each class also has the number of
// its students in every category (CDivisionCategoryCounts).
//
// A measure is the position of a subject in the task's subject list, or
// kTotal for the sum of a student's scores. As in the statistics, a student's
// scores count up to the number of subjects; a score that is missing or not
// a number counts as 0.
class CDivisionChartFigures
{
public:
    static constexpr std::size_t kTotal = static_cast<std::size_t>(-1);

    // The five figures of a box plot. The quartiles are the medians of the
    // lower and the upper half of the sorted scores; with an odd number of
    // scores the median belongs to neither half (for 1, 2, 3, 4, 5, 6, 7 the
    // quartiles are 2 and 6), and a single score is its own quartiles. All
    // zero when there are no scores.
    struct Distribution
    {
        std::int32_t count = 0;
        float minimum = 0.0f;
        float lowerQuartile = 0.0f;
        float median = 0.0f;
        float upperQuartile = 0.0f;
        float maximum = 0.0f;

        static Distribution Of(std::vector<float> scores);
    };

    // One class, or the whole school (which counts every student of the
    // task, also those without a class).
    struct ClassFigures
    {
        std::string classId;
        std::string name;
        std::int32_t count = 0;
        std::int32_t girls = 0;
        std::int32_t boys = 0;
        std::vector<float> subjectAverages;
        float totalAverage = 0.0f;
        // One per category title.
        std::vector<std::int32_t> categoryCounts;

        float Average(std::size_t measure) const;
    };

    // Computes every figure from the task's students as they are now.
    explicit CDivisionChartFigures(const CScheduleTask& task);

    const std::vector<std::string>& GetSubjectNames() const { return m_subjects; }
    std::size_t GetSubjectCount() const { return m_subjects.size(); }
    const std::vector<ClassFigures>& GetClasses() const { return m_classes; }
    const ClassFigures& GetSchool() const { return m_school; }
    // Whether any class has a student.
    bool HasPlacedStudents() const;
    // "#住校:是", "分数段:前10%", …; none without condition columns and bands.
    const std::vector<std::string>& GetCategoryTitles() const { return m_categories; }

    // "总分" or the subject's name.
    std::string MeasureName(std::size_t measure) const;
    // Largest minus smallest class average, over the classes with students
    // (an empty class has no average to compare); 0 with fewer than two.
    float AverageSpread(std::size_t measure) const;
    // The same for the number of girls (or boys) of a class.
    std::int32_t HeadcountSpread(bool girls) const;
    // The same for the number of students in a category.
    std::int32_t CategorySpread(std::size_t category) const;

    // The scores of each class, in the order of GetClasses().
    std::vector<Distribution> ClassDistributions(std::size_t measure) const;
    Distribution SchoolDistribution(std::size_t measure) const;

private:
    // A student's scores, one per subject, then the total.
    using Scores = std::vector<float>;

    std::vector<float> Column(const std::vector<Scores>& students, std::size_t measure) const;

    std::vector<std::string> m_subjects;
    std::vector<std::string> m_categories;
    std::vector<ClassFigures> m_classes;
    ClassFigures m_school;
    std::vector<std::vector<Scores>> m_classScores; // per class, per student
    std::vector<Scores> m_schoolScores;
};
