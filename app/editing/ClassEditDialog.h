#pragma once

#include <QDialog>

class CListEditorDialog;
class QLineEdit;
class QPushButton;

// "添加班级信息" / "修改班级信息": a class's name and its planned number of
// students, handed to the classes editor through SubmitRow. Adding is a
// loop: after each class the name is emptied for the next one, and the
// dialog closes only with Cancel. Modifying ends with the first change the
// editor accepts.
class CClassEditDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Mode
    {
        Add,
        Modify,
    };

    CClassEditDialog(CListEditorDialog& editor, Mode mode, QWidget* parent = nullptr);

    // The fields as they start (modify mode): the row's name and count.
    void SetFields(const QString& name, const QString& count);

    // The first button: checks the fields and submits the row.
    void Submit();

    QLineEdit* GetNameEdit() const { return m_name; }
    QLineEdit* GetCountEdit() const { return m_count; }
    QPushButton* GetSubmitButton() const { return m_submit; }

private:
    CListEditorDialog& m_editor;
    Mode m_mode;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_count = nullptr;
    QPushButton* m_submit = nullptr;
};
