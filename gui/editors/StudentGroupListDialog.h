#pragma once

#include "gui/editors/ListEditorDialog.h"
#include "gui/editors/StudentNamesDialog.h"

#include <memory>

// The editors of groups of students typed by names (exclusive groups,
// groups who share a class): rows numbered from 1 in their second column,
// the names in their third; a group is added and changed in its names
// dialog, and the numbers follow every deletion and move.
class CStudentGroupListDialog : public CListEditorDialog
{
    Q_OBJECT

public:
    static constexpr int kNumberColumn = 1;
    static constexpr int kNamesColumn = 2;

    void AddItem() override;
    void DeleteSelected() override;
    void ModifyItem() override;
    void OnMovedUp() override;
    void OnMovedDown() override;
    void OnItemDoubleClick() override;

protected:
    CStudentGroupListDialog(CScheduleTask& task, const QString& title, const QString& objectName, QWidget* parent);

    // The names dialog of this kind of group.
    virtual std::unique_ptr<CStudentNamesDialog> newNamesDialog(CRowEditDialog::Mode mode) = 0;
};
