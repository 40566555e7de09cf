#pragma once

#include "gui/editors/RowEditDialog.h"

class CScheduleTask;
class QPlainTextEdit;

// "添加互斥学生组" / "修改互斥学生组": the students of a group typed as
// names separated by commas or line breaks. The names are looked up among
// the task's students and the ids found go to the groups editor. When
// adding, the field is emptied after each group for the next one.
class CMutexStudentEditDialog : public CRowEditDialog
{
    Q_OBJECT

public:
    CMutexStudentEditDialog(CListEditorDialog& editor, const CScheduleTask& task, Mode mode, QWidget* parent = nullptr);

    // The names the field starts with (modify mode).
    void setNames(const QString& names);

    // The first button: reads the names and submits the group.
    void submit();

    QPlainTextEdit* namesEdit() const { return m_names; }

private:
    void warn(const QString& text);

    const CScheduleTask& m_task;
    QPlainTextEdit* m_names = nullptr;
};
