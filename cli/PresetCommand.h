#pragma once

#include "cli/TaskCommand.h"

// preset: pre-assigns a student to a class, or moves its pre-assignment.
class CPresetCommand : public CTaskCommand
{
public:
    CPresetCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
