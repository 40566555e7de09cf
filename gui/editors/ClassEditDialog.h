#pragma once

#include "gui/editors/RowEditDialog.h"

class QLineEdit;

// "添加班级信息" / "修改班级信息": a class's name, its planned number of
// students and its head teacher for the classes editor. When adding, the name is emptied after
// each class for the next one; the count stays.
class CClassEditDialog : public CRowEditDialog
{
    Q_OBJECT

public:
    CClassEditDialog(CListEditorDialog& editor, Mode mode, QWidget* parent = nullptr);

    // The fields as they start (modify mode): the row's name, count and
    // head teacher.
    void setFields(const QString& name, const QString& count, const QString& headTeacher = QString());

    // The first button: checks the fields and submits the row.
    void submit();

    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* countEdit() const { return m_count; }
    QLineEdit* teacherEdit() const { return m_teacher; }

private:
    QLineEdit* m_name = nullptr;
    QLineEdit* m_count = nullptr;
    QLineEdit* m_teacher = nullptr;
};
