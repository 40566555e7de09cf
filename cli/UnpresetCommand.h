#pragma once

#include "cli/TaskCommand.h"

// unpreset: removes a student's pre-assignment.
class CUnpresetCommand : public CTaskCommand
{
public:
    CUnpresetCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
