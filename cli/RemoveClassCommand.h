#pragma once

#include "cli/TaskCommand.h"

// remove-class: deletes a class as the classes editor does, with the
// pre-assignments to it.
class CRemoveClassCommand : public CTaskCommand
{
public:
    CRemoveClassCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
