#pragma once

#include "cli/TaskCommand.h"

// print-table: prints the class rosters (or one class's) into a PDF file.
class CPrintTableCommand : public CTaskCommand
{
public:
    CPrintTableCommand();

protected:
    std::optional<ExitCode> Check(const CArguments& arguments, CConsole& console) const override;
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
