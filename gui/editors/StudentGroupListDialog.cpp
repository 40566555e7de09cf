#include "gui/editors/StudentGroupListDialog.h"

#include <QPushButton>

CStudentGroupListDialog::CStudentGroupListDialog(CScheduleTask& task, const QString& title, const QString& objectName,
                                                 QWidget* parent)
    : CListEditorDialog(task, parent)
{
    setTitle(title);
    setObjectName(objectName);
    button(Button::Print)->hide();
    // Any student of a group.
    setSearchColumns({kNamesColumn});
}

void CStudentGroupListDialog::AddItem()
{
    newNamesDialog(CRowEditDialog::Mode::Add)->exec();
}

void CStudentGroupListDialog::ModifyItem()
{
    const int row = firstSelectedRow();
    if (row < 0)
        return;
    const std::unique_ptr<CStudentNamesDialog> dialog = newNamesDialog(CRowEditDialog::Mode::Modify);
    dialog->setNames(QString::fromStdString(cellText(row, kNamesColumn)));
    dialog->exec();
}

void CStudentGroupListDialog::DeleteSelected()
{
    CListEditorDialog::DeleteSelected();
    renumberRows(kNumberColumn);
}

void CStudentGroupListDialog::OnMovedUp()
{
    renumberRows(kNumberColumn);
}

void CStudentGroupListDialog::OnMovedDown()
{
    renumberRows(kNumberColumn);
}

void CStudentGroupListDialog::OnItemDoubleClick()
{
    ModifyItem();
}
