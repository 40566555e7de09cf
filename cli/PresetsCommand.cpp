#include "cli/PresetsCommand.h"

#include "logic/editing/PresetRows.h"

CPresetsCommand::CPresetsCommand()
    : CEditorListCommand("presets", "输出预分班（学生与班级）", &CPresetRows::LoadInMemory, {"学生", "预先安排在"})
{
}
