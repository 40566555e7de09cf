#include "gui/editors/StudentListDialog.h"

#include "gui/import/ImportWizardDialog.h"
#include "gui/common/MessageBox.h"
#include "logic/editing/SeatCount.h"

#include <QPushButton>
#include <QTableView>

#include <algorithm>

namespace {
// Widths of the columns before the scores: id (never shown), number, name,
// sex, original school.
constexpr int kLeadingWidths[] = {0, 40, 120, 40, 160};
// While rows pour in, the list is repainted at most this often.
constexpr int kRepaintIntervalMs = 100;
} // namespace

CStudentListDialog::CStudentListDialog(CScheduleTask& task, QWidget* parent) : CListEditorDialog(task, parent)
{
    setTitle(QStringLiteral("学生信息列表"));
    setObjectName(QStringLiteral("studentEditor"));
    setShowImport(true);
    // Save, Cancel, Import where Add was, Clear where Modify was.
    moveButton(Button::Import, Button::Add);
    m_clearButton = insertButton(QStringLiteral("清空(&R)"), Button::Modify);
    for (Button b : {Button::Add, Button::Modify, Button::Delete, Button::MoveUp, Button::MoveDown, Button::Print})
        button(b)->hide();
    connect(m_clearButton, &QPushButton::clicked, this, [this] { clearList(); });
    openByItselfWhenEmpty([this] { ImportItems(); });
    setSearchColumns({CStudentTable::ColumnName});

    m_repaintHeld.setSingleShot(true);
    m_repaintHeld.setInterval(kRepaintIntervalMs);
    connect(&m_repaintHeld, &QTimer::timeout, this, [this] { listView()->setUpdatesEnabled(true); });
}

QString CStudentListDialog::samplePicture()
{
    return QStringLiteral(":/images/import_student.svg");
}

void CStudentListDialog::showColumns()
{
    const std::vector<std::string> titles = m_table.ColumnTitles();
    std::vector<CListEditorModel::Column> columns;
    columns.reserve(titles.size());
    for (std::size_t i = 0; i < titles.size(); ++i) {
        CListEditorModel::Column column{QString::fromStdString(titles[i]), 0};
        if (i < std::size(kLeadingWidths)) {
            column.width = kLeadingWidths[i];
            if (i == CStudentTable::ColumnNumber)
                column.alignment = Qt::AlignRight;
        } else {
            column.width = m_table.GetScoreColumnWidth();
            column.alignment = Qt::AlignRight;
        }
        columns.push_back(std::move(column));
    }
    setColumns(std::move(columns));
}

void CStudentListDialog::InitList()
{
    CListEditorDialog::InitList();
    m_table.Load(task());
    showColumns();
    setRows(m_table);
}

bool CStudentListDialog::SaveList()
{
    m_table.SaveTo(task());
    return CListEditorDialog::SaveList();
}

void CStudentListDialog::ImportItems()
{
    if (rowCount() > 0) {
        CMessageBox::information(this, QStringLiteral("导入新数据前列表必须为空，您可以点击清空按钮来清空列表数据。"));
        return;
    }
    CImportWizardDialog wizard(*this, this);
    wizard.setTitle(QStringLiteral("导入学生列表"));
    wizard.setSamplePicture(samplePicture());
    // A title row above the column names is passed over.
    wizard.setHeaderName("姓名");
    wizard.setRecordName(QStringLiteral("学生"));
    wizard.setRecordUnit(QStringLiteral("名"));
    wizard.exec();
    m_beforeImport.reset();
    UpdateCountText();
}

void CStudentListDialog::BeginImport()
{
    m_beforeImport = std::make_unique<CStudentTable>(m_table);
    m_modifiedBeforeImport = isModified();
}

bool CStudentListDialog::UndoImport()
{
    if (!m_beforeImport)
        return false;
    model().beginResetRows();
    m_table = *m_beforeImport;
    model().endResetRows();
    showColumns();
    SetModified(m_modifiedBeforeImport);
    UpdateCountText();
    return true;
}

QString CStudentListDialog::ImportNote() const
{
    const std::size_t before = m_beforeImport ? m_beforeImport->NamelessCount() : 0;
    const std::size_t nameless = m_table.NamelessCount() - std::min(before, m_table.NamelessCount());
    if (nameless == 0)
        return {};
    return QStringLiteral("其中 %1 名学生没有姓名，请检查表格。").arg(nameless);
}

void CStudentListDialog::UpdateCountText()
{
    CListEditorDialog::UpdateCountText();
    const auto students = static_cast<long long>(m_table.GetRowCount());
    setCountWarning(QString::fromStdString(CSeatCount::Shortage(students, CSeatCount::TaskSeats(task()))));
}

void CStudentListDialog::OnItemDoubleClick() {}

int CStudentListDialog::SubmitRow(RowRequest& request, const Row& row)
{
    switch (request.mode) {
    case RowMode::Header:
        if (m_table.SubmitRow(request, row) != 0)
            return -1;
        showColumns();
        return 0;
    case RowMode::Replace: {
        const int selected = firstSelectedRow();
        if (m_table.SubmitRow(request, row, selected) != 0)
            return -1;
        model().rowChanged(selected);
        break;
    }
    case RowMode::Add:
        if (!m_table.HasMappedValue(row)) // no student: skipped without a word
            return m_table.SubmitRow(request, row);
        model().beginAppendRows(1);
        m_table.SubmitRow(request, row);
        model().endAppendRows();
        holdRepaints();
        UpdateCountText();
        if (m_rowsHeld)
            m_rowsAdded = true;
        else
            makeVisible(rowCount() - 1);
        break;
    }
    SetModified(true);
    return 0;
}

void CStudentListDialog::EndRows()
{
    m_rowsHeld = false;
    if (!m_rowsAdded)
        return;
    m_rowsAdded = false;
    makeVisible(rowCount() - 1);
}

void CStudentListDialog::holdRepaints()
{
    if (m_repaintHeld.isActive())
        return;
    listView()->setUpdatesEnabled(false);
    m_repaintHeld.start();
}

void CStudentListDialog::clearList()
{
    if (rowCount() == 0)
        return;
    model().beginResetRows();
    m_table.Clear();
    model().endResetRows();
    SetModified(true);
    UpdateCountText();
}
