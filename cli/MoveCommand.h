#pragma once

#include "cli/TaskCommand.h"

// move: moves one student to a class by hand, with the rules checked.
class CMoveCommand : public CTaskCommand
{
public:
    CMoveCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
