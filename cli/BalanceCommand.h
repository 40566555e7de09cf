#pragma once

#include "cli/TaskCommand.h"

// balance: balances a divided task's classes, saves them, adds the balance to the
// report and prints the spreads before and after.
class CBalanceCommand : public CTaskCommand
{
public:
    CBalanceCommand();

protected:
    std::optional<ExitCode> Check(const CArguments& arguments, CConsole& console) const override;
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
