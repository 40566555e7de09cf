#include "logic/import/SheetRowStore.h"

#include "logic/import/SheetText.h"

void CSheetRowStore::Clear()
{
    *this = CSheetRowStore();
}

void CSheetRowStore::Add(const CSheetSource::Row& row)
{
    m_rows.push_back(row.row);
    m_firstCells.push_back(m_columns.size());
    for (const CSheetSource::Cell& cell : row.cells) {
        m_columns.push_back(cell.column);
        switch (cell.value.kind) {
        case CSheetCell::Kind::Text:
        case CSheetCell::Kind::Date: m_text += cell.value.text; break;
        case CSheetCell::Kind::Number: m_text += CSheetText::CellText(cell.value); break;
        case CSheetCell::Kind::Empty:
        case CSheetCell::Kind::Other: break;
        }
        m_textEnds.push_back(static_cast<std::uint32_t>(m_text.size()));
    }
}

std::size_t CSheetRowStore::GetBytes() const
{
    return m_text.size() + m_rows.size() * (sizeof(int) + sizeof(std::size_t))
           + m_columns.size() * (sizeof(int) + sizeof(std::uint32_t));
}

std::string_view CSheetRowStore::Text(std::size_t cell) const
{
    const std::size_t begin = cell == 0 ? 0 : m_textEnds[cell - 1];
    return std::string_view(m_text).substr(begin, m_textEnds[cell] - begin);
}
