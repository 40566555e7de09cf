#pragma once

#include "cli/TaskCommand.h"

// add-together: adds a group of students who must share a class, typed by
// their names as an exclusive group is.
class CAddTogetherCommand : public CTaskCommand
{
public:
    CAddTogetherCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
