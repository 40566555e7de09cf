#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CClassInfo;
class CScheduleTask;
class CStudentInfo;

// A divided task as the balance optimiser sees it, read once from the task:
// the placed students with their scores, sex and original school, the
// classes with their capacities, who must stay where they are and who must
// not share a class. Students without a class are not part of it at all.
//
// Scores are kept twice: exactly, in thousandths of a point, for the search
// (class sums never drift however many moves are made), and as the single
// precision values the statistics add up, for measuring what the user sees.
// Per student there are as many score dimensions as subjects, then the
// total (the sum of the subject scores, as the statistics count it).
//
// Besides sex, the counts kept even are tallies of several kinds: kind 0 is
// the original school, then one kind per condition column and one for the
// score bands (CDivisionCategories). A student is in at most one tally of
// each kind; tallies are numbered across kinds, schools first.
class CBalanceModel
{
public:
    static constexpr std::int64_t kUnitsPerPoint = 1000;

    explicit CBalanceModel(CScheduleTask& task);
    CBalanceModel(const CBalanceModel&) = delete;
    CBalanceModel& operator=(const CBalanceModel&) = delete;

    int GetClassCount() const { return static_cast<int>(m_classes.size()); }
    int GetStudentCount() const { return static_cast<int>(m_students.size()); }
    int GetSubjectCount() const { return m_subjectCount; }
    // Subjects, then the total.
    int GetScoreDimensions() const { return m_subjectCount + 1; }
    int GetSchoolCount() const { return static_cast<int>(m_schoolNames.size()); }
    // Students of the task that have no class (left as they are).
    int GetUnplacedCount() const { return m_unplacedCount; }

    // Whether any student has a class, i.e. the task has been divided.
    bool IsDivided() const { return !m_students.empty(); }

    // The class of every student when the model was read.
    const std::vector<int>& GetInitialAssignment() const { return m_initialClass; }

    bool IsFixed(int student) const { return m_students[static_cast<std::size_t>(student)].fixed; }
    bool IsGirl(int student) const { return m_students[static_cast<std::size_t>(student)].girl; }
    // Index of the original school; -1 when the student names none.
    int GetSchool(int student) const { return m_students[static_cast<std::size_t>(student)].school; }
    // The score dimensions of a student, in thousandths of a point.
    const std::int64_t* GetUnits(int student) const
    {
        return m_units.data() + static_cast<std::size_t>(student) * static_cast<std::size_t>(GetScoreDimensions());
    }
    // The subject scores as the statistics read them (0 where a score is
    // missing).
    const float* GetScores(int student) const
    {
        return m_scores.data() + static_cast<std::size_t>(student) * static_cast<std::size_t>(m_subjectCount);
    }
    // Placed students that must not share a class with this one.
    const int* PartnersBegin(int student) const
    {
        return m_partners.data() + m_partnerStart[static_cast<std::size_t>(student)];
    }
    const int* PartnersEnd(int student) const
    {
        return m_partners.data() + m_partnerStart[static_cast<std::size_t>(student) + 1];
    }

    // The planned number of students, the limit no move may exceed.
    std::int64_t GetCapacity(int classIndex) const { return m_capacities[static_cast<std::size_t>(classIndex)]; }

    const std::string& GetSchoolName(int school) const { return m_schoolNames[static_cast<std::size_t>(school)]; }
    // Placed students of the school.
    int GetSchoolSize(int school) const { return m_schoolSizes[static_cast<std::size_t>(school)]; }
    // The school with the most placed students; -1 when no student names one.
    int GetLargestSchool() const;

    const std::vector<std::string>& GetSubjectNames() const { return m_subjectNames; }

    // Kinds of tallies: the schools, then the task's categories.
    int GetTallyKinds() const { return static_cast<int>(m_tallyStart.size()); }
    int GetTallyCount() const { return m_tallyCount; }
    // The tally of a student in a kind; -1 when it has none.
    int GetTally(int student, int kind) const
    {
        const int local = m_tallies[static_cast<std::size_t>(student) * m_tallyStart.size()
                                    + static_cast<std::size_t>(kind)];
        return local < 0 ? -1 : m_tallyStart[static_cast<std::size_t>(kind)] + local;
    }
    bool IsSchoolTally(int tally) const { return tally < GetSchoolCount(); }
    // Placed students in a tally.
    int GetTallySize(int tally) const { return m_tallySizes[static_cast<std::size_t>(tally)]; }
    // "第一中学", or a category: "#住校:是", "分数段:前10%".
    const std::string& GetTallyName(int tally) const { return m_tallyNames[static_cast<std::size_t>(tally)]; }

    // Writes an assignment into the task: each moved student's class, and
    // the student lists of the classes concerned (girls before boys, as a
    // division leaves them). Returns the number of students moved.
    int Apply(const std::vector<int>& assignment) const;

    // Students who share a class by rule and none of whom is pre-assigned:
    // each block is fixed for the moves of one student and goes over to
    // another class only as a whole.
    const std::vector<std::vector<int>>& GetBlocks() const { return m_blocks; }

private:
    struct Student
    {
        CStudentInfo* info = nullptr;
        bool fixed = false;
        bool girl = false;
        int school = -1;
    };

    void ReadClasses();
    void ReadStudents();
    void ReadPartners();
    // Numbers the tallies once the schools are known.
    void ReadTallies(const std::vector<std::string>& categoryNames, const std::vector<std::size_t>& kindSizes);
    std::vector<std::string> ReadFixedIds() const;

    CScheduleTask& m_task;
    int m_subjectCount = 0;
    std::vector<std::string> m_subjectNames;
    std::vector<CClassInfo*> m_classes;
    std::vector<std::int64_t> m_capacities;
    std::vector<Student> m_students;
    std::vector<int> m_initialClass;
    std::vector<std::vector<int>> m_blocks;
    std::vector<std::int64_t> m_units;
    std::vector<float> m_scores;
    std::vector<std::size_t> m_partnerStart;
    std::vector<int> m_partners;
    std::vector<std::string> m_schoolNames;
    std::vector<int> m_schoolSizes;
    int m_unplacedCount = 0;
    std::vector<int> m_tallyStart;  // per kind, its first tally
    std::vector<int> m_tallies;     // student x kind, numbered within the kind
    std::vector<int> m_tallySizes;  // per tally
    std::vector<std::string> m_tallyNames;
    int m_tallyCount = 0;
};
