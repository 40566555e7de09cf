#pragma once

#include "cli/TaskCommand.h"

// set: switches a division rule of the task on or off (same-name-apart,
// same-sound-apart) or sets its score bands.
class CSetCommand : public CTaskCommand
{
public:
    CSetCommand();

protected:
    std::optional<ExitCode> Check(const CArguments& arguments, CConsole& console) const override;
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
