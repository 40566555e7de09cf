#pragma once

#include "cli/TaskCommand.h"

// add-group: adds an exclusive group of students as its editor does.
class CAddGroupCommand : public CTaskCommand
{
public:
    CAddGroupCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
