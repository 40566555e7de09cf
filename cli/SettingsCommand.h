#pragma once

#include "cli/TaskCommand.h"

// settings: lists the task's division rules beyond groups and
// pre-assignments.
class CSettingsCommand : public CTaskCommand
{
public:
    CSettingsCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
