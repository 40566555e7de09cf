#include "gui/editors/ClassListDialog.h"

#include "gui/editors/BatchAddClassDialog.h"
#include "gui/editors/ClassEditDialog.h"
#include "gui/editors/ClassesChangeDialog.h"
#include "gui/common/MessageBox.h"
#include "logic/editing/SeatCount.h"

#include <QPushButton>

CClassListDialog::CClassListDialog(CScheduleTask& task, QWidget* parent) : CListEditorDialog(task, parent)
{
    setTitle(QStringLiteral("班级信息列表"));
    setObjectName(QStringLiteral("classEditor"));
    button(Button::Print)->hide();
    m_batchButton = insertButton(QStringLiteral("批量添加(&B)"), Button::Add);
    connect(m_batchButton, &QPushButton::clicked, this, [this] { OpenBatchAdd(); });
    openByItselfWhenEmpty([this] { OpenBatchAdd(); });
}

void CClassListDialog::InitList()
{
    CListEditorDialog::InitList();
    setColumns({{QStringLiteral("ID"), 0},
                {QStringLiteral("班级名称"), 360},
                {QStringLiteral("人数"), 100},
                {QStringLiteral("班主任"), 160}});
    loadRows([this](CListEditorRows& rows) { CClassRows::Load(task(), rows); });
}

bool CClassListDialog::SaveList()
{
    CClassRows::SaveTo(task(), *model().rows(), deletedIds());
    if (!CListEditorDialog::SaveList())
        return false;
    clearDeletedIds();
    return true;
}

void CClassListDialog::DeleteSelected()
{
    std::vector<std::string> classIds;
    for (int row : selectedRows())
        classIds.push_back(cellText(row, ColumnId));
    const auto presets = CClassRows::PresetsTo(task(), classIds);
    if (!presets.empty()) {
        const QString question = QStringLiteral("要删除的班级中预先安排了 %1 名学生：%2。\n"
                                                "删除这些班级，这 %1 条预分班也会在保存时一并删除。要继续吗?")
                                     .arg(presets.size())
                                     .arg(QString::fromStdString(CClassRows::DescribePresets(task(), presets)));
        if (!CMessageBox::question(this, question))
            return;
    }
    CListEditorDialog::DeleteSelected();
}

void CClassListDialog::AddItem()
{
    CClassEditDialog dialog(*this, CClassEditDialog::Mode::Add, this);
    dialog.exec();
}

void CClassListDialog::ModifyItem()
{
    const std::vector<int> rows = selectedRows();
    if (rows.empty())
        return;
    if (rows.size() == 1) {
        const int row = rows.front();
        CClassEditDialog dialog(*this, CClassEditDialog::Mode::Modify, this);
        dialog.setFields(QString::fromStdString(cellText(row, ColumnName)),
                         QString::fromStdString(cellText(row, ColumnStudentCount)),
                         QString::fromStdString(cellText(row, ColumnHeadTeacher)));
        dialog.exec();
        return;
    }
    // A field starts with what the classes share.
    QStringList names;
    std::string count = cellText(rows.front(), ColumnStudentCount);
    std::string teacher = cellText(rows.front(), ColumnHeadTeacher);
    for (int row : rows) {
        names.append(QString::fromStdString(cellText(row, ColumnName)));
        if (cellText(row, ColumnStudentCount) != count)
            count.clear();
        if (cellText(row, ColumnHeadTeacher) != teacher)
            teacher.clear();
    }
    CClassesChangeDialog dialog(names, QString::fromStdString(count), QString::fromStdString(teacher), this);
    if (dialog.exec() == QDialog::Accepted)
        changeSelected(dialog.change());
}

void CClassListDialog::changeSelected(const CClassRows::Change& change)
{
    const auto cells = CClassRows::ChangedCells(change);
    const std::vector<int> rows = selectedRows();
    if (cells.empty() || rows.empty())
        return;
    for (int row : rows) {
        for (const auto& [column, text] : cells)
            setCellText(row, column, text);
    }
    SetModified(true);
    UpdateCountText();
}

void CClassListDialog::OnItemDoubleClick()
{
    ModifyItem();
}

QString CClassListDialog::GetPrintTitle() const
{
    return QStringLiteral("班级信息");
}

void CClassListDialog::UpdateCountText()
{
    CListEditorDialog::UpdateCountText();
    const long long seats = model().rows() ? CSeatCount::RowSeats(*model().rows(), ColumnStudentCount) : 0;
    setCountWarning(QString::fromStdString(CSeatCount::Shortage(CSeatCount::TaskStudents(task()), seats)));
}

int CClassListDialog::SubmitRow(RowRequest& request, const Row& row)
{
    request.accepted = false;
    if (row.size() < 2)
        return -1;
    // New cells for the selected row need a selected row.
    const int selected = firstSelectedRow();
    if (request.mode != RowMode::Add && selected < 0) {
        request.message = "没有选择要修改的班级";
        return -1;
    }
    if (IsDuplicateName(row, request))
        return -1;
    request.accepted = true;
    int target = selected;
    // The head teacher is the third cell when the row has one.
    if (request.mode == RowMode::Add)
        target = appendRow({NewObjectId(), row[0], row[1], row.size() > 2 ? row[2] : std::string()});
    else {
        setCellText(target, ColumnName, row[0]);
        setCellText(target, ColumnStudentCount, row[1]);
        if (row.size() > 2)
            setCellText(target, ColumnHeadTeacher, row[2]);
    }
    selectOnly(target);
    makeVisible(target);
    SetModified(true);
    UpdateCountText();
    return 0;
}

void CClassListDialog::OpenBatchAdd()
{
    CBatchAddClassDialog dialog(*this, this);
    dialog.setSettingsFile(m_settingsFile);
    if (dialog.exec() == QDialog::Accepted)
        UpdateCountText();
}
