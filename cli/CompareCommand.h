#pragma once

#include "cli/TaskCommand.h"

// compare: the figures of two classes side by side and their difference,
// tab separated.
class CCompareCommand : public CTaskCommand
{
public:
    CCompareCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
