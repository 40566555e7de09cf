#include "logic/editing/SeatCount.h"

#include "base/records/ClassInfo.h"
#include "base/task/ScheduleTask.h"
#include "logic/editing/CountText.h"
#include "logic/editing/ListRows.h"

long long CSeatCount::TaskSeats(const CScheduleTask& task)
{
    long long seats = 0;
    for (const auto& entry : task.GetClassInfoList()) {
        if (const auto* info = dynamic_cast<const CClassInfo*>(entry.object.get()))
            seats += info->GetStudentCount();
    }
    return seats;
}

long long CSeatCount::TaskStudents(const CScheduleTask& task)
{
    return static_cast<long long>(task.GetStudentInfoList().GetCount());
}

long long CSeatCount::RowSeats(const CListRows& rows, int column)
{
    long long seats = 0;
    for (int row = 0; row < rows.RowCount(); ++row) {
        int count = 0;
        if (CCountText::Parse(rows.CellText(row, column), count) == CCountText::Result::Number && count > 0)
            seats += count;
    }
    return seats;
}

std::string CSeatCount::Shortage(long long students, long long seats)
{
    if (seats >= students)
        return {};
    return "学生 " + std::to_string(students) + " 人，班级计划人数合计 " + std::to_string(seats) + " 人";
}
