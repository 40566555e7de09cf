#pragma once

#include "cli/TaskCommand.h"

// add-class: adds a class as the class dialog does.
class CAddClassCommand : public CTaskCommand
{
public:
    CAddClassCommand();

protected:
    std::optional<ExitCode> Check(const CArguments& arguments, CConsole& console) const override;
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
