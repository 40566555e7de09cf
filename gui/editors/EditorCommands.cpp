#include "gui/editors/EditorCommands.h"

#include "gui/editors/ClassListDialog.h"
#include "gui/editors/DivisionRulesDialog.h"
#include "gui/editors/MutexStudentListDialog.h"
#include "gui/editors/StudentListDialog.h"
#include "gui/editors/StudentPresetListDialog.h"
#include "gui/editors/TogetherStudentListDialog.h"

namespace {

// Each editor is made for one use and goes when it closes.
template <class Editor>
void runEditor(QWidget* parent, CScheduleTask& task)
{
    Editor dialog(task, parent);
    dialog.exec();
}

} // namespace

void CEditorCommands::editClasses(QWidget* parent, CScheduleTask& task, const std::string& settingsFile)
{
    CClassListDialog dialog(task, parent);
    dialog.setSettingsFile(settingsFile);
    dialog.exec();
}

void CEditorCommands::editStudents(QWidget* parent, CScheduleTask& task)
{
    runEditor<CStudentListDialog>(parent, task);
}

void CEditorCommands::editPresets(QWidget* parent, CScheduleTask& task)
{
    runEditor<CStudentPresetListDialog>(parent, task);
}

void CEditorCommands::editMutexGroups(QWidget* parent, CScheduleTask& task)
{
    runEditor<CMutexStudentListDialog>(parent, task);
}

void CEditorCommands::editTogetherGroups(QWidget* parent, CScheduleTask& task)
{
    runEditor<CTogetherStudentListDialog>(parent, task);
}

void CEditorCommands::editDivisionRules(QWidget* parent, CScheduleTask& task)
{
    runEditor<CDivisionRulesDialog>(parent, task);
}
