#pragma once

#include "cli/TaskCommand.h"

// table: prints the division table (of one class with --class), tab separated.
class CTableCommand : public CTaskCommand
{
public:
    CTableCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
