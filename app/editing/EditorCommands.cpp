#include "EditorCommands.h"

#include "ClassListDialog.h"
#include "MutexStudentListDialog.h"
#include "StudentPresetListDialog.h"

void CEditorCommands::EditClasses(QWidget* parent, CScheduleTask& task)
{
    CClassListDialog dialog(task, parent);
    dialog.exec();
}

void CEditorCommands::EditPresets(QWidget* parent, CScheduleTask& task)
{
    CStudentPresetListDialog dialog(task, parent);
    dialog.exec();
}

void CEditorCommands::EditMutexGroups(QWidget* parent, CScheduleTask& task)
{
    CMutexStudentListDialog dialog(task, parent);
    dialog.exec();
}
