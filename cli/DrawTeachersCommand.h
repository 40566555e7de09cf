#pragma once

#include "cli/TaskCommand.h"

// draw-teachers: the head-teacher draw after a lottery division; records it
// with the division's record and writes the teachers into the classes.
class CDrawTeachersCommand : public CTaskCommand
{
public:
    CDrawTeachersCommand();

protected:
    std::optional<ExitCode> Check(const CArguments& arguments, CConsole& console) const override;
    ExitCode Run(CScheduleTask& task, const CArguments& arguments, CConsole& console) const override;
};
