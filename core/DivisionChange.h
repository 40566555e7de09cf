#pragma once

#include <string>
#include <vector>

class CScheduleTask;

// A change made by hand to a division: one or more students moved to a
// class, or two students of different classes exchanged. Each step names a
// student, the class id it holds before the change (empty when it has no
// class) and the class it goes to.
class CDivisionChange
{
public:
    enum class Kind
    {
        Move,
        Exchange,
    };

    struct Step
    {
        std::string studentId;
        std::string fromClassId;
        std::string toClassId;
    };

    CDivisionChange(Kind kind, std::vector<Step> steps) : m_kind(kind), m_steps(std::move(steps)) {}

    Kind GetKind() const { return m_kind; }
    const std::vector<Step>& GetSteps() const { return m_steps; }
    // The students the change moves, in step order.
    std::vector<std::string> GetStudentIds() const;

    // What the change does, in a few words: "张三 调到 一班",
    // "张三 等 3 名学生调到 一班", "张三（一班）与 李四（二班）对调".
    std::string Describe(const CScheduleTask& task) const;

private:
    Kind m_kind;
    std::vector<Step> m_steps;
};
