#pragma once

#include <string>

class CListRows;
class CScheduleTask;

// Whether the classes plan seats for every student, told where students or
// classes are edited, long before a division finds out: "学生 2000 人，班级
// 计划人数合计 540 人" while the classes' planned numbers add up to fewer
// than the students.
class CSeatCount
{
public:
    // The planned numbers of the task's classes, added up.
    static long long TaskSeats(const CScheduleTask& task);
    static long long TaskStudents(const CScheduleTask& task);
    // The planned numbers of a classes editor's rows (decimal text in
    // column; a cell without a number counts 0), added up.
    static long long RowSeats(const CListRows& rows, int column);

    // The shortage as the editors and the information panel show it;
    // empty when the seats are enough.
    static std::string Shortage(long long students, long long seats);
};
