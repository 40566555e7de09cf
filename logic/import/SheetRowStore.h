#pragma once

#include "logic/import/SheetSource.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The rows of a worksheet as read, each cell as its text, kept in a few
// flat blocks: what the reader keeps of a sheet while it looks for the
// table, so that the sheet need not be read a second time for the records.
//
//     CSheetRowStore store;
//     store.Add(row);                              // as the source gives it
//     for (std::size_t r = 0; r < store.GetRowCount(); ++r)
//         for (std::size_t c = store.FirstCell(r); c < store.FirstCell(r + 1); ++c)
//             use(store.Row(r), store.Column(c), store.Text(c));
class CSheetRowStore
{
public:
    void Clear();
    // Keeps the row with the text of each of its cells (CSheetText::CellText).
    void Add(const CSheetSource::Row& row);

    std::size_t GetRowCount() const { return m_rows.size(); }
    // Bytes held, roughly: the texts and the cells' bookkeeping.
    std::size_t GetBytes() const;

    // Sheet row (from 0) of a kept row.
    int Row(std::size_t row) const { return m_rows[row]; }
    // The cells of kept row r are FirstCell(r) up to FirstCell(r + 1).
    std::size_t FirstCell(std::size_t row) const { return row < m_rows.size() ? m_firstCells[row] : m_columns.size(); }
    int Column(std::size_t cell) const { return m_columns[cell]; }
    std::string_view Text(std::size_t cell) const;

private:
    std::vector<int> m_rows;
    std::vector<std::size_t> m_firstCells;
    std::vector<int> m_columns;
    std::vector<std::uint32_t> m_textEnds; // the kept text stays far below 4 GB
    std::string m_text;
};
