#pragma once

#include "cli/EditorListCommand.h"

// presets: prints the pre-assignments as their editor lists them.
class CPresetsCommand : public CEditorListCommand
{
public:
    CPresetsCommand();
};
