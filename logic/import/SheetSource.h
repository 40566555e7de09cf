#pragma once

#include "logic/import/SheetCell.h"

#include <cstddef>
#include <string>
#include <vector>

// One kind of spreadsheet file (workbook, legacy workbook, text table) as a
// list of worksheets whose rows can be read from the top, as often as
// needed. Rows come in sheet order; only cells that hold a value are given.
class CSheetSource
{
public:
    struct Cell
    {
        int column = 0; // from 0
        CSheetCell value;
    };
    struct Row
    {
        int row = 0; // from 0
        std::vector<Cell> cells;
    };

    virtual ~CSheetSource() = default;

    // The worksheets in tab order.
    virtual std::vector<std::string> SheetNames() const = 0;
    // Starts reading a worksheet from its first row.
    virtual bool BeginSheet(std::size_t index) = 0;
    // The next row that has at least one cell; false at the end of the sheet
    // or on a failure, which GetError then tells.
    virtual bool NextRow(Row& row) = 0;

    // Why the last operation failed, in plain Chinese; empty when it did not.
    const std::string& GetError() const { return m_error; }

protected:
    bool Fail(std::string reason)
    {
        m_error = std::move(reason);
        return false;
    }

    std::string m_error;
};
