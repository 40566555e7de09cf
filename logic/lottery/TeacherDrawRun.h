#pragma once

#include "logic/lottery/LotteryRecord.h"

#include <optional>
#include <string>
#include <vector>

class CScheduleTask;

// One head-teacher draw after a lottery division, as both front ends run
// it: Prepare reads the lottery record in the task folder and checks the
// teachers against the classes; Finish draws with the seed, writes the
// teachers into the classes, adds the draw to the report and the record,
// and saves them. A Prepare that does not answer Ready leaves the task and
// its folder as they were.
class CTeacherDrawRun
{
public:
    enum class Result
    {
        Ready,          // Prepare: the draw may go ahead
        Done,           // Finish: drawn and saved
        NoRecord,       // no readable lottery record in the task folder
        NoTeachers,     // no list given and a class names no head teacher
        Refused,        // the teachers do not match the classes (see Problem)
        DataNotSaved,   // drawn in memory, input.xml and report.txt not written
        RecordNotSaved, // drawn and saved, the record not written
    };

    explicit CTeacherDrawRun(CScheduleTask& task);

    // teachers: the list to draw from, or none for the head teachers the
    // classes name.
    Result Prepare(std::optional<std::vector<std::string>> teachers = std::nullopt);
    // After a Prepare that answered Ready; seedDigits passes CLotterySeed::Problem.
    Result Finish(const std::string& seedDigits);

    // The message for a result other than Ready and Done.
    std::string Problem(Result result) const;

    // After Prepare: the teachers to be drawn, in byte order.
    const std::vector<std::string>& GetTeachers() const { return m_teachers; }
    // After Finish: the record with the draw.
    const CLotteryRecord& GetRecord() const { return m_record; }

private:
    CScheduleTask& m_task;
    CLotteryRecord m_record;
    std::vector<CTeacherDraw::Class> m_classes;
    std::vector<std::string> m_teachers;
    std::string m_problem;
    bool m_ready = false;
};
