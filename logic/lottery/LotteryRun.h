#pragma once

#include "logic/lottery/LotteryDraw.h"
#include "logic/lottery/LotteryInput.h"
#include "logic/lottery/LotteryRecord.h"

#include <cstdint>
#include <functional>
#include <string>

class CScheduleTask;

// One lottery division of an open task, as both front ends run it:
// Prepare reads the task's input (on the thread that owns the task), Draw
// divides and balances a copy built from that input alone (on any thread;
// it never touches the task), Finish puts the division into the task and
// saves the data, the report and the record (on the task's thread again).
// A run the checks refuse, or one that fails, leaves the task and its
// folder as they were.
class CLotteryRun
{
public:
    enum class Result
    {
        Done,            // every student placed
        Unplaced,        // divided, some students without a class
        RulesUnreadable, // the rules file cannot be read: the record would lack them
        NoDigest,        // SHA-256 is not available
        Refused,         // the checks refused the input; nothing changed
        Failed,          // the division did not end; nothing changed
        DataNotSaved,    // divided in memory, input.xml and report.txt not written
        RecordNotSaved,  // divided and saved, the record not written
    };

    CLotteryRun(CScheduleTask& task, std::string seedDigits, bool seedDrawn, std::uint64_t work);

    // Done when the draw may start, otherwise why not.
    Result Prepare();
    // progress, when given, gets the share done (0 to 1).
    void Draw(const std::function<void(double share)>& progress = {});
    Result Finish();

    // The message for a result other than Done and Unplaced.
    static std::string Problem(Result result);

    const std::string& GetSeed() const { return m_seed; }
    std::uint64_t GetWork() const { return m_work; }
    // After Draw: the division's report (with the checks' findings when refused).
    const std::string& GetReport() const { return m_outcome.report; }
    // After a Finish that divided: the record as saved (or as it would have been).
    const CLotteryRecord& GetRecord() const { return m_record; }

private:
    CScheduleTask& m_task;
    std::string m_seed;
    bool m_seedDrawn = false;
    std::uint64_t m_work = 0;
    CLotteryInput m_input;
    std::string m_inputText;
    CLotteryDraw::Outcome m_outcome;
    CLotteryRecord m_record;
};
