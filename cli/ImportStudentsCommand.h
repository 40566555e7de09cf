#pragma once

#include "cli/TaskCommand.h"

// import-students: replaces the task's students and score subjects with those of a
// spreadsheet, as the import wizard feeds an empty students editor.
class CImportStudentsCommand : public CTaskCommand
{
public:
    CImportStudentsCommand();

protected:
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
