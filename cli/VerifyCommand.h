#pragma once

#include "cli/TaskCommand.h"

// verify: checks the task against its lottery record: says "一致", or
// "不一致" and what differs.
class CVerifyCommand : public CTaskCommand
{
public:
    CVerifyCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
