#pragma once

#include "cli/TaskCommand.h"

// set-classes: sets the planned number, the head teacher or both of several
// classes in one save, as "修改" with several classes selected does.
class CSetClassesCommand : public CTaskCommand
{
public:
    CSetClassesCommand();

protected:
    std::optional<ExitCode> Check(const CArguments& arguments, CConsole& console) const override;
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
