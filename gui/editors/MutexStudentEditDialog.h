#pragma once

#include "gui/editors/StudentNamesDialog.h"

// "添加互斥学生组" / "修改互斥学生组": students who must not share a class,
// typed by name. The same student typed twice counts twice.
class CMutexStudentEditDialog : public CStudentNamesDialog
{
    Q_OBJECT

public:
    CMutexStudentEditDialog(CListEditorDialog& editor, const CScheduleTask& task, Mode mode, QWidget* parent = nullptr);
};
