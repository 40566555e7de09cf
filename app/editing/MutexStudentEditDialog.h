#pragma once

#include <QDialog>

class CListEditorDialog;
class CScheduleTask;
class QPlainTextEdit;
class QPushButton;

// "添加互斥学生组" / "修改互斥学生组": the students of a group typed as
// names separated by commas or line breaks. The names are looked up among
// the task's students and the ids found go to the groups editor through
// SubmitRow. Adding is a loop until "关闭(&C)"; modifying ends with the
// first change the editor accepts.
class CMutexStudentEditDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Mode
    {
        Add,
        Modify,
    };

    CMutexStudentEditDialog(CListEditorDialog& editor, const CScheduleTask& task, Mode mode,
                            QWidget* parent = nullptr);

    // The names the field starts with (modify mode).
    void SetNames(const QString& names);

    // The first button: reads the names and submits the group.
    void Submit();

    QPlainTextEdit* GetNamesEdit() const { return m_names; }
    QPushButton* GetSubmitButton() const { return m_submit; }

private:
    void Warn(const QString& text);

    CListEditorDialog& m_editor;
    const CScheduleTask& m_task;
    Mode m_mode;
    QPlainTextEdit* m_names = nullptr;
    QPushButton* m_submit = nullptr;
};
