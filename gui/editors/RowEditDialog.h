#pragma once

#include "gui/editors/ListEditorDialog.h"
#include "gui/common/MessageBox.h"

#include <QDialog>

class QPushButton;
class QVBoxLayout;

// Base of the dialogs in which the user types rows for a list editor (a
// class, a group of students). The rows go through the editor's SubmitRow
// like every other row. Adding is a loop: after each row the editor takes,
// the dialog is readied for the next and stays open until closed.
// Modifying ends with the first change the editor takes.
class CRowEditDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Mode
    {
        Add,
        Modify,
    };

    Mode mode() const { return m_mode; }
    QPushButton* submitButton() const { return m_submit; }

protected:
    // addTitle and modifyTitle: the window titles of the two modes.
    CRowEditDialog(CListEditorDialog& editor, Mode mode, const QString& addTitle, const QString& modifyTitle,
                   QWidget* parent);

    // The column of the two buttons: the first, "添加(&A)" or "保存(&S)",
    // pressed by Enter, calls submit; the second, closeText, closes.
    QVBoxLayout* createButtons(const std::function<void()>& submit, const QString& closeText);

    // Hands row to the editor. Refused: shows the reason the editor gives,
    // if any, and returns false. Taken: closes the dialog in modify mode
    // and returns true.
    bool submitToEditor(const CListEditorDialog::Row& row, CMessageBox::Icon icon);

private:
    CListEditorDialog& m_editor;
    Mode m_mode;
    QPushButton* m_submit = nullptr;
};
