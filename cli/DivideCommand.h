#pragma once

#include "cli/TaskCommand.h"

// divide: divides the task, saves the result with its report and prints the report.
class CDivideCommand : public CTaskCommand
{
public:
    CDivideCommand();

protected:
    std::optional<ExitCode> Check(const CArguments& arguments, CConsole& console) const override;
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
