#pragma once

#include "logic/import/SheetSource.h"

#include <string>
#include <vector>

// A web page holding a table, as many web systems export under an .xls
// name: the rows and cells of its tables in document order, as text.
class CHtmlTableSource : public CSheetSource
{
public:
    bool Open(const std::string& path);

    std::vector<std::string> SheetNames() const override;
    bool BeginSheet(std::size_t index) override;
    bool NextRow(Row& row) override;

private:
    // Reads tags up to the end of the next row that holds a cell.
    bool ReadRow(Row& row);
    bool EndCell();
    // Hands over the row being read when it has cells.
    bool EndRow(Row& row, bool& ready);

    // The page as UTF-8; rows are read from it one at a time, so that the
    // page is the only thing held whatever the number of rows.
    std::string m_page;
    std::size_t m_pos = 0;
    bool m_pageDone = false;
    int m_rowIndex = 0;

    Row m_row;
    bool m_inRow = false;
    bool m_inCell = false;
    std::string m_text;
    std::size_t m_textCharacters = 0;
    std::size_t m_rowBytes = 0;
    int m_column = 0;
    int m_span = 1;
};
