#pragma once

#include <string>
#include <vector>

class CScheduleTask;

// Checks a task against the lottery record in its folder: the draw is made
// again from the input kept with the record, with the recorded seed and
// work, and must give the recorded result; the task's input must be the
// recorded one; the task's division must be the one the draw makes; a
// recorded head-teacher draw must come out the same and be the classes'.
class CLotteryVerification
{
public:
    enum class Outcome
    {
        Consistent,   // "一致"
        Inconsistent, // "不一致": the lines say what differs
        NoRecord,     // no record in the task folder
        Unreadable,   // a record that cannot be read
    };

    struct Result
    {
        Outcome outcome = Outcome::NoRecord;
        // What changed in the input since the draw, one line each.
        std::vector<std::string> inputChanges;
        // Students whose class is not the one the draw gives them.
        std::vector<std::string> divisionChanges;
        // Anything else: the record against itself, the head-teacher draw.
        std::vector<std::string> otherChanges;
        std::string message; // the verdict in a sentence
    };

    static Result Verify(const CScheduleTask& task);
    // The verdict and every line, as the command line and the window show it.
    static std::string Text(const Result& result);
};
