#pragma once

#include "core/BalanceOptimizer.h"
#include "logic/lottery/LotteryCanonicalForm.h"
#include "logic/lottery/LotteryInput.h"
#include "logic/lottery/LotteryRecord.h"

#include <functional>

#include <cstdint>
#include <memory>
#include <string>

class CScheduleTask;

// A lottery division: the division seeded with the drawn digits followed by
// the balance with a fixed number of search steps (never a time budget),
// both on a task built in memory from the canonical input alone. The result
// therefore depends on the input's values, the seed, the work and the
// program, and on nothing else: not on the order of the task's lists, its
// folder, the machine, the clock or the thread it runs on.
class CLotteryDraw
{
public:
    // The balance steps of a draw when none are given: about what two
    // seconds of balancing do for a cohort of 1,800 students.
    static constexpr std::uint64_t kDefaultWork = 200000;
    static constexpr std::uint64_t kMaxWork = 1000000000;

    struct Outcome
    {
        // DIVISION_RESULT_DONE, _UNPLACED, _REFUSED (the checks refused the
        // input: nothing was divided), or -1 when the run failed.
        int divisionResult = -1;
        CBalanceResult balance;
        // The division as the draw made it, and the task it was made in.
        CLotteryCanonicalForm::Division division;
        std::unique_ptr<CScheduleTask> drawn;
        // The division's report with the balance's section.
        std::string report;

        bool Divided() const;
    };

    // progress, when given, gets the balance's share done (0 to 1) on the
    // calling thread, about ten times a second.
    static Outcome Run(const CLotteryInput& input, const std::string& seedDigits, std::uint64_t work,
                       const std::function<void(double share)>& progress = {});

    // Puts the drawn division into task, whose input is the draw's: each
    // student's class, pre-assignment flag and exclusion partners, each
    // class's list of students, and the report.
    static void Apply(const Outcome& outcome, CScheduleTask& task);

    // The record of a draw once it was applied to task: the task's name,
    // the time of the division, this program's version, the digests, the
    // rules in force and each class's figures.
    static CLotteryRecord MakeRecord(const CScheduleTask& task, const CLotteryInput& input,
                                     const std::string& inputText, const Outcome& outcome,
                                     const std::string& seedDigits, bool seedDrawn, std::uint64_t work);

    // What "--work" is, or why it is no number of steps; empty when fine.
    static std::string WorkProblem(const std::string& text, std::uint64_t& work);
};
