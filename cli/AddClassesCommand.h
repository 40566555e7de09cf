#pragma once

#include "cli/TaskCommand.h"

// add-classes: adds classes by a name pattern as the batch dialog does.
class CAddClassesCommand : public CTaskCommand
{
public:
    CAddClassesCommand();

protected:
    std::optional<ExitCode> Check(const CArguments& arguments, CConsole& console) const override;
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
