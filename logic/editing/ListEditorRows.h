#pragma once

#include "logic/editing/ListRows.h"
#include "base/object/QZObject.h"

#include <memory>
#include <string>
#include <vector>

// The ordinary rows of a list editor: cell texts and, per row, an optional
// record of its own (the editor's working copy of a task record), which is
// destroyed with the row.
class CListEditorRows : public CListRows
{
public:
    int RowCount() const override { return static_cast<int>(m_rows.size()); }
    std::string CellText(int row, int column) const override;
    void RemoveRows(const std::vector<int>& bottomUp) override;
    void SwapRows(int a, int b) override;

    // A copy of a record made by the Copy of its own kind: what a row
    // carries, and what is saved from a row.
    template <class T>
    static std::unique_ptr<T> CopyOf(T* record)
    {
        auto copy = std::make_unique<T>();
        copy->Copy(record);
        return copy;
    }

    // Appends a row; returns its position.
    int Append(std::vector<std::string> cells, std::unique_ptr<CQZObject> attached = nullptr);
    // Sets a cell, making room for it in the row; nothing outside the rows.
    void SetCellText(int row, int column, std::string text);
    // The row's record, or none.
    CQZObject* Attached(int row) const;
    void Reserve(int rows) { m_rows.reserve(static_cast<std::size_t>(rows)); }
    void Clear() { m_rows.clear(); }

private:
    struct Row
    {
        std::vector<std::string> cells;
        std::unique_ptr<CQZObject> attached;
    };

    bool IsRow(int row) const { return row >= 0 && row < RowCount(); }

    std::vector<Row> m_rows;
};
