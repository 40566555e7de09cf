#pragma once

#include "cli/TaskCommand.h"

// chart: draws one chart of the division as a PNG or SVG picture.
class CChartCommand : public CTaskCommand
{
public:
    CChartCommand();

protected:
    std::optional<ExitCode> Check(const CArguments& arguments, CConsole& console) const override;
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
