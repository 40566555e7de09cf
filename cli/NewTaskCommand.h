#pragma once

#include "cli/Command.h"

// new-task: makes an empty task in a folder of its own, as the new-task dialog does.
class CNewTaskCommand : public CCommand
{
public:
    CNewTaskCommand();

    ExitCode Execute(const CArguments& arguments, CConsole& console) const override;
};
