#include "gui/editors/TogetherStudentEditDialog.h"

CTogetherStudentEditDialog::CTogetherStudentEditDialog(CListEditorDialog& editor, const CScheduleTask& task,
                                                       Mode mode, QWidget* parent)
    : CStudentNamesDialog(editor, task, mode, QStringLiteral("添加同班学生组"), QStringLiteral("修改同班学生组"),
                          QStringLiteral("以下学生安排在同一班级（直接输入学生姓名列表，以逗号分隔）"),
                          CMutexNameParser::kTogether, parent)
{
}
