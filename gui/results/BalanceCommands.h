#pragma once

#include "core/BalanceOptimizer.h"
#include "gui/results/DivisionCommands.h"

#include <optional>

class CScheduleTask;
class QWidget;

// "均衡优化" of step page "4 自动分班": makes the classes of a finished
// division more even without breaking its rules.
class CBalanceCommands
{
public:
    using SaveElsewhere = CDivisionCommands::SaveElsewhere;

    // Refuses a task that has not been divided. Otherwise asks how long to
    // search, runs the search in its dialog and, unless the user dropped
    // what it found, writes the division into the task and saves the data
    // with the report's balance section as a pair. A save that fails is
    // said so and saveElsewhere offered (when given). Ends with the table
    // of the figures before and after.
    // fixedOptions (tests): search with these instead of the time chosen.
    // True when the user asked for the division table (the caller then
    // shows it for the task open then, which is the copy after a save
    // elsewhere).
    static bool balance(QWidget* parent, CScheduleTask& task, const SaveElsewhere& saveElsewhere = {},
                        const std::optional<CBalanceOptions>& fixedOptions = std::nullopt);
};
