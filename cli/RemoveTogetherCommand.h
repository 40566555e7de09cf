#pragma once

#include "cli/TaskCommand.h"

// remove-together: removes a group of students who must share a class, by
// its number in the list "together" prints.
class CRemoveTogetherCommand : public CTaskCommand
{
public:
    CRemoveTogetherCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
