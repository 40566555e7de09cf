#pragma once

#include "cli/EditorListCommand.h"

// groups: prints the exclusive groups as their editor lists them.
class CGroupsCommand : public CEditorListCommand
{
public:
    CGroupsCommand();
};
