#pragma once

#include "cli/TaskCommand.h"

// stats: prints the statistics of each class and the school, tab separated.
class CStatsCommand : public CTaskCommand
{
public:
    CStatsCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
