#pragma once

#include "cli/TaskCommand.h"

// together: lists the groups of students who must share a class.
class CTogetherCommand : public CTaskCommand
{
public:
    CTogetherCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
