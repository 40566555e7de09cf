#pragma once

#include "cli/TaskCommand.h"

// print-stats: prints the statistics into a PDF file.
class CPrintStatsCommand : public CTaskCommand
{
public:
    CPrintStatsCommand();

protected:
    std::optional<ExitCode> Check(const CArguments& arguments, CConsole& console) const override;
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
