#pragma once

#include "cli/TaskCommand.h"

// classes: prints the classes as the classes editor lists them.
class CClassesCommand : public CTaskCommand
{
public:
    CClassesCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
