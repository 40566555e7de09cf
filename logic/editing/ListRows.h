#pragma once

#include <string>
#include <vector>

// The rows of a list editor as its window reads and rearranges them. Cells
// are UTF-8 text; column 0 holds the identifier of the row's record.
//
// CListEditorRows is the ordinary store. An editor whose rows live in a
// class of their own (the students editor's CStudentTable) implements this
// in that class and hands it to CListEditorDialog::setRows.
class CListRows
{
public:
    virtual ~CListRows() = default;

    virtual int RowCount() const = 0;
    // Empty outside the rows or outside a row's cells.
    virtual std::string CellText(int row, int column) const = 0;
    // Removes the given rows, listed from the bottom up, together with the
    // records attached to them.
    virtual void RemoveRows(const std::vector<int>& bottomUp) = 0;
    // Exchanges two rows, cells and attached record.
    virtual void SwapRows(int a, int b) = 0;
};
