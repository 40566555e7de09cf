#pragma once

#include "cli/TaskCommand.h"

// certificate: prints the certificate of the task's lottery division into
// a PDF file.
class CCertificateCommand : public CTaskCommand
{
public:
    CCertificateCommand();

protected:
    std::optional<ExitCode> Check(const CArguments& arguments, CConsole& console) const override;
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
