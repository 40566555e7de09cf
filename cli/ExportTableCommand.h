#pragma once

#include "cli/TaskCommand.h"

// export-table: exports the division table as a workbook.
class CExportTableCommand : public CTaskCommand
{
public:
    CExportTableCommand();

protected:
    std::optional<ExitCode> Check(const CArguments& arguments, CConsole& console) const override;
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
