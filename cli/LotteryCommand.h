#pragma once

#include "cli/TaskCommand.h"

// lottery: the public lottery division. Divides the task with the seed read
// out (or one drawn and shown first), balances it with a fixed number of
// steps, saves it, and keeps the record in the task folder and the report.
class CLotteryCommand : public CTaskCommand
{
public:
    CLotteryCommand();

    // The seed as it is shown before a run, large enough to be read out.
    static std::string SeedBanner(const std::string& digits);

protected:
    std::optional<ExitCode> Check(const CArguments& arguments, CConsole& console) const override;
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
