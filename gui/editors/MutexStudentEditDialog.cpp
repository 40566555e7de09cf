#include "gui/editors/MutexStudentEditDialog.h"

CMutexStudentEditDialog::CMutexStudentEditDialog(CListEditorDialog& editor, const CScheduleTask& task, Mode mode,
                                                 QWidget* parent)
    : CStudentNamesDialog(editor, task, mode, QStringLiteral("添加互斥学生组"), QStringLiteral("修改互斥学生组"),
                          QStringLiteral("以下学生不安排在同一班级（直接输入学生姓名列表，以逗号分隔）"),
                          CMutexNameParser::kExclusive, parent)
{
}
