#include "EditorCommands.h"

#include "ClassListDialog.h"
#include "MutexStudentListDialog.h"
#include "StudentListDialog.h"
#include "StudentPresetListDialog.h"

void CEditorCommands::editClasses(QWidget* parent, CScheduleTask& task)
{
    CClassListDialog dialog(task, parent);
    dialog.exec();
}

void CEditorCommands::editStudents(QWidget* parent, CScheduleTask& task)
{
    CStudentListDialog dialog(task, parent);
    dialog.exec();
}

void CEditorCommands::editPresets(QWidget* parent, CScheduleTask& task)
{
    CStudentPresetListDialog dialog(task, parent);
    dialog.exec();
}

void CEditorCommands::editMutexGroups(QWidget* parent, CScheduleTask& task)
{
    CMutexStudentListDialog dialog(task, parent);
    dialog.exec();
}
