#include "logic/editing/ListEditorRows.h"

#include <utility>

std::string CListEditorRows::CellText(int row, int column) const
{
    if (!IsRow(row) || column < 0)
        return {};
    const std::vector<std::string>& cells = m_rows[static_cast<std::size_t>(row)].cells;
    return static_cast<std::size_t>(column) < cells.size() ? cells[static_cast<std::size_t>(column)] : std::string();
}

void CListEditorRows::RemoveRows(const std::vector<int>& bottomUp)
{
    // One pass over the rows, however many go.
    std::vector<bool> gone(m_rows.size(), false);
    for (int row : bottomUp) {
        if (IsRow(row))
            gone[static_cast<std::size_t>(row)] = true;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (!gone[i]) {
            if (kept != i)
                m_rows[kept] = std::move(m_rows[i]);
            ++kept;
        }
    }
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(kept), m_rows.end());
}

void CListEditorRows::SwapRows(int a, int b)
{
    if (IsRow(a) && IsRow(b))
        std::swap(m_rows[static_cast<std::size_t>(a)], m_rows[static_cast<std::size_t>(b)]);
}

int CListEditorRows::Append(std::vector<std::string> cells, std::unique_ptr<CQZObject> attached)
{
    m_rows.push_back({std::move(cells), std::move(attached)});
    return RowCount() - 1;
}

void CListEditorRows::SetCellText(int row, int column, std::string text)
{
    if (!IsRow(row) || column < 0)
        return;
    std::vector<std::string>& cells = m_rows[static_cast<std::size_t>(row)].cells;
    if (static_cast<std::size_t>(column) >= cells.size())
        cells.resize(static_cast<std::size_t>(column) + 1);
    cells[static_cast<std::size_t>(column)] = std::move(text);
}

CQZObject* CListEditorRows::Attached(int row) const
{
    return IsRow(row) ? m_rows[static_cast<std::size_t>(row)].attached.get() : nullptr;
}
