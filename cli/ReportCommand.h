#pragma once

#include "cli/TaskCommand.h"

// report: prints the report of the last division.
class CReportCommand : public CTaskCommand
{
public:
    CReportCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
