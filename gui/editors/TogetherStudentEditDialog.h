#pragma once

#include "gui/editors/StudentNamesDialog.h"

// "添加同班学生组" / "修改同班学生组": students who must share a class (twins,
// siblings), typed by name. A student typed twice is one member; a group
// needs two students.
class CTogetherStudentEditDialog : public CStudentNamesDialog
{
    Q_OBJECT

public:
    CTogetherStudentEditDialog(CListEditorDialog& editor, const CScheduleTask& task, Mode mode,
                               QWidget* parent = nullptr);
};
