#include "gui/editors/ListEditorModel.h"

#include "logic/editing/ListRows.h"

#include <algorithm>

namespace {
// Removing rows one run at a time keeps the view's selection and scroll
// position; past this many runs one reset is quicker.
constexpr int kMaxRemovalRuns = 16;
} // namespace

CListEditorModel::CListEditorModel(QObject* parent) : QAbstractTableModel(parent) {}

void CListEditorModel::setRows(CListRows* rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

void CListEditorModel::setColumns(std::vector<Column> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    endResetModel();
}

void CListEditorModel::beginAppendRows(int count)
{
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + count - 1);
}

void CListEditorModel::endAppendRows()
{
    endInsertRows();
}

void CListEditorModel::beginResetRows()
{
    beginResetModel();
}

void CListEditorModel::endResetRows()
{
    endResetModel();
}

void CListEditorModel::rowsChanged(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    if (first <= last && !m_columns.empty())
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

void CListEditorModel::removeListedRows(const std::vector<int>& bottomUp)
{
    if (!m_rows || bottomUp.empty())
        return;
    // Runs of adjacent rows, from the bottom up.
    std::vector<std::pair<int, int>> runs; // first, last
    for (int row : bottomUp) {
        if (!runs.empty() && runs.back().first == row + 1)
            runs.back().first = row;
        else
            runs.emplace_back(row, row);
    }
    if (static_cast<int>(runs.size()) > kMaxRemovalRuns) {
        beginResetModel();
        m_rows->RemoveRows(bottomUp);
        endResetModel();
        return;
    }
    for (const auto& [first, last] : runs) {
        std::vector<int> run;
        run.reserve(static_cast<std::size_t>(last - first + 1));
        for (int row = last; row >= first; --row)
            run.push_back(row);
        beginRemoveRows(QModelIndex(), first, last);
        m_rows->RemoveRows(run);
        endRemoveRows();
    }
}

void CListEditorModel::swapRows(int a, int b)
{
    if (!m_rows)
        return;
    m_rows->SwapRows(a, b);
    rowChanged(a);
    rowChanged(b);
}

int CListEditorModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_rows ? 0 : m_rows->RowCount();
}

int CListEditorModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CListEditorModel::data(const QModelIndex& index, int role) const
{
    if (!m_rows || !index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(m_rows->CellText(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole)
        return int(m_columns[static_cast<std::size_t>(index.column())].alignment | Qt::AlignVCenter);
    return {};
}

QVariant CListEditorModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const Column& column = m_columns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole)
        return column.title;
    if (role == Qt::TextAlignmentRole)
        return int(column.alignment | Qt::AlignVCenter);
    return {};
}
