#pragma once

#include "cli/TaskCommand.h"

// publish: the lists posted for parents, one class per page (PDF) or per
// sheet (workbook), without scores.
class CPublishCommand : public CTaskCommand
{
public:
    CPublishCommand();

protected:
    std::optional<ExitCode> Check(const CArguments& arguments, CConsole& console) const override;
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
